#pragma once

#include <string>
#include <vector>

// "--gui-errors", for runs a file manager starts, where no one sees the console: removes it
// from the arguments, answering whether it was there.
bool TakeGuiErrorsSwitch(std::vector<std::string>& arguments);

// Shows what a run started from a file manager printed about its failures: in a message box
// on Windows; elsewhere through kdialog, zenity or notify-send, the first on the path.
// Nothing is shown without such a tool: the text went to the console as well.
void ShowFailureBox(const std::string& text);

#include "cli/convert_command.h"
#include "cli/failure_box.h"
#include "cli/progress.h"
#include "texture/utf8_path.h"

#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments = pictavo::Utf8Arguments(argc, argv);
    const bool guiErrors = TakeGuiErrorsSwitch(arguments);
    ConvertEnvironment environment;
    environment.terminal = !guiErrors && StandardOutputIsTerminal();
    if (!guiErrors) {
        return RunConvertCommand(arguments, std::cout, std::cerr, environment);
    }
    // Started from a file manager: what went wrong is shown as well as printed.
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunConvertCommand(arguments, out, err, environment);
    std::cout << out.str();
    std::cerr << err.str();
    if (status != kConvertAllSucceeded) {
        ShowFailureBox(err.str() + out.str());
    }
    return status;
}

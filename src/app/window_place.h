#pragma once

class QSplitter;
class QWidget;

// The main window's size, place and maximised state, and where the splitter between its view
// and its list stands, kept in a settings file of their own ("Varnel", "Pictavo Window")
// apart from the values the Settings dialog saves.
void RestoreWindowPlace(QWidget& window, QSplitter& splitter);
void SaveWindowPlace(const QWidget& window, const QSplitter& splitter);

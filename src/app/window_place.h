#pragma once

class QWidget;

// The main window's size, place and maximised state, kept in a settings file of their own
// ("Varnel", "Pictavo Window") apart from the values the Settings dialog saves.
void RestoreWindowPlace(QWidget& window);
void SaveWindowPlace(const QWidget& window);

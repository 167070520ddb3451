#pragma once

class QMainWindow;
class QSettings;
class QSplitter;

// The main window's size, place and splitter position between runs. Only the layout is
// remembered: the analysis and the factor fields start from their defaults every time.
namespace rz {

void saveWindowLayout(const QMainWindow& window, const QSplitter& splitter, QSettings& settings);
// False when nothing usable was saved (a first run): the caller places the window.
bool restoreWindowLayout(QMainWindow& window, QSplitter& splitter, const QSettings& settings);

}  // namespace rz

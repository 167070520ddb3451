#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace rz {

class DialogProvider;
class TForm1;

// The folder the file dialogs first open: the installed sample curves when the program
// runs installed (programFolder/../share/rorevadi/samples), else the program's own folder,
// where a build tree keeps the samples beside the executable.
QString startFolder(const QString& programFolder);

struct DesktopStart {
    QString programFolder;              // the executable's folder
    QStringList files;                  // from the command line
    QSettings* settings = nullptr;      // the user's settings; null: nothing is remembered
    DialogProvider* dialogs = nullptr;  // null: the real dialogs
};

// What the desktop program does between creating its application object and running
// the event loop: the main window at its remembered place (centred on a first run),
// shown, and the command line's files opened once the event loop runs, as dropped files are.
std::unique_ptr<TForm1> startMainWindow(const DesktopStart& start);

}  // namespace rz

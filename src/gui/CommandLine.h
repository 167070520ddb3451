#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The desktop program's command line: "rorevadi [FILE...]", --help and --version.
namespace rz {

enum class DesktopAction { OpenWindow, ShowHelp, ShowVersion, UsageError };

struct DesktopCommandLine {
    DesktopAction action = DesktopAction::OpenWindow;
    // Absolute paths in the order given; the window opens them as if they were dropped on it.
    QStringList files;
    QString error;  // what was wrong, for UsageError
};

inline constexpr int kDesktopExitOk = 0;
inline constexpr int kDesktopExitUsage = 2;

// Parses the arguments (the program's name first). Needs no application object, so
// --help and --version are answered before one is chosen and work without a display.
// The toolkit's own options (-platform NAME, -style NAME, -reverse, ...) are let through
// for the application object to take.
DesktopCommandLine parseDesktopCommandLine(const QStringList& arguments);

// Writes the help or the version to out, or the usage error to err, and returns the
// exit code. Needs a QCoreApplication (the help names the options through Qt).
int answerDesktopCommandLine(const DesktopCommandLine& commandLine, QTextStream& out, QTextStream& err);

}  // namespace rz

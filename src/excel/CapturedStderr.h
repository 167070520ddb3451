#pragma once

#include <QString>
#include <QStringList>

// The xlsx writer library prints its failures on standard error itself ("[ERROR][file.c:
// 1532]: ..."), in words meant for its own developers. While it writes a workbook,
// standard error goes to an in-memory file instead; afterwards its lines are handed to
// the caller, who reports the failure in the program's words, and any other line is
// passed on to standard error. Standard error is the process's, so no other thread
// should expect its own output to appear while one of these is alive.
namespace rz::excel {

class CapturedStderr {
public:
    CapturedStderr();
    ~CapturedStderr();
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Gives standard error back and returns the library's lines (those that begin with
    // "[ERROR]" or "[WARNING]"); the others are written to standard error. Called again,
    // returns nothing.
    QStringList finish();

    // The system's reason that the library quoted in its lines ("System error = ..."),
    // or an empty text.
    static QString systemReason(const QStringList& libraryLines);

private:
    int saved_ = -1;     // the original standard error
    int captured_ = -1;  // where it went meanwhile
};

}  // namespace rz::excel

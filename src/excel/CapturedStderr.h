#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

// The xlsx writer library prints its failures on standard error itself ("[ERROR][file.c:
// 1532]: ..."), in words meant for its own developers. While it writes a workbook,
// standard error goes to an in-memory file instead; afterwards its lines are handed to
// the caller, who reports the failure in the program's words, and any other line is
// passed on to standard error afterwards. Standard error is the process's: one capture
// is alive at a time, and a second one, in another thread, waits for it.
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
    std::unique_lock<std::mutex> turn_;
    int saved_ = -1;     // the original standard error
    int captured_ = -1;  // where it went meanwhile
};

}  // namespace rz::excel

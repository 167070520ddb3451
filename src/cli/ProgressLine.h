#pragma once

#include <QElapsedTimer>
#include <QTextStream>

// The batch tool's progress on standard error: "37/1000 files, 12.3 files/s, 1:18 left",
// rewritten in place (carriage return) a few times a second and wiped at the end. Only
// for a person watching: on a terminal and for more than one file.
namespace rz::cli {

class ProgressLine {
public:
    // active: whether anything is shown at all.
    ProgressLine(QTextStream& err, int total, bool active);
    ~ProgressLine() { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Shows done of total: at most a few times a second, at once after wipe().
    void update(int done);
    // Wipes the line for a moment, so that what is written next on the screen starts at
    // its left; the next update() shows it again.
    void wipe();
    // Wipes the line; nothing more is shown.
    void finish();
    bool active() const { return active_; }

    // The line's text after done files of total in elapsedMs.
    static QString text(int done, int total, qint64 elapsedMs);

    // Whether the stream writes to a terminal.
    static bool isTerminal(const QTextStream& stream);

private:
    QTextStream& err_;
    int total_;
    bool active_;
    QElapsedTimer clock_;
    qint64 lastShown_ = -1000;
    int width_ = 0;       // of the longest line shown, to wipe it whole
    bool shown_ = false;  // the line is on the screen now
};

}  // namespace rz::cli

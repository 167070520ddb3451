#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

// Whole-file reads and the one policy by which every output is written: a temporary file
// in the target's folder, synced to disk, given the replaced file's mode (a new file the
// mode any new file of the user's gets), then renamed over the target. A failure leaves
// an earlier file untouched and nothing partial behind.
namespace rz {

// A file that cannot be opened or read, or is too large. The message names the file and
// the reason.
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be written. The message names the file and the reason.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Data files of a few million points take tens of megabytes; a file past this is refused
// before it is read, so that a wrong choice cannot exhaust the memory.
constexpr qint64 kMaxReadBytes = qint64(1) << 30;

// Reads the whole file; throws FileReadError, also when it holds more than maxBytes.
QByteArray readWholeFile(const QString& path, qint64 maxBytes = kMaxReadBytes);

// Writes bytes to path under the policy above; throws FileWriteError naming the path.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// For outputs that a library writes itself: finishedPath, a complete file in the
// target's folder, becomes path under the same policy. Throws FileWriteError; the
// finished file is then still there for the caller to remove.
void replaceFileWith(const QString& finishedPath, const QString& path);

}  // namespace rz

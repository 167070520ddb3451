#pragma once

#include <QByteArray>
#include <QFile>
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

// A file opened for reading, for readers that take it in pieces at given offsets, from
// several threads at once, instead of whole. Every failure throws FileReadError with the
// messages of readWholeFile.
class InputFile {
public:
    // Throws when the file cannot be opened or its size is over maxBytes.
    explicit InputFile(const QString& path, qint64 maxBytes = kMaxReadBytes);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when opened. Only a regular file's is to be trusted: pipes tell none, and
    // files under /proc tell 0 and still hold text.
    qint64 size() const { return size_; }
    bool isRegular() const { return regular_; }

    // Up to size bytes from offset into `into` (any thread); fewer only at the end of the
    // file. Throws also when the bytes would reach past maxBytes.
    qint64 readAt(qint64 offset, char* into, qint64 size) const;
    // The rest of the file from the current position, as readWholeFile reads it; for files
    // that are not regular.
    QByteArray readAll();

private:
    QString path_;
    qint64 maxBytes_;
    QFile file_;
    qint64 size_ = 0;
    bool regular_ = false;
};

// Writes bytes to path under the policy above; throws FileWriteError naming the path.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// For outputs that a library writes itself: finishedPath, a complete file in the
// target's folder, becomes path under the same policy. Throws FileWriteError; the
// finished file is then still there for the caller to remove.
void replaceFileWith(const QString& finishedPath, const QString& path);

}  // namespace rz

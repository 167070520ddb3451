#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

struct zip;

// Zip archives through libzip: .xlsx workbooks are read as input, and the workbooks we
// write are checked and mended after the fact.
namespace rz {

// A zip archive that cannot be opened, is damaged, or lacks an entry. The message
// names the archive (or entry) and the reason.
class ZipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ZipReader {
public:
    // Opens the archive read-only with libzip's consistency checks; throws ZipError.
    static ZipReader openFile(const QString& path);
    // An archive held in memory (the bytes are copied).
    static ZipReader fromBytes(const QByteArray& bytes, const QString& displayName);

    ZipReader(ZipReader&&) noexcept;
    ZipReader& operator=(ZipReader&&) noexcept;
    ~ZipReader();

    QStringList entryNames() const;
    bool contains(const QString& name) const;
    // Uncompressed size as the directory states it; -1 when there is no such entry.
    qint64 entrySize(const QString& name) const;
    // The whole entry, inflated and CRC-checked; throws ZipError when it is missing,
    // larger than maxBytes, or damaged.
    QByteArray read(const QString& name, qint64 maxBytes = qint64(1) << 31) const;
    // The entry as a sequential device that inflates as it is read, for parts too large to
    // hold whole (a worksheet of a million rows). A damaged entry or a CRC mismatch makes
    // read() fail with errorString() naming the entry. Throws ZipError when the entry is
    // missing. The device must not outlive the reader.
    std::unique_ptr<QIODevice> openEntry(const QString& name) const;
    // The whole entry in pieces of at most chunkBytes, in order, each handed to consume
    // (the view is valid during the call only); the CRC is checked after the last piece.
    // For entries too large to hold at once. Throws ZipError as read() does.
    void readChunks(const QString& name, const std::function<void(QByteArrayView)>& consume,
                    qint64 chunkBytes = qint64(1) << 18) const;

private:
    struct Handle;
    explicit ZipReader(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

// Replaces (or adds) entries of the archive at path, keeping every other entry as it
// is (a missing archive is created); libzip rewrites it through a temporary file in the
// same folder, so a failure leaves the earlier archive whole.
void replaceZipEntries(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries);

}  // namespace rz

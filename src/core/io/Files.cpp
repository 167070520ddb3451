#include "core/io/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <algorithm>

namespace rz {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void throwReadError(const char* what, const QString& path, const QString& reason)
{
    throw FileReadError(
        QStringLiteral("%1 \"%2\". %3").arg(QLatin1StringView(what), shown(path), reason).toStdString());
}

QString systemReason(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QString openFailureReason(const QString& path, const QFile& file)
{
    // Qt's own text for a folder reads oddly next to the system's other reasons.
    if (QFileInfo(path).isDir())
        return systemReason(EISDIR);
    return file.errorString();
}

qint64 wholeMegabytes(qint64 bytes)
{
    return (bytes + (qint64(1) << 20) - 1) >> 20;
}

[[noreturn]] void throwTooLarge(const QString& path, qint64 size, qint64 maxBytes)
{
    const QString limit =
        maxBytes >> 20 > 0 ? QStringLiteral("%1 MB").arg(maxBytes >> 20) : QStringLiteral("%1 bytes").arg(maxBytes);
    throwReadError("Cannot read file", path,
                   QStringLiteral("It holds %1 MB; files over %2 are not read.").arg(wholeMegabytes(size)).arg(limit));
}

// The mode a new file of the user's gets: 0666 less the process' file-creation mask.
// Linux tells the mask without changing it; setting it to learn it would, for a moment,
// give files that other threads create meanwhile the wrong mode.
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok)
                return 0666 & ~static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

QByteArray readWholeFile(const QString& path, qint64 maxBytes)
{
    return InputFile(path, maxBytes).readAll();
}

InputFile::InputFile(const QString& path, qint64 maxBytes) : path_(path), maxBytes_(maxBytes), file_(path)
{
    if (!file_.open(QIODevice::ReadOnly))
        throwReadError("Cannot open file", path, openFailureReason(path, file_));
    struct stat status {};
    regular_ = ::fstat(file_.handle(), &status) == 0 && S_ISREG(status.st_mode);
    size_ = file_.size();
    if (size_ > maxBytes)
        throwTooLarge(path, size_, maxBytes);
}

qint64 InputFile::readAt(qint64 offset, char* into, qint64 size) const
{
    qint64 filled = 0;
    while (filled < size) {
        const ssize_t got = ::pread(file_.handle(), into + filled, static_cast<std::size_t>(size - filled),
                                    static_cast<off_t>(offset + filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throwReadError("Cannot read file", path_, systemReason(errno));
        if (got == 0)
            break;
        filled += got;
    }
    if (offset + filled > maxBytes_)
        throwTooLarge(path_, offset + filled, maxBytes_);
    return filled;
}

QByteArray InputFile::readAll()
{
    // The size is only a hint: some files report none, others grow while being read.
    const qint64 expected = size_;
    const qint64 maxBytes = maxBytes_;
    QByteArray data(expected > 0 ? expected : 0, Qt::Uninitialized);
    qint64 filled = 0;
    const auto readSome = [&](char* into, qint64 maxSize) {
        const qint64 got = file_.read(into, maxSize);
        if (got < 0)
            throwReadError("Cannot read file", path_, file_.errorString());
        return got;
    };
    for (;;) {
        if (filled == data.size()) {
            // Full: a small read tells the end of the file from a file longer than announced.
            char probe[4096];
            const qint64 got = readSome(probe, sizeof(probe));
            if (got == 0)
                break;
            if (filled + got > maxBytes)
                throwTooLarge(path_, filled + got, maxBytes);
            data.resize(std::min(std::max<qint64>(2 * filled, filled + 65536), maxBytes));
            std::memcpy(data.data() + filled, probe, static_cast<std::size_t>(got));
            filled += got;
            continue;
        }
        const qint64 got = readSome(data.data() + filled, data.size() - filled);
        if (got == 0)
            break;
        filled += got;
    }
    data.truncate(filled);
    return data;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        throw FileWriteError(
            QStringLiteral("Cannot create file \"%1\". The folder does not exist.").arg(shown(path)).toStdString());
    if (info.isDir())
        throw FileWriteError(
            QStringLiteral("Cannot create file \"%1\". It is a folder.").arg(shown(path)).toStdString());

    // QSaveFile follows the policy: it gives the temporary file the replaced file's mode
    // and syncs it before the rename in commit(). Unbuffered: a write that the buffer took
    // but the disk refused would otherwise only fail inside commit(), which then keeps the
    // cut-off file as if it were whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileWriteError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(shown(path), file.errorString()).toStdString());
    // A short write (disk full, file-size limit) carries no reason; writing the rest
    // again fails outright and brings out the system's reason.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 got = file.write(bytes.constData() + written, bytes.size() - written);
        if (got <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw FileWriteError(
                QStringLiteral("Stream write error: \"%1\". %2").arg(shown(path), reason).toStdString());
        }
        written += got;
    }
    if (!file.commit())
        throw FileWriteError(
            QStringLiteral("Stream write error: \"%1\". %2").arg(shown(path), file.errorString()).toStdString());
}

void replaceFileWith(const QString& finishedPath, const QString& path)
{
    const QByteArray finished = QFile::encodeName(finishedPath);
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    auto fail = [&](const QString& reason) {
        throw FileWriteError(QStringLiteral("Cannot replace \"%1\". %2").arg(shown(path), reason).toStdString());
    };

    struct stat replaced {};
    const mode_t mode = ::stat(target.constData(), &replaced) == 0 && S_ISREG(replaced.st_mode)
                            ? replaced.st_mode & 07777
                            : newFileMode();
    const int fd = ::open(finished.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(systemReason(errno));
    // Synced before the rename: after a crash the name holds either the old file or the
    // whole new one, never a renamed file whose blocks were not yet written.
    const bool synced = ::fchmod(fd, mode) == 0 && ::fdatasync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced)
        fail(systemReason(syncError));
    if (::rename(finished.constData(), target.constData()) != 0)
        fail(systemReason(errno));
}

}  // namespace rz

#include "excel/CapturedStderr.h"

#include <QByteArray>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cstdio>

namespace rz::excel {

namespace {

// In memory, so that a full disk, which is when the library speaks, cannot stop it.
int memoryFile()
{
#ifdef MFD_CLOEXEC
    const int memory = ::memfd_create("rz-stderr", MFD_CLOEXEC);
    if (memory >= 0)
        return memory;
#endif
    std::FILE* file = std::tmpfile();
    if (!file)
        return -1;
    const int fd = ::dup(::fileno(file));
    std::fclose(file);
    return fd;
}

std::mutex& standardErrorTurn()
{
    static std::mutex turn;
    return turn;
}

bool isLibraryLine(const QByteArray& line)
{
    return line.startsWith("[ERROR]") || line.startsWith("[WARNING]");
}

void writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t got = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (got <= 0)
            return;
        done += got;
    }
}

}  // namespace

CapturedStderr::CapturedStderr() : turn_(standardErrorTurn())
{
    captured_ = memoryFile();
    if (captured_ < 0)
        return;
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(captured_, STDERR_FILENO) < 0) {
        if (saved_ >= 0)
            ::close(saved_);
        ::close(captured_);
        saved_ = captured_ = -1;
    }
}

CapturedStderr::~CapturedStderr()
{
    finish();
}

QStringList CapturedStderr::finish()
{
    if (saved_ < 0) {
        if (turn_.owns_lock())
            turn_.unlock();
        return {};
    }
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;

    QByteArray text;
    char buffer[4096];
    ::lseek(captured_, 0, SEEK_SET);
    for (ssize_t got; (got = ::read(captured_, buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(captured_);
    captured_ = -1;

    QStringList library;
    QByteArray others;
    for (const QByteArray& line : text.split('\n')) {
        if (isLibraryLine(line))
            library << QString::fromLocal8Bit(line);
        else if (!line.isEmpty())
            others += line + '\n';
    }
    writeAll(STDERR_FILENO, others);
    turn_.unlock();
    return library;
}

QString CapturedStderr::systemReason(const QStringList& libraryLines)
{
    static const QRegularExpression reason(QStringLiteral("System error = (.+)$"));
    for (const QString& line : libraryLines) {
        const QRegularExpressionMatch m = reason.match(line.trimmed());
        if (m.hasMatch())
            return m.captured(1).trimmed();
    }
    return {};
}

}  // namespace rz::excel

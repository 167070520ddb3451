#include "cli/ProgressLine.h"

#include <QFile>

#include <algorithm>
#include <cmath>

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#define isatty _isatty
#endif

namespace rz::cli {

namespace {

QString duration(qint64 seconds)
{
    const qint64 h = seconds / 3600;
    const qint64 m = seconds / 60 % 60;
    const qint64 s = seconds % 60;
    const QString ms = QStringLiteral("%1:%2").arg(m, h ? 2 : 1, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return h ? QStringLiteral("%1:%2").arg(h).arg(ms) : ms;
}

}  // namespace

ProgressLine::ProgressLine(QTextStream& err, int total, bool active) : err_(err), total_(total), active_(active)
{
    clock_.start();
}

QString ProgressLine::text(int done, int total, qint64 elapsedMs)
{
    QString line = QStringLiteral("%1/%2 files").arg(done).arg(total);
    if (done > 0 && elapsedMs > 0) {
        const double rate = 1000.0 * done / static_cast<double>(elapsedMs);
        line += QStringLiteral(", %1 files/s").arg(rate, 0, 'f', rate < 10.0 ? 1 : 0);
        const auto left = static_cast<qint64>(std::ceil((total - done) / rate));
        line += QStringLiteral(", %1 left").arg(duration(left));
    }
    return line;
}

bool ProgressLine::isTerminal(const QTextStream& stream)
{
    const auto* file = qobject_cast<const QFile*>(stream.device());
    return file && file->handle() >= 0 && isatty(file->handle());
}

void ProgressLine::update(int done)
{
    if (!active_)
        return;
    const qint64 now = clock_.elapsed();
    // A few times a second is enough for the eye and costs nothing.
    if (shown_ && now - lastShown_ < 200 && done < total_)
        return;
    lastShown_ = now;
    const QString line = text(done, total_, now);
    width_ = std::max(width_, static_cast<int>(line.size()));
    err_ << '\r' << line.leftJustified(width_) << Qt::flush;
    shown_ = true;
}

void ProgressLine::wipe()
{
    if (!active_ || !shown_)
        return;
    err_ << '\r' << QString(width_, QLatin1Char(' ')) << '\r' << Qt::flush;
    shown_ = false;
}

void ProgressLine::finish()
{
    wipe();
    active_ = false;
}

}  // namespace rz::cli

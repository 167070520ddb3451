// The workbench's "Import with Options…": the same reset, dialog folders, names, peak and
// maximum as the plain import (Workbench.cpp), with the reader of core/import.
#include "core/import/ReadWithOptions.h"
#include "core/import/XlsxReader.h"
#include "core/io/Files.h"
#include "core/workbench/Workbench.h"

#include <QDir>
#include <QFileInfo>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// The lines the reader went through: up to the one that ended the data, or to the last
// data line when the file did.
std::int64_t linesLookedAt(const ImportResult& read, std::size_t points)
{
    if (read.stopLine > 0)
        return read.stopLine;
    return read.firstDataLine + static_cast<std::int64_t>(points) - 1;
}

}  // namespace

ImportResult Workbench::importWithOptionsConfirmed(const QString& path, const ImportOptions& options,
                                                   const ImportProgress& progress)
{
    // A file that cannot be opened or a damaged workbook is the user's to fix: a warning,
    // as for data the options cannot read. Anything else is the application's error box.
    const auto refused = [&](const std::exception& e, bool expected) {
        if (progress)
            progress(1, 1);
        if (expected)
            ui_.showMessage(MessageLevel::Warning, QString::fromUtf8(e.what()));
        else
            reportUncaught(e);
        ImportResult failed;
        failed.used = options;
        failed.error = QString::fromUtf8(e.what());
        return failed;
    };
    try {
        return importWithOptions(path, options, progress);
    } catch (const FileReadError& e) {
        return refused(e, true);
    } catch (const XlsxError& e) {
        return refused(e, true);
    } catch (const std::exception& e) {
        return refused(e, false);
    }
}

bool Workbench::readOrRefuse(const QString& path, const ImportOptions& options, const ImportProgress& progress,
                             ImportResult& read)
{
    bool cancelled = false;
    const ImportProgress watched = [&](qint64 done, qint64 total) {
        if (progress && !progress(done, total))
            cancelled = true;
        return !cancelled;
    };
    read = readWithOptions(path, options, watched);
    // The read is over, whatever its outcome: a progress window closes before the message.
    if (progress)
        progress(1, 1);
    if (cancelled) {
        ui_.showMessage(MessageLevel::Information, u"The import was cancelled; nothing was changed."_s);
        return false;
    }
    if (!read.ok()) {
        ui_.showMessage(MessageLevel::Warning, read.error + u" Nothing was imported."_s);
        return false;
    }
    return true;
}

void Workbench::storeCurve(const QString& path, std::vector<Point> points, ImportedCurve imported,
                           std::int64_t lineCount)
{
    storeCurvePoints(path, std::move(points), std::move(imported), lineCount);
    derivePeakAndMax();
}

void Workbench::resetForImportedFile(const QString& path, ImportedCurve imported, std::int64_t lineCount)
{
    ResetAnalysis();
    others_.clear(chart_);
    reportPathChosen(path);
    state_.ResultBaseName = baseNameOf(path);
    state_.SourceDataPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    lastLineCount_ = lineCount;
    imported_ = std::move(imported);
}

void Workbench::storeCurvePoints(const QString& path, std::vector<Point> points, ImportedCurve imported,
                                 std::int64_t lineCount)
{
    resetForImportedFile(path, std::move(imported), lineCount);
    series(SeriesId::lnsrsSeries4).assignStableSorted(std::move(points));
}

ImportResult Workbench::importWithOptions(const QString& path, const ImportOptions& options,
                                          const ImportProgress& progress)
{
    ImportResult read;
    ImportOptions asked = options;
    if (options.cyclic) {
        if (!toleranceIsValid(options.cyclic->tolerance)) {
            ui_.showMessage(MessageLevel::Information, toleranceRangeMessage());
            read.used = options;
            read.error = toleranceRangeMessage();
            return read;
        }
        // A cyclic record is its history: the loops only exist in the file's order.
        asked.order = PointOrder::FileOrder;
    }
    if (!readOrRefuse(path, asked, progress, read))
        return read;
    read.used.cyclic = options.cyclic;

    // Only now, with the points in hand, is the earlier curve given up.
    leaveCyclic();
    const std::int64_t lines = linesLookedAt(read, read.points.size());
    std::vector<Point> points = std::move(read.points);
    read.points.clear();
    ImportedCurve imported;
    if (read.used.cyclic)
        imported.fileOrder = std::move(points);
    else if (read.used.order == PointOrder::FileOrder)
        imported.fileOrder = points;
    imported.read = read;
    QString message = read.message;
    for (const QString& note : read.notes)
        message += u"\n"_s + note;
    if (read.used.cyclic) {
        startCyclic(path, std::move(imported), lines, *read.used.cyclic, message);
        return read;
    }
    storeCurvePoints(path, std::move(points), std::move(imported), lines);
    ui_.showMessage(MessageLevel::Information, message);
    derivePeakAndMax();
    return read;
}

}  // namespace rz

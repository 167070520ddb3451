#pragma once

#include "core/chart/ChartModel.h"
#include "excel/ExcelOp.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// The export run against the in-process workbook model (WorkbookBackend.h), with the
// workbook it builds saved as an .xlsx file.
//
// Desktop ("Export Excel"):
//     rz::excel::WorkbookExport run(decimalSeparator);
//     try {
//         run.toFolder(op, chart, feedback);           // BookN.xlsx in WorkbookFolder()
//     } catch (const rz::excel::ExportCancelled&) {
//     } catch (const std::exception& e) {
//         // the error box with e.what(); the workbook was saved all the same
//     }
//     if (!run.savedPath().isEmpty())
//         // findSpreadsheetOpener() == SpreadsheetOpener::Ready (DesktopWorkbooks.h)
//         //     ? QDesktopServices::openUrl(QUrl::fromLocalFile(path))
//         //     : workbookNotOpenedMessage(path, why)
//
// Batch tool: run.toFile(op, chart, feedback, path) writes path and opens nothing.
//
// Both throw what ExportToExcel throws (ExcelExport.h) after saving what was built, and
// WorkbookWriteError when the file cannot be written. Nothing is saved after a start
// failure, a refused layout or a cancel (also one while the file is being written), and
// savedPath() stays empty then.
namespace rz::excel {

// What the front end shows while a workbook export runs.
class ExportFeedback {
public:
    virtual ~ExportFeedback() = default;
    // Information icon, an OK button.
    virtual void showStartFailure(const QString& text, const QString& caption) = 0;
    // The program's own refusal (information icon).
    virtual void showNotice(const QString& text) = 0;
    // Cell writes done out of total; false when the user cancelled.
    virtual bool progress(std::int64_t done, std::int64_t total)
    {
        (void)done;
        (void)total;
        return true;
    }
    // The cells are done: save writes the file, asking cancelled (which may be empty)
    // now and then and stopping with ExportCancelled when it answers true. A window runs
    // it on a worker thread and keeps its Cancel button alive meanwhile; the default runs
    // it here, uncancelled.
    using SaveFunction = std::function<void(const std::function<bool()>& cancelled)>;
    virtual void saving(const SaveFunction& save) { save({}); }
};

class WorkbookExport {
public:
    explicit WorkbookExport(QChar decimalSeparator);

    // Saves as "Book<n>.xlsx", n counting up as new workbooks are named, past any
    // workbook already in folder, so an earlier one that may still be open is kept.
    void toFolder(ExcelOp& op, const ChartModel& chart, ExportFeedback& feedback,
                  const QString& folder = WorkbookFolder());
    void toFile(ExcelOp& op, const ChartModel& chart, ExportFeedback& feedback, const QString& path);
    // The workbook's creation date (seconds since 1970), for files that depend on their
    // content only; none (the default): the time of saving.
    void setCreated(std::optional<std::int64_t> created) { created_ = created; }

    // The file written by the last run; empty when none was.
    QString savedPath() const { return savedPath_; }

    // The program's own folder for exported workbooks, under the user's cache location.
    static QString WorkbookFolder();

private:
    QChar separator_;
    QString savedPath_;
    std::optional<std::int64_t> created_;
};

}  // namespace rz::excel

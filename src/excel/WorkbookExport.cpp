#include "excel/WorkbookExport.h"

#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <exception>
#include <functional>

namespace rz::excel {

namespace {

class BackendEnvironment : public ExcelEnvironment {
public:
    BackendEnvironment(WorkbookBackend& backend, ExportFeedback& feedback) : backend_(backend), feedback_(feedback) {}

    AutomationObject createApplication() override { return backend_.createApplication(); }
    void showStartFailure(const QString& text, const QString& caption) override
    {
        feedback_.showStartFailure(text, caption);
    }
    void showNotice(const QString& text) override { feedback_.showNotice(text); }
    bool progress(std::int64_t done, std::int64_t total) override { return feedback_.progress(done, total); }

private:
    WorkbookBackend& backend_;
    ExportFeedback& feedback_;
};

// Runs the export and saves the workbook it added to the path that pathFor gives for
// the workbook's name, also when the export stopped with an error, which is rethrown
// once savedPath holds the file.
void exportAndSave(ExcelOp& op, const ChartModel& chart, QChar separator, ExportFeedback& feedback,
                   WorkbookBackend& backend, const std::function<QString(const QString&)>& pathFor,
                   QString& savedPath)
{
    BackendEnvironment env(backend, feedback);
    std::exception_ptr stopped;
    try {
        ExportToExcel(op, chart, separator, env);
    } catch (const ExportCancelled&) {
        throw;
    } catch (...) {
        stopped = std::current_exception();
    }
    if (backend.workbookCount() > 0) {
        const int last = backend.workbookCount() - 1;
        const QString path = pathFor(backend.workbookName(last));
        try {
            feedback.saving([&](const std::function<bool()>& cancelled) { backend.save(last, path, cancelled); });
            savedPath = path;
        } catch (const ExportCancelled&) {
            throw;
        } catch (const WorkbookWriteError& e) {
            if (!stopped)
                throw;
            // Both failed: the user hears of both.
            try {
                std::rethrow_exception(stopped);
            } catch (const std::exception& first) {
                throw WorkbookWriteError(std::string(first.what()) + "\n\nThe workbook could not be saved: " +
                                         e.what());
            }
        }
    }
    if (stopped)
        std::rethrow_exception(stopped);
}

// Numbers of workbooks named this run; a later export never reuses one.
int nextWorkbookNumber = 1;

int firstFreeNumber(const QString& folder)
{
    static const QRegularExpression pattern(QStringLiteral("^Book(\\d{1,9})\\.xlsx$"),
                                            QRegularExpression::CaseInsensitiveOption);
    int highest = 0;
    const QStringList names = QDir(folder).entryList({QStringLiteral("Book*.xlsx")}, QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch())
            highest = std::max(highest, m.captured(1).toInt());
    }
    return highest + 1;
}

}  // namespace

WorkbookExport::WorkbookExport(QChar decimalSeparator) : separator_(decimalSeparator) {}

QString WorkbookExport::WorkbookFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/rorevadi/workbooks");
}

void WorkbookExport::toFolder(ExcelOp& op, const ChartModel& chart, ExportFeedback& feedback, const QString& folder)
{
    savedPath_.clear();
    if (!QDir().mkpath(folder))
        throw WorkbookWriteError(
            QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)).toStdString());
    WorkbookBackend backend(separator_);
    backend.setFirstWorkbookNumber(std::max(nextWorkbookNumber, firstFreeNumber(folder)));
    // Whatever happens, the numbers this run gave out are not given out again.
    struct Advance {
        WorkbookBackend& backend;
        ~Advance()
        {
            if (backend.workbookCount() > 0) {
                const int used = backend.workbookName(backend.workbookCount() - 1).mid(4).toInt();
                nextWorkbookNumber = std::max(nextWorkbookNumber, used + 1);
            }
        }
    } advance{backend};
    exportAndSave(
        op, chart, separator_, feedback, backend,
        [&](const QString& name) { return QDir(folder).absoluteFilePath(name + QStringLiteral(".xlsx")); },
        savedPath_);
}

void WorkbookExport::toFile(ExcelOp& op, const ChartModel& chart, ExportFeedback& feedback, const QString& path)
{
    savedPath_.clear();
    WorkbookBackend backend(separator_);
    backend.setCreated(created_);
    exportAndSave(op, chart, separator_, feedback, backend, [&](const QString&) { return path; }, savedPath_);
}

}  // namespace rz::excel

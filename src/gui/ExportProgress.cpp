#include "gui/ExportProgress.h"

#include "excel/ExcelExport.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

namespace rz {

ExportProgress::ExportProgress(QWidget* parent, bool showsProgress, const QString& title)
    : parent_(parent), showsProgress_(showsProgress), title_(title)
{
}

ExportProgress::~ExportProgress()
{
    delete dialog_.data();
}

void ExportProgress::createDialog()
{
    dialog_ =
        new QProgressDialog(QStringLiteral("Writing the workbook..."), QStringLiteral("Cancel"), 0, 1000, parent_);
    dialog_->setObjectName(QStringLiteral("ExportProgress"));
    dialog_->setWindowTitle(title_);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(500);
    // Stays up after the last cell: saving the file comes next.
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    // The button and Escape both end in canceled(), and the dialog hides itself then.
    // Escape can also reach the dialog as a plain key (when its shortcut does not match,
    // the window not being active yet), which only rejects the dialog: a cancel too.
    QObject::connect(dialog_, &QProgressDialog::canceled, dialog_, [this] { cancel(); });
    QObject::connect(dialog_, &QDialog::rejected, dialog_, [this] { cancel(); });
}

void ExportProgress::cancel()
{
    cancelled_ = true;
}

void ExportProgress::showPainted()
{
    dialog_->show();
    dialog_->raise();
    // The window system shows it a moment later; wait for that (a second at most), so
    // the window is painted before the work holds the thread.
    bool waited = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&waited] { waited = true; });
    limit.start(1000);
    while (dialog_ && !waited && !(dialog_->windowHandle() && dialog_->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    if (dialog_)
        dialog_->repaint();
}

bool ExportProgress::progress(std::int64_t done, std::int64_t total)
{
    if (!showsProgress_ || total <= 0)
        return true;
    if (!dialog_) {
        createDialog();
        if (total >= kShowAtOnceCells)
            showPainted();
    }
    if (dialog_) {
        dialog_->setValue(static_cast<int>(std::min<std::int64_t>(done * 1000 / total, 1000)));
        // The dialog answers its Cancel button and Escape only from its own showing;
        // shown at once, it is given the events here.
        if (dialog_ && dialog_->isVisible())
            QCoreApplication::processEvents();
    }
    return !cancelled_;
}

void ExportProgress::saving(const SaveFunction& save)
{
    if (!showsProgress_) {
        save({});
        return;
    }
    if (cancelled_)
        throw excel::ExportCancelled();
    if (!dialog_)
        createDialog();
    dialog_->setLabelText(QStringLiteral("Saving the workbook..."));
    dialog_->setRange(0, 0);

    std::exception_ptr failure;
    QFutureWatcher<void> watcher;
    bool finished = false;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, [&finished] { finished = true; });
    watcher.setFuture(QtConcurrent::run([&] {
        try {
            save([this] { return cancelled_.load(); });
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    // A short save shows nothing; a longer one brings the window up.
    QTimer late;
    late.setSingleShot(true);
    QObject::connect(&late, &QTimer::timeout, [this] {
        if (dialog_ && !dialog_->isVisible() && !cancelled_)
            showPainted();
    });
    late.start(500);
    // Input reaches only the progress window, and only while it is up: the main window
    // must not start anything while its workbook is being written.
    while (!finished) {
        const bool interactive = dialog_ && dialog_->isVisible();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        (interactive ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents));
    }
    watcher.waitForFinished();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace rz

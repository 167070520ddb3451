#include "gui/ImportProgressWindow.h"

#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>

namespace rz {

namespace {
constexpr int kSteps = 1000;
constexpr int kShowAfterMs = 500;
}  // namespace

ImportProgressWindow::ImportProgressWindow(QWidget* parent, const QString& path, bool showsProgress)
    : parent_(parent), path_(path), showsProgress_(showsProgress)
{
}

ImportProgressWindow::~ImportProgressWindow()
{
    delete dialog_.data();
}

QProgressDialog* ImportProgressWindow::dialog() const
{
    return dialog_;
}

ImportProgress ImportProgressWindow::callback()
{
    return [this](qint64 done, qint64 total) { return report(done, total); };
}

bool ImportProgressWindow::report(qint64 done, qint64 total)
{
    if (!showsProgress_ || total <= 0)
        return true;
    if (dialog_ && dialog_->wasCanceled())
        cancelled_ = true;
    if (done >= total) {
        // The read is over: the window goes (and its timer with it, which would show it
        // later) before the import's message comes up.
        if (dialog_)
            dialog_->reset();
        return !cancelled_;
    }
    if (!dialog_) {
        dialog_ = new QProgressDialog(QStringLiteral("Reading %1...").arg(QFileInfo(path_).fileName()),
                                      QStringLiteral("Cancel"), 0, kSteps, parent_);
        dialog_->setObjectName(QStringLiteral("ImportProgress"));
        dialog_->setWindowTitle(QStringLiteral("Import with Options"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(kShowAfterMs);
        // Escape, or the dialog closed: the read stops at its next piece.
        QObject::connect(dialog_, &QProgressDialog::canceled, dialog_, [this] { cancelled_ = true; });
        QObject::connect(dialog_, &QDialog::rejected, dialog_, [this] { cancelled_ = true; });
        dialog_->setValue(0);
    }
    // A window-modal progress dialog handles its events (Cancel, Escape) in setValue.
    dialog_->setValue(static_cast<int>(std::min<qint64>(done * kSteps / total, kSteps - 1)));
    return !cancelled_;
}

}  // namespace rz

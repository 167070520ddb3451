#pragma once

#include "excel/WorkbookExport.h"

#include <QPointer>
#include <QString>
#include <atomic>
#include <cstdint>

class QProgressDialog;
class QWidget;

namespace rz {

// The progress window of "Export Excel": shown and painted before the cells of a large
// export are written, with a Cancel button (and Escape) that works while the cells are
// written and while the file is saved; a cancelled export keeps nothing. The file is
// saved on a worker thread, so the window stays painted and answers meanwhile.
// The notices of the export are the window's: a subclass shows them.
class ExportProgress : public excel::ExportFeedback {
public:
    // Exports of at least this many cell writes show the window at once; smaller ones
    // only when they take longer than half a second.
    static constexpr std::int64_t kShowAtOnceCells = 100'000;

    // showsProgress false: no window, and nothing can be cancelled (tests, scripts).
    // title: the progress window's, the command's name.
    ExportProgress(QWidget* parent, bool showsProgress, const QString& title = QStringLiteral("Export Excel"));
    ~ExportProgress() override;

    bool progress(std::int64_t done, std::int64_t total) override;
    void saving(const SaveFunction& save) override;

    // The window while it exists (tests look at it).
    QProgressDialog* dialog() const { return dialog_; }

private:
    void createDialog();
    void showPainted();
    void cancel();

    QWidget* parent_;
    bool showsProgress_;
    QString title_;
    QPointer<QProgressDialog> dialog_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace rz

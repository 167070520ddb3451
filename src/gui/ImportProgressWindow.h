#pragma once

#include "core/import/ImportResult.h"

#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace rz {

// The progress window of "Import with Options…": the whole file is read after the dialog,
// and a large one takes seconds. The window comes up when the read looks like taking
// longer than half a second, with a Cancel button (and Escape) that stops the read; the
// window's curve is then left as it was. Without shown progress (tests, scripts) nothing
// comes up and nothing can be cancelled.
class ImportProgressWindow {
public:
    ImportProgressWindow(QWidget* parent, const QString& path, bool showsProgress);
    ~ImportProgressWindow();
    ImportProgressWindow(const ImportProgressWindow&) = delete;
    ImportProgressWindow& operator=(const ImportProgressWindow&) = delete;

    // For Workbench::importWithOptionsConfirmed; valid while this object lives. The read's
    // end (done == total) closes the window.
    ImportProgress callback();

    // The window while it exists (tests look at it).
    QProgressDialog* dialog() const;

private:
    bool report(qint64 done, qint64 total);

    QWidget* parent_;
    QString path_;
    bool showsProgress_;
    bool cancelled_ = false;
    QPointer<QProgressDialog> dialog_;
};

}  // namespace rz

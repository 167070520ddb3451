#pragma once

#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportPreview.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPushButton;

namespace rz {

class ImportOptionsForm;
class ImportPreviewPane;

// "Import with Options…": how to read one file, with a live preview. Only the head of the
// file is read (FileHead.h), so the dialog opens at once on a file of any size; every
// change of an option runs detection and the preview again on that head.
//
//   ImportOptionsDialog dialog(path, remembered, separator, window);  // throws when unreadable
//   if (dialog.exec() == QDialog::Accepted)
//       workbench.importWithOptionsConfirmed(path, dialog.options(), progress);
class ImportOptionsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportOptionsDialog)
public:
    // initial: the options offered (those used last); Auto where detection decides.
    // Factors are typed with decimalSeparator. Throws FileReadError, or XlsxError for a
    // damaged workbook.
    ImportOptionsDialog(const QString& path, const ImportOptions& initial, QChar decimalSeparator,
                        QWidget* parent = nullptr);
    ~ImportOptionsDialog() override;

    // The user's choices, Auto where detection decides: reading the file with them gives
    // what the preview shows.
    ImportOptions options() const { return given_; }

    // "Detect again": the file's head read anew, everything detection finds set back to
    // detection; scale, sign, origin and order stay as chosen.
    void detectAgain();

    const ImportPreview& preview() const { return preview_; }
    ImportOptionsForm* form() const { return form_; }
    ImportPreviewPane* previewPane() const { return pane_; }
    QLabel* messageLabel() const { return message_; }
    QPushButton* detectAgainButton() const { return detectAgain_; }
    QDialogButtonBox* buttons() const { return buttons_; }

private:
    void readHead(const QString& sheet);
    void readHeadAgain(const QString& sheet);
    void optionsChanged();
    void refresh();

    QString path_;
    FileHead head_;
    ImportOptions given_;
    ImportPreview preview_;
    QString headError_;  // the file could not be read again
    ImportOptionsForm* form_ = nullptr;
    ImportPreviewPane* pane_ = nullptr;
    QLabel* file_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* detectAgain_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace rz

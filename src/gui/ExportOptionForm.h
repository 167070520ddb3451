#pragma once

#include "excel/ExcelOp.h"

#include <QChar>
#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rz {

// Shows the text of an error that "Update" raised. The desktop shows the application's
// error box; tests record.
using MessageFn = std::function<void(const QString& text)>;

// "Export Options": edits the Excel export's options. "Update" stores the controls into
// the options field by field and stays open; "Cancel" closes without undoing anything.
class TExportOptionForm : public QDialog {
    Q_OBJECT
public:
    TExportOptionForm(QWidget* owner, excel::ExcelOp& options, QChar decimalSeparator, MessageFn showError);

    // Fills the controls from the options.
    void fill();
    // "Update". Stops at the first text that does not convert, after showing its error;
    // what was stored before it stays stored.
    void btn1Click();
    // "Cancel".
    void btn2Click();

    QGroupBox* grp1 = nullptr;  // "Serie"
    QComboBox* cbb1 = nullptr;
    QComboBox* cbb4 = nullptr;
    QCheckBox* chk1 = nullptr;
    QComboBox* cbb2 = nullptr;
    QComboBox* cbb3 = nullptr;
    QComboBox* cbb5 = nullptr;
    QGroupBox* grp2 = nullptr;  // "Axis"
    QCheckBox* chk2 = nullptr;
    QLineEdit* edt1 = nullptr;
    QLineEdit* edt2 = nullptr;
    QLineEdit* edt9 = nullptr;
    QCheckBox* chk6 = nullptr;
    QLineEdit* edt6 = nullptr;
    QLineEdit* edt7 = nullptr;
    QLineEdit* edt8 = nullptr;
    QGroupBox* grp3 = nullptr;  // "Plot Area"
    QLineEdit* edt3 = nullptr;
    QLineEdit* edt4 = nullptr;
    QCheckBox* chk7 = nullptr;
    QGroupBox* grp4 = nullptr;  // "Lengend"
    QCheckBox* chk3 = nullptr;
    QCheckBox* chk4 = nullptr;
    QLineEdit* edt10 = nullptr;
    QGroupBox* grp5 = nullptr;  // "Title"
    QCheckBox* chk5 = nullptr;
    QLineEdit* edt5 = nullptr;
    QLineEdit* edt11 = nullptr;
    QGroupBox* grp6 = nullptr;  // "Export Mode"
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* btn2 = nullptr;

private:
    void store();
    // Widens the drop-downs (and the dialog) to show their texts whole.
    void fitFieldsToContents();

    excel::ExcelOp& options_;
    QChar separator_;
    MessageFn showError_;
};

// Points to the options dialog while ShowExcelOptions runs; empty otherwise.
extern TExportOptionForm* ExportOptionForm;

// Builds a new dialog owned by owner, fills it from options, shows it modally and
// destroys it however it closes. showError empty: the application's error box.
void ShowExcelOptions(QWidget* owner, excel::ExcelOp& options, QChar decimalSeparator, MessageFn showError = {});

}  // namespace rz

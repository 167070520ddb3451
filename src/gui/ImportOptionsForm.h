#pragma once

#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportPreview.h"

#include <QSpinBox>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QFormLayout;
class QLineEdit;

namespace rz {

// A line number (or a count of lines) that detection may choose: -1 shows "Detect (what
// detection found)", 0 shows "None" where a line may be left out, and other values are
// themselves. Typing "d…" or "n…" chooses the special values.
class LineSpinBox final : public QSpinBox {
    Q_OBJECT
public:
    LineSpinBox(bool noneAllowed, QWidget* parent);
    void setDetected(const QString& text);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;

private:
    bool noneAllowed_;
    QString detected_;
};

// Every import option, as one form. Options left on Auto show what detection made of
// them ("Detect (Tab)"), so the user sees the values that will be used and changes only
// what is wrong; a changed option stays as chosen and detection works around it.
class ImportOptionsForm final : public QWidget {
    Q_OBJECT
public:
    // Factors are typed with the window's decimal separator.
    ImportOptionsForm(QChar decimalSeparator, QWidget* parent);

    // Shows given (Auto where the user left detection to decide), with what detection
    // made of it from the head; the column lists hold the head's columns.
    void showOptions(const ImportOptions& given, const ImportPreview& preview, const FileHead& head);
    // What the form holds now.
    ImportOptions options() const;
    // Why options() cannot be used as typed (a factor that is not a number, a separator
    // that cannot separate), or empty.
    QString problem() const;

    QComboBox* encoding = nullptr;
    QComboBox* separator = nullptr;
    QLineEdit* separatorCharacter = nullptr;
    QComboBox* decimal = nullptr;
    LineSpinBox* skipLines = nullptr;
    LineSpinBox* headerLine = nullptr;
    LineSpinBox* unitsLine = nullptr;
    QComboBox* displacementColumn = nullptr;
    QComboBox* loadColumn = nullptr;
    QComboBox* displacementScale = nullptr;
    QLineEdit* displacementFactor = nullptr;
    QComboBox* loadScale = nullptr;
    QLineEdit* loadFactor = nullptr;
    QCheckBox* flipDisplacement = nullptr;
    QCheckBox* flipLoad = nullptr;
    QCheckBox* fromOrigin = nullptr;
    QComboBox* order = nullptr;
    QComboBox* sheet = nullptr;
    // Ticked: a cyclic test (the order is then the file's); its envelope settings inside.
    QGroupBox* cyclic = nullptr;
    QLineEdit* tolerance = nullptr;
    QComboBox* envelope = nullptr;
    QComboBox* peak = nullptr;

signals:
    // The user changed an option.
    void changed();

private:
    void buildCyclicGroup();
    void setTextRowsVisible(bool visible);
    void fillColumns(QComboBox* box, const ColumnChoice& given, int detected, const ImportPreview& preview);

    QChar sep_;
    QFormLayout* layout_ = nullptr;
    bool filling_ = false;
};

}  // namespace rz

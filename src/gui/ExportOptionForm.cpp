#include "gui/ExportOptionForm.h"

#include "core/analysis/Arithmetic.h"
#include "core/text/NumberText.h"
#include "gui/Links.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <stdexcept>

namespace rz {

TExportOptionForm* ExportOptionForm = nullptr;

namespace {

// Blanks and control characters around a text, as the platform's trim removes them.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

std::int32_t integerOf(const QString& text)
{
    const QString trimmed = trimBlanks(text);
    const std::optional<std::int32_t> value = parseInteger(trimmed);
    if (!value)
        throw std::runtime_error(invalidIntegerMessage(trimmed).toStdString());
    return *value;
}

float floatOf(const QString& text, QChar separator)
{
    const QString trimmed = trimBlanks(text);
    const std::optional<double> value = parseDecimal(trimmed, separator);
    if (!value)
        throw std::runtime_error(invalidFloatMessage(trimmed).toStdString());
    // Narrowing a number beyond the 32-bit float's range overflows.
    if (std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max()))
        throw ArithmeticError(ArithmeticError::Kind::Overflow);
    return static_cast<float>(*value);
}

// Control placement inside a group box: a label on the left, its field on the right.
constexpr int kLabelX = 10;
constexpr int kLabelWidth = 96;
constexpr int kFieldX = 108;
constexpr int kFieldHeight = 21;
constexpr int kNarrowestField = 99;  // the fields' width in the dialog's design

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1StringView(name));
    box->setGeometry(x, y, w, h);
    return box;
}

template <class Field>
Field* labelled(QGroupBox* box, const char* name, const QString& label, int y)
{
    auto* text = new QLabel(label, box);
    text->setGeometry(kLabelX, y, kLabelWidth, kFieldHeight);
    auto* field = new Field(box);
    field->setObjectName(QLatin1StringView(name));
    field->setGeometry(kFieldX, y, box->width() - kFieldX - 10, kFieldHeight);
    text->setBuddy(field);
    return field;
}

QComboBox* comboBox(QGroupBox* box, const char* name, const QString& label, int y, bool editable,
                    const QStringList& items)
{
    auto* combo = labelled<QComboBox>(box, name, label, y);
    combo->setEditable(editable);
    // A typed value is the field's value, not a new item of the fixed list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

QCheckBox* checkBox(QGroupBox* box, const char* name, const QString& caption, int y)
{
    auto* check = new QCheckBox(caption, box);
    check->setObjectName(QLatin1StringView(name));
    check->setGeometry(kLabelX, y, box->width() - 2 * kLabelX, kFieldHeight);
    return check;
}

QLineEdit* edit(QGroupBox* box, const char* name, const QString& label, int y)
{
    return labelled<QLineEdit>(box, name, label, y);
}

// The width a combo box needs to show its widest item and its current text whole.
int widthForContents(const QComboBox* combo)
{
    const QFontMetrics metrics(combo->font());
    int text = metrics.horizontalAdvance(combo->currentText());
    for (int i = 0; i < combo->count(); ++i)
        text = std::max(text, metrics.horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    // An editable box draws its text in a line edit, with that edit's own margins.
    const int margins = combo->isEditable() ? 8 : 0;
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text + margins, kFieldHeight), combo)
        .width();
}

// The index of a list-only combo box: the item, or none when there is no such item.
void selectIndex(QComboBox* combo, std::int32_t index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace

TExportOptionForm::TExportOptionForm(QWidget* owner, excel::ExcelOp& options, QChar decimalSeparator,
                                     MessageFn showError)
    : QDialog(owner), options_(options), separator_(decimalSeparator), showError_(std::move(showError))
{
    setObjectName(QStringLiteral("ExportOptionForm"));
    setWindowTitle(QStringLiteral("Export Options"));
    setFont(tahomaFont(8, false));
    setFixedSize(458, 487);

    grp1 = group(this, "grp1", QStringLiteral("Serie"), 8, 8, 217, 216);
    cbb1 = comboBox(grp1, "cbb1", QStringLiteral("Line Weight"), 24, true,
                    {"0", "0.25", "0.5", "0.75", "1", "1.25", "1.5"});
    cbb4 = comboBox(grp1, "cbb4", QStringLiteral("Line Color"), 56, false, {"Auto", "Same as Plot Panel"});
    chk1 = checkBox(grp1, "chk1", QStringLiteral("Show Maker"), 88);
    cbb2 = comboBox(grp1, "cbb2", QStringLiteral("Maker Style"), 120, false, {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    cbb3 = comboBox(grp1, "cbb3", QStringLiteral("Maker Size"), 152, true, {"2", "3", "4", "5", "6", "7", "8", "9", "10"});
    cbb5 = comboBox(grp1, "cbb5", QStringLiteral("Maker Color"), 184, false, {"Auto", "Same as Plot Panel"});

    grp2 = group(this, "grp2", QStringLiteral("Axis"), 8, 230, 217, 243);
    chk2 = checkBox(grp2, "chk2", QStringLiteral("Show Axis Title"), 22);
    edt1 = edit(grp2, "edt1", QStringLiteral("X Axis Title"), 49);
    edt2 = edit(grp2, "edt2", QStringLiteral("Y Axis Title"), 76);
    edt9 = edit(grp2, "edt9", QStringLiteral("Font Size"), 103);
    chk6 = checkBox(grp2, "chk6", QStringLiteral("Show Axis Line"), 130);
    edt6 = edit(grp2, "edt6", QStringLiteral("X Axis Position"), 157);
    edt7 = edit(grp2, "edt7", QStringLiteral("Y Axis Position"), 184);
    edt8 = edit(grp2, "edt8", QStringLiteral("Ticklabel Font Size"), 211);

    grp3 = group(this, "grp3", QStringLiteral("Plot Area"), 238, 237, 215, 108);
    edt3 = edit(grp3, "edt3", QStringLiteral("Height"), 22);
    edt4 = edit(grp3, "edt4", QStringLiteral("Width"), 50);
    chk7 = checkBox(grp3, "chk7", QStringLiteral("Show Plot Area Line"), 78);

    grp4 = group(this, "grp4", QStringLiteral("Lengend"), 238, 8, 215, 105);
    chk3 = checkBox(grp4, "chk3", QStringLiteral("Show Lengend"), 22);
    chk4 = checkBox(grp4, "chk4", QStringLiteral("IncludeInLayout"), 48);
    edt10 = edit(grp4, "edt10", QStringLiteral("Font Size"), 74);

    grp5 = group(this, "grp5", QStringLiteral("Title"), 238, 119, 215, 112);
    chk5 = checkBox(grp5, "chk5", QStringLiteral("Show Graph Title"), 22);
    edt5 = edit(grp5, "edt5", QStringLiteral("Title"), 50);
    edt11 = edit(grp5, "edt11", QStringLiteral("Font Size"), 78);

    grp6 = group(this, "grp6", QStringLiteral("Export Mode"), 238, 357, 215, 81);
    rb1 = new QRadioButton(QStringLiteral("Single Output"), grp6);
    rb1->setObjectName(QStringLiteral("rb1"));
    rb1->setGeometry(kLabelX, 22, 190, kFieldHeight);
    rb2 = new QRadioButton(QStringLiteral("Combined Output"), grp6);
    rb2->setObjectName(QStringLiteral("rb2"));
    rb2->setGeometry(kLabelX, 48, 190, kFieldHeight);

    btn1 = new QPushButton(QStringLiteral("Update"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(238, 444, 96, 25);
    btn2 = new QPushButton(QStringLiteral("Cancel"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    btn2->setGeometry(340, 444, 113, 25);
    // Enter in a field presses neither button.
    for (QPushButton* b : {btn1, btn2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    QWidget* const order[] = {cbb1, cbb4, chk1, cbb2, cbb3, cbb5,            // Serie
                              chk2, edt1, edt2, edt9, chk6, edt6, edt7, edt8,  // Axis
                              edt3, edt4, chk7,                                // Plot Area
                              btn1, btn2,                                      //
                              chk3, chk4, edt10,                               // Lengend
                              chk5, edt5, edt11,                               // Title
                              rb1, rb2};                                       // Export Mode
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(btn1, &QPushButton::clicked, this, &TExportOptionForm::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TExportOptionForm::btn2Click);

    if (!showError_) {
        showError_ = [this](const QString& text) {
            QMessageBox::critical(this, QApplication::applicationDisplayName(), text);
        };
    }
}

void TExportOptionForm::fitFieldsToContents()
{
    // The left column widens until every drop-down shows its texts whole ("Same as Plot
    // Panel", a line weight's digits); the right column and the dialog move with it.
    int field = kNarrowestField;
    for (const QComboBox* combo : {cbb1, cbb4, cbb2, cbb3, cbb5})
        field = std::max(field, widthForContents(combo));
    const int column = kFieldX + field + 10;
    const int shift = column - grp1->width();
    if (shift == 0)
        return;
    for (QGroupBox* box : {grp1, grp2}) {
        box->resize(column, box->height());
        for (QWidget* control : box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->x() == kFieldX)
                control->resize(field, control->height());
            else if (qobject_cast<QCheckBox*>(control))
                control->resize(column - 2 * kLabelX, control->height());
        }
    }
    for (QWidget* right : std::initializer_list<QWidget*>{grp3, grp4, grp5, grp6, btn1, btn2})
        right->move(right->x() + shift, right->y());
    setFixedSize(width() + shift, height());
}

void TExportOptionForm::fill()
{
    const excel::ExcelOp& op = options_;
    edt3->setText(QString::number(op.ChartHeight));
    edt4->setText(QString::number(op.ChartWidth));
    chk3->setChecked(op.ShowLegend);
    chk4->setChecked(op.LegendIncludeInLayout);
    cbb1->setEditText(formatGeneral(static_cast<double>(op.LineWeight), separator_));
    chk1->setChecked(op.ShowMarker);
    cbb3->setEditText(QString::number(op.MarkerSize));
    cbb2->setCurrentIndex(cbb2->findText(QString::number(op.MarkerStyle)));
    chk5->setChecked(op.ShowGraphTitle);
    edt5->setText(op.GraphTitle);
    edt8->setText(QString::number(op.TickLabelFontSize));
    edt9->setText(QString::number(op.AxisTitleFontSize));
    edt10->setText(QString::number(op.LegendFontSize));
    if (op.ExportMode == 0)
        rb1->setChecked(true);
    else
        rb2->setChecked(true);
    chk6->setChecked(op.ShowAxisLine);
    edt6->setText(op.XAxisPosition);
    edt7->setText(op.YAxisPosition);
    chk2->setChecked(op.ShowAxisTitle);
    edt1->setText(op.XAxisTitle);
    edt2->setText(op.YAxisTitle);
    chk7->setChecked(op.ShowPlotAreaLine);
    selectIndex(cbb4, op.LineColorMode);
    selectIndex(cbb5, op.MarkerColorMode);
    edt11->setText(QString::number(op.TitleFontSize));
    fitFieldsToContents();
}

void TExportOptionForm::store()
{
    excel::ExcelOp& op = options_;
    op.ChartWidth = integerOf(edt4->text());
    op.ChartHeight = integerOf(edt3->text());
    op.ShowLegend = chk3->isChecked();
    op.LegendIncludeInLayout = chk4->isChecked();
    op.LineWeight = floatOf(cbb1->currentText(), separator_);
    op.MarkerSize = integerOf(cbb3->currentText());
    op.ShowMarker = chk1->isChecked();
    op.MarkerStyle = integerOf(cbb2->currentText());
    op.TickLabelFontSize = integerOf(edt8->text());
    op.AxisTitleFontSize = integerOf(edt9->text());
    op.LegendFontSize = integerOf(edt10->text());
    op.ShowGraphTitle = chk5->isChecked();
    op.GraphTitle = trimBlanks(edt5->text());
    op.ShowAxisLine = chk6->isChecked();
    op.XAxisPosition = edt6->text();
    op.YAxisPosition = edt7->text();
    op.ShowAxisTitle = chk2->isChecked();
    op.XAxisTitle = edt1->text();
    op.YAxisTitle = edt2->text();
    op.ShowPlotAreaLine = chk7->isChecked();
    op.LineColorMode = cbb4->currentIndex();
    op.MarkerColorMode = cbb5->currentIndex();
    op.ExportMode = rb1->isChecked() ? 0 : 1;
    // Our addition comes last, so a bad title size leaves every other option stored.
    op.TitleFontSize = integerOf(edt11->text());
}

void TExportOptionForm::btn1Click()
{
    try {
        store();
    } catch (const std::exception& e) {
        showError_(QString::fromUtf8(e.what()));
    }
}

void TExportOptionForm::btn2Click()
{
    close();
}

void ShowExcelOptions(QWidget* owner, excel::ExcelOp& options, QChar decimalSeparator, MessageFn showError)
{
    // Clears the pointer and destroys the dialog however the showing ends; the QPointer
    // copes with the owner having destroyed the dialog meanwhile.
    struct Showing {
        QPointer<TExportOptionForm> form;
        ~Showing()
        {
            ExportOptionForm = nullptr;
            delete form.data();
        }
    } showing;
    showing.form = new TExportOptionForm(owner, options, decimalSeparator, std::move(showError));
    ExportOptionForm = showing.form;
    showing.form->fill();
    showing.form->exec();
}

}  // namespace rz

#include "gui/ImportOptionsForm.h"

#include "core/text/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <cmath>
#include <initializer_list>
#include <limits>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr int kLargestLine = 99'999'999;

QString detectText(const QString& detected)
{
    return detected.isEmpty() ? u"Detect"_s : u"Detect ("_s + detected + u")"_s;
}

template <typename E>
QComboBox* choiceBox(QWidget* parent, const char* name, std::initializer_list<E> values)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (E value : values)
        box->addItem(optionLabel(value), static_cast<int>(value));
    return box;
}

template <typename E>
E choiceOf(const QComboBox* box)
{
    return static_cast<E>(box->currentData().toInt());
}

// Selects the entry of value, adding it when the list lacks it (options remembered from
// another file may name a preset this quantity does not offer).
template <typename E>
void selectChoice(QComboBox* box, E value)
{
    int index = box->findData(static_cast<int>(value));
    if (index < 0) {
        box->addItem(optionLabel(value), static_cast<int>(value));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

QLineEdit* factorEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(u"factor"_s);
    edit->setMaximumWidth(110);
    return edit;
}

QWidget* pair(QWidget* parent, QWidget* first, QWidget* second)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first, 1);
    layout->addWidget(second);
    return row;
}

QString separatorText(const ImportOptions& o)
{
    return o.separator == FieldSeparator::Character ? u"\""_s + o.separatorChar + u"\""_s : optionLabel(o.separator);
}

// "5: Ch 1 Weg (mm)", or "5" without a header.
QString columnText(int number, const ImportPreview& preview)
{
    const QString name = preview.detection.columnNames.value(number - 1);
    const QString unit = preview.detection.columnUnits.value(number - 1);
    QString text = QString::number(number);
    if (!name.isEmpty())
        text += u": "_s + name;
    if (!unit.isEmpty() && !name.contains(unit))
        text += u" ("_s + unit + u")"_s;
    return text;
}

LineChoice lineChoiceOf(const QSpinBox* box)
{
    if (box->value() < 0)
        return {LineMode::Auto, 0};
    if (box->value() == 0)
        return {LineMode::None, 0};
    return {LineMode::Line, box->value()};
}

int lineValueOf(const LineChoice& choice)
{
    switch (choice.mode) {
        case LineMode::Auto:
            return -1;
        case LineMode::None:
            return 0;
        case LineMode::Line:
            break;
    }
    return choice.line;
}

QString lineText(const LineChoice& resolved)
{
    return resolved.mode == LineMode::Line ? QString::number(resolved.line) : u"none"_s;
}

}  // namespace

// --- LineSpinBox ---

LineSpinBox::LineSpinBox(bool noneAllowed, QWidget* parent) : QSpinBox(parent), noneAllowed_(noneAllowed)
{
    setRange(-1, kLargestLine);
}

void LineSpinBox::setDetected(const QString& text)
{
    if (detected_ == text)
        return;
    detected_ = text;
    // The shown text is made from the value: move away and back to redraw it.
    const QSignalBlocker blocker(this);
    const int shown = value();
    setValue(shown == maximum() ? shown - 1 : shown + 1);
    setValue(shown);
}

QString LineSpinBox::textFromValue(int value) const
{
    if (value < 0)
        return detectText(detected_);
    if (value == 0 && noneAllowed_)
        return u"None"_s;
    return QString::number(value);
}

int LineSpinBox::valueFromText(const QString& text) const
{
    if (text.startsWith(u'd', Qt::CaseInsensitive))
        return -1;
    if (text.startsWith(u'n', Qt::CaseInsensitive))
        return 0;
    return text.toInt();
}

QValidator::State LineSpinBox::validate(QString& text, int& pos) const
{
    for (const QString& word : {detectText(detected_), u"None"_s}) {
        if (word == u"None"_s && !noneAllowed_)
            continue;
        if (word.startsWith(text, Qt::CaseInsensitive) && !text.isEmpty())
            return text.size() == word.size() ? QValidator::Acceptable : QValidator::Intermediate;
    }
    return QSpinBox::validate(text, pos);
}

// --- ImportOptionsForm ---

ImportOptionsForm::ImportOptionsForm(QChar decimalSeparator, QWidget* parent) : QWidget(parent), sep_(decimalSeparator)
{
    setObjectName(u"importOptionsForm"_s);
    layout_ = new QFormLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    sheet = new QComboBox(this);
    sheet->setObjectName(u"sheet"_s);
    encoding = choiceBox(this, "encoding",
                         {TextEncoding::Auto, TextEncoding::Utf8, TextEncoding::Latin1, TextEncoding::Utf16,
                          TextEncoding::Utf16LE, TextEncoding::Utf16BE});
    separator = choiceBox(this, "separator",
                          {FieldSeparator::Auto, FieldSeparator::Comma, FieldSeparator::Semicolon, FieldSeparator::Tab,
                           FieldSeparator::Blanks, FieldSeparator::Plain, FieldSeparator::Character});
    separatorCharacter = new QLineEdit(this);
    separatorCharacter->setObjectName(u"separatorCharacter"_s);
    separatorCharacter->setMaxLength(1);
    separatorCharacter->setMaximumWidth(40);
    decimal = choiceBox(this, "decimal", {DecimalSeparator::Auto, DecimalSeparator::Point, DecimalSeparator::Comma});
    skipLines = new LineSpinBox(false, this);
    skipLines->setObjectName(u"skipLines"_s);
    headerLine = new LineSpinBox(true, this);
    headerLine->setObjectName(u"headerLine"_s);
    unitsLine = new LineSpinBox(true, this);
    unitsLine->setObjectName(u"unitsLine"_s);
    displacementColumn = new QComboBox(this);
    displacementColumn->setObjectName(u"displacementColumn"_s);
    loadColumn = new QComboBox(this);
    loadColumn->setObjectName(u"loadColumn"_s);
    displacementScale = choiceBox(
        this, "displacementScale",
        {ScalePreset::AsIs, ScalePreset::MetresToMillimetres, ScalePreset::InchesToMillimetres, ScalePreset::Factor});
    displacementFactor = factorEdit(this, "displacementFactor");
    loadScale = choiceBox(this, "loadScale",
                          {ScalePreset::AsIs, ScalePreset::NewtonsToKilonewtons, ScalePreset::PoundsForceToKilonewtons,
                           ScalePreset::KipsToKilonewtons, ScalePreset::Factor});
    loadFactor = factorEdit(this, "loadFactor");
    flipDisplacement = new QCheckBox(u"Change the sign of displacements"_s, this);
    flipDisplacement->setObjectName(u"flipDisplacement"_s);
    flipLoad = new QCheckBox(u"Change the sign of loads"_s, this);
    flipLoad->setObjectName(u"flipLoad"_s);
    fromOrigin = new QCheckBox(u"Start at the origin (subtract the first point)"_s, this);
    fromOrigin->setObjectName(u"fromOrigin"_s);
    order = choiceBox(this, "order", {PointOrder::ByDisplacement, PointOrder::FileOrder});

    layout_->addRow(u"&Worksheet:"_s, sheet);
    layout_->addRow(u"&Encoding:"_s, encoding);
    layout_->addRow(u"&Field separator:"_s, pair(this, separator, separatorCharacter));
    layout_->addRow(u"&Decimal separator:"_s, decimal);
    layout_->addRow(u"Lines to &skip:"_s, skipLines);
    layout_->addRow(u"&Header line:"_s, headerLine);
    layout_->addRow(u"&Units line:"_s, unitsLine);
    layout_->addRow(u"Dis&placement column:"_s, displacementColumn);
    layout_->addRow(u"&Load column:"_s, loadColumn);
    layout_->addRow(u"Displacement s&cale:"_s, pair(this, displacementScale, displacementFactor));
    layout_->addRow(u"Load sc&ale:"_s, pair(this, loadScale, loadFactor));
    layout_->addRow(QString(), flipDisplacement);
    layout_->addRow(QString(), flipLoad);
    layout_->addRow(QString(), fromOrigin);
    // The cyclic analysis needs the file's order; its tick box and settings go below this row.
    layout_->addRow(u"&Order of points:"_s, order);
    buildCyclicGroup();

    for (QComboBox* box :
         {sheet, encoding, separator, decimal, displacementColumn, loadColumn, displacementScale, loadScale, order})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                emit changed();
        });
    for (QSpinBox* box :
         {static_cast<QSpinBox*>(skipLines), static_cast<QSpinBox*>(headerLine), static_cast<QSpinBox*>(unitsLine)})
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (!filling_)
                emit changed();
        });
    for (QLineEdit* edit : {separatorCharacter, displacementFactor, loadFactor})
        connect(edit, &QLineEdit::textEdited, this, [this] { emit changed(); });
    for (QCheckBox* box : {flipDisplacement, flipLoad, fromOrigin})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!filling_)
                emit changed();
        });
}

void ImportOptionsForm::buildCyclicGroup()
{
    cyclic = new QGroupBox(u"C&yclic test: analyse the envelope of each direction"_s, this);
    cyclic->setObjectName(u"cyclic"_s);
    cyclic->setCheckable(true);
    cyclic->setChecked(false);
    tolerance = factorEdit(this, "tolerance");
    tolerance->setToolTip(u"The dead band, as a fraction of the displacement range (0 to less than 0.5)"_s);
    envelope = new QComboBox(cyclic);
    envelope->setObjectName(u"envelope"_s);
    for (const auto& entry : kEnvelopeChoiceNames)
        envelope->addItem(QString::fromUtf8(entry.title), static_cast<int>(entry.value));
    peak = new QComboBox(cyclic);
    peak->setObjectName(u"peak"_s);
    for (const auto& entry : kPeakChoiceNames)
        peak->addItem(QString::fromUtf8(entry.title), static_cast<int>(entry.value));
    auto* form = new QFormLayout(cyclic);
    form->addRow(u"&Tolerance:"_s, tolerance);
    form->addRow(u"En&velope:"_s, envelope);
    form->addRow(u"Pea&k by:"_s, peak);
    layout_->addRow(cyclic);

    connect(cyclic, &QGroupBox::toggled, this, [this] {
        if (!filling_)
            emit changed();
    });
    connect(tolerance, &QLineEdit::textEdited, this, [this] { emit changed(); });
    for (QComboBox* box : {envelope, peak})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                emit changed();
        });
}

void ImportOptionsForm::setTextRowsVisible(bool visible)
{
    layout_->setRowVisible(encoding, visible);
    layout_->setRowVisible(separator->parentWidget(), visible);
    layout_->setRowVisible(decimal, visible);
    layout_->setRowVisible(sheet, !visible);
}

void ImportOptionsForm::fillColumns(QComboBox* box, const ColumnChoice& given, int detected,
                                    const ImportPreview& preview)
{
    int columns = static_cast<int>(preview.detection.columnNames.size());
    for (const PreviewLine& line : preview.lines)
        columns = std::max(columns, static_cast<int>(line.cells.size()));
    box->clear();
    box->addItem(detectText(preview.detection.ok() ? columnText(detected, preview) : QString()));
    for (int number = 1; number <= columns; ++number)
        box->addItem(columnText(number, preview), number);
    switch (given.mode) {
        case ColumnMode::Auto:
            box->setCurrentIndex(0);
            break;
        case ColumnMode::Number:
            if (box->findData(given.number) < 0)
                box->addItem(QString::number(given.number), given.number);
            box->setCurrentIndex(box->findData(given.number));
            break;
        case ColumnMode::Name:
            box->addItem(u"\u201c"_s + given.name + u"\u201d"_s, given.name);
            box->setCurrentIndex(box->count() - 1);
            break;
    }
}

void ImportOptionsForm::showOptions(const ImportOptions& given, const ImportPreview& preview, const FileHead& head)
{
    filling_ = true;
    const ImportOptions& found = preview.detection.options;
    const bool ok = preview.detection.ok();
    const bool workbook = head.kind == FileKind::Workbook;
    setTextRowsVisible(!workbook);

    sheet->clear();
    sheet->addItems(head.sheetNames);
    sheet->setCurrentIndex(std::max(0, static_cast<int>(head.sheetNames.indexOf(head.sheet))));

    encoding->setItemText(0, detectText(optionLabel(found.encoding)));
    selectChoice(encoding, given.encoding);
    separator->setItemText(0, detectText(separatorText(found)));
    selectChoice(separator, given.separator);
    separatorCharacter->setEnabled(given.separator == FieldSeparator::Character);
    if (given.separator == FieldSeparator::Character && separatorCharacter->text() != QString(given.separatorChar))
        separatorCharacter->setText(QString(given.separatorChar));
    decimal->setItemText(0, detectText(optionLabel(found.decimal)));
    selectChoice(decimal, given.decimal);

    skipLines->setDetected(ok ? QString::number(found.skipLines.value_or(0)) : QString());
    skipLines->setValue(given.skipLines ? *given.skipLines : -1);
    headerLine->setDetected(ok ? lineText(found.header) : QString());
    headerLine->setValue(lineValueOf(given.header));
    unitsLine->setDetected(ok ? lineText(found.units) : QString());
    unitsLine->setValue(lineValueOf(given.units));
    fillColumns(displacementColumn, given.displacement, found.displacement.number, preview);
    fillColumns(loadColumn, given.load, found.load.number, preview);

    const auto showScale = [this](QComboBox* box, QLineEdit* factor, const QuantityScale& scale) {
        selectChoice(box, scale.preset);
        const bool free = scale.preset == ScalePreset::Factor;
        factor->setEnabled(free);
        // The text the user types stays as typed while it is a number.
        if (free && parseDecimal(factor->text(), sep_) != scale.factor)
            factor->setText(std::isfinite(scale.factor) ? formatGeneral(scale.factor, sep_) : QString());
    };
    showScale(displacementScale, displacementFactor, given.displacementScale);
    showScale(loadScale, loadFactor, given.loadScale);
    flipDisplacement->setChecked(given.displacementScale.flip);
    flipLoad->setChecked(given.loadScale.flip);
    fromOrigin->setChecked(given.fromOrigin);
    selectChoice(order, given.cyclic ? PointOrder::FileOrder : given.order);
    order->setEnabled(!given.cyclic);
    cyclic->setChecked(given.cyclic.has_value());
    const CyclicOptions settings = given.cyclic.value_or(CyclicOptions{});
    if (parseDecimal(tolerance->text(), sep_) != settings.tolerance)
        tolerance->setText(std::isfinite(settings.tolerance) ? formatGeneral(settings.tolerance, sep_) : QString());
    envelope->setCurrentIndex(envelope->findData(static_cast<int>(settings.envelope)));
    peak->setCurrentIndex(peak->findData(static_cast<int>(settings.peak)));
    filling_ = false;
}

ImportOptions ImportOptionsForm::options() const
{
    ImportOptions o;
    o.sheet = sheet->currentText();
    o.encoding = choiceOf<TextEncoding>(encoding);
    o.separator = choiceOf<FieldSeparator>(separator);
    if (o.separator == FieldSeparator::Character) {
        // A comma, semicolon, tab or blank typed here is its named separator.
        if (const auto typed = separatorFromText(separatorCharacter->text())) {
            o.separator = typed->separator;
            o.separatorChar = typed->character;
        }
    }
    o.decimal = choiceOf<DecimalSeparator>(decimal);
    o.skipLines = skipLines->value() < 0 ? std::nullopt : std::optional<int>(skipLines->value());
    o.header = lineChoiceOf(headerLine);
    o.units = lineChoiceOf(unitsLine);
    const auto columnOf = [](const QComboBox* box) {
        const QVariant chosen = box->currentData();
        if (!chosen.isValid())
            return ColumnChoice{ColumnMode::Auto, 1, {}};
        if (chosen.typeId() == QMetaType::QString)
            return ColumnChoice{ColumnMode::Name, 1, chosen.toString()};
        return ColumnChoice{ColumnMode::Number, chosen.toInt(), {}};
    };
    o.displacement = columnOf(displacementColumn);
    o.load = columnOf(loadColumn);
    const auto scaleOf = [this](const QComboBox* box, const QLineEdit* factor, bool flip) {
        QuantityScale scale;
        scale.preset = choiceOf<ScalePreset>(box);
        if (scale.preset == ScalePreset::Factor)
            scale.factor = parseDecimal(factor->text(), sep_).value_or(std::numeric_limits<double>::quiet_NaN());
        scale.flip = flip;
        return scale;
    };
    o.displacementScale = scaleOf(displacementScale, displacementFactor, flipDisplacement->isChecked());
    o.loadScale = scaleOf(loadScale, loadFactor, flipLoad->isChecked());
    o.fromOrigin = fromOrigin->isChecked();
    o.order = choiceOf<PointOrder>(order);
    if (cyclic->isChecked()) {
        CyclicOptions settings;
        settings.tolerance =
            parseDecimal(tolerance->text(), sep_).value_or(std::numeric_limits<double>::quiet_NaN());
        settings.envelope = static_cast<EnvelopeChoice>(envelope->currentData().toInt());
        settings.peak = static_cast<PeakChoice>(peak->currentData().toInt());
        o.cyclic = settings;
        o.order = PointOrder::FileOrder;
    }
    return o;
}

QString ImportOptionsForm::problem() const
{
    if (choiceOf<FieldSeparator>(separator) == FieldSeparator::Character &&
        !separatorFromText(separatorCharacter->text()))
        return u"Type the character that separates the fields (not a digit, letter, sign, point or quote)."_s;
    const ImportOptions o = options();
    if (o.cyclic && !toleranceIsValid(o.cyclic->tolerance))
        return toleranceRangeMessage();
    for (const auto& [scale, name] : {std::pair{&o.displacementScale, "displacement"}, std::pair{&o.loadScale, "load"}})
        if (!isUsableScale(*scale))
            return QStringLiteral("The %1 scale factor must be a number other than 0, written with \"%2\".")
                .arg(QLatin1StringView(name), QString(sep_));
    return {};
}

}  // namespace rz

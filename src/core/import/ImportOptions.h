#pragma once

#include "core/cyclic/CyclicOptions.h"

#include <QChar>
#include <QJsonObject>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

// How to read a load-displacement curve from an instrument's file: which lines hold the
// data, how a line splits into fields, which fields are displacement and load, and what
// to do to the numbers. Default-constructed options read a file the way the plain import
// does (line 0 skipped, commas and blanks between fields, fields 1 and 2, a decimal
// point), so the plain import's tests also guard this reader. Every "Auto" member is
// resolved by detectOptions (Detect.h) before a file is read.
namespace rz {

enum class TextEncoding {
    Auto,  // byte-order mark; else UTF-8 if the head of the file is valid UTF-8; else Latin-1
    Utf8,
    Latin1,
    Utf16,  // byte-order mark decides, little-endian without one
    Utf16LE,
    Utf16BE,
};

enum class FieldSeparator {
    Plain,  // commas and blanks both separate, as the plain import splits lines
    Auto,
    Comma,
    Semicolon,
    Tab,
    Blanks,     // runs of blanks and tabs count as one separator
    Character,  // ImportOptions::separatorChar
};

enum class DecimalSeparator { Auto, Point, Comma };

enum class LineMode {
    Auto,  // recognised just above the data
    None,
    Line,  // LineChoice::line
};

enum class ColumnMode {
    Auto,    // by header names and units, else columns 1 and 2
    Number,  // ColumnChoice::number, from 1
    Name,    // ColumnChoice::name, matched against the header
};

enum class ScalePreset {
    AsIs,
    MetresToMillimetres,       // × 1000
    InchesToMillimetres,       // × 25.4
    NewtonsToKilonewtons,      // ÷ 1000
    PoundsForceToKilonewtons,  // × 4.4482216152605, then ÷ 1000
    KipsToKilonewtons,         // × 4.4482216152605
    Factor,                    // × QuantityScale::factor
};

enum class PointOrder {
    ByDisplacement,  // stable sort by displacement, as the plain import stores a curve
    FileOrder,       // as recorded: cyclic records need the history
};

struct LineChoice {
    LineMode mode = LineMode::Auto;
    int line = 0;  // with LineMode::Line: the line's number, from 1 (rows of a worksheet alike)
    friend bool operator==(const LineChoice&, const LineChoice&) = default;
};

struct ColumnChoice {
    ColumnMode mode = ColumnMode::Number;
    int number = 1;  // from 1
    QString name;
    friend bool operator==(const ColumnChoice&, const ColumnChoice&) = default;
};

struct QuantityScale {
    ScalePreset preset = ScalePreset::AsIs;
    double factor = 1.0;  // with ScalePreset::Factor; must be finite and not 0
    bool flip = false;    // change the sign (compression tests record negative values)
    friend bool operator==(const QuantityScale&, const QuantityScale&) = default;
};

struct ImportOptions {
    TextEncoding encoding = TextEncoding::Auto;
    FieldSeparator separator = FieldSeparator::Plain;
    QChar separatorChar = u',';  // with FieldSeparator::Character
    DecimalSeparator decimal = DecimalSeparator::Point;
    std::optional<int> skipLines = 1;  // lines before the first data line; nullopt: detect
    LineChoice header;
    LineChoice units;
    ColumnChoice displacement{ColumnMode::Number, 1, {}};
    ColumnChoice load{ColumnMode::Number, 2, {}};
    QuantityScale displacementScale;
    QuantityScale loadScale;
    bool fromOrigin = false;  // subtract the first point (after scale and sign)
    PointOrder order = PointOrder::ByDisplacement;
    QString sheet;  // workbooks: the worksheet's name; empty for the first
    // Set: the record is a cyclic test, read in file order and analysed as the envelope of
    // each loading direction (core/cyclic, core/workbench/CyclicSession.h).
    std::optional<CyclicOptions> cyclic;

    // Everything that detection can find set to Auto; scale, sign, origin and order as is.
    static ImportOptions detectEverything();
    friend bool operator==(const ImportOptions&, const ImportOptions&) = default;
};

// --- Names: one table per enum, shared by the batch tool's flags and the dialog ---

template <typename E>
struct OptionName {
    E value;
    QLatin1StringView key;  // for flags, settings and JSON; the first entry of a value is its key
    const char* label;      // for the dialog
};

std::span<const OptionName<TextEncoding>> optionNames(TextEncoding);
std::span<const OptionName<FieldSeparator>> optionNames(FieldSeparator);
std::span<const OptionName<DecimalSeparator>> optionNames(DecimalSeparator);
std::span<const OptionName<ScalePreset>> optionNames(ScalePreset);
std::span<const OptionName<PointOrder>> optionNames(PointOrder);

template <typename E>
QString optionKey(E value)
{
    for (const auto& entry : optionNames(E{}))
        if (entry.value == value)
            return QString(entry.key);
    return {};
}

template <typename E>
QString optionLabel(E value)
{
    for (const auto& entry : optionNames(E{}))
        if (entry.value == value)
            return QString::fromUtf8(entry.label);
    return {};
}

// Case-insensitive; also takes the aliases of a value ("." for a point, "utf8").
template <typename E>
std::optional<E> optionFromKey(QStringView key)
{
    for (const auto& entry : optionNames(E{}))
        if (key.compare(entry.key, Qt::CaseInsensitive) == 0)
            return entry.value;
    return std::nullopt;
}

// A separator as the user writes it: a key of the table or one character (",", ";", a
// tab or a blank give their named separator, any other becomes FieldSeparator::Character).
struct SeparatorChoice {
    FieldSeparator separator;
    QChar character;
};
std::optional<SeparatorChoice> separatorFromText(QStringView text);

// --- Scale ---

// The factor a preset multiplies by (for N -> kN and lbf -> kN, the overall factor; the
// reader divides by 1000 instead of multiplying by 0.001, see applyScale).
double presetFactor(ScalePreset preset);
// The unit a preset gives ("mm", "kN"), empty for AsIs and Factor.
QString presetUnit(ScalePreset preset);
// The preset that turns unit into mm or kN ("m", "in", "N", "lbf", "kip"), if any.
std::optional<ScalePreset> presetForUnit(QStringView unit);
// The scale factor is usable: a preset, or a finite factor other than 0.
bool isUsableScale(const QuantityScale& scale);
// value scaled, then its sign changed if flip; checked (throws ArithmeticError).
double applyScale(double value, const QuantityScale& scale);

// --- JSON, for settings and the batch tool's report ---

// Line numbers as the user counts them (from 1); "auto" for what detection will find.
QJsonObject optionsToJson(const ImportOptions& options);
// Keys that are missing keep their default; a key with a wrong value is an error.
std::optional<ImportOptions> optionsFromJson(const QJsonObject& json, QString* error = nullptr);

}  // namespace rz

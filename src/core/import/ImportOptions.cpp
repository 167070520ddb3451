#include "core/import/ImportOptions.h"

#include "core/analysis/Arithmetic.h"

#include <QJsonValue>

#include <array>
#include <cmath>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<OptionName<TextEncoding>, 9> kEncodingNames{{
    {TextEncoding::Auto, "auto"_L1, "Detect"},
    {TextEncoding::Utf8, "utf-8"_L1, "UTF-8"},
    {TextEncoding::Latin1, "latin-1"_L1, "Latin-1 (ISO 8859-1)"},
    {TextEncoding::Utf16, "utf-16"_L1, "UTF-16"},
    {TextEncoding::Utf16LE, "utf-16le"_L1, "UTF-16 little-endian"},
    {TextEncoding::Utf16BE, "utf-16be"_L1, "UTF-16 big-endian"},
    {TextEncoding::Utf8, "utf8"_L1, "UTF-8"},
    {TextEncoding::Latin1, "latin1"_L1, "Latin-1 (ISO 8859-1)"},
    {TextEncoding::Latin1, "iso-8859-1"_L1, "Latin-1 (ISO 8859-1)"},
}};

constexpr std::array<OptionName<FieldSeparator>, 10> kSeparatorNames{{
    {FieldSeparator::Plain, "plain"_L1, "Commas and blanks"},
    {FieldSeparator::Auto, "auto"_L1, "Detect"},
    {FieldSeparator::Comma, "comma"_L1, "Comma"},
    {FieldSeparator::Semicolon, "semicolon"_L1, "Semicolon"},
    {FieldSeparator::Tab, "tab"_L1, "Tab"},
    {FieldSeparator::Blanks, "blank"_L1, "Blanks and tabs"},
    {FieldSeparator::Character, "character"_L1, "Other character"},
    {FieldSeparator::Blanks, "blanks"_L1, "Blanks and tabs"},
    {FieldSeparator::Blanks, "space"_L1, "Blanks and tabs"},
    {FieldSeparator::Character, "char"_L1, "Other character"},
}};

constexpr std::array<OptionName<DecimalSeparator>, 5> kDecimalNames{{
    {DecimalSeparator::Auto, "auto"_L1, "Detect"},
    {DecimalSeparator::Point, "point"_L1, "Point (1.5)"},
    {DecimalSeparator::Comma, "comma"_L1, "Comma (1,5)"},
    {DecimalSeparator::Point, "."_L1, "Point (1.5)"},
    {DecimalSeparator::Comma, ","_L1, "Comma (1,5)"},
}};

constexpr std::array<OptionName<ScalePreset>, 12> kScaleNames{{
    {ScalePreset::AsIs, "as-is"_L1, "As is"},
    {ScalePreset::MetresToMillimetres, "m-to-mm"_L1, "m \u2192 mm (\u00d7 1000)"},
    {ScalePreset::InchesToMillimetres, "in-to-mm"_L1, "in \u2192 mm (\u00d7 25.4)"},
    {ScalePreset::NewtonsToKilonewtons, "n-to-kn"_L1, "N \u2192 kN (\u00f7 1000)"},
    {ScalePreset::PoundsForceToKilonewtons, "lbf-to-kn"_L1, "lbf \u2192 kN (\u00d7 0.0044482216152605)"},
    {ScalePreset::KipsToKilonewtons, "kip-to-kn"_L1, "kip \u2192 kN (\u00d7 4.4482216152605)"},
    {ScalePreset::Factor, "factor"_L1, "Factor"},
    {ScalePreset::MetresToMillimetres, "m-mm"_L1, "m \u2192 mm (\u00d7 1000)"},
    {ScalePreset::InchesToMillimetres, "in-mm"_L1, "in \u2192 mm (\u00d7 25.4)"},
    {ScalePreset::NewtonsToKilonewtons, "n-kn"_L1, "N \u2192 kN (\u00f7 1000)"},
    {ScalePreset::PoundsForceToKilonewtons, "lbf-kn"_L1, "lbf \u2192 kN (\u00d7 0.0044482216152605)"},
    {ScalePreset::KipsToKilonewtons, "kip-kn"_L1, "kip \u2192 kN (\u00d7 4.4482216152605)"},
}};

constexpr std::array<OptionName<PointOrder>, 4> kOrderNames{{
    {PointOrder::ByDisplacement, "by-displacement"_L1, "Sorted by displacement"},
    {PointOrder::FileOrder, "file-order"_L1, "Keep file order"},
    {PointOrder::ByDisplacement, "sorted"_L1, "Sorted by displacement"},
    {PointOrder::FileOrder, "keep"_L1, "Keep file order"},
}};

// Pound-force in newtons, exact by definition (0.45359237 kg × 9.80665 m/s²).
constexpr double kNewtonsPerPoundForce = 4.4482216152605;

QJsonValue lineToJson(const LineChoice& choice)
{
    switch (choice.mode) {
        case LineMode::Auto:
            return u"auto"_s;
        case LineMode::None:
            return u"none"_s;
        case LineMode::Line:
            break;
    }
    return choice.line;
}

QJsonValue columnToJson(const ColumnChoice& choice)
{
    switch (choice.mode) {
        case ColumnMode::Auto:
            return u"auto"_s;
        case ColumnMode::Name:
            return choice.name;
        case ColumnMode::Number:
            break;
    }
    return choice.number;
}

QJsonValue scaleToJson(const QuantityScale& scale)
{
    if (scale.preset == ScalePreset::Factor)
        return scale.factor;
    return optionKey(scale.preset);
}

// A whole number from 1 (or from 0 with allowZero) stored as a JSON number.
std::optional<int> positiveInteger(const QJsonValue& value, bool allowZero)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (d != std::floor(d) || d < (allowZero ? 0.0 : 1.0) || d > 2147483647.0)
        return std::nullopt;
    return static_cast<int>(d);
}

// Missing members keep their defaults; a wrong value refuses the whole object.
std::optional<CyclicOptions> cyclicFromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject json = value.toObject();
    CyclicOptions cyclic;
    if (json.contains("tolerance"_L1)) {
        if (!json.value("tolerance"_L1).isDouble() || !toleranceIsValid(json.value("tolerance"_L1).toDouble()))
            return std::nullopt;
        cyclic.tolerance = json.value("tolerance"_L1).toDouble();
    }
    if (json.contains("envelope"_L1)) {
        const auto envelope =
            choiceFromKey(kEnvelopeChoiceNames, json.value("envelope"_L1).toString().toStdString());
        if (!envelope)
            return std::nullopt;
        cyclic.envelope = *envelope;
    }
    if (json.contains("peak"_L1)) {
        const auto peak = choiceFromKey(kPeakChoiceNames, json.value("peak"_L1).toString().toStdString());
        if (!peak)
            return std::nullopt;
        cyclic.peak = *peak;
    }
    return cyclic;
}

std::optional<LineChoice> lineFromJson(const QJsonValue& value)
{
    if (value.isString()) {
        if (value.toString() == "auto"_L1)
            return LineChoice{LineMode::Auto, 0};
        if (value.toString() == "none"_L1)
            return LineChoice{LineMode::None, 0};
        return std::nullopt;
    }
    if (const auto line = positiveInteger(value, false))
        return LineChoice{LineMode::Line, *line};
    return std::nullopt;
}

std::optional<ColumnChoice> columnFromJson(const QJsonValue& value)
{
    if (value.isString()) {
        if (value.toString() == "auto"_L1)
            return ColumnChoice{ColumnMode::Auto, 1, {}};
        if (value.toString().isEmpty())
            return std::nullopt;
        return ColumnChoice{ColumnMode::Name, 1, value.toString()};
    }
    if (const auto number = positiveInteger(value, false))
        return ColumnChoice{ColumnMode::Number, *number, {}};
    return std::nullopt;
}

std::optional<QuantityScale> scaleFromJson(const QJsonValue& value, bool flip)
{
    QuantityScale scale;
    scale.flip = flip;
    if (value.isDouble()) {
        scale.preset = ScalePreset::Factor;
        scale.factor = value.toDouble();
    } else if (const auto preset = optionFromKey<ScalePreset>(value.toString());
               preset && *preset != ScalePreset::Factor) {
        scale.preset = *preset;
    } else {
        return std::nullopt;
    }
    if (!isUsableScale(scale))
        return std::nullopt;
    return scale;
}

}  // namespace

ImportOptions ImportOptions::detectEverything()
{
    ImportOptions options;
    options.encoding = TextEncoding::Auto;
    options.separator = FieldSeparator::Auto;
    options.decimal = DecimalSeparator::Auto;
    options.skipLines.reset();
    options.header = {};
    options.units = {};
    options.displacement = {ColumnMode::Auto, 1, {}};
    options.load = {ColumnMode::Auto, 2, {}};
    return options;
}

std::span<const OptionName<TextEncoding>> optionNames(TextEncoding)
{
    return kEncodingNames;
}

std::span<const OptionName<FieldSeparator>> optionNames(FieldSeparator)
{
    return kSeparatorNames;
}

std::span<const OptionName<DecimalSeparator>> optionNames(DecimalSeparator)
{
    return kDecimalNames;
}

std::span<const OptionName<ScalePreset>> optionNames(ScalePreset)
{
    return kScaleNames;
}

std::span<const OptionName<PointOrder>> optionNames(PointOrder)
{
    return kOrderNames;
}

std::optional<SeparatorChoice> separatorFromText(QStringView text)
{
    if (text.size() == 1) {
        const QChar c = text.front();
        if (c == u',')
            return SeparatorChoice{FieldSeparator::Comma, c};
        if (c == u';')
            return SeparatorChoice{FieldSeparator::Semicolon, c};
        if (c == u'\t')
            return SeparatorChoice{FieldSeparator::Tab, c};
        if (c == u' ')
            return SeparatorChoice{FieldSeparator::Blanks, c};
        // A quote or a line break cannot separate fields; a digit, sign or letter would
        // split the numbers themselves.
        if (c == u'"' || c == u'\r' || c == u'\n' || c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.')
            return std::nullopt;
        return SeparatorChoice{FieldSeparator::Character, c};
    }
    const auto named = optionFromKey<FieldSeparator>(text);
    if (!named || *named == FieldSeparator::Character)
        return std::nullopt;
    return SeparatorChoice{*named, u','};
}

double presetFactor(ScalePreset preset)
{
    switch (preset) {
        case ScalePreset::AsIs:
        case ScalePreset::Factor:
            return 1.0;
        case ScalePreset::MetresToMillimetres:
            return 1000.0;
        case ScalePreset::InchesToMillimetres:
            return 25.4;
        case ScalePreset::NewtonsToKilonewtons:
            return 0.001;
        case ScalePreset::PoundsForceToKilonewtons:
            return kNewtonsPerPoundForce / 1000.0;
        case ScalePreset::KipsToKilonewtons:
            return kNewtonsPerPoundForce;
    }
    return 1.0;
}

QString presetUnit(ScalePreset preset)
{
    switch (preset) {
        case ScalePreset::MetresToMillimetres:
        case ScalePreset::InchesToMillimetres:
            return u"mm"_s;
        case ScalePreset::NewtonsToKilonewtons:
        case ScalePreset::PoundsForceToKilonewtons:
        case ScalePreset::KipsToKilonewtons:
            return u"kN"_s;
        case ScalePreset::AsIs:
        case ScalePreset::Factor:
            break;
    }
    return {};
}

std::optional<ScalePreset> presetForUnit(QStringView unit)
{
    const QString u = unit.trimmed().toString().toLower();
    if (u == "m"_L1)
        return ScalePreset::MetresToMillimetres;
    if (u == "in"_L1 || u == "inch"_L1 || u == "inches"_L1)
        return ScalePreset::InchesToMillimetres;
    if (u == "n"_L1)
        return ScalePreset::NewtonsToKilonewtons;
    if (u == "lbf"_L1 || u == "lb"_L1 || u == "lbs"_L1)
        return ScalePreset::PoundsForceToKilonewtons;
    if (u == "kip"_L1 || u == "kips"_L1)
        return ScalePreset::KipsToKilonewtons;
    return std::nullopt;
}

bool isUsableScale(const QuantityScale& scale)
{
    if (scale.preset != ScalePreset::Factor)
        return true;
    return std::isfinite(scale.factor) && scale.factor != 0.0;
}

double applyScale(double value, const QuantityScale& scale)
{
    double scaled = value;
    switch (scale.preset) {
        case ScalePreset::AsIs:
            break;
        case ScalePreset::MetresToMillimetres:
            scaled = checkedMul(value, 1000.0);
            break;
        case ScalePreset::InchesToMillimetres:
            scaled = checkedMul(value, 25.4);
            break;
        // Divided rather than multiplied by 0.001, which no double holds exactly: 1234 N
        // becomes 1.234 kN and not 1.2340000000000002.
        case ScalePreset::NewtonsToKilonewtons:
            scaled = checkedDiv(value, 1000.0);
            break;
        case ScalePreset::PoundsForceToKilonewtons:
            scaled = checkedDiv(checkedMul(value, kNewtonsPerPoundForce), 1000.0);
            break;
        case ScalePreset::KipsToKilonewtons:
            scaled = checkedMul(value, kNewtonsPerPoundForce);
            break;
        case ScalePreset::Factor:
            scaled = checkedMul(value, scale.factor);
            break;
    }
    // 0 - x rather than -x: a flipped zero stays +0.
    return scale.flip ? checkedSub(0.0, scaled) : scaled;
}

QJsonObject optionsToJson(const ImportOptions& options)
{
    QJsonObject json;
    json.insert(u"encoding"_s, optionKey(options.encoding));
    json.insert(u"separator"_s, options.separator == FieldSeparator::Character ? QString(options.separatorChar)
                                                                               : optionKey(options.separator));
    json.insert(u"decimalSeparator"_s, optionKey(options.decimal));
    json.insert(u"skipLines"_s, options.skipLines ? QJsonValue(*options.skipLines) : QJsonValue(u"auto"_s));
    json.insert(u"headerLine"_s, lineToJson(options.header));
    json.insert(u"unitsLine"_s, lineToJson(options.units));
    json.insert(u"displacementColumn"_s, columnToJson(options.displacement));
    json.insert(u"loadColumn"_s, columnToJson(options.load));
    json.insert(u"scaleDisplacement"_s, scaleToJson(options.displacementScale));
    json.insert(u"scaleLoad"_s, scaleToJson(options.loadScale));
    json.insert(u"flipDisplacement"_s, options.displacementScale.flip);
    json.insert(u"flipLoad"_s, options.loadScale.flip);
    json.insert(u"fromOrigin"_s, options.fromOrigin);
    json.insert(u"order"_s, optionKey(options.order));
    json.insert(u"sheet"_s, options.sheet);
    if (options.cyclic) {
        json.insert(u"cyclic"_s, QJsonObject{{u"tolerance"_s, options.cyclic->tolerance},
                                             {u"envelope"_s, QString::fromLatin1(keyOf(options.cyclic->envelope))},
                                             {u"peak"_s, QString::fromLatin1(keyOf(options.cyclic->peak))}});
    }
    return json;
}

std::optional<ImportOptions> optionsFromJson(const QJsonObject& json, QString* error)
{
    ImportOptions options;
    QString bad;
    const auto has = [&](const char* key) { return json.contains(QLatin1StringView(key)); };
    const auto at = [&](const char* key) { return json.value(QLatin1StringView(key)); };

    if (has("encoding")) {
        if (const auto e = optionFromKey<TextEncoding>(at("encoding").toString()))
            options.encoding = *e;
        else
            bad = u"encoding"_s;
    }
    if (bad.isEmpty() && has("separator")) {
        if (const auto s = separatorFromText(at("separator").toString())) {
            options.separator = s->separator;
            options.separatorChar = s->character;
        } else {
            bad = u"separator"_s;
        }
    }
    if (bad.isEmpty() && has("decimalSeparator")) {
        if (const auto d = optionFromKey<DecimalSeparator>(at("decimalSeparator").toString()))
            options.decimal = *d;
        else
            bad = u"decimalSeparator"_s;
    }
    if (bad.isEmpty() && has("skipLines")) {
        if (at("skipLines").toString() == "auto"_L1)
            options.skipLines.reset();
        else if (const auto n = positiveInteger(at("skipLines"), true))
            options.skipLines = *n;
        else
            bad = u"skipLines"_s;
    }
    const auto readLine = [&](const char* key, LineChoice& into) {
        if (!bad.isEmpty() || !has(key))
            return;
        if (const auto line = lineFromJson(at(key)))
            into = *line;
        else
            bad = QString::fromLatin1(key);
    };
    readLine("headerLine", options.header);
    readLine("unitsLine", options.units);
    const auto readColumn = [&](const char* key, ColumnChoice& into) {
        if (!bad.isEmpty() || !has(key))
            return;
        if (const auto column = columnFromJson(at(key)))
            into = *column;
        else
            bad = QString::fromLatin1(key);
    };
    readColumn("displacementColumn", options.displacement);
    readColumn("loadColumn", options.load);
    const auto readScale = [&](const char* key, const char* flipKey, QuantityScale& into) {
        if (!bad.isEmpty())
            return;
        if (has(flipKey) && !at(flipKey).isBool()) {
            bad = QString::fromLatin1(flipKey);
            return;
        }
        const bool flip = at(flipKey).toBool(false);
        into.flip = flip;
        if (!has(key))
            return;
        if (const auto scale = scaleFromJson(at(key), flip))
            into = *scale;
        else
            bad = QString::fromLatin1(key);
    };
    readScale("scaleDisplacement", "flipDisplacement", options.displacementScale);
    readScale("scaleLoad", "flipLoad", options.loadScale);
    if (bad.isEmpty() && has("fromOrigin")) {
        if (at("fromOrigin").isBool())
            options.fromOrigin = at("fromOrigin").toBool();
        else
            bad = u"fromOrigin"_s;
    }
    if (bad.isEmpty() && has("order")) {
        if (const auto o = optionFromKey<PointOrder>(at("order").toString()))
            options.order = *o;
        else
            bad = u"order"_s;
    }
    if (bad.isEmpty() && has("sheet")) {
        if (at("sheet").isString())
            options.sheet = at("sheet").toString();
        else
            bad = u"sheet"_s;
    }
    if (bad.isEmpty() && has("cyclic")) {
        if (const auto cyclic = cyclicFromJson(at("cyclic")))
            options.cyclic = *cyclic;
        else
            bad = u"cyclic"_s;
    }
    if (!bad.isEmpty()) {
        if (error)
            *error = QStringLiteral("The import option \"%1\" has a value that cannot be used.").arg(bad);
        return std::nullopt;
    }
    return options;
}

}  // namespace rz

#include "cli/ImportFlags.h"

#include "cli/OptionRow.h"
#include "cli/Options.h"
#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportResult.h"
#include "core/text/NumberText.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace rz::cli {

namespace {

using namespace Qt::StringLiterals;

// Marks the flags as given: from now on the files are read with options.
ImportFlags& flagsOf(ParsedArguments& p)
{
    p.options.import.given = true;
    return p.options.import;
}

std::optional<ColumnChoice> columnFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (t.compare(u"auto"_s, Qt::CaseInsensitive) == 0)
        return ColumnChoice{ColumnMode::Auto, 1, {}};
    bool number = false;
    const int n = t.toInt(&number);
    if (number)
        return n >= 1 ? std::optional(ColumnChoice{ColumnMode::Number, n, {}}) : std::nullopt;
    return ColumnChoice{ColumnMode::Name, 1, t};
}

// A preset of the quantity's list ("m-mm", "m-to-mm", "as-is"), or a finite factor other
// than 0 written with a point.
std::optional<QuantityScale> scaleFromText(const QString& text, std::initializer_list<ScalePreset> presets)
{
    if (const auto preset = optionFromKey<ScalePreset>(text)) {
        for (ScalePreset allowed : presets)
            if (allowed == *preset)
                return QuantityScale{*preset, 1.0, false};
        return std::nullopt;
    }
    const std::optional<double> factor = parseDecimal(text, u'.');
    QuantityScale scale{ScalePreset::Factor, factor.value_or(0.0), false};
    if (!factor || !isUsableScale(scale))
        return std::nullopt;
    return scale;
}

QString setFlag(ParsedArguments& p, bool ImportFlags::*member)
{
    flagsOf(p).*member = true;
    return {};
}

const std::array<OptionRow, 13> kImportRows{{
    {{"auto"},
     nullptr,
     {"detect how each FILE is laid out: encoding, data start, header and units",
      "lines, separators, columns; the flags below given with it win"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::autoDetect); }},
    {{"detect"},
     nullptr,
     {"print what detection finds in each FILE, one line of JSON per FILE,", "and calculate nothing"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::detectOnly); }},
    {{"columns"},
     "D,L",
     {"the displacement and load columns: numbers from 1 or header names"},
     [](ParsedArguments& p, const QString& v) {
         const QStringList parts = v.split(u',');
         const auto d = columnFromText(parts.value(0));
         const auto l = columnFromText(parts.value(1));
         if (parts.size() != 2 || !d || !l)
             return QStringLiteral("--columns takes two columns, numbers from 1 or header names, as D,L, not \"%1\"")
                 .arg(v);
         flagsOf(p).displacementColumn = d;
         flagsOf(p).loadColumn = l;
         return QString();
     }},
    {{"skip-lines"},
     "N",
     {"the number of lines before the first data line"},
     [](ParsedArguments& p, const QString& v) {
         bool ok = false;
         const int n = v.toInt(&ok);
         if (!ok || n < 0 || v.startsWith(u'+'))
             return QStringLiteral("--skip-lines takes a number of lines, 0 or more, not \"%1\"").arg(v);
         flagsOf(p).skipLines = n;
         return QString();
     }},
    {{"separator"},
     "S",
     {"the field separator: auto, comma, semicolon, tab, blank (runs of", "blanks and tabs) or one other character"},
     [](ParsedArguments& p, const QString& v) {
         const auto choice = separatorFromText(v);
         if (!choice)
             return QStringLiteral(
                        "--separator takes auto, comma, semicolon, tab, blank or one character that is not a "
                        "digit, letter, sign, point or quote, not \"%1\"")
                 .arg(v);
         flagsOf(p).separator = choice;
         return QString();
     }},
    {{"encoding"},
     "E",
     {"the text encoding: auto, utf-8, latin-1 or utf-16 (also utf-16le,", "utf-16be)"},
     [](ParsedArguments& p, const QString& v) {
         const auto encoding = optionFromKey<TextEncoding>(v);
         if (!encoding)
             return QStringLiteral("--encoding takes auto, utf-8, latin-1, utf-16, utf-16le or utf-16be, not \"%1\"")
                 .arg(v);
         flagsOf(p).encoding = encoding;
         return QString();
     }},
    {{"scale-displacement"},
     "F",
     {"multiply displacements by F (written with a point), or convert", "with m-mm or in-mm"},
     [](ParsedArguments& p, const QString& v) {
         const auto scale =
             scaleFromText(v, {ScalePreset::AsIs, ScalePreset::MetresToMillimetres, ScalePreset::InchesToMillimetres});
         if (!scale)
             return QStringLiteral("--scale-displacement takes a number other than 0, as-is, m-mm or in-mm, not \"%1\"")
                 .arg(v);
         flagsOf(p).displacementScale = scale;
         return QString();
     }},
    {{"scale-load"},
     "F",
     {"multiply loads by F (written with a point), or convert with N-kN,", "lbf-kN or kip-kN"},
     [](ParsedArguments& p, const QString& v) {
         const auto scale = scaleFromText(v, {ScalePreset::AsIs, ScalePreset::NewtonsToKilonewtons,
                                              ScalePreset::PoundsForceToKilonewtons, ScalePreset::KipsToKilonewtons});
         if (!scale)
             return QStringLiteral(
                        "--scale-load takes a number other than 0, as-is, N-kN, lbf-kN or kip-kN, not \"%1\"")
                 .arg(v);
         flagsOf(p).loadScale = scale;
         return QString();
     }},
    {{"flip-displacement"},
     nullptr,
     {"change the sign of the displacements (after scaling)"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::flipDisplacement); }},
    {{"flip-load"},
     nullptr,
     {"change the sign of the loads (compression tests record them negative)"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::flipLoad); }},
    {{"from-origin"},
     nullptr,
     {"subtract the first point, so that the curve starts at (0, 0)"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::fromOrigin); }},
    {{"keep-order"},
     nullptr,
     {"keep the samples in the file's order too (for cyclic records); the",
      "curve analysed is sorted by displacement as always"},
     [](ParsedArguments& p, const QString&) { return setFlag(p, &ImportFlags::keepOrder); }},
    {{"sheet"},
     "NAME",
     {"the worksheet of an .xlsx FILE to read (default: the first)"},
     [](ParsedArguments& p, const QString& v) {
         if (v.isEmpty())
             return QStringLiteral("--sheet needs the name of a worksheet");
         // "--sheet --out-dir out" would take the option for a worksheet's name and the
         // folder for a FILE; the one-page test sheet is the likelier meaning.
         if (v.startsWith(QLatin1String("--")))
             return QStringLiteral(
                        "--sheet needs the name of a worksheet, not \"%1\" (the one-page test "
                        "sheet is --test-sheet)")
                 .arg(v);
         flagsOf(p).sheet = v;
         return QString();
     }},
}};

}  // namespace

std::span<const OptionRow> importOptionRows()
{
    return kImportRows;
}

QString finishImportFlags(ImportFlags& flags, QChar decimalSeparator, bool separatorGiven)
{
    if (!flags.given)
        return {};
    // --detect shows what detection finds of everything the flags leave open, as --auto.
    const bool detecting = flags.autoDetect || flags.detectOnly;
    ImportOptions o = detecting ? ImportOptions::detectEverything() : ImportOptions();
    if (flags.decimalAuto) {
        o.decimal = DecimalSeparator::Auto;
    } else if (separatorGiven || !detecting) {
        if (decimalSeparator != u'.' && decimalSeparator != u',')
            return QStringLiteral("with the import flags --decimal-separator takes auto, . or , not \"%1\"")
                .arg(decimalSeparator);
        o.decimal = decimalSeparator == u',' ? DecimalSeparator::Comma : DecimalSeparator::Point;
    }
    if (flags.encoding)
        o.encoding = *flags.encoding;
    if (flags.separator) {
        o.separator = flags.separator->separator;
        o.separatorChar = flags.separator->character;
    }
    if (flags.skipLines)
        o.skipLines = *flags.skipLines;
    if (flags.displacementColumn)
        o.displacement = *flags.displacementColumn;
    if (flags.loadColumn)
        o.load = *flags.loadColumn;
    if (flags.displacementScale)
        o.displacementScale = *flags.displacementScale;
    if (flags.loadScale)
        o.loadScale = *flags.loadScale;
    o.displacementScale.flip = flags.flipDisplacement;
    o.loadScale.flip = flags.flipLoad;
    o.fromOrigin = flags.fromOrigin;
    o.order = flags.keepOrder || flags.cyclic ? PointOrder::FileOrder : PointOrder::ByDisplacement;
    o.cyclic = flags.cyclic;
    o.sheet = flags.sheet;
    flags.options = o;
    return {};
}

int printDetection(const QStringList& files, const ImportFlags& flags, QTextStream& out, QTextStream& err)
{
    int status = 0;
    for (const QString& file : files) {
        QJsonObject json;
        try {
            json = detectionToJson(detectOptions(readFileHead(file, flags.options.sheet), flags.options));
        } catch (const std::exception& e) {
            err << "rorevadi-cli: " << QString::fromUtf8(e.what()) << "\n";
            json.insert(u"failure"_s, QString::fromUtf8(e.what()));
            status = 1;
        }
        // The file first, then what was found.
        const QByteArray found = QJsonDocument(json).toJson(QJsonDocument::Compact);
        QJsonObject source;
        source.insert(u"source"_s, file);
        QByteArray line = QJsonDocument(source).toJson(QJsonDocument::Compact);
        line.chop(1);
        if (found.size() > 2)
            line += ',' + found.mid(1);
        else
            line += '}';
        out << QString::fromUtf8(line) << "\n";
    }
    out.flush();
    return status;
}

}  // namespace rz::cli

#include "core/report/ImportReport.h"

#include "core/report/Report.h"
#include "core/text/NumberText.h"

namespace rz {

namespace {

using namespace Qt::StringLiterals;

QString yesNo(bool value)
{
    return value ? u"YES"_s : u"NO"_s;
}

QString lineText(const LineChoice& choice)
{
    return choice.mode == LineMode::Line ? QString::number(choice.line) : u"none"_s;
}

// "5 (Ch 1 Weg)" in a text file, "B (Displacement (mm))" in a worksheet.
QString columnText(int number, const QString& name, FileKind kind)
{
    const QString column = columnLabel(number - 1, kind).section(u' ', 1);
    return name.isEmpty() ? column : QStringLiteral("%1 (%2)").arg(column, name);
}

QString scaleText(const QuantityScale& scale, QChar sep)
{
    return scale.preset == ScalePreset::Factor ? formatGeneral(scale.factor, sep) : optionKey(scale.preset);
}

}  // namespace

std::vector<ImportReportEntry> importReportEntries(const ImportedCurve& curve, QChar sep)
{
    if (!curve.read)
        return {};
    const ImportResult& read = *curve.read;
    const ImportOptions& used = read.used;
    std::vector<ImportReportEntry> entries;
    const auto add = [&entries](const char* label, const QString& value) {
        entries.push_back({QString::fromLatin1(label), value});
    };
    add("Displacement Unit:", read.displacementUnit);
    add("Load Unit:", read.loadUnit);
    if (read.kind == FileKind::Workbook) {
        add("Sheet:", used.sheet);
    } else {
        add("Encoding:", optionKey(used.encoding));
        add("Field Separator:",
            used.separator == FieldSeparator::Character ? QString(used.separatorChar) : optionKey(used.separator));
        add("Decimal Separator:", optionKey(used.decimal));
    }
    add("Skipped Lines:", QString::number(used.skipLines.value_or(0)));
    add("Header Line:", lineText(used.header));
    add("Units Line:", lineText(used.units));
    add("Displacement Column:", columnText(used.displacement.number, read.displacementName, read.kind));
    add("Load Column:", columnText(used.load.number, read.loadName, read.kind));
    add("Displacement Scale:", scaleText(used.displacementScale, sep));
    add("Load Scale:", scaleText(used.loadScale, sep));
    add("Flip Displacement:", yesNo(used.displacementScale.flip));
    add("Flip Load:", yesNo(used.loadScale.flip));
    add("Start at Origin:", yesNo(used.fromOrigin));
    add("Order:", optionKey(used.order));
    add("Data:", read.message);
    return entries;
}

QStringList importReportLines(const ImportedCurve& curve, QChar sep)
{
    const std::vector<ImportReportEntry> entries = importReportEntries(curve, sep);
    if (entries.empty())
        return {};
    QStringList lines;
    lines << QString() << u"Import:"_s;
    for (const ImportReportEntry& e : entries)
        lines << e.label + u","_s + csvField(e.value);
    return lines;
}

}  // namespace rz

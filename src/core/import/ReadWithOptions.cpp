#include "core/import/ReadWithOptions.h"

#include "core/import/DataFileReader.h"
#include "core/import/Detect.h"
#include "core/import/TextBlockReader.h"
#include "core/import/XlsxReader.h"
#include "core/text/NumberText.h"

#include <QStringList>

#include <algorithm>
#include <bit>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Progress is reported every this many rows of a worksheet.
constexpr int kRowsPerProgress = 4096;

RawBlock readSheetBlock(const QString& path, const ImportOptions& resolved, const ImportProgress& progress)
{
    XlsxSheetReader reader = XlsxSheetReader::open(path, resolved.sheet);
    CellBlockCollector collector(resolved);
    CellRow row;
    int sinceProgress = 0;
    while (reader.nextRow(row)) {
        if (!collector.feed(row))
            break;
        if (++sinceProgress == kRowsPerProgress) {
            sinceProgress = 0;
            if (progress && !progress(reader.bytesRead(), reader.bytesTotal())) {
                RawBlock cancelled = collector.finish();
                cancelled.cancelled = true;
                return cancelled;
            }
        }
    }
    return collector.finish();
}

QString scaleProblem(const ImportOptions& options)
{
    for (const auto& [scale, name] :
         {std::pair{&options.displacementScale, "displacement"}, std::pair{&options.loadScale, "load"}})
        if (!isUsableScale(*scale))
            return QStringLiteral("The %1 scale factor must be a finite number other than 0 (it is %2).")
                .arg(QLatin1StringView(name), formatGeneral(scale->factor, u'.'));
    return {};
}

bool samePoints(const std::vector<Point>& a, const std::vector<Point>& b, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (std::bit_cast<std::uint64_t>(a[i].x) != std::bit_cast<std::uint64_t>(b[i].x) ||
            std::bit_cast<std::uint64_t>(a[i].y) != std::bit_cast<std::uint64_t>(b[i].y))
            return false;
    return true;
}

}  // namespace

ImportResult readWithOptions(const FileHead& head, const ImportOptions& options, const ImportProgress& progress)
{
    if (const QString problem = scaleProblem(options); !problem.isEmpty()) {
        ImportResult result;
        result.used = options;
        result.kind = head.kind;
        result.error = problem;
        return result;
    }
    const Detection detection = detectOptions(head, options);
    if (!detection.ok()) {
        ImportResult result;
        result.used = detection.options;
        result.kind = head.kind;
        result.columnNames = detection.columnNames;
        result.columnUnits = detection.columnUnits;
        result.notes = detection.notes;
        result.error = detection.failure;
        return result;
    }
    RawBlock block = head.kind == FileKind::Workbook ? readSheetBlock(head.path, detection.options, progress)
                                                     : readTextBlock(head.path, detection.options, progress);
    return finishImport(std::move(block), detection, head.kind);
}

ImportResult readWithOptions(const QString& path, const ImportOptions& options, const ImportProgress& progress)
{
    return readWithOptions(readFileHead(path, options.sheet), options, progress);
}

std::optional<QString> plainImportWarning(const QString& path, QChar regionalDecimalSeparator)
{
    FileHead head;
    try {
        head = readFileHead(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (head.kind == FileKind::Workbook)
        return u"It is an .xlsx workbook, which Import with Options reads."_s;
    const Detection detection = detectOptions(head, ImportOptions::detectEverything());
    if (!detection.ok())
        return std::nullopt;
    const ImportOptions& used = detection.options;

    // Both read the same lines of the head: the plain reader only as far as detection looks.
    const QString text = decodeHead(head.bytes, used.encoding, head.complete);
    const std::vector<QStringView> lines = headLines(text);
    const QStringView shown =
        lines.empty() ? QStringView()
                      : QStringView(text).first(lines.back().utf16() + lines.back().size() - QStringView(text).utf16());
    const std::vector<Point> plain = readCurve(shown, regionalDecimalSeparator).points;
    CellBlockCollector collector(used);
    for (const CellRow& row : headRows(head, used))
        if (!collector.feed(row))
            break;
    const std::vector<Point> detected = collector.finish().points;

    // Detection offers something better only when it reads at least as much, and either more
    // or other numbers.
    if (detected.size() < plain.size() ||
        (detected.size() == plain.size() && samePoints(plain, detected, plain.size())))
        return std::nullopt;

    QStringList reasons;
    // The plain import splits fields at commas, so it breaks decimal commas whatever the
    // regional separator is.
    if (used.decimal == DecimalSeparator::Comma)
        reasons << u"decimal commas"_s;
    if (used.decimal == DecimalSeparator::Point && regionalDecimalSeparator != u'.')
        reasons << u"decimal points"_s;
    if (used.separator == FieldSeparator::Semicolon)
        reasons << u"fields separated by semicolons"_s;
    if (used.separator == FieldSeparator::Character)
        reasons << QStringLiteral("fields separated by \"%1\"").arg(used.separatorChar);
    if (used.skipLines.value_or(1) != 1)
        reasons << QStringLiteral("data from line %1").arg(*used.skipLines + 1);
    if (used.displacement.number != 1 || used.load.number != 2)
        reasons << QStringLiteral("displacement in column %1 and load in column %2")
                       .arg(used.displacement.number)
                       .arg(used.load.number);
    // The reasons first: a status bar shows the start of a long text.
    const QString counts =
        QStringLiteral("%1 points in its first lines where this import read %2").arg(detected.size()).arg(plain.size());
    if (reasons.isEmpty())
        return QStringLiteral("Import with Options reads this file differently (%1).").arg(counts);
    return QStringLiteral("This file has %1: Import with Options reads %2.").arg(reasons.join(u", "_s), counts);
}

}  // namespace rz

#include "core/import/ImportPreview.h"

#include "core/import/ImportResult.h"

#include <algorithm>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

QString rowText(const CellRow& row)
{
    QStringList cells;
    for (const Cell& cell : row)
        cells.append(cell.text);
    return cells.join(u'\t');
}

}  // namespace

ImportPreview previewImport(const FileHead& head, const ImportOptions& options, int maxLines)
{
    ImportPreview preview;
    preview.detection = detectOptions(head, options);
    preview.notes = preview.detection.notes;
    const ImportOptions& used = preview.detection.options;
    const std::vector<CellRow> rows = headRows(head, used);
    const QStringList texts = head.kind == FileKind::Text ? headLineTexts(head, used.encoding) : QStringList();
    const int shown = std::min<int>(maxLines, static_cast<int>(rows.size()));
    for (int i = 0; i < shown; ++i) {
        PreviewLine line;
        const CellRow& row = rows[static_cast<std::size_t>(i)];
        line.text = i < texts.size() ? texts[i] : rowText(row);
        for (const Cell& cell : row)
            line.cells.append(cell.text);
        preview.lines.push_back(std::move(line));
    }
    if (!preview.detection.ok()) {
        preview.displacementColumn = preview.loadColumn = -1;
        preview.error = preview.detection.failure;
        return preview;
    }
    preview.displacementColumn = used.displacement.number - 1;
    preview.loadColumn = used.load.number - 1;

    CellBlockCollector collector(used);
    for (const CellRow& row : rows)
        if (!collector.feed(row))
            break;
    RawBlock block = collector.finish();
    // Within the head, running out of lines is not the end of the file.
    const bool headCut = !head.complete || static_cast<int>(rows.size()) >= kHeadLines;
    const bool cutShort = headCut && block.reason == StopReason::EndOfFile;
    const qint64 firstLine = block.firstLine;
    const qint64 count = static_cast<qint64>(block.points.size());
    const qint64 stopLine = block.stopLine;

    const auto roleOf = [&](qint64 i) {
        if (used.header.mode == LineMode::Line && i == used.header.line - 1)
            return LineRole::Header;
        if (used.units.mode == LineMode::Line && i == used.units.line - 1)
            return LineRole::Units;
        if (i < firstLine)
            return LineRole::Skipped;
        if (i < firstLine + count)
            return LineRole::Data;
        if (stopLine >= 0 && i == stopLine)
            return LineRole::End;
        return stopLine >= 0 && i > stopLine ? LineRole::After : LineRole::Skipped;
    };
    for (std::size_t i = 0; i < preview.lines.size(); ++i)
        preview.lines[i].role = roleOf(static_cast<qint64>(i));

    ImportResult result = finishImport(std::move(block), preview.detection, head.kind);
    preview.points = std::move(result.points);
    preview.displacementUnit = result.displacementUnit;
    preview.loadUnit = result.loadUnit;
    preview.error = result.error;
    preview.notes = result.notes;
    if (cutShort && result.ok())
        preview.message =
            QStringLiteral("%1 %2%5 of data from %2 %3 on in the first %4 %2s; the rest is read on import.")
                .arg(count)
                .arg(head.kind == FileKind::Workbook ? u"row"_s : u"line"_s)
                .arg(firstLine + 1)
                .arg(rows.size())
                .arg(count == 1 ? QString() : u"s"_s);
    else
        preview.message = result.message;
    return preview;
}

}  // namespace rz

#include "core/import/ImportResult.h"

#include "core/analysis/Arithmetic.h"
#include "core/text/NumberText.h"

#include <QJsonArray>

#include <algorithm>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr qsizetype kMaxQuotedText = 40;

QString lineWord(FileKind kind)
{
    return kind == FileKind::Workbook ? u"row"_s : u"line"_s;
}

QString countOf(qint64 count, FileKind kind)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(lineWord(kind), count == 1 ? QString() : u"s"_s);
}

QString quoted(const QString& text)
{
    if (text.size() <= kMaxQuotedText)
        return u"\""_s + text + u"\""_s;
    return u"\""_s + text.left(kMaxQuotedText) + u"\u2026\""_s;
}

// What ended the data, as a clause: "line 947 is blank", "line 12: column 2 holds ...".
QString stopClause(const RawBlock& block, FileKind kind)
{
    const QString line = QStringLiteral("%1 %2").arg(lineWord(kind)).arg(block.stopLine + 1);
    const QString column = columnLabel(block.stopColumn, kind);
    switch (block.reason) {
        case StopReason::BlankLine:
            return line + u" is blank"_s;
        case StopReason::MissingColumn:
            return QStringLiteral("%1 has no %2").arg(line, column);
        case StopReason::Date:
            return QStringLiteral("%1: %2 holds a date, not a number").arg(line, column);
        case StopReason::NotANumber: {
            if (block.stopText.trimmed().isEmpty())
                return QStringLiteral("%1: %2 is empty").arg(line, column);
            QString clause = QStringLiteral("%1: %2 holds %3, not a number").arg(line, column, quoted(block.stopText));
            if (block.stopText.contains(u'.') && block.stopText.contains(u','))
                clause += u" (thousands separators are not read)"_s;
            return clause;
        }
        case StopReason::EndOfFile:
            break;
    }
    return {};
}

QString unitAfterScale(const QuantityScale& scale, const QString& columnUnit)
{
    if (scale.preset == ScalePreset::AsIs)
        return columnUnit;
    return presetUnit(scale.preset);
}

}  // namespace

QString columnLabel(int column, FileKind kind)
{
    if (kind == FileKind::Text)
        return QStringLiteral("column %1").arg(column + 1);
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return u"column "_s + letters;
}

CellBlockCollector::CellBlockCollector(const ImportOptions& resolved)
    : skip_(resolved.skipLines.value_or(0)),
      displacement_(resolved.displacement.number - 1),
      load_(resolved.load.number - 1),
      decimal_(resolved.decimal == DecimalSeparator::Comma ? u',' : u'.')
{
    block_.firstLine = skip_;
}

bool CellBlockCollector::feed(const CellRow& row)
{
    if (ended_)
        return false;
    const qint64 index = index_++;
    if (index < skip_)
        return true;
    if (isBlankRow(row)) {
        if (pendingBlank_ < 0)
            pendingBlank_ = index;
        return true;
    }
    const auto stop = [&](qint64 line, StopReason reason, int column, const QString& text) {
        block_.stopLine = line;
        block_.reason = reason;
        block_.stopColumn = column;
        block_.stopText = text;
        ended_ = true;
        return false;
    };
    if (pendingBlank_ >= 0)
        return stop(pendingBlank_, StopReason::BlankLine, -1, {});
    // Both columns must be there before either is read, as the text reader finds them.
    const int size = static_cast<int>(row.size());
    if (displacement_ >= size || load_ >= size) {
        const int missing =
            displacement_ >= size && load_ >= size ? std::min(displacement_, load_) : std::max(displacement_, load_);
        return stop(index, StopReason::MissingColumn, missing, {});
    }
    double values[2] = {0.0, 0.0};
    const int columns[2] = {displacement_, load_};
    for (int q = 0; q < 2; ++q) {
        const Cell& cell = row[static_cast<std::size_t>(columns[q])];
        if (cell.kind == CellKind::Date)
            return stop(index, StopReason::Date, columns[q], cell.text);
        const auto value = cellNumber(cell, decimal_);
        if (!value)
            return stop(index, StopReason::NotANumber, columns[q], cell.text);
        values[q] = *value;
    }
    block_.points.push_back({values[0], values[1]});
    return true;
}

RawBlock CellBlockCollector::finish()
{
    return std::move(block_);
}

namespace {

// The analysis looks for the largest load and the largest displacement, so a curve recorded
// below zero (a compression test, most often) gives nothing useful until its sign is changed.
// Said of a quantity whose most negative value is more than twice its largest positive one;
// not of a cyclic record, which lies on both sides by nature.
QStringList signNotes(const std::vector<Point>& points, const ImportOptions& used, const QString& displacementUnit,
                      const QString& loadUnit)
{
    if (used.cyclic || points.empty())
        return {};
    double lowX = 0.0, highX = 0.0, lowY = 0.0, highY = 0.0;
    for (const Point& p : points) {
        lowX = std::min(lowX, p.x);
        highX = std::max(highX, p.x);
        lowY = std::min(lowY, p.y);
        highY = std::max(highY, p.y);
    }
    QStringList notes;
    auto say = [&](double low, double high, const char* what, const QString& unit, const char* change,
                   const char* flag) {
        // low / 2 > high, written so that no product can overflow.
        if (!(low < 0.0 && low / 2.0 < -high))
            return;
        const QString withUnit = unit.isEmpty() ? QString() : u" "_s + unit;
        notes << QStringLiteral(
                     "The %1 lie below zero (down to %2%3, at most %4%3 above it), as a compression test "
                     "records them: \"%5\" (%6) makes them rise.")
                     .arg(QLatin1StringView(what), formatGeneral(low, u'.'), withUnit, formatGeneral(high, u'.'),
                          QLatin1StringView(change), QLatin1StringView(flag));
    };
    say(lowY, highY, "loads", loadUnit, "Change the sign of loads", "--flip-load");
    say(lowX, highX, "displacements", displacementUnit, "Change the sign of displacements", "--flip-displacement");
    return notes;
}

}  // namespace

ImportResult finishImport(RawBlock block, const Detection& detection, FileKind kind)
{
    ImportResult result;
    result.used = detection.options;
    result.kind = kind;
    result.columnNames = detection.columnNames;
    result.columnUnits = detection.columnUnits;
    result.notes = detection.notes;
    const int dc = result.used.displacement.number - 1;
    const int lc = result.used.load.number - 1;
    result.displacementName = dc < result.columnNames.size() ? result.columnNames[dc] : QString();
    result.loadName = lc < result.columnNames.size() ? result.columnNames[lc] : QString();
    result.displacementUnit = unitAfterScale(result.used.displacementScale,
                                             dc < result.columnUnits.size() ? result.columnUnits[dc] : QString());
    result.loadUnit =
        unitAfterScale(result.used.loadScale, lc < result.columnUnits.size() ? result.columnUnits[lc] : QString());
    result.firstDataLine = block.firstLine + 1;
    result.stopLine = block.stopLine < 0 ? 0 : block.stopLine + 1;
    result.stopReason = block.reason;
    result.stopColumn = block.stopColumn + 1;
    result.stopText = block.stopText;

    if (block.cancelled) {
        result.error = u"The import was cancelled."_s;
        return result;
    }
    const qint64 count = static_cast<qint64>(block.points.size());
    if (count == 0) {
        if (block.reason == StopReason::EndOfFile)
            result.error = QStringLiteral("No data read: the file ends before %1 %2.")
                               .arg(lineWord(kind))
                               .arg(block.firstLine + 1);
        else
            result.error = u"No data read: "_s + stopClause(block, kind) + u"."_s;
        return result;
    }

    const QuantityScale& xs = result.used.displacementScale;
    const QuantityScale& ys = result.used.loadScale;
    if (!isUsableScale(xs) || !isUsableScale(ys)) {
        result.error = QStringLiteral("The %1 scale factor must be a number other than 0 (it is %2).")
                           .arg(isUsableScale(xs) ? u"load"_s : u"displacement"_s,
                                formatGeneral(isUsableScale(xs) ? ys.factor : xs.factor, u'.'));
        return result;
    }
    std::size_t at = 0;
    try {
        const bool scaled = xs != QuantityScale{} || ys != QuantityScale{};
        if (scaled)
            for (at = 0; at < block.points.size(); ++at) {
                Point& p = block.points[at];
                p = {applyScale(p.x, xs), applyScale(p.y, ys)};
            }
        if (result.used.fromOrigin) {
            const Point origin = block.points.front();
            for (at = 0; at < block.points.size(); ++at) {
                Point& p = block.points[at];
                p = {checkedSub(p.x, origin.x), checkedSub(p.y, origin.y)};
            }
        }
    } catch (const ArithmeticError& e) {
        result.error = QStringLiteral("No data imported: on %1 %2 the scaled or shifted value is out of range (%3).")
                           .arg(lineWord(kind))
                           .arg(block.firstLine + static_cast<qint64>(at) + 1)
                           .arg(QString::fromUtf8(e.what()));
        return result;
    }
    result.points = std::move(block.points);
    result.notes += signNotes(result.points, result.used, result.displacementUnit, result.loadUnit);

    const qint64 last = block.firstLine + count;  // from 1
    const QString read = QStringLiteral("%1 of data read (%2 %3 to %4)")
                             .arg(countOf(count, kind), lineWord(kind) + u"s"_s)
                             .arg(block.firstLine + 1)
                             .arg(last);
    if (block.reason == StopReason::EndOfFile)
        result.message =
            read + (kind == FileKind::Workbook ? u", to the end of the sheet."_s : u", to the end of the file."_s);
    else if (block.reason == StopReason::BlankLine)
        result.message = read + u"; "_s + stopClause(block, kind) + u" and ends the data."_s;
    else
        result.message = read + u"; the data ends at "_s + stopClause(block, kind) + u"."_s;
    return result;
}

QJsonObject importToJson(const ImportResult& result)
{
    static const char* const kReasons[] = {"end-of-file", "blank-line", "not-a-number", "missing-column", "date"};
    QJsonObject json;
    json.insert(u"options"_s, optionsToJson(result.used));
    json.insert(u"columnNames"_s, QJsonArray::fromStringList(result.columnNames));
    json.insert(u"columnUnits"_s, QJsonArray::fromStringList(result.columnUnits));
    json.insert(u"displacementUnit"_s, result.displacementUnit);
    json.insert(u"loadUnit"_s, result.loadUnit);
    json.insert(u"firstDataLine"_s, result.firstDataLine);
    json.insert(u"stopLine"_s, result.stopLine > 0 ? QJsonValue(result.stopLine) : QJsonValue());
    json.insert(u"stopReason"_s, QString::fromLatin1(kReasons[static_cast<int>(result.stopReason)]));
    json.insert(u"message"_s, result.ok() ? result.message : result.error);
    return json;
}

QJsonObject detectionToJson(const Detection& detection)
{
    QJsonObject json;
    json.insert(u"options"_s, optionsToJson(detection.options));
    json.insert(u"columnNames"_s, QJsonArray::fromStringList(detection.columnNames));
    json.insert(u"columnUnits"_s, QJsonArray::fromStringList(detection.columnUnits));
    json.insert(u"notes"_s, QJsonArray::fromStringList(detection.notes));
    if (!detection.ok())
        json.insert(u"failure"_s, detection.failure);
    return json;
}

}  // namespace rz

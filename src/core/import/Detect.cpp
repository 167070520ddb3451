#include "core/import/Detect.h"

#include "core/import/ColumnVocabulary.h"
#include "core/import/FieldSplit.h"
#include "core/text/NumberText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr int kMinBlockLines = 5;
constexpr int kMaxUnitLength = 16;

// The head's rows as cells, with which cells are numbers. For a text file whose decimal
// separator is still to be found, a field counts as a number with either separator.
class Table {
public:
    Table(std::vector<CellRow> rows, std::optional<QChar> decimal, bool commaMayBeDecimal, bool complete)
        : rows_(std::move(rows)), complete_(complete)
    {
        numeric_.reserve(rows_.size());
        for (const CellRow& row : rows_) {
            std::vector<char> flags;
            flags.reserve(row.size());
            for (const Cell& cell : row) {
                bool number = false;
                if (decimal)
                    number = cellNumber(cell, *decimal).has_value();
                else
                    number = cellNumber(cell, u'.') || (commaMayBeDecimal && cellNumber(cell, u','));
                flags.push_back(number ? 1 : 0);
            }
            numeric_.push_back(std::move(flags));
        }
    }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const CellRow& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    int cellCount(int r) const { return static_cast<int>(row(r).size()); }
    bool complete() const { return complete_; }
    bool blank(int r) const { return isBlankRow(row(r)); }
    bool numeric(int r, int c) const
    {
        const auto& flags = numeric_[static_cast<std::size_t>(r)];
        return c >= 0 && c < static_cast<int>(flags.size()) && flags[static_cast<std::size_t>(c)] != 0;
    }
    int numericCount(int r) const
    {
        const auto& flags = numeric_[static_cast<std::size_t>(r)];
        return static_cast<int>(std::count(flags.begin(), flags.end(), 1));
    }
    bool sameNumericMask(int a, int b) const
    {
        return numeric_[static_cast<std::size_t>(a)] == numeric_[static_cast<std::size_t>(b)];
    }
    std::vector<bool> numericColumns(int r) const
    {
        std::vector<bool> columns;
        if (r >= 0 && r < rowCount())
            for (const char flag : numeric_[static_cast<std::size_t>(r)])
                columns.push_back(flag != 0);
        return columns;
    }
    // Only blank rows from r to the end of the file.
    bool restIsBlank(int r) const
    {
        if (!complete_)
            return false;
        for (; r < rowCount(); ++r)
            if (!blank(r))
                return false;
        return true;
    }
    QStringList texts(int r) const
    {
        QStringList out;
        if (r >= 0 && r < rowCount())
            for (const Cell& cell : row(r))
                out.append(cell.text.trimmed());
        return out;
    }

private:
    std::vector<CellRow> rows_;
    std::vector<std::vector<char>> numeric_;
    bool complete_;
};

struct ColumnPair {
    int displacement;
    int load;
};

struct Run {
    int begin;
    int end;  // one past the last line
    int length() const { return end - begin; }
};

enum class Tier {
    Shape,  // every line as many cells as the first, numbers in the same cells
    Loose,  // numbers where they are needed, whatever else the line holds
};

// Blocks of consecutive lines that could be the data: long enough, or ending the file.
std::vector<Run> findRuns(const Table& table, std::optional<ColumnPair> columns, Tier tier)
{
    const auto fits = [&](int r) {
        if (table.blank(r))
            return false;
        if (columns)
            return table.numeric(r, columns->displacement) && table.numeric(r, columns->load);
        return table.numericCount(r) >= 2;
    };
    const auto sameShape = [&](int r, int previous) {
        if (tier == Tier::Loose)
            return true;
        return table.cellCount(r) == table.cellCount(previous) && (columns || table.sameNumericMask(r, previous));
    };
    std::vector<Run> runs;
    int begin = -1;
    const auto close = [&](int end) {
        if (begin >= 0 && (end - begin >= kMinBlockLines || table.restIsBlank(end)))
            runs.push_back({begin, end});
        begin = -1;
    };
    for (int r = 0; r < table.rowCount(); ++r) {
        if (!fits(r)) {
            close(r);
        } else if (begin >= 0 && !sameShape(r, r - 1)) {
            close(r);
            begin = r;
        } else if (begin < 0) {
            begin = r;
        }
    }
    close(table.rowCount());
    return runs;
}

std::vector<Run> findDataRuns(const Table& table, std::optional<ColumnPair> columns)
{
    std::vector<Run> runs = findRuns(table, columns, Tier::Shape);
    if (runs.empty())
        runs = findRuns(table, columns, Tier::Loose);
    return runs;
}

bool isUnitsLine(const Table& table, int r)
{
    if (table.numericCount(r) > 0)
        return false;
    int filled = 0;
    int known = 0;
    bool lengthOrForce = false;
    for (const Cell& cell : table.row(r)) {
        const QString text = cell.text.trimmed();
        if (text.isEmpty())
            continue;
        if (text.size() > kMaxUnitLength)
            return false;
        ++filled;
        const UnitKind kind = unitKind(text);
        known += kind != UnitKind::Unknown ? 1 : 0;
        lengthOrForce |= kind == UnitKind::Length || kind == UnitKind::Force;
    }
    // At least one length or force: a header "d,l" is not a line of days and litres.
    return lengthOrForce && 2 * known >= filled;
}

bool isHeaderLine(const Table& table, int r)
{
    if (table.cellCount(r) < 2)
        return false;
    int text = 0;
    for (int c = 0; c < table.cellCount(r); ++c)
        if (!table.numeric(r, c) && !table.row(r)[static_cast<std::size_t>(c)].text.trimmed().isEmpty())
            ++text;
    return text > 0 && text >= table.numericCount(r);
}

struct LinesAbove {
    int header = -1;  // from 0
    int units = -1;
};

int skipBlanksUp(const Table& table, int r)
{
    while (r >= 0 && r < table.rowCount() && table.blank(r))
        --r;
    return std::min(r, table.rowCount() - 1);
}

LinesAbove linesAbove(const Table& table, int start, const ImportOptions& given)
{
    LinesAbove above;
    int r = skipBlanksUp(table, std::min(start, table.rowCount()) - 1);
    if (given.units.mode == LineMode::Line) {
        above.units = given.units.line - 1;
    } else if (given.units.mode == LineMode::Auto && r >= 0 && isUnitsLine(table, r)) {
        above.units = r;
        r = skipBlanksUp(table, r - 1);
    }
    if (given.header.mode == LineMode::Line) {
        above.header = given.header.line - 1;
        const int next = above.header + 1;
        if (given.units.mode == LineMode::Auto && above.units < 0 && next < start && next < table.rowCount() &&
            isUnitsLine(table, next))
            above.units = next;
    } else if (given.header.mode == LineMode::Auto && r >= 0 && isHeaderLine(table, r)) {
        above.header = r;
    }
    return above;
}

// Column index (from 0) whose header cell is the name, with or without its unit.
int findColumn(const QStringList& names, const QString& name)
{
    const QString wanted = name.trimmed();
    for (int c = 0; c < names.size(); ++c)
        if (names[c].compare(wanted, Qt::CaseInsensitive) == 0)
            return c;
    for (int c = 0; c < names.size(); ++c)
        if (nameWithoutUnit(names[c]).compare(wanted, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QStringList unitsOf(const Table& table, const LinesAbove& above, const QStringList& names, int columns)
{
    QStringList units;
    const QStringList line = table.texts(above.units);
    for (int c = 0; c < columns; ++c) {
        QString unit = c < line.size() ? line[c] : QString();
        if (unit.size() >= 2 &&
            ((unit.front() == u'[' && unit.back() == u']') || (unit.front() == u'(' && unit.back() == u')')))
            unit = unit.sliced(1, unit.size() - 2).trimmed();
        if (unit.isEmpty() && c < names.size())
            unit = unitInName(names[c]);
        units.append(unit);
    }
    return units;
}

// How strongly the lines above a block say it is the data.
int runScore(const Table& table, const Run& run, const ImportOptions& given)
{
    const LinesAbove above = linesAbove(table, run.begin, given);
    if (above.header < 0 || above.header >= table.rowCount())
        return 0;
    const QStringList names = table.texts(above.header);
    const QStringList units = unitsOf(table, above, names, static_cast<int>(names.size()));
    const auto says = [&](const ColumnChoice& choice, Quantity quantity) {
        if (choice.mode == ColumnMode::Name)
            return findColumn(names, choice.name) >= 0 ? 4 : 0;
        for (int c = 0; c < names.size(); ++c) {
            const UnitKind kind = unitKind(units[c]);
            const bool unitSays =
                quantity == Quantity::Displacement ? kind == UnitKind::Length : kind == UnitKind::Force;
            if (nameScore(names[c], quantity) > 0 || unitSays)
                return 2;
        }
        return 0;
    };
    return 1 + says(given.displacement, Quantity::Displacement) + says(given.load, Quantity::Load);
}

// The first line from start on where both columns hold numbers for a whole block.
std::optional<int> firstBlockFrom(const Table& table, int start, ColumnPair columns)
{
    for (const Run& run : findDataRuns(table, columns))
        if (run.end > start)
            return std::max(run.begin, start);
    return std::nullopt;
}

QString columnsText(const ImportOptions& given)
{
    const auto one = [](const ColumnChoice& choice) {
        if (choice.mode == ColumnMode::Number)
            return QString::number(choice.number);
        if (choice.mode == ColumnMode::Name)
            return u"\""_s + choice.name + u"\""_s;
        return QString();
    };
    if (given.displacement.mode == ColumnMode::Auto && given.load.mode == ColumnMode::Auto)
        return u"two columns"_s;
    const QString d = given.displacement.mode == ColumnMode::Auto ? u"another"_s : one(given.displacement);
    const QString l = given.load.mode == ColumnMode::Auto ? u"another"_s : one(given.load);
    return QStringLiteral("columns %1 and %2").arg(d, l);
}

// Data start, header, units and columns: the part of detection that text files and
// workbooks share. lineWord is "line" or "row".
void resolveLayout(const Table& table, const ImportOptions& given, const QString& lineWord, Detection& d)
{
    std::optional<ColumnPair> fixed;
    if (given.displacement.mode == ColumnMode::Number && given.load.mode == ColumnMode::Number)
        fixed = ColumnPair{given.displacement.number - 1, given.load.number - 1};

    int widest = 0;
    for (int r = 0; r < table.rowCount(); ++r)
        widest = std::max(widest, table.cellCount(r));
    for (const ColumnChoice* choice : {&given.displacement, &given.load}) {
        if (choice->mode == ColumnMode::Number && choice->number > widest && table.rowCount() > 0 && !given.skipLines) {
            d.failure = QStringLiteral("Column %1 does not exist: no %2 of the first %3 has more than %4 columns.")
                            .arg(choice->number)
                            .arg(lineWord)
                            .arg(table.rowCount())
                            .arg(widest);
            return;
        }
    }

    int start = 0;
    if (given.skipLines) {
        start = *given.skipLines;
    } else {
        const std::vector<Run> runs = findDataRuns(table, fixed);
        if (runs.empty()) {
            d.failure =
                QStringLiteral("No data found: no %1 %2s in a row hold numbers in %3 (looked at the first %4 %2s).")
                    .arg(kMinBlockLines)
                    .arg(lineWord, columnsText(given))
                    .arg(table.rowCount());
            return;
        }
        const Run* best = &runs.front();
        int bestScore = runScore(table, *best, given);
        for (const Run& run : runs) {
            const int score = runScore(table, run, given);
            if (score > bestScore) {
                best = &run;
                bestScore = score;
            }
        }
        start = best->begin;
    }

    const LinesAbove above = linesAbove(table, start, given);
    const int width =
        std::max(start < table.rowCount() ? table.cellCount(start) : 0,
                 above.header >= 0 && above.header < table.rowCount() ? table.cellCount(above.header) : 0);
    d.columnNames = table.texts(above.header);
    d.columnUnits = unitsOf(table, above, d.columnNames, std::max(width, static_cast<int>(d.columnNames.size())));

    const std::vector<bool> numeric = table.numericColumns(start);
    const ColumnGuess guess = guessColumns(d.columnNames, d.columnUnits, numeric);
    int columns[2] = {-1, -1};
    const ColumnChoice* choices[2] = {&given.displacement, &given.load};
    for (int q = 0; q < 2; ++q) {
        const ColumnChoice& choice = *choices[q];
        if (choice.mode == ColumnMode::Number) {
            columns[q] = choice.number - 1;
        } else if (choice.mode == ColumnMode::Name) {
            columns[q] = findColumn(d.columnNames, choice.name);
            if (columns[q] < 0) {
                d.failure = d.columnNames.isEmpty()
                                ? QStringLiteral("No column is named \"%1\": there is no header %2 above the data.")
                                      .arg(choice.name, lineWord)
                                : QStringLiteral("No column is named \"%1\": the header on %2 %3 names %4.")
                                      .arg(choice.name, lineWord)
                                      .arg(above.header + 1)
                                      .arg(d.columnNames.join(u", "_s));
                return;
            }
        } else {
            columns[q] = q == 0 ? guess.displacement : guess.load;
        }
    }
    if (columns[0] < 0 && columns[1] < 0) {
        columns[0] = 0;
        columns[1] = 1;
    }
    for (int q = 0; q < 2; ++q) {
        if (columns[q] >= 0)
            continue;
        const int other = columns[1 - q];
        for (int c = 0; c < static_cast<int>(numeric.size()) && columns[q] < 0; ++c)
            if (numeric[static_cast<std::size_t>(c)] && c != other)
                columns[q] = c;
        if (columns[q] < 0)
            columns[q] = other == 0 ? 1 : 0;
    }

    const ColumnPair chosen{columns[0], columns[1]};
    if (!given.skipLines && !(table.numeric(start, chosen.displacement) && table.numeric(start, chosen.load))) {
        const auto from = firstBlockFrom(table, start, chosen);
        if (!from) {
            d.failure = QStringLiteral("No data found: no %1 %2s in a row hold numbers in columns %3 and %4.")
                            .arg(kMinBlockLines)
                            .arg(lineWord)
                            .arg(chosen.displacement + 1)
                            .arg(chosen.load + 1);
            return;
        }
        start = *from;
    }
    if (given.skipLines && start < table.rowCount() && !table.blank(start)) {
        for (const int column : {chosen.displacement, chosen.load}) {
            if (column >= table.cellCount(start)) {
                d.failure = QStringLiteral("Column %1 does not exist: %2 %3 has %4 columns.")
                                .arg(column + 1)
                                .arg(lineWord)
                                .arg(start + 1)
                                .arg(table.cellCount(start));
                return;
            }
        }
    }

    d.options.skipLines = start;
    d.options.header = above.header >= 0 ? LineChoice{LineMode::Line, above.header + 1} : LineChoice{LineMode::None, 0};
    d.options.units = above.units >= 0 ? LineChoice{LineMode::Line, above.units + 1} : LineChoice{LineMode::None, 0};
    d.options.displacement = {ColumnMode::Number, chosen.displacement + 1, {}};
    d.options.load = {ColumnMode::Number, chosen.load + 1, {}};
}

std::vector<CellRow> splitRows(const std::vector<QStringView>& lines, SplitRule rule)
{
    std::vector<CellRow> rows;
    rows.reserve(lines.size());
    for (const QStringView line : lines) {
        CellRow row;
        FieldCursor<char16_t> cursor(line.utf16(), line.utf16() + line.size(), rule);
        FieldSpan<char16_t> field;
        while (cursor.next(field)) {
            Cell cell;
            cell.text = fieldText(field);
            cell.kind = cell.text.isEmpty() ? CellKind::Empty : CellKind::Field;
            row.push_back(std::move(cell));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// "1,000.5" or "1.000,5": digits with both separators, which this reader does not guess at.
bool hasThousandsSeparator(const QString& text)
{
    if (!text.contains(u'.') || !text.contains(u','))
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isDigit() || c == u'.' || c == u',' || c == u'+' || c == u'-' || c == u'e' || c == u'E';
    });
}

// Where commas split fields, none can be a decimal separator.
bool commaMayBeDecimal(SplitRule rule)
{
    switch (rule.separator) {
        case FieldSeparator::Plain:
        case FieldSeparator::Comma:
            return false;
        case FieldSeparator::Character:
            return rule.character != u',';
        default:
            return true;
    }
}

// What a separator makes of the head: the best block's length, its numbers per line and
// whether its lines are all numbers.
struct SeparatorScore {
    int lines = 0;
    int numbers = 0;
    int allNumbers = 0;
    auto key() const { return std::tie(lines, numbers, allNumbers); }
};

SeparatorScore scoreTable(const Table& table, std::optional<ColumnPair> fixed, std::optional<Run>& bestRun)
{
    SeparatorScore best;
    for (const Tier tier : {Tier::Shape, Tier::Loose}) {
        for (const Run& run : findRuns(table, fixed, tier)) {
            SeparatorScore score{run.length(), table.numericCount(run.begin),
                                 table.numericCount(run.begin) == table.cellCount(run.begin) ? 1 : 0};
            if (score.key() > best.key()) {
                best = score;
                bestRun = run;
            }
        }
        if (bestRun)
            break;
    }
    return best;
}

Detection detectText(const FileHead& head, const ImportOptions& given)
{
    Detection d;
    d.options = given;
    d.options.encoding = resolveEncoding(given.encoding, head.bytes);
    const QString text = decodeHead(head.bytes, d.options.encoding, head.complete);
    const std::vector<QStringView> lines = headLines(text);
    const bool complete = head.complete && static_cast<int>(lines.size()) < kHeadLines;

    std::optional<ColumnPair> fixed;
    if (given.displacement.mode == ColumnMode::Number && given.load.mode == ColumnMode::Number)
        fixed = ColumnPair{given.displacement.number - 1, given.load.number - 1};
    const std::optional<QChar> givenDecimal =
        given.decimal == DecimalSeparator::Auto
            ? std::nullopt
            : std::optional<QChar>(given.decimal == DecimalSeparator::Comma ? u',' : u'.');

    std::vector<FieldSeparator> candidates{given.separator};
    if (given.separator == FieldSeparator::Auto)
        candidates = {FieldSeparator::Tab, FieldSeparator::Semicolon, FieldSeparator::Comma, FieldSeparator::Blanks};
    SplitRule rule = SplitRule::of(candidates.front(), given.separatorChar);
    std::optional<Run> run;
    SeparatorScore best;
    for (const FieldSeparator candidate : candidates) {
        const SplitRule candidateRule = SplitRule::of(candidate, given.separatorChar);
        const Table table(splitRows(lines, candidateRule), givenDecimal, commaMayBeDecimal(candidateRule), complete);
        std::optional<Run> candidateRun;
        const SeparatorScore score = scoreTable(table, fixed, candidateRun);
        if (score.key() > best.key()) {
            best = score;
            rule = candidateRule;
            run = candidateRun;
        }
    }
    d.options.separator = rule.separator;
    if (rule.separator == FieldSeparator::Character)
        d.options.separatorChar = QChar(rule.character);

    std::vector<CellRow> rows = splitRows(lines, rule);
    QChar decimal = givenDecimal.value_or(u'.');
    if (!givenDecimal && run) {
        int commas = 0;
        int points = 0;
        for (int r = run->begin; r < run->end; ++r) {
            for (const Cell& cell : rows[static_cast<std::size_t>(r)]) {
                const bool point = cellNumber(cell, u'.').has_value();
                const bool comma = cellNumber(cell, u',').has_value();
                commas += comma && !point ? 1 : 0;
                points += point && !comma ? 1 : 0;
            }
        }
        if (commas > 0 && commaMayBeDecimal(rule))
            decimal = commas > points ? u',' : u'.';
        if (commas > 0 && points > 0)
            d.notes.append(QStringLiteral("Numbers with a decimal point and numbers with a decimal comma are mixed; "
                                          "the %1 is taken.")
                               .arg(decimal == u',' ? u"comma"_s : u"point"_s));
    }
    d.options.decimal = decimal == u',' ? DecimalSeparator::Comma : DecimalSeparator::Point;
    for (const CellRow& row : rows) {
        const auto it =
            std::find_if(row.begin(), row.end(), [](const Cell& c) { return hasThousandsSeparator(c.text); });
        if (it != row.end()) {
            d.notes.append(
                QStringLiteral("\"%1\" has a thousands separator: such numbers are not read.").arg(it->text));
            break;
        }
    }

    const Table table(std::move(rows), decimal, false, complete);
    resolveLayout(table, given, u"line"_s, d);
    return d;
}

}  // namespace

Detection detectOptions(const FileHead& head, const ImportOptions& given)
{
    if (head.kind == FileKind::Text)
        return detectText(head, given);
    Detection d;
    d.options = given;
    d.options.sheet = head.sheet;
    const Table table(head.rows, u'.', false, head.complete);
    resolveLayout(table, given, u"row"_s, d);
    return d;
}

std::vector<CellRow> headRows(const FileHead& head, const ImportOptions& resolved)
{
    if (head.kind == FileKind::Workbook)
        return head.rows;
    const QString text = decodeHead(head.bytes, resolved.encoding, head.complete);
    return splitRows(headLines(text), SplitRule::of(resolved.separator, resolved.separatorChar));
}

QStringList headLineTexts(const FileHead& head, TextEncoding encoding)
{
    QStringList out;
    if (head.kind == FileKind::Workbook)
        return out;
    const QString text = decodeHead(head.bytes, encoding, head.complete);
    for (const QStringView line : headLines(text))
        out.append(line.toString());
    return out;
}

}  // namespace rz

#include "excel/WorkbookModel.h"

namespace rz::excel::model {

// --- Sheet -----------------------------------------------------------------------------

const Cell* Sheet::cell(std::int32_t row, std::int32_t column) const
{
    if (column < 1 || static_cast<std::size_t>(column) > columns.size())
        return nullptr;
    const std::vector<Cell>& c = columns[static_cast<std::size_t>(column - 1)];
    if (row < 1 || static_cast<std::size_t>(row) > c.size())
        return nullptr;
    return &c[static_cast<std::size_t>(row - 1)];
}

Cell& Sheet::slot(std::int32_t row, std::int32_t column)
{
    const auto c = static_cast<std::size_t>(column);
    if (columns.size() < c)
        columns.resize(c);
    std::vector<Cell>& cells = columns[c - 1];
    const auto r = static_cast<std::size_t>(row);
    if (cells.size() < r)
        cells.resize(r);
    return cells[r - 1];
}

void Sheet::setNumber(std::int32_t row, std::int32_t column, double value)
{
    Cell& c = slot(row, column);
    c.kind = Cell::Kind::Number;
    c.number = value;
}

void Sheet::setText(std::int32_t row, std::int32_t column, const QString& text)
{
    Cell& c = slot(row, column);
    c.kind = Cell::Kind::Text;
    c.text = static_cast<std::uint32_t>(texts.size());
    texts.push_back(text);
}

void Sheet::clear(std::int32_t row, std::int32_t column)
{
    if (cell(row, column))
        slot(row, column).kind = Cell::Kind::Empty;
}

std::int64_t Sheet::cellCount() const
{
    std::int64_t n = 0;
    for (const std::vector<Cell>& c : columns)
        n += static_cast<std::int64_t>(c.size());
    return n;
}

Sheet* Workbook::findSheet(const QString& sheetName) const
{
    for (const auto& s : sheets)
        if (s->name.compare(sheetName, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

// --- references ------------------------------------------------------------------------

namespace {

bool isLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// [$]letters[$]digits at pos; advances pos.
bool parseCell(const QString& t, qsizetype& pos, std::int32_t& row, std::int32_t& column)
{
    qsizetype p = pos;
    if (p < t.size() && t[p] == u'$')
        ++p;
    std::int64_t col = 0;
    const qsizetype lettersStart = p;
    while (p < t.size() && isLetter(t[p]) && p - lettersStart < 3) {
        col = col * 26 + (t[p].toUpper().unicode() - u'A' + 1);
        ++p;
    }
    if (p == lettersStart)
        return false;
    if (p < t.size() && t[p] == u'$')
        ++p;
    std::int64_t r = 0;
    const qsizetype digitsStart = p;
    while (p < t.size() && isDigit(t[p]) && p - digitsStart < 8) {
        r = r * 10 + (t[p].unicode() - u'0');
        ++p;
    }
    if (p == digitsStart || r < 1 || r > kLastRow || col < 1 || col > kLastColumn)
        return false;
    row = static_cast<std::int32_t>(r);
    column = static_cast<std::int32_t>(col);
    pos = p;
    return true;
}

}  // namespace

std::optional<RangeRef> parseRangeReference(const QString& text, const Workbook& workbook)
{
    qsizetype pos = 0;
    if (pos < text.size() && text[pos] == u'=')
        ++pos;
    QString sheetName;
    if (pos < text.size() && text[pos] == u'\'') {
        ++pos;
        for (;;) {
            if (pos >= text.size())
                return std::nullopt;
            if (text[pos] == u'\'') {
                if (pos + 1 < text.size() && text[pos + 1] == u'\'') {
                    sheetName += u'\'';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            sheetName += text[pos++];
        }
        if (pos >= text.size() || text[pos] != u'!')
            return std::nullopt;
    } else {
        const qsizetype bang = text.indexOf(u'!', pos);
        if (bang < 0)
            return std::nullopt;
        sheetName = text.mid(pos, bang - pos);
        pos = bang;
    }
    ++pos;  // the '!'

    RangeRef ref;
    ref.sheet = workbook.findSheet(sheetName);
    if (!ref.sheet)
        return std::nullopt;
    if (!parseCell(text, pos, ref.firstRow, ref.firstColumn))
        return std::nullopt;
    ref.lastRow = ref.firstRow;
    ref.lastColumn = ref.firstColumn;
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        if (!parseCell(text, pos, ref.lastRow, ref.lastColumn))
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    if (ref.lastRow < ref.firstRow)
        std::swap(ref.lastRow, ref.firstRow);
    if (ref.lastColumn < ref.firstColumn)
        std::swap(ref.lastColumn, ref.firstColumn);
    return ref;
}

std::optional<std::uint32_t> themeColor(std::int32_t index)
{
    // The Office theme's colours as 0xRRGGBB: dark 1, light 1, dark 2, light 2, accents
    // 1 to 6, hyperlink, followed hyperlink, then text 1, background 1, text 2 and
    // background 2, which repeat the first four.
    static constexpr std::uint32_t kTheme[16] = {
        0x000000, 0xFFFFFF, 0x44546A, 0xE7E6E6, 0x4472C4, 0xED7D31, 0xA5A5A5, 0xFFC000,
        0x5B9BD5, 0x70AD47, 0x0563C1, 0x954F72, 0x000000, 0xFFFFFF, 0x44546A, 0xE7E6E6,
    };
    if (index < 1 || index > 16)
        return std::nullopt;
    const std::uint32_t rgb = kTheme[index - 1];
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

}  // namespace rz::excel::model

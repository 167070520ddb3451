#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <initializer_list>

// The lines of the batch tool's result tables.
namespace rz::cli {

// A cell of a table line: its text, left-aligned in width characters (a longer text is not
// cut), as QString::arg(text, -width) gives it.
struct TableCell {
    QStringView text;
    int width = 0;
};

// The pattern with its placeholders %1 to %9 each replaced by its cell, appended to text: a
// chain of QString::arg would scan and copy the line again for every cell, and the tables are
// most of what a batch of small files costs the thread that writes. The line's length is
// measured first and the line written in place, one character array to the next. Unlike
// that chain, a cell's own text is never searched for placeholders.
inline void appendTableLine(QString& text, QStringView pattern, std::initializer_list<TableCell> cells)
{
    const auto cellAt = [&](qsizetype i) -> const TableCell* {
        if (pattern[i] != u'%' || i + 1 >= pattern.size())
            return nullptr;
        const qsizetype index = pattern[i + 1].unicode() - u'1';
        return index >= 0 && index < static_cast<qsizetype>(cells.size()) ? cells.begin() + index : nullptr;
    };
    // The line's length first, so that it is written in place with no growing on the way.
    qsizetype length = pattern.size();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (const TableCell* cell = cellAt(i)) {
            length += std::max<qsizetype>(cell->text.size(), cell->width) - 2;
            ++i;
        }
    }
    const qsizetype start = text.size();
    text.resize(start + length);
    char16_t* out = reinterpret_cast<char16_t*>(text.data()) + start;
    const char16_t* in = pattern.utf16();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const TableCell* cell = cellAt(i);
        if (!cell) {
            *out++ = in[i];
            continue;
        }
        out = std::copy_n(cell->text.utf16(), cell->text.size(), out);
        if (cell->text.size() < cell->width)
            out = std::fill_n(out, cell->width - cell->text.size(), u' ');
        ++i;
    }
}

}  // namespace rz::cli

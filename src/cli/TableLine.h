#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>

// The lines of the batch tool's result tables.
namespace rz::cli {

// A cell of a table line: its text, left-aligned in width characters (a longer text is not
// cut), as QString::arg(text, -width) gives it.
struct TableCell {
    QStringView text;
    int width = 0;
};

// The pattern with its placeholders %1 to %9 each replaced by its cell, appended to text in
// one pass: a chain of QString::arg would scan and copy the line again for every cell, and
// the tables are most of what a batch of small files costs the thread that writes. Unlike
// that chain, a cell's own text is never searched for placeholders.
inline void appendTableLine(QString& text, QStringView pattern, std::initializer_list<TableCell> cells)
{
    qsizetype copied = 0;  // the pattern up to here is in text
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        const qsizetype index = pattern[i + 1].unicode() - u'1';
        if (pattern[i] != u'%' || index < 0 || index >= static_cast<qsizetype>(cells.size()))
            continue;
        text += pattern.sliced(copied, i - copied);
        const TableCell& cell = cells.begin()[index];
        text += cell.text;
        if (cell.text.size() < cell.width)
            text.resize(text.size() + cell.width - cell.text.size(), u' ');
        copied = i + 2;
        ++i;
    }
    text += pattern.sliced(copied);
}

}  // namespace rz::cli

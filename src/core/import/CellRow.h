#pragma once

#include <QChar>
#include <QString>

#include <optional>
#include <vector>

// One row of a data file as cells: the common ground of text files (a line split into
// fields) and worksheets (a row of typed cells), on which detection, the preview and the
// worksheet reader work.
namespace rz {

enum class CellKind {
    Empty,
    Field,   // a text file's field: a number when it parses with the decimal separator
    Text,    // a worksheet's text cell: never a number
    Number,  // a worksheet's number, its text as stored (decimal point, maybe an exponent)
    Date,    // a worksheet's number shown as a date or time: refused as data
    Other,   // a worksheet's boolean or error value
};

struct Cell {
    CellKind kind = CellKind::Empty;
    QString text;
};

using CellRow = std::vector<Cell>;

// The cell's number: worksheet numbers as stored, text-file fields with the given decimal
// separator; nothing for every other kind.
std::optional<double> cellNumber(const Cell& cell, QChar decimalSeparator);

// True when no cell holds anything.
bool isBlankRow(const CellRow& row);

}  // namespace rz

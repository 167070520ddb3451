#pragma once

#include "core/import/CellRow.h"
#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"

#include <QString>
#include <QStringList>

#include <vector>

// Detection of how a data file is laid out, from its head only (FileHead.h).
//
// Rules, in this order (each only for what the given options leave on Auto):
// 1. Encoding: byte-order mark; else UTF-8 if valid; else Latin-1.
// 2. Field separator: tab, semicolon, comma and blanks are each tried; the one that gives
//    the longest block of lines of the same shape (as many fields, numbers in the same
//    fields, at least two of them) wins, then the one with more numbers per line, then the
//    one whose lines are all numbers; ties go in the order listed.
// 3. Decimal separator: a comma if numbers in that block read only with a comma, a point
//    if only with a point; integers alone give a point. A number with both ("1,000.5")
//    has a thousands separator: it is not read, and a note says so.
// 4. Data start: the first line of a block of at least 5 lines in which the columns parse
//    as numbers (or of a shorter block that ends the file). When several blocks qualify,
//    the one under a header naming displacement and load wins, then one under any header,
//    then the first: a metadata block with numbers in it is not taken for the data.
// 5. Units line: the line just above the data when its cells are units (mm, kN, s, %...).
//    Header line: the line above that (or above the data) when most of its cells are text.
// 6. Columns: by header names and units (ColumnVocabulary.h); a quantity nothing points
//    to takes the first numeric column left; with no clue at all, columns 1 and 2.
namespace rz {

struct Detection {
    // Resolved: nothing left on Auto, header and units on Line or None, columns by
    // number. A workbook keeps the text-only options (encoding, separators) as given.
    ImportOptions options;
    QStringList columnNames;  // the header line's cells; empty without a header
    QStringList columnUnits;  // per column: the units line's cell, else the unit in brackets
    QStringList notes;        // things worth telling (thousands separators, mixed decimals)
    QString failure;          // not empty: no data could be found, and why

    bool ok() const { return failure.isEmpty(); }
};

// Options that the given ones leave on Auto, detected from the head; explicit ones win.
Detection detectOptions(const FileHead& head, const ImportOptions& given);

// The head's rows as cells under resolved options: a text file's lines split into fields
// (as the reader will split them), a workbook's rows as they are.
std::vector<CellRow> headRows(const FileHead& head, const ImportOptions& resolved);

// The decoded lines of a text file's head under the encoding (empty for a workbook).
QStringList headLineTexts(const FileHead& head, TextEncoding encoding);

}  // namespace rz

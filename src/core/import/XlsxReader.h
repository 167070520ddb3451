#pragma once

#include "core/import/CellRow.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

// Reading a worksheet of an .xlsx workbook as rows of cells, through the zip reader and
// Qt's XML stream reader. The sheet's XML is inflated and parsed as it is read, so a
// sheet of a million rows needs no more memory than its shared strings.
namespace rz {

// A workbook that cannot be read: not a zip archive, a part missing or damaged, no sheet
// of the chosen name. The message names the file and the reason.
class XlsxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for the number formats that show a number as a date or time: the built-in ones
// (14 to 22, 27 to 36, 45 to 47, 50 to 58) and any format code with a day, month, year,
// hour or second outside quotes, escapes and colour brackets.
bool isDateFormat(int numFmtId, const QString& formatCode);

class XlsxSheetReader {
public:
    // Opens the workbook and its worksheet of that name (the first one when the name is
    // empty); throws XlsxError.
    static XlsxSheetReader open(const QString& path, const QString& sheetName = {});

    XlsxSheetReader(XlsxSheetReader&&) noexcept;
    XlsxSheetReader& operator=(XlsxSheetReader&&) noexcept;
    ~XlsxSheetReader();

    QStringList sheetNames() const;  // every worksheet, in the workbook's order
    QString sheetName() const;       // the one being read

    // The next row, from row 1 on: numbers keep the text the workbook stores, shared and
    // inline strings become text cells, a number in a date format becomes a date cell, and
    // rows and cells the sheet leaves out come back empty. False after the last row.
    // Throws XlsxError when the sheet's XML is damaged.
    bool nextRow(CellRow& row);

    // Progress through the sheet's XML, in bytes.
    qint64 bytesRead() const;
    qint64 bytesTotal() const;

private:
    struct State;
    explicit XlsxSheetReader(std::unique_ptr<State> state);
    std::unique_ptr<State> d_;
};

}  // namespace rz

#pragma once

#include "cli/ChartDrawing.h"
#include "cli/Cli.h"
#include "core/import/CellRow.h"
#include "core/import/XlsxReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

namespace rz::test {

struct CliRun {
    int code;
    QByteArray out;
    QString err;
};

// The batch tool run in-process, its standard output and error caught.
inline CliRun runCli(const QStringList& args)
{
    CliRun r;
    QBuffer outDevice(&r.out);
    outDevice.open(QIODevice::WriteOnly);
    QTextStream out(&outDevice);
    QTextStream err(&r.err);
    // The tests' program has a QApplication, as the drawing program has.
    cli::ChartDrawing drawing;
    r.code = cli::run(args, out, err, nullptr, &drawing);
    out.flush();
    err.flush();
    return r;
}

// Every row of a workbook's sheet, as read back.
inline std::vector<CellRow> sheetRows(const QString& workbook, const QString& sheet)
{
    XlsxSheetReader reader = XlsxSheetReader::open(workbook, sheet);
    std::vector<CellRow> rows;
    for (CellRow row; reader.nextRow(row);)
        rows.push_back(row);
    return rows;
}

// The names a summary workbook's "Curves" sheet gives its curves: its row 33, under the
// chart, one name every two columns.
inline QStringList summaryCurveNames(const std::vector<CellRow>& curvesSheet)
{
    QStringList names;
    if (curvesSheet.size() < 33)
        return names;
    const CellRow& row = curvesSheet[32];
    for (std::size_t c = 0; c < row.size(); c += 2)
        names << row[c].text;
    while (!names.isEmpty() && names.back().isEmpty())
        names.removeLast();
    return names;
}

}  // namespace rz::test

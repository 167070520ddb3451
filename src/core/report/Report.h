#pragma once

#include "core/io/Files.h"  // writeFileAtomically, with which the report is saved
#include "core/workbench/AnalysisState.h"

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

// The results report: one label and one value per line, comma between them, a snapshot
// of the analysis state at the moment of writing.
namespace rz {

// Line 1's value: the locale's short date, one blank, the time with seconds; the date
// alone at exact midnight.
QString reportTimeText(const QDateTime& now, const QLocale& locale);

// RFC 4180: a field that holds a comma, a double quote or a line break goes in double
// quotes, its quotes doubled; under a decimal comma every fractional number does. Every
// CSV file of the program quotes its fields with this.
QString csvField(const QString& field);

// The report's lines, without line ends. A value field that holds a comma, a double
// quote or a line break (a number under a decimal comma, a path) is quoted as RFC 4180
// asks, so a spreadsheet keeps it in one cell.
QStringList reportLines(const AnalysisState& state, QChar decimalSeparator, const QString& timeText);

// The file's bytes: the locale's narrow encoding, no byte-order mark, CR LF after every line.
QByteArray reportBytes(const QStringList& lines);

}  // namespace rz

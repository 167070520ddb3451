#pragma once

#include "core/workbench/AnalysisState.h"

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <stdexcept>

// The results report: one label and one value per line, comma between them, a snapshot
// of the analysis state at the moment of writing.
namespace rz {

class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Line 1's value: the locale's short date, one blank, the time with seconds; the date
// alone at exact midnight.
QString reportTimeText(const QDateTime& now, const QLocale& locale);

// The report's lines, without line ends. A value field that holds a comma, a double
// quote or a line break (a number under a decimal comma, a path) is quoted as RFC 4180
// asks, so a spreadsheet keeps it in one cell.
QStringList reportLines(const AnalysisState& state, QChar decimalSeparator, const QString& timeText);

// The file's bytes: the locale's narrow encoding, no byte-order mark, CR LF after every line.
QByteArray reportBytes(const QStringList& lines);

// Writes bytes to path atomically (temporary file in the same folder, then rename): a
// failure leaves an earlier file untouched and no partial file behind. Throws
// FileWriteError whose message names the path and the reason.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace rz

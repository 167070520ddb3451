#pragma once

#include "core/batch/SummaryTable.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

// A summary table as CSV, by the report's rules: comma between fields, a field quoted as
// RFC 4180 asks (csvField), numbers in the general form of at most 15 significant digits
// with the given decimal separator, the locale's narrow encoding, CR LF after every line.
//   Displacement file,Peak load,Ultimate found
//   s1.csv,12.5,YES
//   s2.csv,--,NO
//   Count,1,
//   Mean,12.5,
//   ...
// The first line holds the titles, then one line per row, then the statistics: count,
// mean, standard deviation, coefficient of variation, minimum and maximum of every numeric
// column, labelled in the first column. A value that does not exist, in a row or among the
// statistics (a standard deviation of one value), is written "--", never 0. Should the
// first column itself be numeric, every line starts with one more field for the labels.
namespace rz {

// "Count", "Mean", "Standard deviation", "Coefficient of variation", "Minimum", "Maximum".
QStringList statisticsLabels();

QStringList summaryCsvLines(const SummaryTable& table, QChar decimalSeparator);
QByteArray summaryCsvBytes(const SummaryTable& table, QChar decimalSeparator);

// Writes the file under the policy of writeFileAtomically; throws FileWriteError.
void writeSummaryCsv(const QString& path, const SummaryTable& table, QChar decimalSeparator);

}  // namespace rz

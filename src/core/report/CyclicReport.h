#pragma once

#include <QChar>
#include <QStringList>

// The report's section on a cyclic record, appended after the import section: the
// envelope settings, the counts, and a table of both directions and their mean.
namespace rz {

class CyclicSession;

// A blank line, "Cyclic analysis:", the settings and counts as "Label:,value" lines, then
// the table: a header line ",Positive,Negative,Average" and one line per result
// (cyclicResultRows), numbers in the report's general form, "--" where a direction has
// none (and for the mean then). Fields are quoted as the rest of the report (csvField).
QStringList cyclicReportLines(const CyclicSession& session, QChar decimalSeparator);

}  // namespace rz

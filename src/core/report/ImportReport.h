#pragma once

#include "core/workbench/ImportedCurve.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

// The report's section on how the curve was read, appended after the results: the units
// and every option of an import with options, and how much of the file the data took.
namespace rz {

// The section's lines (a blank line, "Import:", then one "Label:,value" line each), or
// nothing after the plain import, whose report stays as it always was. Numbers are
// written with decimalSeparator, as the rest of the report.
QStringList importReportLines(const ImportedCurve& curve, QChar decimalSeparator);

// The same section as labelled values ("Load Unit:", "kN"), unquoted, for pages that lay
// them out themselves; empty after the plain import.
struct ImportReportEntry {
    QString label;
    QString value;
};
std::vector<ImportReportEntry> importReportEntries(const ImportedCurve& curve, QChar decimalSeparator);

}  // namespace rz

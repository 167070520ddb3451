#pragma once

#include "core/workbench/ImportedCurve.h"

#include <QChar>
#include <QStringList>

// The report's section on how the curve was read, appended after the results: the units
// and every option of an import with options, and how much of the file the data took.
namespace rz {

// The section's lines (a blank line, "Import:", then one "Label:,value" line each), or
// nothing after the plain import, whose report stays as it always was. Numbers are
// written with decimalSeparator, as the rest of the report.
QStringList importReportLines(const ImportedCurve& curve, QChar decimalSeparator);

}  // namespace rz

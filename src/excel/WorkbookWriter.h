#pragma once

#include "excel/WorkbookModel.h"

#include <QString>

namespace rz::excel {

// Writes the workbook as .xlsx: its cells and, for every chart shape, a native chart
// anchored and sized as the shape and styled as the model says. Atomic: a temporary
// file in the target's folder, renamed over path. Throws WorkbookWriteError.
// constantMemory: stream the rows (memory independent of the size); the chart then
// carries no cached copy of the cells, which spreadsheet programs recompute.
void writeWorkbook(const model::Workbook& book, const QString& path, bool constantMemory);

}  // namespace rz::excel

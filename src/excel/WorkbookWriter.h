#pragma once

#include "excel/WorkbookModel.h"

#include <QString>
#include <functional>

namespace rz::excel {

// Writes the workbook as .xlsx: its cells and, for every chart shape, a native chart
// anchored and sized as the shape and styled as the model says, its parts in the order
// the chart schema prescribes. A temporary file in the target's folder is read back part
// by part and then replaced over path as every output is (core/io/Files.h): a failure
// leaves an earlier file whole and no temporary file behind. Throws WorkbookWriteError,
// whose message names the file and the reason; the library's own messages are kept off
// standard error.
// constantMemory: stream the rows (memory independent of the size); the chart then
// carries no cached copy of the cells, which spreadsheet programs recompute.
// cancelled, when given, is asked between rows and steps; when it answers true the write
// stops with ExportCancelled and nothing is kept.
void writeWorkbook(const model::Workbook& book, const QString& path, bool constantMemory,
                   const std::function<bool()>& cancelled = {});

}  // namespace rz::excel

#pragma once

#include "excel/WorkbookModel.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

struct lxw_workbook;

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
// created: the document's creation time (seconds since 1970), so that the same content
// always gives the same bytes; none: the time of writing.
void writeWorkbook(const model::Workbook& book, const QString& path, bool constantMemory,
                   const std::function<bool()>& cancelled = {}, std::optional<std::int64_t> created = {});

// How writeXlsxFile opens the library's workbook.
struct XlsxFileOptions {
    bool constantMemory = false;
    std::optional<std::int64_t> created;  // as for writeWorkbook
};
// What goes into the library's workbook: its sheets, cells and charts.
using XlsxContent = std::function<void(lxw_workbook*)>;
// The envelope of every workbook the program writes: a temporary file in the target's
// folder, the library's messages kept off standard error, the chart parts put in schema
// order, every part read back, then the temporary file replaced over path. Throws
// WorkbookWriteError (or what fill throws, with nothing kept).
void writeXlsxFile(const QString& path, const XlsxFileOptions& options, const XlsxContent& fill,
                   const std::function<bool()>& cancelled = {});

}  // namespace rz::excel

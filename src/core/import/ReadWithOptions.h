#pragma once

#include "core/import/FileHead.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportResult.h"

#include <QChar>
#include <QString>

#include <optional>

// Reading a curve with import options: the one entry point for the window and the batch
// tool, for text files and .xlsx workbooks alike (told apart by content: a zip archive is
// a workbook).
//
//   FileHead head = readFileHead(path, options.sheet);      // once, for the dialog's preview
//   ImportResult r = readWithOptions(head, options, progress);
//   if (!r.ok()) show(r.error);                             // nothing imported
//   else { store(r.points, r.used.order); show(r.message); }
namespace rz {

// Detects what the options leave on Auto from the head, then reads the whole data block.
// Throws FileReadError (or XlsxError) when the file cannot be opened or read; every other
// problem (no data, a missing column, an unusable scale factor, an overflow, a cancel)
// comes back in ImportResult::error, with no points.
ImportResult readWithOptions(const FileHead& head, const ImportOptions& options, const ImportProgress& progress = {});
ImportResult readWithOptions(const QString& path, const ImportOptions& options, const ImportProgress& progress = {});

// For the plain import's warning: whether detection reads the head of the file differently
// from the plain import (with the regional decimal separator), or reads it where the plain
// import stops: an .xlsx workbook, a decimal comma, semicolons, a metadata block, load
// before displacement. Returns a short reason, or nothing when both read the same points
// (or detection finds no data, or the file cannot be read: the plain import has said so).
std::optional<QString> plainImportWarning(const QString& path, QChar regionalDecimalSeparator);

}  // namespace rz

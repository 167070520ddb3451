#pragma once

#include "core/import/ImportOptions.h"
#include "core/import/ImportResult.h"

#include <QString>

// The data block of a text file, read with resolved options. The file is read in pieces
// of a mebibyte, so memory stays bounded whatever its size; UTF-8 and Latin-1 files are
// scanned as bytes (no decoding), UTF-16 ones decoded piece by piece. Only the fields up
// to the last chosen column are looked at, and reading stops where the data does.
namespace rz {

// Throws FileReadError when the file cannot be opened or read, or holds a line longer than
// 64 MiB.
RawBlock readTextBlock(const QString& path, const ImportOptions& resolved, const ImportProgress& progress);

}  // namespace rz

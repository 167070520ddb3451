#pragma once

#include "core/import/ImportOptions.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// The batch tool's flags of the import with options: with any of them each file is read
// as "Import with Options…" reads it (core/import), detection doing what the flags leave
// open when --auto is given. Without them the batch tool reads files as it always has.
namespace rz::cli {

struct ImportFlags {
    bool given = false;        // any flag below: the files are read with options
    bool detectOnly = false;   // --detect
    bool autoDetect = false;   // --auto
    bool decimalAuto = false;  // --decimal-separator auto
    std::optional<ColumnChoice> displacementColumn;
    std::optional<ColumnChoice> loadColumn;
    std::optional<int> skipLines;
    std::optional<SeparatorChoice> separator;
    std::optional<TextEncoding> encoding;
    std::optional<QuantityScale> displacementScale;  // preset or factor; the sign apart
    std::optional<QuantityScale> loadScale;
    bool flipDisplacement = false;
    bool flipLoad = false;
    bool fromOrigin = false;
    bool keepOrder = false;
    QString sheet;
    // --cyclic and its settings (Options.cpp): the files are cyclic records, read in file order.
    std::optional<CyclicOptions> cyclic;

    // Made by finish(): the options every file is read with.
    ImportOptions options;
};

// Puts the flags together once every option is known: --auto detects, the flags given
// win, and the decimal separator of --decimal-separator (separatorGiven) is the files'
// one. Returns a usage error, or an empty text.
QString finishImportFlags(ImportFlags& flags, QChar decimalSeparator, bool separatorGiven);

// --detect: for each file one line of JSON with what detection finds ("source" first, then
// the options, column names and units, notes, and "failure" when no data were found).
// Returns 0, or 1 when a file could not be read.
int printDetection(const QStringList& files, const ImportFlags& flags, QTextStream& out, QTextStream& err);

}  // namespace rz::cli

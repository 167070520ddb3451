#pragma once

#include <QString>

#include <initializer_list>
#include <span>

namespace rz::cli {

struct ParsedArguments;

// One option of the batch tool: its names (a single letter is a short name), the name of
// its value (none for a flag), its help (the first line beside the names, the rest below
// them) and what it sets. apply returns a usage error, or an empty text.
struct OptionRow {
    std::initializer_list<const char*> names;
    const char* valueName;
    std::initializer_list<const char*> help;
    QString (*apply)(ParsedArguments& parsed, const QString& value);
};

// The options of the import with options (ImportFlags.cpp), listed in the help under
// their own heading.
std::span<const OptionRow> importOptionRows();

}  // namespace rz::cli

#pragma once

#include "cli/Drawing.h"
#include "cli/Options.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

// The batch tool: for each file, a fresh window state, the import of the file, then one
// "Calculate" with the factor texts given; the same messages, results and series as the
// window, printed as a table or as JSON lines, with the window's outputs on request.
namespace rz::cli {

constexpr int kExitOk = 0;
constexpr int kExitIncomplete = 1;  // a file gave no curve, a factor was refused, or an error ended it
constexpr int kExitUsage = 2;

// args excludes the program name. Standard output and error are given as streams;
// A report written to "-" goes to out's device as raw bytes. Pictures and test sheets are
// drawn with drawing; without it, asking for them is refused.
int run(const QStringList& args, QTextStream& out, QTextStream& err, QTextStream* in = nullptr,
        Drawing* drawing = nullptr);

// The same with the arguments parsed already (main parses them before it chooses its
// application object): help, version and usage errors are answered here, and nothing
// else runs then.
std::optional<int> answerWithoutRunning(const ParsedArguments& parsed, QTextStream& out, QTextStream& err);
// in: where "-" reads its list of files (standard input when none is given).
int run(const Options& options, QTextStream& out, QTextStream& err, QTextStream* in = nullptr,
        Drawing* drawing = nullptr);

}  // namespace rz::cli

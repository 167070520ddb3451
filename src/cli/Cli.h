#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// The batch tool: for each file, a fresh window state, the import of the file, then one
// "Calculate" with the factor texts given; the same messages, results and series as the
// window, printed as a table or as JSON lines, with the window's outputs on request.
namespace rz::cli {

constexpr int kExitOk = 0;
constexpr int kExitIncomplete = 1;  // a file gave no curve, a factor was refused, or an error ended it
constexpr int kExitUsage = 2;

// args excludes the program name. Standard output and error are given as streams;
// A report written to "-" goes to out's device as raw bytes.
int run(const QStringList& args, QTextStream& out, QTextStream& err);

QString usageText();

}  // namespace rz::cli

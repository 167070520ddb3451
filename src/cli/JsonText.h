#pragma once

#include <QString>

// The JSON texts of the batch tool's output, written by hand so that the key order and
// the number form stay exactly as documented.
namespace rz::cli {

QString jsonString(const QString& s);
// Shortest text that reads back to the same bits; non-finite values as the strings
// "NaN", "Infinity", "-Infinity".
QString jsonNumber(double v);
QString jsonBool(bool b);

}  // namespace rz::cli

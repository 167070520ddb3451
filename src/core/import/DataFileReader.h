#pragma once

#include "core/chart/Series.h"
// readWholeFile and FileReadError, which callers of the reader use with it.
#include "core/io/Files.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

// The load-displacement data file: a text file whose line 0 is never read and whose
// every later line holds one point, displacement first, load second.
namespace rz {

// UTF-8 / UTF-16 LE / UTF-16 BE by byte-order mark, the locale's 8-bit encoding
// otherwise. A NUL character ends the text.
QString decodeText(const QByteArray& bytes);

// Lines end at CR LF, LF or CR; a line break at the very end adds no line.
std::vector<QStringView> splitLines(QStringView text);
std::int64_t countLines(QStringView text);

// Splits one line into fields: commas and characters with codes 1 to 32 separate,
// double-quoted fields may hold both ("" inside quotes stands for one quote).
QStringList splitFields(QStringView line);

struct CurveReadResult {
    std::int64_t lineCount = 0;  // N: every line, line 0 and empty lines included
    std::int64_t badLine = -1;   // i: index of the first line that gave no point, or -1
    std::vector<Point> points;   // in file order
    // The points' scan, kept as they were read (the plain byte reader), or none.
    std::optional<PointScan> scan;
};

// Reads lines 1..N-1 until the first that does not give two numbers.
CurveReadResult readCurve(QStringView text, QChar decimalSeparator);

}  // namespace rz

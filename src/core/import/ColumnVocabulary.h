#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// What column headers and units say about a column: the words for displacement and load
// in English, German, French, Spanish, Italian and Chinese, and the units of length and
// force that test machines write.
namespace rz {

enum class Quantity { Displacement, Load };
enum class UnitKind { Unknown, Length, Force, Other };

// The unit written at the end of a column's name in brackets: "Kraft [kN]" and
// "Displacement (mm)" give "kN" and "mm"; empty when there is none.
QString unitInName(QStringView name);
// The name without that unit: "Kraft [kN]" gives "Kraft".
QString nameWithoutUnit(QStringView name);

// Length (mm, m, in, ...), force (N, kN, lbf, kip, ...), another unit a test machine
// writes (s, %, °C, V, MPa, ...), or unknown.
UnitKind unitKind(QStringView unit);

// How strongly the name says the quantity: 0 not at all, 2 for a word inside a longer one
// ("Standardweg"), 3 for a whole word ("Ch 1 Kraft"); a set point or command value
// ("Kraft Sollwert", "force command") scores 2 less.
int nameScore(QStringView name, Quantity quantity);

// The columns that hold displacement and load (from 0), from the names and units of the
// columns whose first data cell is a number (numeric[i]); a column with a name or unit of
// the quantity wins over one without, ties go to the leftmost. -1 where nothing points to a
// column.
struct ColumnGuess {
    int displacement = -1;
    int load = -1;
};
ColumnGuess guessColumns(const QStringList& names, const QStringList& units, const std::vector<bool>& numeric);

}  // namespace rz

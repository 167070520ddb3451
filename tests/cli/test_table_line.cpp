// The lines of the batch tool's tables: the text a chain of QString::arg(cell, -width) gave.
#include "cli/TableLine.h"

#include <gtest/gtest.h>

#include <QString>

namespace rz::cli {
namespace {

QString tableLine(QStringView pattern, std::initializer_list<TableCell> cells)
{
    QString line;
    appendTableLine(line, pattern, cells);
    return line;
}

TEST(TableLine, IsWhatTheChainOfArgGivesForCellsOfEveryLength)
{
    // Shorter than, as long as and longer than the width (never cut), empty, and the last
    // cell without a width; the blanks between the placeholders as the pattern has them.
    const QString texts[] = {QString(), QStringLiteral("7"), QStringLiteral("12345"), QStringLiteral("123456"),
                             QStringLiteral("a much longer cell than its width")};
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            SCOPED_TRACE(("\"" + a + "\", \"" + b + "\"").toStdString());
            const QString chained = QStringLiteral("  %1 %2   %3 %4\n").arg(a, -5).arg(b, -6).arg(b, -1).arg(a);
            EXPECT_EQ(tableLine(u"  %1 %2   %3 %4\n", {{a, 5}, {b, 6}, {b, 1}, {a}}), chained);
            // Appended to a table already begun, which stays as it was.
            QString table = QStringLiteral("== a file\n");
            appendTableLine(table, u"  %1 %2   %3 %4\n", {{a, 5}, {b, 6}, {b, 1}, {a}});
            EXPECT_EQ(table, QStringLiteral("== a file\n") + chained);
        }
    }
}

TEST(TableLine, LeavesWhatIsNoPlaceholderOfItsCells)
{
    // A percent sign of a note, a placeholder with no cell, a cell's own "%2" and a
    // pattern that ends in a percent sign stay as they are.
    EXPECT_EQ(tableLine(u"%1|%3|%|100 %", {{u"Py = 85 % of Pmax", 20}, {u"x"}}), u"Py = 85 % of Pmax   |%3|%|100 %");
    EXPECT_EQ(tableLine(u"%1 %2", {{u"50 %2 off", 4}, {u"y", 3}}), u"50 %2 off y  ");
    EXPECT_EQ(tableLine(u"trailing %", {}), u"trailing %");
}

}  // namespace
}  // namespace rz::cli

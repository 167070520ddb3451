// The summary table's model and its CSV: kinds kept, statistics under the rows, the
// report's quoting and number form, "--" for what does not exist.
#include "core/batch/SummaryCsv.h"
#include "core/batch/SummaryTable.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace rz {
namespace {

std::vector<SummaryColumn> specimenColumns()
{
    return {
        {QStringLiteral("file"), QStringLiteral("File"), ColumnKind::Text},
        {QStringLiteral("peak_load"), QStringLiteral("Peak load"), ColumnKind::Number},
        {QStringLiteral("yield_disp"), QStringLiteral("Yield displacement, mm"), ColumnKind::Number},
        {QStringLiteral("ultimate_found"), QStringLiteral("Ultimate found"), ColumnKind::Flag},
    };
}

SummaryTable threeSpecimens()
{
    SummaryTable table(specimenColumns());
    table.addRow({QStringLiteral("s1.csv"), 12.5, 1.25, true});
    table.addRow({QStringLiteral("s,2.csv"), 14.5, std::monostate(), false});
    table.addRow({QStringLiteral("s3 \"x\".csv"), 13.0, 1.75, true});
    return table;
}

TEST(SummaryTable, RefusesRowsThatDoNotFitTheColumns)
{
    EXPECT_THROW(SummaryTable({{QStringLiteral("a"), QStringLiteral("A"), ColumnKind::Text},
                               {QStringLiteral("a"), QStringLiteral("B"), ColumnKind::Number}}),
                 SummaryTableError);
    struct Case {
        const char* name;
        std::vector<SummaryCell> row;
    };
    const std::vector<Case> bad = {
        {"too short", {QStringLiteral("s.csv"), 1.0, 2.0}},
        {"too long", {QStringLiteral("s.csv"), 1.0, 2.0, true, 5.0}},
        {"number as text", {QStringLiteral("s.csv"), QStringLiteral("1.0"), 2.0, true}},
        {"flag as number", {QStringLiteral("s.csv"), 1.0, 2.0, 1.0}},
        {"text as flag", {false, 1.0, 2.0, true}},
    };
    SummaryTable table(specimenColumns());
    for (const Case& c : bad) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(table.addRow(c.row), SummaryTableError);
    }
    EXPECT_EQ(table.rowCount(), 0u);
    table.addRow({std::monostate(), std::monostate(), std::monostate(), std::monostate()});
    EXPECT_EQ(table.rowCount(), 1u);
}

TEST(SummaryTable, NumbersAndStatisticsPerColumn)
{
    const SummaryTable table = threeSpecimens();
    EXPECT_EQ(table.columnIndex(QStringLiteral("yield_disp")), 2u);
    EXPECT_FALSE(table.columnIndex(QStringLiteral("ductility")).has_value());
    EXPECT_EQ(table.numbers(2), (std::vector<std::optional<double>>{1.25, std::nullopt, 1.75}));
    const auto statistics = table.statistics();
    ASSERT_EQ(statistics.size(), 4u);
    EXPECT_FALSE(statistics[0].has_value());
    EXPECT_FALSE(statistics[3].has_value());
    ASSERT_TRUE(statistics[2].has_value());
    EXPECT_EQ(statistics[2]->count, 2);
    EXPECT_DOUBLE_EQ(*statistics[2]->mean, 1.5);
}

TEST(SummaryCsv, RowsThenStatistics)
{
    struct Case {
        char16_t separator;
        QStringList lines;
    };
    // Worked out apart: peak loads 12.5, 14.5, 13 (mean 40/3, deviation sqrt(13/12)); yield
    // displacements 1.25, 1.75 (deviation 0.5/sqrt(2)).
    const std::vector<Case> cases = {
        {u'.',
         {"File,Peak load,\"Yield displacement, mm\",Ultimate found", "s1.csv,12.5,1.25,YES", "\"s,2.csv\",14.5,--,NO",
          "\"s3 \"\"x\"\".csv\",13,1.75,YES", "Count,3,2,", "Mean,13.3333333333333,1.5,",
          "Standard deviation,1.04083299973307,0.353553390593274,",
          "Coefficient of variation,0.07806247497998,0.235702260395516,", "Minimum,12.5,1.25,", "Maximum,14.5,1.75,"}},
        {u',',
         {"File,Peak load,\"Yield displacement, mm\",Ultimate found", "s1.csv,\"12,5\",\"1,25\",YES",
          "\"s,2.csv\",\"14,5\",--,NO", "\"s3 \"\"x\"\".csv\",13,\"1,75\",YES", "Count,3,2,",
          "Mean,\"13,3333333333333\",\"1,5\",", "Standard deviation,\"1,04083299973307\",\"0,353553390593274\",",
          "Coefficient of variation,\"0,07806247497998\",\"0,235702260395516\",", "Minimum,\"12,5\",\"1,25\",",
          "Maximum,\"14,5\",\"1,75\","}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(QChar(c.separator)).toStdString());
        EXPECT_EQ(summaryCsvLines(threeSpecimens(), QChar(c.separator)), c.lines);
    }
}

TEST(SummaryCsv, OneRowHasNoDeviationAndANumericFirstColumnGetsALabelField)
{
    SummaryTable table({{QStringLiteral("load"), QStringLiteral("Load"), ColumnKind::Number}});
    table.addRow({2.5});
    const QStringList expected = {",Load", ",2.5", "Count,1", "Mean,2.5", "Standard deviation,--",
                                  "Coefficient of variation,--", "Minimum,2.5", "Maximum,2.5"};
    EXPECT_EQ(summaryCsvLines(table, u'.'), expected);
}

TEST(SummaryCsv, WrittenWithLineEndsOfTheReport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("summary.csv"));
    writeSummaryCsv(path, threeSpecimens(), u'.');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, summaryCsvBytes(threeSpecimens(), u'.'));
    EXPECT_TRUE(bytes.startsWith("File,Peak load,"));
    EXPECT_EQ(bytes.count("\r\n"), 10);
    EXPECT_TRUE(bytes.endsWith("Maximum,14.5,1.75,\r\n"));
}

}  // namespace
}  // namespace rz

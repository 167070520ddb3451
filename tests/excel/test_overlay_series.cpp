// The chart's overlays in the workbook: only those the chart draws, as series after the
// nine, in both layouts, with their own look; with none drawn nothing changes at all.
#include "ExcelTestSupport.h"

#include "excel/ExcelExport.h"
#include "excel/OverlaySeries.h"

#include <gtest/gtest.h>

using namespace rz;
using namespace rz::excel;
using rz::excel::test::addCurve;
using rz::excel::test::addPoints;
using rz::excel::test::finalCells;
using rz::excel::test::linesWith;
using rz::excel::test::RecordingEnvironment;

namespace {

const QString kChart = QStringLiteral("app1.ActiveChart");

QString newSeries(int k)
{
    const QString path = kChart + QStringLiteral(".SeriesCollection().NewSeries()");
    return k == 1 ? path : path + u'#' + QString::number(k);
}

const OverlayStyle kDashed{0xD55E00, 2.0, DashPattern::Dash, MarkerShape::None, 0.0, false};
const OverlayStyle kSquares{0x6A3D9A, 0.0, DashPattern::Solid, MarkerShape::Square, 11.0, false};

// A calculated chart: a curve of 10 points, one construction and the markers; then the
// overlays "line" (going back in X) and "point", and one more that stays hidden.
ChartModel chartWithOverlays(bool showLine, bool showPoint)
{
    ChartModel chart;
    addCurve(chart, 10);
    addPoints(chart, SeriesId::lnsrsSeries1, {{0, 0}, {3, 1.5}});
    addPoints(chart, SeriesId::pntsrsSeries4, {{9, 4.5}});
    addPoints(chart, SeriesId::pntsrsSeries5, {{9, 4.5}});
    const int line = chart.addOverlay(QStringLiteral("line"), QStringLiteral("EEEP construction"), kDashed);
    chart.setOverlayPoints(line, {{0, 0}, {2.5, 2}, {1.5, 2}});
    chart.setOverlayVisible(line, showLine);
    const int hidden = chart.addOverlay(QStringLiteral("hidden"), QStringLiteral("never written"), kDashed);
    chart.setOverlayPoints(hidden, {{7, 7}});
    const int point = chart.addOverlay(QStringLiteral("point"), QStringLiteral("EEEP yield point"), kSquares);
    chart.setOverlayPoints(point, {{2.5, 2}});
    chart.setOverlayVisible(point, showPoint);
    return chart;
}

// The nine series of chartWithOverlays() alone.
ChartModel chartWithoutOverlays()
{
    ChartModel plain;
    const ChartModel full = chartWithOverlays(false, false);
    for (int i = 0; i < ChartModel::count(); ++i)
        plain.at(i).data = full.at(i).data;
    return plain;
}

QStringList record(const ChartModel& chart, std::int32_t mode, RecordingEnvironment& env)
{
    ExcelOp op;
    op.ExportMode = mode;
    ExportToExcel(op, chart, u'.', env);
    return env.recorder.lines();
}

// What the overlay's look sends to a series, in order.
QStringList styleLines(const QString& series, const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(QStringLiteral("put ") + series + u'.') && !l.contains(QStringLiteral("Values")) &&
            !l.contains(QStringLiteral(".Name ")))
            out << l.mid(4 + series.size() + 1);
    return out;
}

TEST(OverlaySeries, NothingDrawnRecordsExactlyTheNineSeries)
{
    ChartModel shownButEmpty = chartWithoutOverlays();
    const int empty = shownButEmpty.addOverlay(QStringLiteral("empty"), QStringLiteral("nothing found"), kDashed);
    shownButEmpty.setOverlayVisible(empty, true);

    for (const std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode == 0 ? "Single Output" : "Combined Output");
        RecordingEnvironment plainEnv;
        const QStringList plain = record(chartWithoutOverlays(), mode, plainEnv);
        ASSERT_GT(plain.size(), 100);
        RecordingEnvironment hiddenEnv;
        EXPECT_EQ(record(chartWithOverlays(false, false), mode, hiddenEnv), plain);
        RecordingEnvironment emptyEnv;
        EXPECT_EQ(record(shownButEmpty, mode, emptyEnv), plain);
        EXPECT_EQ(hiddenEnv.reports, plainEnv.reports);  // the progress counts the same cells
    }
}

TEST(OverlaySeries, SingleOutputGivesEachDrawnOverlayTwoColumnsAndASeries)
{
    RecordingEnvironment env;
    const QStringList lines = record(chartWithOverlays(true, true), 0, env);
    const std::map<QString, QString> cells = finalCells(env.recorder);

    // After the nine series' columns A to R: S, T for the construction, U, V for the point,
    // in drawing order.
    const std::map<QString, QString> want = {
        {"S1", "X"},   {"T1", "EEEP construction"},
        {"S2", "0"},   {"T2", "0"},
        {"S3", "2.5"}, {"T3", "2"},
        {"S4", "1.5"}, {"T4", "2"},
        {"U1", "X"},   {"V1", "EEEP yield point"},
        {"U2", "2.5"}, {"V2", "2"},
    };
    for (const auto& [cell, text] : want)
        EXPECT_EQ(cells.count(cell) ? cells.at(cell) : QStringLiteral("<none>"), text) << cell.toStdString();
    EXPECT_EQ(cells.count("W1"), 0u);
    EXPECT_EQ(cells.count("S5"), 0u);

    // Series 10 and 11 refer to those cells, their ranges one row past the data.
    EXPECT_EQ(linesWith(lines, {"put " + newSeries(10) + "."}).mid(0, 3),
              (QStringList{"put " + newSeries(10) + ".Name = text \"=Sheet1!$T$1\"",
                           "put " + newSeries(10) + ".XValues = text \"=Sheet1!$S$2:$S$5\"",
                           "put " + newSeries(10) + ".Values = text \"=Sheet1!$T$2:$T$5\""}));
    EXPECT_EQ(linesWith(lines, {"put " + newSeries(11) + "."}).mid(0, 3),
              (QStringList{"put " + newSeries(11) + ".Name = text \"=Sheet1!$V$1\"",
                           "put " + newSeries(11) + ".XValues = text \"=Sheet1!$U$2:$U$3\"",
                           "put " + newSeries(11) + ".Values = text \"=Sheet1!$V$2:$V$3\""}));
    EXPECT_TRUE(linesWith(lines, {newSeries(12)}).isEmpty());

    // Their look: straight segments; the line in its colour (red in the lowest byte),
    // width in points and dash; the point as a marker without a line.
    EXPECT_EQ(
        styleLines(newSeries(10), lines),
        (QStringList{"Smooth = bool false", "Format.Line.Visible = bool true", "Format.Line.ForeColor.RGB = u32 24277",
                     "Format.Line.Visible = bool true", "Format.Line.Weight = f32 1.5", "Format.Line.DashStyle = i32 4",
                     "MarkerStyle = i32 -4142"}));
    EXPECT_EQ(styleLines(newSeries(11), lines),
              (QStringList{"Smooth = bool false", "Format.Line.Visible = bool false", "MarkerStyle = i32 1",
                           "MarkerSize = i32 8", "Format.Fill.Visible = bool true",
                           "Format.Fill.ForeColor.RGB = u32 10108266"}));
}

TEST(OverlaySeries, CombinedOutputAppendsRowsAfterTheNinesEmptyRow)
{
    RecordingEnvironment env;
    const QStringList lines = record(chartWithOverlays(true, true), 1, env);
    const std::map<QString, QString> cells = finalCells(env.recorder);

    // The nine hold 10 + 2 + 1 + 1 = 14 points in rows 2 to 15; their range ends at 16,
    // which stays empty. The construction follows from row 17, the point from row 21.
    EXPECT_EQ(linesWith(lines, {"put " + newSeries(1) + ".XValues"}),
              QStringList{"put " + newSeries(1) + ".XValues = text \"=Sheet1!$B$2:$B$16\""});
    const std::map<QString, QString> want = {
        {"A17", "EEEP construction"},
        {"B17", "0"},
        {"C17", "0"},
        {"B18", "2.5"},
        {"C18", "2"},
        {"B19", "1.5"},
        {"C19", "2"},
        {"A21", "EEEP yield point"},
        {"B21", "2.5"},
        {"C21", "2"},
    };
    for (const auto& [cell, text] : want)
        EXPECT_EQ(cells.count(cell) ? cells.at(cell) : QStringLiteral("<none>"), text) << cell.toStdString();
    for (const char* empty : {"A16", "B16", "C16", "A20", "B20", "A22", "B22"})
        EXPECT_EQ(cells.count(empty), 0u) << empty;

    EXPECT_EQ(linesWith(lines, {"put " + newSeries(2) + "."}).mid(0, 3),
              (QStringList{"put " + newSeries(2) + ".Name = text \"=Sheet1!$A$17\"",
                           "put " + newSeries(2) + ".XValues = text \"=Sheet1!$B$17:$B$20\"",
                           "put " + newSeries(2) + ".Values = text \"=Sheet1!$C$17:$C$20\""}));
    EXPECT_EQ(linesWith(lines, {"put " + newSeries(3) + "."}).mid(0, 3),
              (QStringList{"put " + newSeries(3) + ".Name = text \"=Sheet1!$A$21\"",
                           "put " + newSeries(3) + ".XValues = text \"=Sheet1!$B$21:$B$22\"",
                           "put " + newSeries(3) + ".Values = text \"=Sheet1!$C$21:$C$22\""}));
    EXPECT_TRUE(linesWith(lines, {newSeries(4)}).isEmpty());
    EXPECT_EQ(styleLines(newSeries(3), lines).value(2), "MarkerStyle = i32 1");

    // The progress counts every cell written: 14 points and 9 titles of the nine, the
    // header row, then 4 points and 2 titles of the overlays.
    ASSERT_FALSE(env.reports.empty());
    EXPECT_EQ(env.reports.back().second, 2 * 14 + 9 + 3 + 2 * 4 + 2);
}

TEST(OverlaySeries, LayoutRefusalCountsTheDrawnOverlays)
{
    ChartModel chart;
    addCurve(chart, 10);
    const std::int64_t rowsForData = kExcelLastRow - 2;  // from row 2, one empty row after
    const int big = chart.addOverlay(QStringLiteral("big"), QStringLiteral("Big loop"), kDashed);
    chart.setOverlayPoints(big, std::vector<Point>(static_cast<std::size_t>(rowsForData - 10), Point{1, 1}));

    ExcelOp single;
    ExcelOp combined;
    combined.ExportMode = 1;
    // Hidden, it is not written, so it cannot overflow the sheet.
    EXPECT_FALSE(LayoutRefusal(combined, chart).has_value());
    chart.setOverlayVisible(big, true);
    // Its own columns hold it; below the nine's rows and their empty row it does not fit.
    EXPECT_FALSE(LayoutRefusal(single, chart).has_value());
    const std::optional<QString> refusal = LayoutRefusal(combined, chart);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_TRUE(refusal->contains(QString::number(rowsForData + 1))) << refusal->toStdString();

    chart.setOverlayPoints(big, std::vector<Point>(static_cast<std::size_t>(rowsForData + 1), Point{1, 1}));
    const std::optional<QString> own = LayoutRefusal(single, chart);
    ASSERT_TRUE(own.has_value());
    EXPECT_TRUE(own->contains(QStringLiteral("\"Big loop\""))) << own->toStdString();
}

}  // namespace

#include "ExcelTestSupport.h"

#include "excel/ExcelExport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <map>

using namespace rz;
using namespace rz::excel;
using rz::excel::test::addCurve;
using rz::excel::test::addPoints;
using rz::excel::test::finalCells;
using rz::excel::test::linesWith;
using rz::excel::test::RecordingEnvironment;

namespace {

const QString S = QStringLiteral("app1.Workbooks.Add().Sheets(text \"Sheet1\")");
const QString SH = S + QStringLiteral(".Shapes.AddChart2(i32 240, i32 72)");
const QString C = QStringLiteral("app1.ActiveChart");
const QString X = C + QStringLiteral(".Axes(i32 1, i32 1)");
const QString Y = C + QStringLiteral(".Axes(i32 2, i32 1)");

// Expands $S, $SH, $C, $X, $Y in hand-written expected lines.
QStringList expand(const QString& block)
{
    QStringList out;
    for (QString line : block.split(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        line.replace(QStringLiteral("$SH"), SH).replace(QStringLiteral("$S"), S);
        line.replace(QStringLiteral("$C"), C).replace(QStringLiteral("$X"), X).replace(QStringLiteral("$Y"), Y);
        out << line;
    }
    return out;
}

QString newSeries(int k)
{
    QString path = C + QStringLiteral(".SeriesCollection().NewSeries()");
    return k == 1 ? path : path + u'#' + QString::number(k);
}

const QString kStart = QStringLiteral(R"(
    get app1.Application
    put app1.Application.Visible = bool true
    get app1.Workbooks
    call app1.Workbooks.Add()
    get app1.Workbooks.Add().Sheets(text "Sheet1")
    get $S.Cells(i32 5, i32 3)
    get $S.Cells(i32 5, i32 3).Left
    get $S.Cells(i32 5, i32 3)
    get $S.Cells(i32 5, i32 3).Top
    get $S.Shapes
    call $S.Shapes.AddChart2(i32 240, i32 72)
    put $SH.Left = i32 96
    put $SH.Top = i32 60
    put $SH.Width = i32 300
    put $SH.Height = i32 450
)");

const QString kSelect = QStringLiteral(R"(
    call $SH.Select()
    get app1.ActiveChart
    call $C.SeriesCollection()
)");

// The styling steps with the default options, then our tick-label font sizes.
const QString kDefaultStyling = QStringLiteral(R"(
    call $C.SetElement(i32 301)
    call $C.Axes(i32 1, i32 1)
    get $X.AxisTitle
    put $X.AxisTitle.Text = text "X Axis"
    call $C.Axes(i32 1, i32 1)
    get $X.AxisTitle
    get $X.AxisTitle.Font
    put $X.AxisTitle.Font.Size = i32 10
    call $C.Axes(i32 1, i32 1)
    get $X.Format
    get $X.Format.Line
    put $X.Format.Line.Visible = bool true
    get $X.Format.Line.ForeColor
    put $X.Format.Line.ForeColor.ObjectThemeColor = i32 13
    call $C.Axes(i32 1, i32 1)
    put $X.CrossesAt = i32 -10000
    call $C.Axes(i32 1, i32 1)
    put $X.MajorTickMark = i32 2
    call $C.SetElement(i32 307)
    call $C.Axes(i32 2, i32 1)
    get $Y.AxisTitle
    put $Y.AxisTitle.Text = text "Y Axis"
    call $C.Axes(i32 2, i32 1)
    get $Y.AxisTitle
    get $Y.AxisTitle.Font
    put $Y.AxisTitle.Font.Size = i32 10
    call $C.Axes(i32 2, i32 1)
    get $Y.Format
    get $Y.Format.Line
    put $Y.Format.Line.Visible = bool true
    get $Y.Format.Line.ForeColor
    put $Y.Format.Line.ForeColor.ObjectThemeColor = i32 13
    call $C.Axes(i32 2, i32 1)
    put $Y.CrossesAt = i32 -10000
    call $C.Axes(i32 2, i32 1)
    put $Y.MajorTickMark = i32 2
    call $C.SetElement(i32 101)
    get $C.Legend
    put $C.Legend.IncludeInLayout = bool false
    get $C.Legend
    get $C.Legend.Font
    put $C.Legend.Font.Size = i32 10
    get $C.PlotArea
    get $C.PlotArea.Format
    get $C.PlotArea.Format.Line
    put $C.PlotArea.Format.Line.Visible = bool true
    get $C.PlotArea.Format.Line.ForeColor
    put $C.PlotArea.Format.Line.ForeColor.ObjectThemeColor = i32 13
    put $C.HasTitle = bool false
    call $C.Axes(i32 1, i32 1)
    get $X.TickLabels
    get $X.TickLabels.Font
    put $X.TickLabels.Font.Size = i32 10
    call $C.Axes(i32 2, i32 1)
    get $Y.TickLabels
    get $Y.TickLabels.Font
    put $Y.TickLabels.Font.Size = i32 10
)");

QStringList cellWrite(int row, int column, const QString& text)
{
    const QString kind = row <= 32767 ? QStringLiteral("i16") : QStringLiteral("i32");
    const QString cell = S + QStringLiteral(".Cells(%1 %2, i16 %3)").arg(kind).arg(row).arg(column);
    return {QStringLiteral("get ") + cell, QStringLiteral("put ") + cell + QStringLiteral(".Value = text \"") + text + u'"'};
}

// Format of one series with the default options: marker 8 of size 4, weight 0.5.
QStringList defaultFormat(const QString& series)
{
    return {
        QStringLiteral("put %1.MarkerStyle = i32 8").arg(series),
        QStringLiteral("put %1.MarkerSize = i32 4").arg(series),
        QStringLiteral("get %1.Format").arg(series),
        QStringLiteral("get %1.Format.Line").arg(series),
        QStringLiteral("put %1.Format.Line.Visible = bool true").arg(series),
        QStringLiteral("put %1.Format.Line.Weight = f32 0.5").arg(series),
    };
}

QStringList sourceOf(const QString& series, const QString& name, const QString& x, const QString& y)
{
    return {
        QStringLiteral("put %1.Name = text \"%2\"").arg(series, name),
        QStringLiteral("put %1.XValues = text \"%2\"").arg(series, x),
        QStringLiteral("put %1.Values = text \"%2\"").arg(series, y),
    };
}

// The chart's nine series as the sheet's column table lists them.
struct ColumnPair {
    const char* title;
    int xColumn;
    int yColumn;
    const char* xLetter;
    const char* yLetter;
};
const ColumnPair kColumns[] = {
    {"Line4", 1, 2, "A", "B"},    {"Line1", 3, 4, "C", "D"},    {"Line2", 5, 6, "E", "F"},
    {"Line3", 7, 8, "G", "H"},    {"Point1", 9, 10, "I", "J"},  {"Point2", 11, 12, "K", "L"},
    {"Point3", 13, 14, "M", "N"}, {"Point4", 15, 16, "O", "P"}, {"Point5", 17, 18, "Q", "R"},
};

class ExportRecording : public ::testing::Test {
protected:
    void run(QChar separator = u'.') { ExportToExcel(op, chart, separator, env); }
    QStringList lines() const { return env.recorder.lines(); }

    RecordingEnvironment env;
    ExcelOp op;
    ChartModel chart;
};

TEST_F(ExportRecording, SingleOutputBeforeAnyImportIsTheWholeSequence)
{
    run();

    QStringList expected = expand(kStart);
    for (const ColumnPair& c : kColumns) {
        expected << cellWrite(1, c.xColumn, "X");
        expected << cellWrite(1, c.yColumn, c.title);
    }
    expected << expand(kSelect);
    int k = 1;
    for (const ColumnPair& c : kColumns) {
        const QString series = newSeries(k++);
        expected << QStringLiteral("call ") + C + QStringLiteral(".SeriesCollection().NewSeries()");
        expected << sourceOf(series, QStringLiteral("=Sheet1!$%1$1").arg(c.yLetter),
                             QStringLiteral("=Sheet1!$%1$2:$%1$2").arg(c.xLetter),
                             QStringLiteral("=Sheet1!$%1$2:$%1$2").arg(c.yLetter));
        expected << defaultFormat(series);
    }
    expected << expand(kDefaultStyling);

    EXPECT_EQ(lines(), expected);
    EXPECT_TRUE(env.startFailures.isEmpty());
    EXPECT_TRUE(env.notices.isEmpty());
}

TEST_F(ExportRecording, CombinedOutputBeforeAnyImportWritesAllTitlesIntoA2)
{
    op.ExportMode = 1;
    run();

    QStringList expected = expand(kStart);
    expected << cellWrite(1, 1, "Serie Name") << cellWrite(1, 2, "X") << cellWrite(1, 3, "Y");
    for (const ColumnPair& c : kColumns)
        expected << cellWrite(2, 1, c.title);
    expected << expand(kSelect);
    expected << QStringLiteral("call ") + C + QStringLiteral(".SeriesCollection().NewSeries()");
    expected << sourceOf(newSeries(1), "X-Y", "=Sheet1!$B$2:$B$2", "=Sheet1!$C$2:$C$2");
    expected << defaultFormat(newSeries(1));
    expected << expand(kDefaultStyling);

    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(finalCells(env.recorder).at("A2"), "Point5");
}

TEST_F(ExportRecording, CombinedOutputAfterImportOverwritesTitlesAndEndsRangesAtNPlus3)
{
    op.ExportMode = 1;
    addPoints(chart, SeriesId::lnsrsSeries4, {{0, 0}, {1, 10}, {2, 5}});
    addPoints(chart, SeriesId::pntsrsSeries4, {{1, 10}});
    run();

    const std::map<QString, QString> cells = finalCells(env.recorder);
    const std::map<QString, QString> expected = {
        {"A1", "Serie Name"}, {"B1", "X"}, {"C1", "Y"},       //
        {"A2", "Line4"},      {"B2", "0"}, {"C2", "0"},       //
        {"B3", "1"},          {"C3", "10"},                   //
        {"B4", "2"},          {"C4", "5"},                    //
        {"A5", "Point4"},     {"B5", "1"}, {"C5", "10"},      //
        {"A6", "Point5"},
    };
    EXPECT_EQ(cells, expected);
    // Every title from Line1 to Point4 went to A5 in turn.
    const QStringList a5 = linesWith(lines(), {"put", "Cells(i16 5, i16 1).Value"});
    ASSERT_EQ(a5.size(), 7);
    EXPECT_TRUE(a5.first().endsWith("\"Line1\""));
    EXPECT_EQ(linesWith(lines(), {".XValues"}), QStringList{"put " + newSeries(1) + ".XValues = text \"=Sheet1!$B$2:$B$6\""});
    EXPECT_EQ(linesWith(lines(), {".Values ="}), QStringList{"put " + newSeries(1) + ".Values = text \"=Sheet1!$C$2:$C$6\""});
}

TEST_F(ExportRecording, SingleOutputRangesEndOneRowPastTheData)
{
    addCurve(chart, 100);
    addPoints(chart, SeriesId::lnsrsSeries1, {{0, 0}, {3, 4}});
    run();

    const QStringList curve = linesWith(lines(), {newSeries(1) + "."});
    EXPECT_EQ(curve.mid(0, 3), sourceOf(newSeries(1), "=Sheet1!$B$1", "=Sheet1!$A$2:$A$102", "=Sheet1!$B$2:$B$102"));
    const QStringList construction = linesWith(lines(), {newSeries(2) + "."});
    EXPECT_EQ(construction.mid(0, 3), sourceOf(newSeries(2), "=Sheet1!$D$1", "=Sheet1!$C$2:$C$4", "=Sheet1!$D$2:$D$4"));

    const std::map<QString, QString> cells = finalCells(env.recorder);
    EXPECT_EQ(cells.at("A101"), "99");
    EXPECT_EQ(cells.at("B101"), "49.5");
    EXPECT_EQ(cells.at("C3"), "3");
    EXPECT_EQ(cells.at("D3"), "4");
    EXPECT_EQ(cells.count("A102"), 0u);
    // Headers and points: 4n + 4 calls for a series of n points, half in each column.
    EXPECT_EQ(linesWith(lines(), {"Cells(i16", "i16 1)"}).size(), 2 * 100 + 2);
    EXPECT_EQ(linesWith(lines(), {"Cells(i16", "i16 2)"}).size(), 2 * 100 + 2);
}

TEST_F(ExportRecording, ValuesAreWrittenInTheGeneralFormWithTheUsersSeparator)
{
    addPoints(chart, SeriesId::lnsrsSeries4, {{1.0 / 3.0, 0.00001}, {2.5, 1e20}});
    run(u',');
    const std::map<QString, QString> cells = finalCells(env.recorder);
    EXPECT_EQ(cells.at("A2"), "0,333333333333333");
    EXPECT_EQ(cells.at("B2"), "1E-5");
    EXPECT_EQ(cells.at("A3"), "2,5");
    EXPECT_EQ(cells.at("B3"), "1E20");
}

TEST_F(ExportRecording, MarkersOffSendStyleNoneOnly)
{
    op.ShowMarker = false;
    op.MarkerColorMode = 1;
    addCurve(chart, 3);
    run();
    const QStringList series = linesWith(lines(), {newSeries(1) + "."});
    EXPECT_EQ(series.mid(3), (QStringList{
                                 "put " + newSeries(1) + ".MarkerStyle = i32 -4142",
                                 "get " + newSeries(1) + ".Format",
                                 "get " + newSeries(1) + ".Format.Line",
                                 "put " + newSeries(1) + ".Format.Line.Visible = bool true",
                                 "put " + newSeries(1) + ".Format.Line.Weight = f32 0.5",
                             }));
    EXPECT_TRUE(linesWith(lines(), {"MarkerSize"}).isEmpty());
    EXPECT_TRUE(linesWith(lines(), {"Fill"}).isEmpty());
}

TEST_F(ExportRecording, AutoColoursSendNoColourButTheLineStaysVisible)
{
    run();
    EXPECT_TRUE(linesWith(lines(), {"RGB"}).isEmpty());
    EXPECT_EQ(linesWith(lines(), {".Format.Line.Visible = bool true", "NewSeries"}).size(), 9);
}

TEST_F(ExportRecording, SameAsPlotPanelSendsTheChartSeriesColours)
{
    op.LineColorMode = 1;
    op.MarkerColorMode = 1;
    op.MarkerStyle = 3;
    op.MarkerSize = 9;
    run();
    const QStringList curve = linesWith(lines(), {newSeries(1) + "."});
    EXPECT_EQ(curve.mid(3), (QStringList{
                                "get " + newSeries(1) + ".Format",
                                "get " + newSeries(1) + ".Format.Line",
                                "put " + newSeries(1) + ".Format.Line.Visible = bool true",
                                "get " + newSeries(1) + ".Format.Line.ForeColor",
                                "put " + newSeries(1) + ".Format.Line.ForeColor.RGB = u32 4276545",
                                "put " + newSeries(1) + ".MarkerStyle = i32 3",
                                "put " + newSeries(1) + ".MarkerSize = i32 9",
                                "get " + newSeries(1) + ".Format",
                                "get " + newSeries(1) + ".Format.Fill",
                                "put " + newSeries(1) + ".Format.Fill.Visible = bool true",
                                "get " + newSeries(1) + ".Format.Fill.ForeColor",
                                "put " + newSeries(1) + ".Format.Fill.ForeColor.RGB = u32 4276545",
                                "get " + newSeries(1) + ".Format",
                                "get " + newSeries(1) + ".Format.Line",
                                "put " + newSeries(1) + ".Format.Line.Visible = bool true",
                                "put " + newSeries(1) + ".Format.Line.Weight = f32 0.5",
                            }));
    // Red in the lowest byte: Line1 #00FF00, Line3 #FF0080, Point5 #00FFFF.
    EXPECT_EQ(linesWith(lines(), {newSeries(2) + ".Format.Line.ForeColor.RGB"}),
              QStringList{"put " + newSeries(2) + ".Format.Line.ForeColor.RGB = u32 65280"});
    EXPECT_EQ(linesWith(lines(), {newSeries(4) + ".Format.Fill.ForeColor.RGB"}),
              QStringList{"put " + newSeries(4) + ".Format.Fill.ForeColor.RGB = u32 8388863"});
    EXPECT_EQ(linesWith(lines(), {newSeries(9) + ".Format.Line.ForeColor.RGB"}),
              QStringList{"put " + newSeries(9) + ".Format.Line.ForeColor.RGB = u32 16776960"});
}

TEST_F(ExportRecording, CombinedOutputTakesTheFirstSeriesColour)
{
    op.ExportMode = 1;
    op.LineColorMode = 1;
    run();
    EXPECT_EQ(linesWith(lines(), {"RGB"}), QStringList{"put " + newSeries(1) + ".Format.Line.ForeColor.RGB = u32 4276545"});
}

struct CrossingCase {
    const char* x;
    const char* y;
    char16_t separator;
    QStringList expected;  // the CrossesAt lines, X first
};

class AxisPositions : public ExportRecording, public ::testing::WithParamInterface<CrossingCase> {};

TEST_P(AxisPositions, AreCutTowardZero)
{
    const CrossingCase& c = GetParam();
    op.XAxisPosition = QString::fromUtf8(c.x);
    op.YAxisPosition = QString::fromUtf8(c.y);
    run(QChar(c.separator));
    QStringList expected;
    for (const QString& e : c.expected)
        expected << expand(e);
    EXPECT_EQ(linesWith(lines(), {"CrossesAt"}), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AxisPositions,
    ::testing::Values(
        CrossingCase{"-10000.9", "2.7", u'.', {"put $X.CrossesAt = i32 -10000", "put $Y.CrossesAt = i32 2"}},
        CrossingCase{"", "-0.5", u'.', {"put $Y.CrossesAt = i32 0"}},
        CrossingCase{"3", "", u'.', {"put $X.CrossesAt = i32 3"}},
        CrossingCase{"", "", u'.', {}},
        CrossingCase{"2,7", " 1e3 ", u',', {"put $X.CrossesAt = i32 2", "put $Y.CrossesAt = i32 1000"}},
        CrossingCase{"1e10", "-1e10", u'.',
                     {"put $X.CrossesAt = i32 2147483647", "put $Y.CrossesAt = i32 -2147483648"}}));

TEST_F(ExportRecording, AxisPositionThatIsNotANumberEndsTheExportAfterTheSeries)
{
    op.YAxisPosition = "abc";
    addCurve(chart, 2);
    try {
        run();
        FAIL() << "no error";
    } catch (const AutomationError&) {
        FAIL() << "wrong error type";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    const QStringList all = lines();
    EXPECT_EQ(linesWith(all, {".Values ="}).size(), 9);
    // The X axis was styled; the Y axis got its title and line, then the export stopped.
    EXPECT_EQ(all.last(), expand("put $Y.Format.Line.ForeColor.ObjectThemeColor = i32 13").first());
    EXPECT_TRUE(linesWith(all, {"Legend"}).isEmpty());
    EXPECT_TRUE(linesWith(all, {"HasTitle"}).isEmpty());
}

TEST_F(ExportRecording, PointAsSeparatorFailsUnderADecimalComma)
{
    op.XAxisPosition = "2.7";
    EXPECT_THROW(run(u','), std::runtime_error);
    EXPECT_TRUE(linesWith(lines(), {"CrossesAt"}).isEmpty());
}

TEST_F(ExportRecording, TitleOnSendsTheTextAndItsFontSize)
{
    op.ShowGraphTitle = true;
    op.GraphTitle = "Specimen 3";
    op.TitleFontSize = 16;
    run();
    const QStringList tail = lines().mid(lines().size() - 16);
    EXPECT_EQ(tail, expand(R"(
        put $C.HasTitle = bool true
        get $C.HasTitle
        get $C.ChartTitle
        put $C.ChartTitle.Text = text "Specimen 3"
        call $C.Axes(i32 1, i32 1)
        get $X.TickLabels
        get $X.TickLabels.Font
        put $X.TickLabels.Font.Size = i32 10
        call $C.Axes(i32 2, i32 1)
        get $Y.TickLabels
        get $Y.TickLabels.Font
        put $Y.TickLabels.Font.Size = i32 10
        get $C.HasTitle
        get $C.ChartTitle
        get $C.ChartTitle.Font
        put $C.ChartTitle.Font.Size = i32 16
    )"));
}

TEST_F(ExportRecording, LegendOffAndAxisTitlesOffSendNothingAboutThem)
{
    op.ShowLegend = false;
    op.ShowAxisTitle = false;
    op.ShowAxisLine = false;
    op.ShowPlotAreaLine = false;
    op.TickLabelFontSize = 7;
    run();
    EXPECT_TRUE(linesWith(lines(), {"Legend"}).isEmpty());
    EXPECT_TRUE(linesWith(lines(), {"SetElement"}).isEmpty());
    EXPECT_TRUE(linesWith(lines(), {"AxisTitle"}).isEmpty());
    EXPECT_TRUE(linesWith(lines(), {"ObjectThemeColor"}).isEmpty());
    EXPECT_EQ(linesWith(lines(), {"Line.Visible = bool false"}).size(), 3);
    EXPECT_EQ(linesWith(lines(), {"TickLabels.Font.Size = i32 7"}).size(), 2);
}

TEST_F(ExportRecording, IncludeInLayoutAndLegendFontSizeAreSent)
{
    op.LegendIncludeInLayout = true;
    op.LegendFontSize = 12;
    op.AxisTitleFontSize = 14;
    run();
    EXPECT_EQ(linesWith(lines(), {"IncludeInLayout"}), expand("put $C.Legend.IncludeInLayout = bool true"));
    EXPECT_EQ(linesWith(lines(), {"Legend.Font.Size"}), expand("put $C.Legend.Font.Size = i32 12"));
    EXPECT_EQ(linesWith(lines(), {"AxisTitle.Font.Size"}).size(), 2);
    EXPECT_EQ(linesWith(lines(), {"AxisTitle.Font.Size = i32 14"}).size(), 2);
}

TEST_F(ExportRecording, TwoExportsUseTwoApplicationsAndKeepTheSecond)
{
    run();
    const int first = static_cast<int>(lines().size());
    run();
    EXPECT_EQ(lines().at(first), "get app2.Application");
    EXPECT_EQ(lines().count("call app2.Workbooks.Add()"), 1);
    op.ExcelApp.get("Name");
    EXPECT_EQ(lines().last(), "get app2.Name");
}

TEST_F(ExportRecording, StartFailureShowsTheMessageAndCallsNothing)
{
    env.startFails = true;
    addCurve(chart, 5);
    run();
    EXPECT_EQ(env.startFailures.size(), 1);
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(op.ExcelApp.isEmpty());
}

TEST_F(ExportRecording, RefusedCallEndsTheExportAndKeepsWhatWasDone)
{
    env.recorder.rejectMember("AddChart2", "Object doesn't support this property or method");
    addCurve(chart, 5);
    try {
        run();
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.description(), "Object doesn't support this property or method");
    }
    EXPECT_EQ(lines().last(), expand("call $S.Shapes.AddChart2(i32 240, i32 72)").first());
    EXPECT_TRUE(linesWith(lines(), {"Value"}).isEmpty());
    EXPECT_FALSE(op.ExcelApp.isEmpty());
}

TEST_F(ExportRecording, LayoutPastTheLastRowIsRefusedBeforeExcelStarts)
{
    for (int i = 0; i < 1'048'575; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i, 1.0);
    run();
    ASSERT_EQ(env.notices.size(), 1);
    EXPECT_TRUE(env.notices[0].contains("1048575")) << env.notices[0].toStdString();
    EXPECT_TRUE(env.notices[0].contains("1048574"));
    EXPECT_TRUE(env.notices[0].contains("Line4"));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(op.ExcelApp.isEmpty());
}

TEST(LayoutRefusal, LimitsPerSeriesAndInAll)
{
    ChartModel chart;
    ExcelOp op;
    for (int i = 0; i < 1'048'574; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i, 1.0);
    EXPECT_FALSE(LayoutRefusal(op, chart).has_value());
    op.ExportMode = 1;
    EXPECT_FALSE(LayoutRefusal(op, chart).has_value());
    chart[SeriesId::pntsrsSeries5].data.add(1, 1);
    EXPECT_TRUE(LayoutRefusal(op, chart).has_value());
    op.ExportMode = 0;
    EXPECT_FALSE(LayoutRefusal(op, chart).has_value());
}

TEST_F(ExportRecording, CancelStopsAtTheNextProgressReport)
{
    addCurve(chart, 20000);
    env.cancelAfter = 2;
    EXPECT_THROW(run(), ExportCancelled);
    ASSERT_EQ(env.reports.size(), 2u);
    EXPECT_EQ(env.reports[0], std::make_pair(std::int64_t{0}, std::int64_t{2 * 20000 + 18}));
    EXPECT_EQ(env.reports[1].first, 8192);
    EXPECT_EQ(linesWith(lines(), {".Value ="}).size(), 8192);
    EXPECT_TRUE(linesWith(lines(), {"Select"}).isEmpty());
}

TEST_F(ExportRecording, ProgressEndsAtTheTotal)
{
    op.ExportMode = 1;
    addCurve(chart, 10);
    run();
    ASSERT_FALSE(env.reports.empty());
    EXPECT_EQ(env.reports.back(), std::make_pair(std::int64_t{2 * 10 + 9 + 3}, std::int64_t{2 * 10 + 9 + 3}));
}

}  // namespace

#include "ExcelTestSupport.h"

#include "excel/ExcelOp.h"
#include "excel/ExcelToolkit.h"
#include "excel/RecordingBackend.h"

#include <gtest/gtest.h>

using namespace rz::excel;
using rz::excel::test::RecordingEnvironment;

namespace {

struct CellReferenceCase {
    int row;
    int column;
    const char* marker;
    const char* expected;
};

class CellReferenceTest : public ::testing::TestWithParam<CellReferenceCase> {};

TEST_P(CellReferenceTest, BuildsTheReference)
{
    const CellReferenceCase& c = GetParam();
    EXPECT_EQ(CellReference(c.row, c.column, QString::fromLatin1(c.marker)), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Table, CellReferenceTest,
                         ::testing::Values(CellReferenceCase{1, 2, "$", "$B$1"}, CellReferenceCase{33, 18, "$", "$R$33"},
                                           CellReferenceCase{2, 1, "$", "$A$2"}, CellReferenceCase{2, 26, "$", "$Z$2"},
                                           CellReferenceCase{2, 27, "$", "$AA$2"}, CellReferenceCase{2, 52, "$", "$AZ$2"},
                                           CellReferenceCase{2, 53, "$", "$BA$2"}, CellReferenceCase{2, 702, "$", "$ZZ$2"},
                                           CellReferenceCase{2, 703, "$", "$AAA$2"},
                                           CellReferenceCase{5, 3, "", "C5"},
                                           CellReferenceCase{1048576, 16384, "$", "$XFD$1048576"},
                                           CellReferenceCase{-3, 1, "", "A-3"}));

class ToolkitTest : public ::testing::Test {
protected:
    RecordingBackend recorder;
    AutomationObject object = recorder.createApplication();  // "app1" stands for any object
};

TEST_F(ToolkitTest, SeriesMarkerNoneSendsNoSize)
{
    SetSeriesMarker(object, -4142, 7);
    SetSeriesMarker(object, 3, 7);
    EXPECT_EQ(recorder.lines(), (QStringList{
                                    "put app1.MarkerStyle = i32 -4142",
                                    "put app1.MarkerStyle = i32 3",
                                    "put app1.MarkerSize = i32 7",
                                }));
}

TEST_F(ToolkitTest, HiddenAxisAndPlotAreaLinesGetNoColour)
{
    FormatXAxisLine(object, false);
    FormatPlotAreaLine(object, false);
    FormatYAxisLine(object, true);
    EXPECT_EQ(recorder.lines(), (QStringList{
                                    "call app1.Axes(i32 1, i32 1)",
                                    "get app1.Axes(i32 1, i32 1).Format",
                                    "get app1.Axes(i32 1, i32 1).Format.Line",
                                    "put app1.Axes(i32 1, i32 1).Format.Line.Visible = bool false",
                                    "get app1.PlotArea",
                                    "get app1.PlotArea.Format",
                                    "get app1.PlotArea.Format.Line",
                                    "put app1.PlotArea.Format.Line.Visible = bool false",
                                    "call app1.Axes(i32 2, i32 1)",
                                    "get app1.Axes(i32 2, i32 1).Format",
                                    "get app1.Axes(i32 2, i32 1).Format.Line",
                                    "put app1.Axes(i32 2, i32 1).Format.Line.Visible = bool true",
                                    "get app1.Axes(i32 2, i32 1).Format.Line.ForeColor",
                                    "put app1.Axes(i32 2, i32 1).Format.Line.ForeColor.ObjectThemeColor = i32 13",
                                }));
}

TEST_F(ToolkitTest, ChartTitleTextOnlyWhenTheChartReportsATitle)
{
    SetHasTitle(object, false);
    SetChartTitleText(object, "T1");
    SetHasTitle(object, true);
    SetChartTitleText(object, "T2");
    EXPECT_EQ(recorder.lines(), (QStringList{
                                    "put app1.HasTitle = bool false",
                                    "get app1.HasTitle",
                                    "put app1.HasTitle = bool true",
                                    "get app1.HasTitle",
                                    "get app1.ChartTitle",
                                    "put app1.ChartTitle.Text = text \"T2\"",
                                }));
}

TEST_F(ToolkitTest, CellRowsTravelAs16BitWhileTheyFit)
{
    SetCellText(object, 32767, 18, "a");
    SetCellText(object, 32768, 1, "b");
    SetCellText(object, 1048576, 2, "c");
    EXPECT_EQ(recorder.lines(), (QStringList{
                                    "get app1.Cells(i16 32767, i16 18)",
                                    "put app1.Cells(i16 32767, i16 18).Value = text \"a\"",
                                    "get app1.Cells(i32 32768, i16 1)",
                                    "put app1.Cells(i32 32768, i16 1).Value = text \"b\"",
                                    "get app1.Cells(i32 1048576, i16 2)",
                                    "put app1.Cells(i32 1048576, i16 2).Value = text \"c\"",
                                }));
}

TEST_F(ToolkitTest, CellPositionsRoundToTheNearestInteger)
{
    recorder.setAnswer("Left", Variant::real(96.5));
    recorder.setAnswer("Top", Variant::real(60.51));
    EXPECT_EQ(CellLeft(object, 5, 3), 96);  // halves go to even
    EXPECT_EQ(CellTop(object, 5, 3), 61);
    EXPECT_EQ(recorder.lines(), (QStringList{
                                    "get app1.Cells(i32 5, i32 3)",
                                    "get app1.Cells(i32 5, i32 3).Left",
                                    "get app1.Cells(i32 5, i32 3)",
                                    "get app1.Cells(i32 5, i32 3).Top",
                                }));
}

TEST(StartExcel, FailureShowsTheMessageOnceAndLeavesTheApplicationEmpty)
{
    RecordingEnvironment env;
    ExcelOp op;
    op.ExcelApp = env.recorder.createApplication();
    env.startFails = true;
    const AutomationObject app = StartExcel(op, env);
    EXPECT_TRUE(app.isEmpty());
    EXPECT_TRUE(op.ExcelApp.isEmpty());
    EXPECT_EQ(env.startFailures,
              QStringList{QStringLiteral("错误: 创建Excel文件出错, 请确认本机是否安装了MS-EXCEL.")});
}

TEST(StartExcel, EverySuccessAsksForANewApplication)
{
    RecordingEnvironment env;
    ExcelOp op;
    const AutomationObject first = StartExcel(op, env);
    const AutomationObject second = StartExcel(op, env);
    EXPECT_FALSE(first == second);
    EXPECT_TRUE(op.ExcelApp == second);
    EXPECT_TRUE(env.startFailures.isEmpty());
}

TEST(CallLayer, CallsOnAnEmptyHandleFailWithoutACrash)
{
    const AutomationObject empty;
    EXPECT_THROW(ShowExcel(empty), AutomationError);
    try {
        SetCellText(empty, 1, 1, "X");
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_TRUE(e.description().contains("Cells")) << e.what();
    }
}

TEST(CallLayer, RefusedCallCarriesTheDescriptionAndStopsTheOperation)
{
    RecordingBackend recorder;
    const AutomationObject app = recorder.createApplication();
    recorder.rejectMember("Top", "Top refused");
    try {
        AddScatterChart(app, 1, 2, 3, 4);
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.description(), "Top refused");
    }
    // Left was set before the refusal; Width and Height were never sent.
    EXPECT_EQ(recorder.lines().size(), 4);
    EXPECT_EQ(recorder.lines().back(), "put app1.Shapes.AddChart2(i32 240, i32 72).Top = i32 2");
}

TEST(CallLayer, ResultConversions)
{
    EXPECT_EQ(Variant::real(2.5).toInt32(), 2);
    EXPECT_EQ(Variant::real(-2.5).toInt32(), -2);
    EXPECT_EQ(Variant::real(3.5).toInt32(), 4);
    EXPECT_EQ(Variant::boolean(true).toInt32(), -1);
    EXPECT_THROW(Variant::real(3e9).toInt32(), AutomationError);
    EXPECT_THROW(Variant::text("1").toInt32(), AutomationError);
    EXPECT_TRUE(Variant::int32(2).asBool());
    EXPECT_THROW(Variant::text("true").asBool(), AutomationError);
    EXPECT_THROW(Variant::int32(1).asObject(), AutomationError);
}

}  // namespace

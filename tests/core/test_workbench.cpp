// The main window's model driven through its handlers: what each leaves in the state,
// the nine series and the field texts, which messages it shows and where it stops.
#include "WorkbenchFixture.h"

#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

// ---------------------------------------------------------------------------------------
// Construction

TEST(WorkbenchConstruction, Defaults)
{
    RecordingUi ui;
    const Workbench wb(ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/"));

    AnalysisState want;
    want.DisplayMethod = 0;
    want.PeakLoad = 0.0;
    want.PeakDisp = 0.0;
    want.PeakIndex = -1;
    want.MaxDisp = 0.0;
    want.MaxDispIndex = -1.0;
    want.ParkLoadFactor = 0.75;
    want.GeometricResult = want.ParkResult = want.EnergyResult = want.MeanResult = {0.0, 0.0, 0.0};
    want.LoadReductionFactor = 0.15;
    want.UltimateDisp = 0.0;
    want.UltimateFound = false;
    want.SecantLoadFactor = 0.1;
    want.InitialStiffness = 0.0;
    want.StiffnessFound = true;
    want.ResultBaseName.clear();
    want.SourceDataPath.clear();
    EXPECT_TRUE(sameState(wb.state(), want));

    EXPECT_EQ(wb.fieldText(Field::edt12), QStringLiteral("0.15"));
    EXPECT_EQ(wb.fieldText(Field::edt17), QStringLiteral("0.1"));
    EXPECT_EQ(wb.fieldText(Field::edt1), QStringLiteral("0.75"));
    EXPECT_TRUE(onlyFactorTextsShown(wb));
    for (int i = 0; i < kSeriesCount; ++i) {
        EXPECT_TRUE(wb.chart().at(i).data.empty()) << seriesStyle(static_cast<SeriesId>(i)).name;
        EXPECT_TRUE(wb.chart().at(i).visible) << seriesStyle(static_cast<SeriesId>(i)).name;
    }
    EXPECT_EQ(wb.openDialogFolder(), QStringLiteral("/opt/rorevadi/"));
    EXPECT_EQ(wb.reportDialogFolder(), QStringLiteral("/opt/rorevadi/"));
    EXPECT_EQ(wb.pictureDialogFolder(), QStringLiteral("/opt/rorevadi/"));
    EXPECT_FALSE(wb.lastCalculationCompleted());
    EXPECT_EQ(wb.lastImportLineCount(), -1);
    EXPECT_TRUE(ui.events.empty());
}

TEST(WorkbenchConstruction, ProgramFolderGetsItsTrailingSeparator)
{
    RecordingUi ui;
    const Workbench wb(ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi"));
    EXPECT_EQ(wb.openDialogFolder(), QStringLiteral("/opt/rorevadi/"));
    EXPECT_EQ(wb.reportDialogFolder(), QStringLiteral("/opt/rorevadi/"));
    EXPECT_EQ(wb.pictureDialogFolder(), QStringLiteral("/opt/rorevadi/"));
}

TEST_F(WorkbenchTest, CalculateRightAfterStartAsksForDataAndChangesNothing)
{
    const AnalysisState before = wb.state();
    const WindowSnapshot shown = snapshot(wb);
    wb.btn1Click();
    EXPECT_EQ(ui.log(), std::vector<std::string>{info("Import Data first!")});
    EXPECT_TRUE(sameState(wb.state(), before));
    EXPECT_EQ(snapshot(wb), shown);
    EXPECT_TRUE(wb.state().StiffnessFound);
    EXPECT_FALSE(wb.lastCalculationCompleted());
}

// ---------------------------------------------------------------------------------------
// ResetAnalysis

TEST_F(WorkbenchTest, ResetAnalysisTouchesOnlyItsFieldsAndSeries)
{
    analyseWorkedExample();
    wb.displayMethodSelected(2);
    wb.setFieldText(Field::edt12, QStringLiteral("0.3"));
    wb.setFieldText(Field::edt17, QStringLiteral("0.2"));
    wb.setFieldText(Field::edt1, QStringLiteral("0.5"));
    const WindowSnapshot shown = snapshot(wb);
    AnalysisState want = wb.state();
    ASSERT_TRUE(want.UltimateFound);
    ASSERT_TRUE(want.StiffnessFound);

    wb.ResetAnalysis();

    want.PeakIndex = -1;
    want.UltimateFound = false;
    want.StiffnessFound = false;
    EXPECT_TRUE(sameState(wb.state(), want));
    EXPECT_EQ(text(Field::edt12), "0.3");
    EXPECT_EQ(text(Field::edt17), "0.2");
    EXPECT_EQ(text(Field::edt1), "0.5");
    EXPECT_TRUE(onlyFactorTextsShown(wb));
    for (int i = 0; i < kSeriesCount; ++i) {
        EXPECT_TRUE(wb.chart().at(i).data.empty()) << seriesStyle(static_cast<SeriesId>(i)).name;
        EXPECT_EQ(wb.chart().at(i).visible, shown.visible[static_cast<std::size_t>(i)])
            << seriesStyle(static_cast<SeriesId>(i)).name;
    }
    EXPECT_FALSE(wb.chart()[SeriesId::lnsrsSeries1].visible);  // the R.Park choice stays
    EXPECT_EQ(wb.openDialogFolder(), folder());
    EXPECT_TRUE(ui.events.empty());
}

// ---------------------------------------------------------------------------------------
// Import

struct ImportCase {
    const char* name;
    QByteArray bytes;
    std::string message;
    std::int64_t lines;
    int points;
};

TEST_F(WorkbenchTest, ImportMessagesCountLinesAndTheFailingLine)
{
    const ImportCase cases[] = {
        {"empty file", "", info("0 Lines of date have been imported!"), 0, 0},
        {"header only", "displacement,load", info("1 Lines of date have been imported!"), 1, 0},
        {"header and final break", "displacement,load\r\n", info("1 Lines of date have been imported!"), 1, 0},
        {"no final break", "h\n0,0\n1,2", info("3 Lines of date have been imported!"), 3, 2},
        {"CR line ends", "h\r0,0\r1,2\r", info("3 Lines of date have been imported!"), 3, 2},
        {"three numbers on a line", "h\n0,0,7\n1,2,8\n", info("3 Lines of date have been imported!"), 3, 2},
        {"trailing empty line", "h\n0,0\n1,5\n2,3\n\n",
         info("This File contains 5 Lines. Only 4 Lines of date have been imported!"), 5, 3},
        {"bad line in the middle", "h\n0,0\n1,5\nabc,3\n2,9\n",
         info("This File contains 5 Lines. Only 3 Lines of date have been imported!"), 5, 2},
        {"one number only", "h\n0,0\n1\n2,3\n",
         info("This File contains 4 Lines. Only 2 Lines of date have been imported!"), 4, 1},
        {"empty line inside", "h\n0,0\n\n1,2\n",
         info("This File contains 4 Lines. Only 2 Lines of date have been imported!"), 4, 1},
        {"number beyond the double range", "h\n0,0\n1,1e999\n",
         info("This File contains 3 Lines. Only 2 Lines of date have been imported!"), 3, 1},
        {"bad first data line", "h\n1;2\n3,4\n",
         info("This File contains 3 Lines. Only 1 Lines of date have been imported!"), 3, 0},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        importFile(QStringLiteral("case.csv"), c.bytes);
        EXPECT_EQ(ui.log(), std::vector<std::string>{c.message});
        EXPECT_EQ(wb.lastImportLineCount(), c.lines);
        EXPECT_EQ(wb.chart()[SeriesId::lnsrsSeries4].data.count(), c.points);
        EXPECT_EQ(wb.state().PeakIndex >= 0, c.points > 0);
        EXPECT_EQ(wb.chart()[SeriesId::pntsrsSeries4].data.count(), c.points > 0 ? 1 : 0);
    }
}

TEST_F(WorkbenchTest, HeaderAndHundredPointsGiveTheSuccessMessage)
{
    wb.importConfirmed(QStringLiteral(RZ_TEST_DATA_DIR "/import/header_and_100_points.csv"));
    EXPECT_EQ(ui.log(), std::vector<std::string>{info("101 Lines of date have been imported!")});
    EXPECT_EQ(wb.chart()[SeriesId::lnsrsSeries4].data.count(), 100);
    EXPECT_EQ(wb.state().ResultBaseName, QStringLiteral("header_and_100_points"));
}

struct PeakCase {
    const char* name;
    QByteArray file;
    std::vector<Point> stored;
    double peakLoad, peakDisp;
    int peakIndex;
    double maxDisp, maxDispIndex;
    const char* edt18;
    const char* edt19;
};

TEST_F(WorkbenchTest, PeakAndLargestDisplacement)
{
    const PeakCase cases[] = {
        {"decreasing displacement is stored sorted",
         curveFile({{0, 0}, {2, 5}, {1, 3}}),
         {{0, 0}, {1, 3}, {2, 5}},
         5,
         2,
         2,
         2,
         2.0,
         "5",
         "2"},
        {"equal largest loads: the smaller displacement wins",
         curveFile({{0, 0}, {3, 10}, {1, 10}, {4, 2}}),
         {{0, 0}, {1, 10}, {3, 10}, {4, 2}},
         10,
         1,
         1,
         4,
         3.0,
         "10",
         "4"},
        {"equal largest displacements: the first of them",
         curveFile({{0, 0}, {2, 7}, {1, 5}, {2, 3}, {2, 9}}),
         {{0, 0}, {1, 5}, {2, 7}, {2, 3}, {2, 9}},
         9,
         2,
         4,
         2,
         2.0,
         "9",
         "2"},
        {"all loads negative: the one closest to zero",
         curveFile({{0, -5}, {1, -2}, {2, -8}}),
         {{0, -5}, {1, -2}, {2, -8}},
         -2,
         1,
         1,
         2,
         2.0,
         "-2",
         "2"},
        {"negative displacements",
         curveFile({{-3, 1}, {-1, 4}, {-2, 2}}),
         {{-3, 1}, {-2, 2}, {-1, 4}},
         4,
         -1,
         2,
         -1,
         2.0,
         "4",
         "-1"},
        {"one point, five decimals",
         curveFile({{3.25, 0.1234567}}),
         {{3.25, 0.1234567}},
         0.1234567,
         3.25,
         0,
         3.25,
         0.0,
         "0.12346",
         "3.25"},
        {"whole numbers and a half",
         curveFile({{0, 0}, {20, 1.5}}),
         {{0, 0}, {20, 1.5}},
         1.5,
         20,
         1,
         20,
         1.0,
         "1.5",
         "20"},
    };
    for (const PeakCase& c : cases) {
        SCOPED_TRACE(c.name);
        importFile(QStringLiteral("peak.csv"), c.file);
        const AnalysisState& s = wb.state();
        EXPECT_EQ(pts(SeriesId::lnsrsSeries4), c.stored);
        EXPECT_EQ(s.PeakLoad, c.peakLoad);
        EXPECT_EQ(s.PeakDisp, c.peakDisp);
        EXPECT_EQ(s.PeakIndex, c.peakIndex);
        EXPECT_EQ(s.MaxDisp, c.maxDisp);
        EXPECT_EQ(s.MaxDispIndex, c.maxDispIndex);
        EXPECT_EQ(text(Field::edt18), c.edt18);
        EXPECT_EQ(text(Field::edt19), c.edt19);
        EXPECT_EQ(pts(SeriesId::pntsrsSeries4), (std::vector<Point>{{c.peakDisp, c.peakLoad}}));
        for (SeriesId id :
             {SeriesId::lnsrsSeries1, SeriesId::lnsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries1,
              SeriesId::pntsrsSeries2, SeriesId::pntsrsSeries3, SeriesId::pntsrsSeries5})
            EXPECT_TRUE(pts(id).empty()) << seriesStyle(id).name;
    }
}

TEST_F(WorkbenchTest, ImportEmptiesTheEarlierAnalysisAndKeepsFactorsAndDisplayChoice)
{
    analyseWorkedExample();
    wb.displayMethodSelected(3);
    wb.setFieldText(Field::edt12, QStringLiteral("0.3"));
    const AnalysisState before = wb.state();

    importFile(QStringLiteral("second.csv"), curveFile({{0, 0}, {1, 10}, {2, 5}}));

    const AnalysisState& s = wb.state();
    EXPECT_FALSE(s.UltimateFound);
    EXPECT_FALSE(s.StiffnessFound);
    EXPECT_EQ(s.DisplayMethod, 3);
    EXPECT_EQ(text(Field::edt12), "0.3");
    EXPECT_EQ(s.LoadReductionFactor, 0.15);  // converted only by Calculate
    // The results of the earlier calculation stay in the state until the next one.
    EXPECT_EQ(s.UltimateDisp, before.UltimateDisp);
    EXPECT_EQ(s.InitialStiffness, before.InitialStiffness);
    EXPECT_EQ(s.GeometricResult.YieldLoad, before.GeometricResult.YieldLoad);
    EXPECT_EQ(s.MeanResult.Ductility, before.MeanResult.Ductility);
    for (Field f : kResultFields)
        EXPECT_TRUE(text(f).empty()) << fieldName(f);
    EXPECT_TRUE(text(Field::edt15).empty());
    EXPECT_TRUE(text(Field::edt16).empty());
    for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::lnsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries1,
                        SeriesId::pntsrsSeries2, SeriesId::pntsrsSeries3, SeriesId::pntsrsSeries5})
        EXPECT_TRUE(pts(id).empty()) << seriesStyle(id).name;
    EXPECT_TRUE(wb.chart()[SeriesId::lnsrsSeries3].visible);
    EXPECT_FALSE(wb.chart()[SeriesId::lnsrsSeries1].visible);
    EXPECT_EQ(s.ResultBaseName, QStringLiteral("second"));
    // The new curve has not been calculated: nothing may offer the old results as its own.
    EXPECT_FALSE(wb.lastCalculationCompleted());
}

TEST_F(WorkbenchTest, ImportWithoutPointsKeepsTheEarlierPeakValues)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();

    importFile(QStringLiteral("later.txt"), "displacement,load\n");

    AnalysisState want = before;
    want.PeakIndex = -1;
    want.UltimateFound = false;
    want.StiffnessFound = false;
    want.ResultBaseName = QStringLiteral("later");
    want.SourceDataPath = dir.filePath(QStringLiteral("later.txt"));
    EXPECT_TRUE(sameState(wb.state(), want));
    EXPECT_TRUE(onlyFactorTextsShown(wb));
    for (int i = 0; i < kSeriesCount; ++i)
        EXPECT_TRUE(wb.chart().at(i).data.empty()) << seriesStyle(static_cast<SeriesId>(i)).name;
    ui.clear();
    wb.btn1Click();
    EXPECT_EQ(ui.log(), std::vector<std::string>{info("Import Data first!")});
    EXPECT_TRUE(pts(SeriesId::pntsrsSeries5).empty());
}

TEST_F(WorkbenchTest, UnreadableFileShowsTheErrorAndLeavesTheResetState)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.csv")));
    const QString missingFolder = dir.path() + QStringLiteral("/gone/");
    struct Case {
        const char* name;
        QString path;
        QString baseName;
        QString folder;
    };
    const Case cases[] = {
        {"missing file", dir.filePath(QStringLiteral("missing.csv")), QStringLiteral("missing"), folder()},
        {"a folder", dir.filePath(QStringLiteral("folder.csv")), QStringLiteral("folder"), folder()},
        {"missing folder", missingFolder + QStringLiteral("data.v2.csv"), QStringLiteral("data.v2"), missingFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        analyseWorkedExample();
        AnalysisState want = wb.state();

        wb.importConfirmed(c.path);

        ASSERT_EQ(ui.events.size(), 1u) << ::testing::PrintToString(ui.log());
        EXPECT_EQ(ui.events[0].level, MessageLevel::Error);
        EXPECT_TRUE(ui.events[0].text.contains(c.path)) << ui.events[0].text.toStdString();
        want.PeakIndex = -1;
        want.UltimateFound = false;
        want.StiffnessFound = false;
        want.ResultBaseName = c.baseName;
        want.SourceDataPath = c.path;
        EXPECT_TRUE(sameState(wb.state(), want));
        EXPECT_EQ(wb.openDialogFolder(), c.folder);
        EXPECT_EQ(wb.reportDialogFolder(), c.folder);
        EXPECT_EQ(wb.pictureDialogFolder(), c.folder);
        EXPECT_EQ(wb.lastImportLineCount(), -1);
        for (int i = 0; i < kSeriesCount; ++i)
            EXPECT_TRUE(wb.chart().at(i).data.empty()) << seriesStyle(static_cast<SeriesId>(i)).name;
        EXPECT_TRUE(onlyFactorTextsShown(wb));
        ui.clear();
        wb.btn1Click();
        EXPECT_EQ(ui.log(), std::vector<std::string>{info("Import Data first!")});
        ui.clear();
    }
}

TEST(WorkbenchNames, BaseNameAndFolderOfTheChosenPath)
{
    struct Case {
        const char* path;
        const char* base;
        const char* folder;
    };
    const Case cases[] = {
        {"/data/tests/specimen.csv", "specimen", "/data/tests/"},
        {"/data/tests/specimen.v2.csv", "specimen.v2", "/data/tests/"},
        {"/data/a.b/specimen", "specimen", "/data/a.b/"},
        {"/data/.hidden", "", "/data/"},
        {"/data/trailing.", "trailing", "/data/"},
        {"specimen.txt", "specimen", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(baseNameOf(QString::fromLatin1(c.path)), QString::fromLatin1(c.base)) << c.path;
        EXPECT_EQ(folderOf(QString::fromLatin1(c.path)), QString::fromLatin1(c.folder)) << c.path;
    }
}

// ---------------------------------------------------------------------------------------
// Display choice

struct VisibilityCase {
    int method;
    bool geometric, park, energy;
};

TEST_F(WorkbenchTest, DisplayMethodShowsOneConstructionOrAll)
{
    const VisibilityCase cases[] = {
        {1, true, false, false}, {2, false, true, false}, {3, false, false, true},
        {4, true, true, true},   {3, false, false, true}, {1, true, false, false},
    };
    for (const VisibilityCase& c : cases) {
        SCOPED_TRACE(c.method);
        wb.displayMethodSelected(c.method);
        EXPECT_EQ(wb.state().DisplayMethod, c.method);
        const ChartModel& ch = wb.chart();
        EXPECT_EQ(ch[SeriesId::lnsrsSeries1].visible, c.geometric);
        EXPECT_EQ(ch[SeriesId::pntsrsSeries1].visible, c.geometric);
        EXPECT_EQ(ch[SeriesId::lnsrsSeries2].visible, c.park);
        EXPECT_EQ(ch[SeriesId::pntsrsSeries2].visible, c.park);
        EXPECT_EQ(ch[SeriesId::lnsrsSeries3].visible, c.energy);
        EXPECT_EQ(ch[SeriesId::pntsrsSeries3].visible, c.energy);
        for (SeriesId id : {SeriesId::lnsrsSeries4, SeriesId::pntsrsSeries4, SeriesId::pntsrsSeries5})
            EXPECT_TRUE(ch[id].visible) << seriesStyle(id).name;
    }
}

TEST_F(WorkbenchTest, UnknownDisplayMethodChangesNoVisibility)
{
    wb.displayMethodSelected(2);
    const WindowSnapshot shown = snapshot(wb);
    for (int m : {0, 5, -1}) {
        wb.displayMethodSelected(m);
        wb.UpdateSeriesVisibility();
        EXPECT_EQ(snapshot(wb), shown) << m;
    }
}

TEST_F(WorkbenchTest, CalculateReappliesTheChoiceAndImportLeavesIt)
{
    importFile(QStringLiteral("worked.csv"), workedExampleFile());
    wb.btn1Click();
    for (int i = 0; i < kSeriesCount; ++i)
        EXPECT_TRUE(wb.chart().at(i).visible) << "no choice made yet";

    wb.displayMethodSelected(1);
    importFile(QStringLiteral("worked.csv"), workedExampleFile());
    EXPECT_FALSE(wb.chart()[SeriesId::lnsrsSeries2].visible);
    wb.btn1Click();
    EXPECT_TRUE(wb.chart()[SeriesId::lnsrsSeries1].visible);
    EXPECT_FALSE(wb.chart()[SeriesId::lnsrsSeries2].visible);
    EXPECT_FALSE(wb.chart()[SeriesId::pntsrsSeries3].visible);
    // Every construction is drawn, only the chosen one is visible.
    EXPECT_FALSE(pts(SeriesId::lnsrsSeries2).empty());
    EXPECT_FALSE(pts(SeriesId::lnsrsSeries3).empty());

    const std::vector<Point> park = pts(SeriesId::lnsrsSeries2);
    wb.displayMethodSelected(4);
    EXPECT_TRUE(wb.chart()[SeriesId::lnsrsSeries2].visible);
    EXPECT_TRUE(wb.chart()[SeriesId::pntsrsSeries3].visible);
    EXPECT_EQ(pts(SeriesId::lnsrsSeries2), park);
}

// ---------------------------------------------------------------------------------------
// Dialog folders

TEST_F(WorkbenchTest, DialogFoldersFollowImportReportAndPicture)
{
    importFile(QStringLiteral("worked.csv"), workedExampleFile());
    EXPECT_EQ(wb.openDialogFolder(), folder());
    EXPECT_EQ(wb.reportDialogFolder(), folder());
    EXPECT_EQ(wb.pictureDialogFolder(), folder());

    wb.reportPathChosen(QStringLiteral("/srv/reports/a_YieldingPoint.csv"));
    EXPECT_EQ(wb.openDialogFolder(), QStringLiteral("/srv/reports/"));
    EXPECT_EQ(wb.reportDialogFolder(), QStringLiteral("/srv/reports/"));
    EXPECT_EQ(wb.pictureDialogFolder(), QStringLiteral("/srv/reports/"));

    // The picture dialog moves the other two, not itself.
    wb.picturePathChosen(QStringLiteral("/srv/pictures/a_YieldingPoint.bmp"));
    EXPECT_EQ(wb.openDialogFolder(), QStringLiteral("/srv/pictures/"));
    EXPECT_EQ(wb.reportDialogFolder(), QStringLiteral("/srv/pictures/"));
    EXPECT_EQ(wb.pictureDialogFolder(), QStringLiteral("/srv/reports/"));

    // None of this touches the analysis.
    EXPECT_EQ(wb.state().ResultBaseName, QStringLiteral("worked"));
    EXPECT_EQ(wb.state().PeakIndex, 5);
}

}  // namespace
}  // namespace rz

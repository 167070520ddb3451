// The main window's model driven through its handlers: what each leaves in the state,
// the nine series and the field texts, which messages it shows and where it stops.
#include "WorkbenchTestSupport.h"

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

const char* const kDivisionByZero = "Floating point division by zero";
const char* const kInvalidOperation = "Invalid floating point operation";
const char* const kStiffnessWarning =
    "Floating point division by zero Initial Stiffness can't not be calculated! Check the Data!";

class WorkbenchTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/")};

    QString put(const QString& name, const QByteArray& bytes) { return writeFile(dir, name, bytes); }
    QString folder() const { return dir.path() + QLatin1Char('/'); }

    void importFile(const QString& name, const QByteArray& bytes)
    {
        wb.importConfirmed(put(name, bytes));
    }
    // Import and one complete calculation of the worked example, with the messages cleared.
    void analyseWorkedExample()
    {
        importFile(QStringLiteral("worked.csv"), workedExampleFile());
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
        ui.clear();
    }
    std::vector<Point> pts(SeriesId id) const { return pointsOf(wb, id); }
    // Field texts as std::string: failures then print as text.
    std::string text(Field f) const { return wb.fieldText(f).toStdString(); }
};

constexpr Field kFactorFields[] = {Field::edt12, Field::edt17, Field::edt1};
constexpr Field kResultFields[] = {Field::edt2, Field::edt3, Field::edt8,  Field::edt4,  Field::edt5,  Field::edt9,
                                   Field::edt6, Field::edt7, Field::edt13, Field::edt10, Field::edt11, Field::edt14};

bool isFactorField(Field f)
{
    return f == Field::edt12 || f == Field::edt17 || f == Field::edt1;
}

// Every field but the three the user types into is empty.
::testing::AssertionResult onlyFactorTextsShown(const Workbench& wb)
{
    std::string shown;
    for (int f = 0; f < kFieldCount; ++f) {
        const Field field = static_cast<Field>(f);
        if (!isFactorField(field) && !wb.fieldText(field).isEmpty())
            shown += std::string(fieldName(field)) + " = \"" + wb.fieldText(field).toStdString() + "\" ";
    }
    if (shown.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << shown;
}

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
        {"decreasing displacement is stored sorted", curveFile({{0, 0}, {2, 5}, {1, 3}}),
         {{0, 0}, {1, 3}, {2, 5}}, 5, 2, 2, 2, 2.0, "5", "2"},
        {"equal largest loads: the smaller displacement wins", curveFile({{0, 0}, {3, 10}, {1, 10}, {4, 2}}),
         {{0, 0}, {1, 10}, {3, 10}, {4, 2}}, 10, 1, 1, 4, 3.0, "10", "4"},
        {"equal largest displacements: the first of them", curveFile({{0, 0}, {2, 7}, {1, 5}, {2, 3}, {2, 9}}),
         {{0, 0}, {1, 5}, {2, 7}, {2, 3}, {2, 9}}, 9, 2, 4, 2, 2.0, "9", "2"},
        {"all loads negative: the one closest to zero", curveFile({{0, -5}, {1, -2}, {2, -8}}),
         {{0, -5}, {1, -2}, {2, -8}}, -2, 1, 1, 2, 2.0, "-2", "2"},
        {"negative displacements", curveFile({{-3, 1}, {-1, 4}, {-2, 2}}),
         {{-3, 1}, {-2, 2}, {-1, 4}}, 4, -1, 2, -1, 2.0, "4", "-1"},
        {"one point, five decimals", curveFile({{3.25, 0.1234567}}),
         {{3.25, 0.1234567}}, 0.1234567, 3.25, 0, 3.25, 0.0, "0.12346", "3.25"},
        {"whole numbers and a half", curveFile({{0, 0}, {20, 1.5}}),
         {{0, 0}, {20, 1.5}}, 1.5, 20, 1, 20, 1.0, "1.5", "20"},
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
        for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::lnsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries1,
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
// Calculate: worked examples

TEST_F(WorkbenchTest, WorkedExample)
{
    importFile(QStringLiteral("worked.csv"), workedExampleFile());
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{info("9 Lines of date have been imported!")});
    EXPECT_TRUE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    EXPECT_EQ(s.PeakLoad, 100);
    EXPECT_EQ(s.PeakDisp, 4);
    EXPECT_EQ(s.PeakIndex, 5);
    EXPECT_EQ(s.MaxDisp, 6);
    EXPECT_EQ(s.MaxDispIndex, 7.0);
    EXPECT_TRUE(s.UltimateFound);
    EXPECT_DOUBLE_EQ(s.UltimateDisp, 5.5);
    EXPECT_TRUE(s.StiffnessFound);
    EXPECT_DOUBLE_EQ(s.InitialStiffness, 50);
    EXPECT_DOUBLE_EQ(s.GeometricResult.YieldLoad, 87.5);
    EXPECT_DOUBLE_EQ(s.GeometricResult.YieldDisp, 2.5);
    EXPECT_DOUBLE_EQ(s.GeometricResult.Ductility, 2.2);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldLoad, 80);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldDisp, 2);
    EXPECT_DOUBLE_EQ(s.ParkResult.Ductility, 2.75);
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldLoad, 86);
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldDisp, 2.4);
    EXPECT_DOUBLE_EQ(s.EnergyResult.Ductility, 5.5 / 2.4);
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldLoad, 84.5);
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldDisp, 2.3);
    EXPECT_DOUBLE_EQ(s.MeanResult.Ductility, (2.2 + 2.75 + 5.5 / 2.4) / 3);

    const std::pair<Field, const char*> fields[] = {
        {Field::edt18, "100"},   {Field::edt19, "6"},     {Field::edt15, "5.5"},    {Field::edt16, "50"},
        {Field::edt2, "87.5"},   {Field::edt3, "2.5"},    {Field::edt8, "2.2000"},  {Field::edt4, "86"},
        {Field::edt5, "2.4"},    {Field::edt9, "2.2917"}, {Field::edt6, "80"},      {Field::edt7, "2"},
        {Field::edt13, "2.7500"}, {Field::edt10, "84.5"}, {Field::edt11, "2.3"},    {Field::edt14, "2.4139"},
    };
    for (const auto& [f, want] : fields)
        EXPECT_EQ(text(f), want) << fieldName(f);

    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries4),
                                 {{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries1),
                                 {{0, 0}, {0, 0}, {2, 100}, {2, 80}, {2.5, 100}, {2.5, 0}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries1), {{2.5, 87.5}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries2), {{0, 0}, {1.5, 75}, {2, 100}, {2, 0}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries2), {{2, 80}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries3), {{0, 0}, {2.4, 100}, {2.4, 0}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries3), {{2.4, 86}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries4), {{4, 100}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries5), {{5.5, 85}}));
    for (int i = 0; i < kSeriesCount; ++i)
        EXPECT_TRUE(wb.chart().at(i).visible) << seriesStyle(static_cast<SeriesId>(i)).name;
}

// The curve starts above the secant load. Calculated after the worked example, so the
// Geometric result and the stiffness of that calculation must survive untouched.
TEST_F(WorkbenchTest, NoStiffnessCurveSkipsTheGeometricMethod)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    importFile(QStringLiteral("nostiff.csv"), noStiffnessFile());
    ui.clear();
    wb.btn1Click();

    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    EXPECT_TRUE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    EXPECT_FALSE(s.StiffnessFound);
    EXPECT_EQ(s.InitialStiffness, before.InitialStiffness);
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldLoad, before.GeometricResult.YieldLoad));
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldDisp, before.GeometricResult.YieldDisp));
    EXPECT_TRUE(sameBits(s.GeometricResult.Ductility, before.GeometricResult.Ductility));
    EXPECT_TRUE(s.UltimateFound);
    EXPECT_DOUBLE_EQ(s.UltimateDisp, 2.5);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldLoad, 85);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldDisp, 2.5);
    EXPECT_DOUBLE_EQ(s.ParkResult.Ductility, 1);
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldLoad, 100);
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldDisp, 2);
    EXPECT_DOUBLE_EQ(s.EnergyResult.Ductility, 1.25);
    // The mean over R.Park and Energy only.
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldLoad, 92.5);
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldDisp, 2.25);
    EXPECT_DOUBLE_EQ(s.MeanResult.Ductility, 1.125);

    const std::pair<Field, const char*> fields[] = {
        {Field::edt15, "2.5"},   {Field::edt16, "--"},     {Field::edt2, "--"},    {Field::edt3, "--"},
        {Field::edt8, "--"},     {Field::edt6, "85"},      {Field::edt7, "2.5"},   {Field::edt13, "1.0000"},
        {Field::edt4, "100"},    {Field::edt5, "2"},       {Field::edt9, "1.2500"}, {Field::edt10, "92.5"},
        {Field::edt11, "2.25"},  {Field::edt14, "1.1250"},
    };
    for (const auto& [f, want] : fields)
        EXPECT_EQ(text(f), want) << fieldName(f);

    EXPECT_TRUE(pts(SeriesId::lnsrsSeries1).empty());
    EXPECT_TRUE(pts(SeriesId::pntsrsSeries1).empty());
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries2), {{0, 20}, {1.375, 75}, {2.5, 100}, {2.5, 20}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries2), {{2.5, 85}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries3), {{0, 20}, {2, 100}, {2, 20}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries3), {{2, 100}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries5), {{2.5, 85}}));
}

// The secant through B is so flat that the yield displacement lies beyond the curve:
// the yield load is 0, and the ductility is still taken from that displacement.
TEST_F(WorkbenchTest, GeometricYieldBeyondTheCurve)
{
    importFile(QStringLiteral("beyond.csv"), curveFile({{0, 0}, {1, 20}, {3, 100}, {5, 10}, {5.5, 5}}));
    ui.clear();
    wb.btn1Click();
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    EXPECT_TRUE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    EXPECT_DOUBLE_EQ(s.InitialStiffness, 20);
    EXPECT_EQ(s.GeometricResult.YieldLoad, 0.0);
    EXPECT_DOUBLE_EQ(s.GeometricResult.YieldDisp, 50);
    EXPECT_DOUBLE_EQ(s.GeometricResult.Ductility, (10.0 / 3.0) / 50);
    EXPECT_EQ(text(Field::edt2), "0");
    EXPECT_EQ(text(Field::edt3), "50");
    EXPECT_EQ(text(Field::edt8), "0.0667");
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries1), {{0, 0}, {0, 0}, {5, 100}, {5, 10}, {50, 100}, {50, 0}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries1), {{50, 0}}));
    EXPECT_EQ(text(Field::edt10), "58.16667");
    EXPECT_EQ(text(Field::edt11), "18.85556");
    EXPECT_EQ(text(Field::edt14), "0.6999");
}

struct UltimateCase {
    const char* name;
    QByteArray file;
    const char* factor;
    bool found;
    double ultimateDisp;
    const char* edt15;
    Pt marker;
};

TEST_F(WorkbenchTest, UltimateDisplacementAndItsMarker)
{
    const UltimateCase cases[] = {
        {"a load equal to the ultimate load is reached there", curveFile({{0, 0}, {1, 100}, {2, 90}, {3, 85}, {4, 80}}),
         "0.15", true, 3, "3", {3, 85}},
        {"landing on the ultimate load at the last point", curveFile({{0, 0}, {1, 100}, {2, 85}}), "0.15", true, 2, "2",
         {2, 85}},
        {"peak at the last point", curveFile({{0, 0}, {1, 50}, {2, 100}}), "0.15", false, 2, "2", {2, 100}},
        {"the fallback is shown with five decimals", curveFile({{0, 0}, {1, 100}, {4.1234567, 90}}), "0.15", false,
         4.1234567, "4.12346", {4.1234567, 90}},
        {"a crossing is shown in the general form", curveFile({{0, 0}, {1, 100}, {2, 0}}), "0.123456", true, 1.123456,
         "1.123456", {1.123456, 87.6544}},
        {"the first crossing after the peak", curveFile({{0, 0}, {1, 100}, {2, 80}, {3, 90}, {4, 70}}), "0.15", true,
         1.75, "1.75", {1.75, 85}},
        {"crossings before the peak do not count", curveFile({{0, 0}, {1, 90}, {2, 80}, {3, 100}, {4, 95}}), "0.15",
         false, 4, "4", {4, 95}},
        {"the marker is the first point of the largest displacement",
         curveFile({{0, 0}, {1, 100}, {2, 90}, {2, 86}}), "0.15", false, 2, "2", {2, 90}},
    };
    for (const UltimateCase& c : cases) {
        SCOPED_TRACE(c.name);
        importFile(QStringLiteral("ultimate.csv"), c.file);
        wb.setFieldText(Field::edt12, QString::fromLatin1(c.factor));
        wb.btn1Click();
        EXPECT_EQ(wb.state().UltimateFound, c.found);
        EXPECT_DOUBLE_EQ(wb.state().UltimateDisp, c.ultimateDisp);
        EXPECT_EQ(text(Field::edt15), c.edt15);
        EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries5), {c.marker}));
    }
}

TEST_F(WorkbenchTest, EqualFirstDisplacementsWarnAndTheCalculationGoesOn)
{
    analyseWorkedExample();
    importFile(QStringLiteral("vertical.csv"), curveFile({{0, 0}, {0, 50}, {1, 100}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{warning(kStiffnessWarning)});
    EXPECT_TRUE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    EXPECT_FALSE(s.StiffnessFound);
    EXPECT_DOUBLE_EQ(s.InitialStiffness, 50);  // the earlier curve's
    EXPECT_EQ(text(Field::edt16), "--");
    EXPECT_EQ(text(Field::edt2), "--");
    EXPECT_TRUE(pts(SeriesId::lnsrsSeries1).empty());
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldDisp, 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldDisp, 0.5);
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldLoad, (250.0 / 3.0 + 75) / 2);
    EXPECT_EQ(text(Field::edt10), "79.16667");
    EXPECT_EQ(text(Field::edt11), "0.58333");
    EXPECT_EQ(text(Field::edt14), "1.7500");
}

TEST_F(WorkbenchTest, CalculatingTwiceGivesTheSameResults)
{
    const std::pair<const char*, QByteArray> curves[] = {
        {"worked example", workedExampleFile()},
        {"no stiffness", noStiffnessFile()},
        {"equal first displacements", curveFile({{0, 0}, {0, 50}, {1, 100}})},
    };
    for (const auto& [name, file] : curves) {
        SCOPED_TRACE(name);
        importFile(QStringLiteral("twice.csv"), file);
        ui.clear();
        wb.btn1Click();
        const AnalysisState first = wb.state();
        const WindowSnapshot shown = snapshot(wb);
        const std::vector<std::string> messages = ui.log();
        ui.clear();
        wb.btn1Click();
        EXPECT_TRUE(sameState(wb.state(), first));
        EXPECT_EQ(snapshot(wb), shown);
        EXPECT_EQ(ui.log(), messages);
    }
}

// ---------------------------------------------------------------------------------------
// Calculate: the factors

struct FactorSpec {
    Field field;
    double AnalysisState::*member;
    const char* rangeMessage;
};

const FactorSpec kFactors[] = {
    {Field::edt12, &AnalysisState::LoadReductionFactor,
     "Load Reduction Factor for Ultimate Disp must be greater than 0 and less than 1!"},
    {Field::edt17, &AnalysisState::SecantLoadFactor, "Load Factor for Secant must be greater than 0.0 and less than 1.0!"},
    {Field::edt1, &AnalysisState::ParkLoadFactor,
     "Load Factor for R.Park Method must be greater than 0.0 and less than 1.0!"},
};

// After a complete calculation of the worked example with the default factors, the
// user types a new load reduction factor (0.12: the ultimate point moves to (5.2, 88)), a
// new secant factor (0.78: the stiffness becomes 43.33333) and a bad text into one
// factor field. What the stopped click leaves must be exactly the earlier steps' work.
class FactorStopTest : public WorkbenchTest {
protected:
    AnalysisState before;
    WindowSnapshot shownBefore;

    void prepare(Field bad, const QString& badText)
    {
        wb.setFieldText(Field::edt12, QStringLiteral("0.15"));
        wb.setFieldText(Field::edt17, QStringLiteral("0.1"));
        wb.setFieldText(Field::edt1, QStringLiteral("0.75"));
        analyseWorkedExample();
        before = wb.state();
        shownBefore = snapshot(wb);
        wb.setFieldText(Field::edt12, QStringLiteral("0.12"));
        wb.setFieldText(Field::edt17, QStringLiteral("0.78"));
        wb.setFieldText(bad, badText);
    }

    // The state and the window as the click should leave them when it stops at the
    // given factor, before that factor's value is taken into account.
    void expectStoppedAt(Field bad, const AnalysisState& got, const AnalysisState& wantBase)
    {
        AnalysisState want = wantBase;
        WindowSnapshot shown = shownBefore;
        shown.fields[static_cast<std::size_t>(Field::edt12)] = QStringLiteral("0.12");
        shown.fields[static_cast<std::size_t>(Field::edt17)] = QStringLiteral("0.78");
        shown.fields[static_cast<std::size_t>(bad)] = wb.fieldText(bad);
        auto& marker = shown.series[static_cast<std::size_t>(SeriesId::pntsrsSeries5)];
        if (bad == Field::edt12) {
            want.UltimateFound = false;
            marker.clear();
        } else {
            want.LoadReductionFactor = 0.12;
            want.UltimateFound = true;
            want.UltimateDisp = wb.state().UltimateDisp;
            EXPECT_DOUBLE_EQ(want.UltimateDisp, 5.2);
            shown.fields[static_cast<std::size_t>(Field::edt15)] = QStringLiteral("5.2");
            marker = pointsOf(wb, SeriesId::pntsrsSeries5);
            EXPECT_TRUE(nearlySamePoints(marker, {{5.2, 88}}));
        }
        if (bad == Field::edt1) {
            want.SecantLoadFactor = 0.78;
            want.StiffnessFound = true;
            want.InitialStiffness = wb.state().InitialStiffness;
            EXPECT_DOUBLE_EQ(want.InitialStiffness, 78 / 1.8);
            shown.fields[static_cast<std::size_t>(Field::edt16)] = QStringLiteral("43.33333");
        }
        EXPECT_TRUE(sameState(got, want));
        EXPECT_EQ(snapshot(wb), shown);
        EXPECT_FALSE(wb.lastCalculationCompleted());
    }
};

TEST_F(FactorStopTest, OutOfRangeFactorIsStoredThenRefused)
{
    const std::pair<const char*, double> texts[] = {{"0", 0.0}, {"1", 1.0}, {"-0.5", -0.5}, {"1.5", 1.5}};
    for (const FactorSpec& f : kFactors) {
        for (const auto& [t, value] : texts) {
            SCOPED_TRACE(std::string(fieldName(f.field)) + " = " + t);
            prepare(f.field, QString::fromLatin1(t));
            ui.clear();
            wb.btn1Click();
            EXPECT_EQ(ui.log(), std::vector<std::string>{info(f.rangeMessage)});
            AnalysisState want = before;
            want.*f.member = value;
            expectStoppedAt(f.field, wb.state(), want);
        }
    }
}

TEST_F(FactorStopTest, TextThatIsNoNumberFocusesTheFieldThenWarns)
{
    const char* const texts[] = {"", " ", "abc", "1e999", "0,15"};
    for (const FactorSpec& f : kFactors) {
        for (const char* t : texts) {
            SCOPED_TRACE(std::string(fieldName(f.field)) + " = \"" + t + "\"");
            prepare(f.field, QString::fromLatin1(t));
            ui.clear();
            wb.btn1Click();
            EXPECT_EQ(ui.log(), (std::vector<std::string>{
                                    std::string("focus ") + fieldName(f.field),
                                    warning(("'" + std::string(t) + "' is not a valid floating point value").c_str())}));
            // The factor keeps its earlier value.
            expectStoppedAt(f.field, wb.state(), before);
        }
    }
}

TEST_F(WorkbenchTest, FactorsAreConvertedOnlyByCalculate)
{
    importFile(QStringLiteral("worked.csv"), workedExampleFile());
    wb.setFieldText(Field::edt12, QStringLiteral("0.12"));
    wb.setFieldText(Field::edt17, QStringLiteral("0.78"));
    wb.setFieldText(Field::edt1, QStringLiteral("0.5"));
    importFile(QStringLiteral("again.csv"), workedExampleFile());
    EXPECT_EQ(text(Field::edt12), "0.12");
    EXPECT_EQ(text(Field::edt17), "0.78");
    EXPECT_EQ(text(Field::edt1), "0.5");
    EXPECT_EQ(wb.state().LoadReductionFactor, 0.15);
    EXPECT_EQ(wb.state().SecantLoadFactor, 0.1);
    EXPECT_EQ(wb.state().ParkLoadFactor, 0.75);
    wb.btn1Click();
    EXPECT_EQ(wb.state().LoadReductionFactor, 0.12);
    EXPECT_EQ(wb.state().SecantLoadFactor, 0.78);
    EXPECT_EQ(wb.state().ParkLoadFactor, 0.5);
    EXPECT_TRUE(wb.lastCalculationCompleted());
}

TEST(WorkbenchDecimalComma, FieldsAndFactorsUseTheComma)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char(','), QStringLiteral("/opt/rorevadi/"));
    // A comma also separates fields: the number with a decimal comma is quoted.
    wb.importConfirmed(writeFile(dir, QStringLiteral("comma.txt"),
                                 "Weg\tKraft\n0\t0\n1\t50\n\"1,5\"\t75\n2\t80\n3\t95\n4\t100\n5\t90\n6\t80\n"));
    ASSERT_EQ(ui.log(), std::vector<std::string>{info("9 Lines of date have been imported!")});
    ui.clear();

    // The texts the window starts with are written with the user's separator and are
    // accepted as they stand; a point typed by the user is refused.
    EXPECT_EQ(wb.fieldText(Field::edt12), QStringLiteral("0,15"));
    EXPECT_EQ(wb.fieldText(Field::edt17), QStringLiteral("0,1"));
    EXPECT_EQ(wb.fieldText(Field::edt1), QStringLiteral("0,75"));
    wb.btn1Click();
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    EXPECT_TRUE(wb.lastCalculationCompleted());
    ui.clear();
    wb.setFieldText(Field::edt12, QStringLiteral("0.15"));
    wb.btn1Click();
    EXPECT_EQ(ui.log(), (std::vector<std::string>{"focus edt12", warning("'0.15' is not a valid floating point value")}));
    EXPECT_FALSE(wb.lastCalculationCompleted());

    wb.setFieldText(Field::edt12, QStringLiteral("0,15"));
    wb.setFieldText(Field::edt17, QStringLiteral("0,1"));
    wb.setFieldText(Field::edt1, QStringLiteral("0,75"));
    ui.clear();
    wb.btn1Click();
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    ASSERT_TRUE(wb.lastCalculationCompleted());
    const std::pair<Field, const char*> fields[] = {
        {Field::edt15, "5,5"},    {Field::edt16, "50"},    {Field::edt2, "87,5"},   {Field::edt3, "2,5"},
        {Field::edt8, "2,2000"},  {Field::edt5, "2,4"},    {Field::edt9, "2,2917"}, {Field::edt13, "2,7500"},
        {Field::edt10, "84,5"},   {Field::edt11, "2,3"},   {Field::edt14, "2,4139"},
    };
    for (const auto& [f, want] : fields)
        EXPECT_EQ(wb.fieldText(f).toStdString(), want) << fieldName(f);

    // A data file with decimal points stops at its first such number.
    ui.clear();
    wb.importConfirmed(writeFile(dir, QStringLiteral("point.csv"), "d,l\n0,0\n1.5,75\n"));
    EXPECT_EQ(ui.log(),
              std::vector<std::string>{info("This File contains 3 Lines. Only 2 Lines of date have been imported!")});
    EXPECT_EQ(wb.chart()[SeriesId::lnsrsSeries4].data.count(), 1);
}

// ---------------------------------------------------------------------------------------
// Calculate: arithmetic errors end the click with the partial state

TEST_F(WorkbenchTest, PeakFirstEndsInTheEnergyMethodAfterRPark)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    importFile(QStringLiteral("peakfirst.csv"), curveFile({{0, 100}, {1, 50}, {2, 20}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{error("Invalid floating point operation")});
    EXPECT_FALSE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    EXPECT_DOUBLE_EQ(s.UltimateDisp, 0.3);
    EXPECT_FALSE(s.StiffnessFound);
    // R.Park ran: its result and row are new.
    EXPECT_EQ(s.ParkResult.YieldLoad, 0.0);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldDisp, -2);
    EXPECT_DOUBLE_EQ(s.ParkResult.Ductility, -0.15);
    EXPECT_EQ(text(Field::edt6), "0");
    EXPECT_EQ(text(Field::edt7), "-2");
    EXPECT_EQ(text(Field::edt13), "-0.1500");
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries2), {{-2, 100}, {-2, 100}, {0, 100}, {0.5, 75}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries2), {{-2, 0}}));
    // The Energy Method failed before adding anything; the mean was not formed.
    EXPECT_TRUE(pts(SeriesId::lnsrsSeries3).empty());
    EXPECT_TRUE(pts(SeriesId::pntsrsSeries3).empty());
    EXPECT_TRUE(sameBits(s.EnergyResult.YieldDisp, before.EnergyResult.YieldDisp));
    EXPECT_TRUE(sameBits(s.EnergyResult.Ductility, before.EnergyResult.Ductility));
    EXPECT_TRUE(sameBits(s.MeanResult.YieldLoad, before.MeanResult.YieldLoad));
    EXPECT_TRUE(sameBits(s.MeanResult.Ductility, before.MeanResult.Ductility));
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldLoad, before.GeometricResult.YieldLoad));
    for (Field f : {Field::edt4, Field::edt5, Field::edt9, Field::edt10, Field::edt11, Field::edt14})
        EXPECT_TRUE(text(f).empty()) << fieldName(f);
    EXPECT_EQ(text(Field::edt2), "--");
}

TEST_F(WorkbenchTest, ZeroEnergyYieldDisplacementEndsAtItsDuctility)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    importFile(QStringLiteral("zero.csv"), curveFile({{-1, 0}, {0, 100}, {1, 50}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{error(kDivisionByZero)});
    EXPECT_FALSE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    // Both series are filled and the load and displacement stored ...
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries3), {{-1, 0}, {0, 100}, {0, 0}}));
    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::pntsrsSeries3), {{0, 100}}));
    EXPECT_DOUBLE_EQ(s.EnergyResult.YieldLoad, 100);
    EXPECT_EQ(s.EnergyResult.YieldDisp, 0.0);
    // ... but the ductility, the row and the mean keep what they held.
    EXPECT_TRUE(sameBits(s.EnergyResult.Ductility, before.EnergyResult.Ductility));
    EXPECT_TRUE(sameBits(s.MeanResult.YieldLoad, before.MeanResult.YieldLoad));
    for (Field f : {Field::edt4, Field::edt5, Field::edt9, Field::edt10, Field::edt11, Field::edt14})
        EXPECT_TRUE(text(f).empty()) << fieldName(f);
    // The methods before it completed.
    EXPECT_TRUE(s.StiffnessFound);
    EXPECT_DOUBLE_EQ(s.ParkResult.YieldLoad, 50);
    EXPECT_DOUBLE_EQ(s.ParkResult.Ductility, 0.3);
    EXPECT_EQ(text(Field::edt13), "0.3000");
    EXPECT_EQ(pts(SeriesId::lnsrsSeries1).size(), 6u);
    EXPECT_EQ(text(Field::edt8), "0.0750");
}

// A peak load of 0: the secant load 0 is reached on the peak itself, so the stiffness
// is found, and the Geometric construction at displacement 0 = x0 divides zero by zero
// before R.Park's zero yield displacement could divide by zero.
TEST_F(WorkbenchTest, ZeroPeakLoadEndsInTheGeometricConstruction)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    importFile(QStringLiteral("zeropeak.csv"), curveFile({{0, -10}, {1, 0}, {2, -5}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{error(kInvalidOperation)});
    const AnalysisState& s = wb.state();
    EXPECT_TRUE(s.StiffnessFound);
    EXPECT_EQ(s.InitialStiffness, 10.0);
    EXPECT_EQ(text(Field::edt16), "10");
    for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2,
                        SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3})
        EXPECT_TRUE(pts(id).empty()) << seriesStyle(id).name;
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldLoad, before.GeometricResult.YieldLoad));
    EXPECT_TRUE(sameBits(s.ParkResult.YieldDisp, before.ParkResult.YieldDisp));
    EXPECT_TRUE(text(Field::edt6).empty());
    EXPECT_FALSE(wb.lastCalculationCompleted());
}

TEST_F(WorkbenchTest, GeometricConstructionErrorLeavesItsSeriesEmptyAndStops)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    // The stiffness 1.05 reaches the peak load beyond the curve: B lies at load 0 = y0,
    // so the second slope is 0 and the yield displacement divides by it.
    importFile(QStringLiteral("flat.csv"), curveFile({{0, 0}, {10, 10.5}, {11, 100}, {12, 50}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{error(kDivisionByZero)});
    const AnalysisState& s = wb.state();
    EXPECT_TRUE(s.StiffnessFound);
    EXPECT_DOUBLE_EQ(s.InitialStiffness, 1.05);
    EXPECT_EQ(text(Field::edt16), "1.05");
    EXPECT_EQ(text(Field::edt15), "11.3");
    for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2,
                        SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3})
        EXPECT_TRUE(pts(id).empty()) << seriesStyle(id).name;
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldLoad, before.GeometricResult.YieldLoad));
    EXPECT_TRUE(sameBits(s.GeometricResult.YieldDisp, before.GeometricResult.YieldDisp));
    EXPECT_TRUE(sameBits(s.ParkResult.YieldDisp, before.ParkResult.YieldDisp));
    for (Field f : kResultFields)
        EXPECT_TRUE(text(f).empty()) << fieldName(f);
}

// A steep rise over 1e-300 and a fall over 1e9: each method's ductility is about 1.5e308,
// so their sum overflows in the mean, after its load and displacement are formed.
TEST_F(WorkbenchTest, MeanOverflowKeepsTheComponentsFormedBeforeIt)
{
    analyseWorkedExample();
    const AnalysisState before = wb.state();
    importFile(QStringLiteral("steep.csv"), curveFile({{0, 0}, {1e-300, 100}, {1e9, 0}}));
    ui.clear();
    wb.btn1Click();

    EXPECT_EQ(ui.log(), std::vector<std::string>{error("Floating point overflow")});
    EXPECT_FALSE(wb.lastCalculationCompleted());
    const AnalysisState& s = wb.state();
    for (const YieldResult* r : {&s.GeometricResult, &s.ParkResult, &s.EnergyResult}) {
        EXPECT_NEAR(r->YieldLoad, 100, 1e-12);
        EXPECT_NEAR(r->Ductility, 1.5e308, 1e296);
    }
    EXPECT_FALSE(text(Field::edt9).empty());
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldLoad, 100);
    EXPECT_DOUBLE_EQ(s.MeanResult.YieldDisp, 1e-300);
    EXPECT_TRUE(sameBits(s.MeanResult.Ductility, before.MeanResult.Ductility));
    for (Field f : {Field::edt10, Field::edt11, Field::edt14})
        EXPECT_TRUE(text(f).empty()) << fieldName(f);
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
        {1, true, false, false}, {2, false, true, false}, {3, false, false, true}, {4, true, true, true},
        {3, false, false, true}, {1, true, false, false},
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

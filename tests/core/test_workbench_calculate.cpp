// Calculate on the main window's model: the worked examples, the factor fields, and
// where an arithmetic error ends the click and what it leaves.
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
        {Field::edt18, "100"},    {Field::edt19, "6"},     {Field::edt15, "5.5"},   {Field::edt16, "50"},
        {Field::edt2, "87.5"},    {Field::edt3, "2.5"},    {Field::edt8, "2.2000"}, {Field::edt4, "86"},
        {Field::edt5, "2.4"},     {Field::edt9, "2.2917"}, {Field::edt6, "80"},     {Field::edt7, "2"},
        {Field::edt13, "2.7500"}, {Field::edt10, "84.5"},  {Field::edt11, "2.3"},   {Field::edt14, "2.4139"},
    };
    for (const auto& [f, want] : fields)
        EXPECT_EQ(text(f), want) << fieldName(f);

    EXPECT_TRUE(nearlySamePoints(pts(SeriesId::lnsrsSeries4),
                                 {{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}}));
    EXPECT_TRUE(
        nearlySamePoints(pts(SeriesId::lnsrsSeries1), {{0, 0}, {0, 0}, {2, 100}, {2, 80}, {2.5, 100}, {2.5, 0}}));
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
        {Field::edt15, "2.5"},  {Field::edt16, "--"},     {Field::edt2, "--"},     {Field::edt3, "--"},
        {Field::edt8, "--"},    {Field::edt6, "85"},      {Field::edt7, "2.5"},    {Field::edt13, "1.0000"},
        {Field::edt4, "100"},   {Field::edt5, "2"},       {Field::edt9, "1.2500"}, {Field::edt10, "92.5"},
        {Field::edt11, "2.25"}, {Field::edt14, "1.1250"},
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
        {"a load equal to the ultimate load is reached there",
         curveFile({{0, 0}, {1, 100}, {2, 90}, {3, 85}, {4, 80}}),
         "0.15",
         true,
         3,
         "3",
         {3, 85}},
        {"landing on the ultimate load at the last point",
         curveFile({{0, 0}, {1, 100}, {2, 85}}),
         "0.15",
         true,
         2,
         "2",
         {2, 85}},
        {"peak at the last point", curveFile({{0, 0}, {1, 50}, {2, 100}}), "0.15", false, 2, "2", {2, 100}},
        {"the fallback is shown with five decimals",
         curveFile({{0, 0}, {1, 100}, {4.1234567, 90}}),
         "0.15",
         false,
         4.1234567,
         "4.12346",
         {4.1234567, 90}},
        {"a crossing is shown in the general form",
         curveFile({{0, 0}, {1, 100}, {2, 0}}),
         "0.123456",
         true,
         1.123456,
         "1.123456",
         {1.123456, 87.6544}},
        {"the first crossing after the peak",
         curveFile({{0, 0}, {1, 100}, {2, 80}, {3, 90}, {4, 70}}),
         "0.15",
         true,
         1.75,
         "1.75",
         {1.75, 85}},
        {"crossings before the peak do not count",
         curveFile({{0, 0}, {1, 90}, {2, 80}, {3, 100}, {4, 95}}),
         "0.15",
         false,
         4,
         "4",
         {4, 95}},
        {"the marker is the first point of the largest displacement",
         curveFile({{0, 0}, {1, 100}, {2, 90}, {2, 86}}),
         "0.15",
         false,
         2,
         "2",
         {2, 90}},
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
    {Field::edt17, &AnalysisState::SecantLoadFactor,
     "Load Factor for Secant must be greater than 0.0 and less than 1.0!"},
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
            EXPECT_EQ(ui.log(),
                      (std::vector<std::string>{
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
    EXPECT_EQ(ui.log(),
              (std::vector<std::string>{"focus edt12", warning("'0.15' is not a valid floating point value")}));
    EXPECT_FALSE(wb.lastCalculationCompleted());

    wb.setFieldText(Field::edt12, QStringLiteral("0,15"));
    wb.setFieldText(Field::edt17, QStringLiteral("0,1"));
    wb.setFieldText(Field::edt1, QStringLiteral("0,75"));
    ui.clear();
    wb.btn1Click();
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    ASSERT_TRUE(wb.lastCalculationCompleted());
    const std::pair<Field, const char*> fields[] = {
        {Field::edt15, "5,5"},   {Field::edt16, "50"},  {Field::edt2, "87,5"},    {Field::edt3, "2,5"},
        {Field::edt8, "2,2000"}, {Field::edt5, "2,4"},  {Field::edt9, "2,2917"},  {Field::edt13, "2,7500"},
        {Field::edt10, "84,5"},  {Field::edt11, "2,3"}, {Field::edt14, "2,4139"},
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
    for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, SeriesId::lnsrsSeries2,
                        SeriesId::pntsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3})
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
    for (SeriesId id : {SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, SeriesId::lnsrsSeries2,
                        SeriesId::pntsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3})
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

}  // namespace
}  // namespace rz

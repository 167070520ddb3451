// The yield definitions of the standards as the window keeps them: computed with every
// Calculate that runs to its end, forgotten by anything else, drawn as chart overlays on
// request, and written into the report's appended section.
#include "WorkbenchTestSupport.h"

#include "core/methods/YieldMethods.h"
#include "core/report/OtherDefinitionsReport.h"
#include "core/workbench/OtherDefinitions.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

// The worked example: (0,0), (10,100), (30,120), (50,80) sampled every 0.01, the
// vertices included, each sample the double nearest its decimal value.
QByteArray sampledWorkedExample()
{
    std::string s = "displacement,load\n";
    for (int i = 0; i <= 5000; ++i) {
        const double load = i <= 1000 ? i / 10.0 : i <= 3000 ? (9000 + i) / 100.0 : (18000 - 2 * i) / 100.0;
        s += exactText(i / 100.0) + "," + exactText(load) + "\n";
    }
    return QByteArray::fromStdString(s);
}

// Rises to 100 at (1, 100), falls to 60: Calculate runs to its end with the default
// factors, while an R.Park factor of 0.4 meets the vertical first segment (an arithmetic
// error that ends the Calculate).
QByteArray verticalStartFile()
{
    return curveFile({{0, 0}, {0, 50}, {1, 100}, {2, 60}});
}

// verticalStartFile's shape over 60,002 points, long enough for the definitions to run
// beside the three methods: a vertical first segment to 50, a rise to 100 at 2 and a
// fall to 60 at 6.
QByteArray longVerticalStartFile()
{
    std::string s = "displacement,load\n0,0\n";
    for (int i = 0; i <= 60000; ++i) {
        const double x = i / 10000.0;
        s += exactText(x) + "," + exactText(x <= 2 ? 50 + 25 * x : 100 - 10 * (x - 2)) + "\n";
    }
    return QByteArray::fromStdString(s);
}

int methodCount()
{
    return static_cast<int>(otherYieldMethods().size());
}

const Overlay& overlayOf(const Workbench& wb, const QString& key)
{
    const int index = wb.chart().overlayIndex(key);
    EXPECT_GE(index, 0) << key.toStdString();
    return wb.chart().overlay(std::max(index, 0));
}

class OtherDefinitionsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/")};

    void analyse(const QByteArray& bytes, const char* name = "curve.csv")
    {
        wb.importConfirmed(writeFile(dir, QString::fromLatin1(name), bytes));
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
        ui.clear();
    }

    // Nothing of the definitions is left: no result, no overlay point.
    ::testing::AssertionResult forgotten() const
    {
        if (!wb.otherDefinitions().empty())
            return ::testing::AssertionFailure() << wb.otherDefinitions().size() << " results kept";
        for (const Overlay& o : wb.chart().overlays())
            if (!o.points.empty())
                return ::testing::AssertionFailure() << o.key.toStdString() << " keeps its points";
        return ::testing::AssertionSuccess();
    }
};

// The worked example by hand (docs/methods.md, chapter 6): through the import of a file
// and the window's Calculate with its default factors, so the ultimate displacement is
// the window's own (39, where the load falls to 0.85 * 120 = 102).
TEST_F(OtherDefinitionsTest, WorkedExampleThroughTheWindowsCalculate)
{
    analyse(sampledWorkedExample());
    ASSERT_DOUBLE_EQ(wb.state().UltimateDisp, 39.0);
    ASSERT_EQ(wb.state().PeakIndex, 3000);

    const double eeepLoad = (42.0 - std::sqrt(42.0 * 42.0 - 2.0 * 3996.0 / 10.0)) * 10.0;  // 109.387701...
    struct Row {
        const char* key;
        double load, disp, ductility, stiffness, ultimate;
    };
    const Row want[] = {
        {"EEEP_ASTM_E2126", eeepLoad, eeepLoad / 10.0, 42.0 / (eeepLoad / 10.0), 10.0, 42.0},
        {"EN_12512", 100.0, 10.0, 4.2, 10.0, 42.0},
        {"FarthestPoint", 100.0, 10.0, 3.9, 10.0, 39.0},
        {"Bilinear_ASCE_41", 118.75, 11.875, 39.0 / 11.875, 10.0, 39.0},
        {"EqualEnergy_EN_1998", 120.0, 16.35, 39.0 / 16.35, 120.0 / 16.35, 39.0},
    };
    EXPECT_NEAR(eeepLoad, 109.387701, 1e-6);
    const std::vector<YieldDefinitionResult>& got = wb.otherDefinitions();
    ASSERT_EQ(got.size(), std::size(want));
    // The samples' rounding moves the areas by less than 2e-9 (test_yield_definitions.cpp).
    constexpr double tol = 1e-9;
    for (std::size_t m = 0; m < got.size(); ++m) {
        const Row& w = want[m];
        const YieldDefinitionResult& r = got[m];
        SCOPED_TRACE(w.key);
        EXPECT_STREQ(otherYieldMethods()[m].key, w.key);
        ASSERT_TRUE(r.found) << r.note.toStdString();
        EXPECT_NEAR(r.yieldLoad, w.load, tol);
        EXPECT_NEAR(r.yieldDisp, w.disp, tol);
        EXPECT_NEAR(r.ductility, w.ductility, tol);
        EXPECT_NEAR(r.stiffness, w.stiffness, tol);
        EXPECT_NEAR(r.ultimateDisp, w.ultimate, tol);
        EXPECT_TRUE(r.note.isEmpty()) << r.note.toStdString();

        // The overlays hold the construction and the yield point, hidden until asked for.
        const Overlay& line = overlayOf(wb, constructionOverlayKey(static_cast<int>(m)));
        const Overlay& point = overlayOf(wb, yieldPointOverlayKey(static_cast<int>(m)));
        EXPECT_EQ(line.points, r.polyline);
        EXPECT_EQ(point.points, std::vector<Point>{r.yieldPoint});
        EXPECT_FALSE(line.visible);
        EXPECT_FALSE(point.visible);
    }
    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
}

// Drawing the constructions adds overlays and changes nothing of the nine series, the
// fields or the state; hiding them again gives the picture back.
TEST_F(OtherDefinitionsTest, ShowingConstructionsLeavesTheNineSeriesAlone)
{
    analyse(sampledWorkedExample());
    const WindowSnapshot before = snapshot(wb);
    const AnalysisState state = wb.state();
    ASSERT_EQ(wb.chart().overlayCount(), 2 * methodCount());

    for (int m = 0; m < methodCount(); ++m)
        wb.setOtherDefinitionShown(m, true);
    for (int m = 0; m < methodCount(); ++m) {
        SCOPED_TRACE(m);
        EXPECT_TRUE(wb.otherDefinitionShown(m));
        EXPECT_TRUE(overlayOf(wb, constructionOverlayKey(m)).visible);
        EXPECT_TRUE(overlayOf(wb, yieldPointOverlayKey(m)).visible);
    }
    EXPECT_EQ(snapshot(wb), before);
    EXPECT_TRUE(sameState(wb.state(), state));

    wb.setOtherDefinitionShown(2, false);
    EXPECT_FALSE(overlayOf(wb, constructionOverlayKey(2)).visible);
    EXPECT_FALSE(overlayOf(wb, yieldPointOverlayKey(2)).visible);
    EXPECT_TRUE(overlayOf(wb, constructionOverlayKey(1)).visible);

    // A Calculate that goes through again keeps what the user chose to see.
    wb.btn1Click();
    EXPECT_FALSE(wb.otherDefinitionShown(2));
    EXPECT_TRUE(wb.otherDefinitionShown(4));
    EXPECT_EQ(snapshot(wb), before);
}

// Whatever ends a Calculate early, or a new import, leaves no result of an earlier
// Calculate on show: the table, the overlays, the report and the JSON would otherwise
// contradict the three methods beside them.
TEST_F(OtherDefinitionsTest, StoppedCalculateAndImportForgetTheResults)
{
    struct Case {
        const char* what;
        std::function<void(Workbench&, const QTemporaryDir&)> act;
        bool completes;
    };
    const Case cases[] = {
        {"load reduction factor refused",
         [](Workbench& w, const QTemporaryDir&) {
             w.setFieldText(Field::edt12, QStringLiteral("1"));
             w.btn1Click();
         },
         false},
        {"secant factor not a number",
         [](Workbench& w, const QTemporaryDir&) {
             w.setFieldText(Field::edt17, QStringLiteral("abc"));
             w.btn1Click();
         },
         false},
        {"R.Park factor refused",
         [](Workbench& w, const QTemporaryDir&) {
             w.setFieldText(Field::edt1, QStringLiteral("1.5"));
             w.btn1Click();
         },
         false},
        {"arithmetic error in the R.Park method",
         [](Workbench& w, const QTemporaryDir&) {
             w.setFieldText(Field::edt1, QStringLiteral("0.4"));
             w.btn1Click();
         },
         false},
        {"import of another curve",
         [](Workbench& w, const QTemporaryDir& d) {
             w.importConfirmed(writeFile(d, QStringLiteral("other.csv"), workedExampleFile()));
         },
         true},
        {"import of a file without data",
         [](Workbench& w, const QTemporaryDir& d) {
             w.importConfirmed(writeFile(d, QStringLiteral("empty.csv"), "only a header\n"));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Workbench fresh(ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/"));
        fresh.importConfirmed(writeFile(dir, QStringLiteral("vertical.csv"), verticalStartFile()));
        fresh.btn1Click();
        ASSERT_TRUE(fresh.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
        ASSERT_EQ(fresh.otherDefinitions().size(), otherYieldMethods().size());
        // Something to forget: the equal energy (EN 1998) is found on this curve.
        ASSERT_TRUE(fresh.otherDefinitions()[4].found) << fresh.otherDefinitions()[4].note.toStdString();
        ASSERT_FALSE(overlayOf(fresh, constructionOverlayKey(4)).points.empty());
        fresh.setOtherDefinitionShown(0, true);
        ui.clear();

        c.act(fresh, dir);
        if (!c.completes) {
            EXPECT_FALSE(fresh.lastCalculationCompleted());
            EXPECT_FALSE(ui.events.empty()) << "the stop was not announced";
        }
        EXPECT_TRUE(fresh.otherDefinitions().empty());
        for (const Overlay& o : fresh.chart().overlays())
            EXPECT_TRUE(o.points.empty()) << o.key.toStdString();
        EXPECT_TRUE(fresh.otherDefinitionShown(0)) << "the user's choice of what to see is kept";
        const QStringList report = QString::fromLocal8Bit(fresh.reportNow({})).split(QStringLiteral("\r\n"));
        EXPECT_TRUE(report.contains(QStringLiteral("EEEP (ASTM E2126),--,--,--,--,not calculated")));
    }
}

// On a long curve the definitions run beside the three methods from the moment the
// ultimate displacement is known: their results are those of each definition computed
// alone, and a Calculate that stops after they began (a refused factor, an arithmetic
// error) waits for them and keeps none of them.
TEST_F(OtherDefinitionsTest, LongCurveComputedBesideTheThreeMethods)
{
    analyse(longVerticalStartFile(), "long.csv");
    const auto expectEachAlone = [this] {
        const Series& curve = wb.chart()[SeriesId::lnsrsSeries4].data;
        ASSERT_EQ(curve.count(), 60002);
        const CurveFacts facts{wb.state().PeakLoad, wb.state().PeakDisp, wb.state().PeakIndex,
                               wb.state().UltimateDisp};
        ASSERT_EQ(wb.otherDefinitions().size(), otherYieldMethods().size());
        for (int m = 0; m < methodCount(); ++m) {
            const YieldDefinitionResult alone = otherYieldMethods()[static_cast<std::size_t>(m)].compute(curve, facts);
            const YieldDefinitionResult& got = wb.otherDefinitions()[static_cast<std::size_t>(m)];
            SCOPED_TRACE(otherYieldMethods()[static_cast<std::size_t>(m)].key);
            EXPECT_EQ(got.found, alone.found);
            EXPECT_EQ(got.note, alone.note);
            EXPECT_EQ(got.yieldPoint, alone.yieldPoint);
            EXPECT_EQ(got.ductility, alone.ductility);
            EXPECT_EQ(got.stiffness, alone.stiffness);
            EXPECT_EQ(got.polyline, alone.polyline);
            EXPECT_EQ(overlayOf(wb, constructionOverlayKey(m)).points, alone.polyline);
        }
        EXPECT_TRUE(wb.otherDefinitions()[4].found) << wb.otherDefinitions()[4].note.toStdString();
    };
    expectEachAlone();

    for (const char* parkFactor : {"1.5", "0.4"}) {
        SCOPED_TRACE(parkFactor);
        wb.setFieldText(Field::edt1, QString::fromLatin1(parkFactor));
        wb.btn1Click();
        EXPECT_FALSE(wb.lastCalculationCompleted());
        EXPECT_TRUE(forgotten());
    }
    wb.setFieldText(Field::edt1, QStringLiteral("0.75"));
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
    expectEachAlone();
}

// A definition that is not found keeps the Calculate going and draws nothing.
TEST_F(OtherDefinitionsTest, DefinitionNotFoundIsAResultWithItsNote)
{
    // The curve starts at 20 % of the peak: the tangent method's search for 10 % finds
    // nothing, while EEEP, whose search is for 40 %, goes through.
    wb.importConfirmed(writeFile(dir, QStringLiteral("start.csv"), noStiffnessFile()));
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
    const std::vector<YieldDefinitionResult>& got = wb.otherDefinitions();
    ASSERT_EQ(got.size(), otherYieldMethods().size());
    const YieldDefinitionResult& tangent = got[1];
    EXPECT_FALSE(tangent.found);
    EXPECT_EQ(tangent.note, QStringLiteral("rising search for 10 % of Pmax found nothing"));
    EXPECT_TRUE(overlayOf(wb, constructionOverlayKey(1)).points.empty());
    EXPECT_TRUE(overlayOf(wb, yieldPointOverlayKey(1)).points.empty());
    EXPECT_TRUE(got[0].found);
    EXPECT_FALSE(overlayOf(wb, constructionOverlayKey(0)).points.empty());
}

// ---------------------------------------------------------------------------------------
// Texts of the window's table and the report's section

TEST(OtherDefinitionTexts, WindowFormatsOrDashesWithTheNote)
{
    YieldDefinitionResult found;
    found.found = true;
    found.yieldLoad = 109.387701299;
    found.yieldDisp = 10.9387701299;
    found.ductility = 3.83955411;
    found.stiffness = 10.0;
    found.note = QStringLiteral("failure load not reached");
    YieldDefinitionResult missing;
    missing.note = QStringLiteral("area Em outside the curve");

    struct Case {
        const YieldDefinitionResult* r;
        QChar sep;
        OtherDefinitionTexts want;
    } cases[] = {
        {&found, QLatin1Char('.'), {"109.3877", "10.93877", "3.8396", "10", "failure load not reached"}},
        {&found, QLatin1Char(','), {"109,3877", "10,93877", "3,8396", "10", "failure load not reached"}},
        {&missing, QLatin1Char(','), {"--", "--", "--", "--", "area Em outside the curve"}},
    };
    for (const Case& c : cases) {
        const OtherDefinitionTexts t = otherDefinitionTexts(*c.r, c.sep);
        EXPECT_EQ(t.yieldLoad, c.want.yieldLoad);
        EXPECT_EQ(t.yieldDisp, c.want.yieldDisp);
        EXPECT_EQ(t.ductility, c.want.ductility);
        EXPECT_EQ(t.stiffness, c.want.stiffness);
        EXPECT_EQ(t.note, c.want.note);
    }
}

TEST(OtherDefinitionsReport, NumbersNotesAndQuotingUnderBothSeparators)
{
    std::vector<YieldDefinitionResult> results(otherYieldMethods().size());
    results[0].found = true;
    results[0].yieldLoad = 109.5;
    results[0].yieldDisp = 1e-5;
    results[0].ductility = 3.0;
    results[0].stiffness = 1.0 / 3.0;
    results[0].note = QStringLiteral("negative root: Py = 85 % of Pmax");
    // Not found, with a note that holds the separator and a quote: one quoted field.
    results[1].note = QStringLiteral("step \"k1\": 0, 0 and 0");
    results[2].found = true;
    results[2].yieldLoad = 100;
    results[2].yieldDisp = 10;
    results[2].ductility = 3.9;
    results[2].stiffness = 10;
    results.pop_back();  // one row without a result reads "not calculated"

    const QStringList point = otherDefinitionReportLines(results, QLatin1Char('.'));
    EXPECT_EQ(point,
              (QStringList{
                  QString(),
                  QStringLiteral("Other definitions:,YieldLoad,YieldDisp,Ductility,Stiffness,Note"),
                  QStringLiteral("EEEP (ASTM E2126),109.5,1E-5,3,0.333333333333333,negative root: Py = 85 % of Pmax"),
                  QStringLiteral("Tangent method (EN 12512),--,--,--,--,\"step \"\"k1\"\": 0, 0 and 0\""),
                  QStringLiteral("Farthest point,100,10,3.9,10,"),
                  QStringLiteral("Bilinear (ASCE 41),--,--,--,--,"),
                  QStringLiteral("Equal energy (EN 1998-1),--,--,--,--,not calculated"),
              }));
    const QStringList comma = otherDefinitionReportLines(results, QLatin1Char(','));
    EXPECT_EQ(comma[2], QStringLiteral("EEEP (ASTM E2126),\"109,5\",1E-5,3,\"0,333333333333333\","
                                       "negative root: Py = 85 % of Pmax"));
    EXPECT_EQ(comma[4], QStringLiteral("Farthest point,100,10,\"3,9\",10,"));
    EXPECT_EQ(comma[3], point[3]);
}

// ---------------------------------------------------------------------------------------
// The overlays of the chart model

TEST(ChartOverlays, RevisionsChangeWithContentAndNeverRepeat)
{
    ChartModel chart;
    EXPECT_EQ(chart.overlayCount(), 0);
    const OverlayStyle dashed{0x112233, 2.0, DashPattern::Dash, MarkerShape::None, 0.0, false};
    const int a = chart.addOverlay(QStringLiteral("a"), QStringLiteral("A"), dashed);
    const int b = chart.addOverlay(QStringLiteral("b"), QStringLiteral("B"), dashed);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(chart.overlayIndex(QStringLiteral("b")), 1);
    EXPECT_EQ(chart.overlayIndex(QStringLiteral("c")), -1);
    EXPECT_FALSE(chart.overlay(a).visible);
    EXPECT_EQ(ChartModel::count(), kSeriesCount);  // the nine are still nine

    std::set<std::uint64_t> seen{chart.overlay(a).revision, chart.overlay(b).revision};
    auto fresh = [&seen](std::uint64_t r) { return seen.insert(r).second; };

    // Drawing order is kept as given, going back in X included.
    const std::vector<Point> back = {{0, 0}, {5, 10}, {2, 10}, {2, 0}};
    chart.setOverlayPoints(a, back);
    EXPECT_EQ(chart.overlay(a).points, back);
    EXPECT_TRUE(fresh(chart.overlay(a).revision));

    // Showing changes no revision: views compare visibility themselves.
    const std::uint64_t before = chart.overlay(a).revision;
    chart.setOverlayVisible(a, true);
    EXPECT_EQ(chart.overlay(a).revision, before);

    // Adding an existing key restyles it and keeps points and visibility.
    OverlayStyle dotted = dashed;
    dotted.dash = DashPattern::Dot;
    EXPECT_EQ(chart.addOverlay(QStringLiteral("a"), QStringLiteral("A2"), dotted), a);
    EXPECT_EQ(chart.overlay(a).title, QStringLiteral("A2"));
    EXPECT_EQ(chart.overlay(a).style, dotted);
    EXPECT_EQ(chart.overlay(a).points, back);
    EXPECT_TRUE(chart.overlay(a).visible);
    EXPECT_TRUE(fresh(chart.overlay(a).revision));

    // Removed and added again under the same key: a revision never seen, so a view that
    // drew the old one copies the new one.
    chart.removeOverlay(a);
    EXPECT_EQ(chart.overlayIndex(QStringLiteral("b")), 0);
    const int again = chart.addOverlay(QStringLiteral("a"), QStringLiteral("A"), dashed);
    EXPECT_EQ(again, 1);
    EXPECT_TRUE(chart.overlay(again).points.empty());
    EXPECT_TRUE(fresh(chart.overlay(again).revision));
}

// Each definition can be told apart from the others and from the nine series in colour,
// and in black-and-white print by its dash pattern and marker alone.
TEST(ChartOverlays, EveryDefinitionHasItsOwnLook)
{
    std::set<std::uint32_t> colours;
    for (int i = 0; i < kSeriesCount; ++i)
        colours.insert(seriesStyle(static_cast<SeriesId>(i)).colorRgb);
    std::set<DashPattern> dashes;
    std::set<MarkerShape> markers;
    for (int m = 0; m < methodCount(); ++m) {
        SCOPED_TRACE(otherYieldMethods()[static_cast<std::size_t>(m)].key);
        const OtherDefinitionLook& look = otherDefinitionLook(m);
        EXPECT_TRUE(colours.insert(look.construction.colorRgb).second);
        EXPECT_EQ(look.yieldPoint.colorRgb, look.construction.colorRgb);
        EXPECT_TRUE(dashes.insert(look.construction.dash).second);
        EXPECT_NE(look.construction.dash, DashPattern::Solid);  // solid lines are the nine's
        EXPECT_GT(look.construction.lineWidth, 0.0);
        EXPECT_EQ(look.construction.marker, MarkerShape::None);
        EXPECT_EQ(look.yieldPoint.lineWidth, 0.0);
        EXPECT_TRUE(markers.insert(look.yieldPoint.marker).second);
        EXPECT_NE(look.yieldPoint.marker, MarkerShape::Circle);  // the three methods' points
        EXPECT_GT(look.yieldPoint.markerSize, 0.0);
    }
}

}  // namespace
}  // namespace rz

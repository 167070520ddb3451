// The comparison chart's model: which yield point each definition gives, the overlays of
// the chosen specimens, and looks that stay apart.
#include "WorkbenchTestSupport.h"

#include "core/batch/BatchAnalysis.h"
#include "core/compare/Comparison.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/CyclicSession.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace rz {
namespace {

using namespace rz::test;

struct Analysed {
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QString()};
    explicit Analysed(const QByteArray& file, bool calculate = true)
    {
        wb.importConfirmed(writeFile(dir, QStringLiteral("c.csv"), file));
        if (calculate)
            wb.btn1Click();
    }
};

TEST(Comparison, EachDefinitionGivesItsOwnYieldPoint)
{
    Analysed a(workedExampleFile());
    const AnalysisState& s = a.wb.state();
    ASSERT_EQ(comparisonMethods().size(), 4 + otherYieldMethods().size());
    const std::vector<std::pair<const char*, YieldResult>> three = {
        {"geometric", s.GeometricResult}, {"energy", s.EnergyResult}, {"park", s.ParkResult}, {"mean", s.MeanResult}};
    for (const auto& [key, result] : three) {
        SCOPED_TRACE(key);
        const std::optional<int> m = comparisonMethodIndex(QString::fromLatin1(key));
        ASSERT_TRUE(m);
        EXPECT_EQ(comparisonYieldPoint(a.wb, *m), (Point{result.YieldDisp, result.YieldLoad}));
    }
    for (std::size_t k = 0; k < otherYieldMethods().size(); ++k) {
        SCOPED_TRACE(otherYieldMethods()[k].key);
        const YieldDefinitionResult& r = a.wb.otherDefinitions()[k];
        const std::optional<Point> p =
            comparisonYieldPoint(a.wb, *comparisonMethodIndex(QString::fromLatin1(otherYieldMethods()[k].key)));
        EXPECT_EQ(p.has_value(), r.found);
        if (r.found) {
            EXPECT_EQ(*p, r.yieldPoint);
        }
    }
    EXPECT_FALSE(comparisonMethodIndex(QStringLiteral("nonsense")));
}

TEST(Comparison, NoPointWhereTheDefinitionHasNone)
{
    Analysed noStiffness(noStiffnessFile());
    EXPECT_FALSE(comparisonYieldPoint(noStiffness.wb, *comparisonMethodIndex(QStringLiteral("geometric"))));
    EXPECT_TRUE(comparisonYieldPoint(noStiffness.wb, *comparisonMethodIndex(QStringLiteral("park"))));
    // Imported, never calculated: no definition has a point.
    Analysed imported(workedExampleFile(), false);
    for (int m = 0; m < static_cast<int>(comparisonMethods().size()); ++m)
        EXPECT_FALSE(comparisonYieldPoint(imported.wb, m)) << m;
}

TEST(Comparison, OverlaysAreTheCurvesThenTheirPoints)
{
    Analysed a(workedExampleFile());
    Analysed b(noStiffnessFile());
    ChartModel model;
    const int geometric = *comparisonMethodIndex(QStringLiteral("geometric"));
    setComparison(model, {{QStringLiteral("A"), &a.wb}, {QStringLiteral("B"), &b.wb}}, geometric);
    ASSERT_EQ(model.overlayCount(), 4);
    EXPECT_EQ(model.overlay(0).key, comparisonCurveKey(0));
    EXPECT_EQ(model.overlay(1).key, comparisonCurveKey(1));
    EXPECT_EQ(model.overlay(2).key, comparisonYieldKey(0));
    EXPECT_EQ(model.overlay(0).title, QStringLiteral("A"));
    EXPECT_EQ(model.overlay(0).points, pointsOf(a.wb, SeriesId::lnsrsSeries4));
    EXPECT_EQ(model.overlay(2).points.size(), 1u);
    EXPECT_TRUE(model.overlay(3).points.empty()) << "B has no initial stiffness";
    for (int i = 0; i < kSeriesCount; ++i)
        EXPECT_TRUE(model.at(i).data.empty());

    // Fewer specimens: the rest go; every overlay left has a revision the view has not seen.
    std::set<std::uint64_t> seen;
    for (const Overlay& o : model.overlays())
        seen.insert(o.revision);
    setComparison(model, {{QStringLiteral("B"), &b.wb}}, *comparisonMethodIndex(QStringLiteral("park")));
    ASSERT_EQ(model.overlayCount(), 2);
    EXPECT_EQ(model.overlay(0).points, pointsOf(b.wb, SeriesId::lnsrsSeries4));
    EXPECT_EQ(model.overlay(1).points.size(), 1u);
    for (const Overlay& o : model.overlays())
        EXPECT_FALSE(seen.count(o.revision)) << o.key.toStdString();
}

TEST(Comparison, NeighboursDifferInColourDashAndMarker)
{
    std::set<std::tuple<std::uint32_t, int, int>> looks;
    for (int i = 0; i < 40; ++i) {
        const OverlayStyle line = comparisonCurveStyle(i);
        const OverlayStyle next = comparisonCurveStyle(i + 1);
        EXPECT_NE(line.colorRgb, next.colorRgb) << i;
        EXPECT_NE(line.dash, next.dash) << i;
        EXPECT_NE(comparisonYieldStyle(i).marker, comparisonYieldStyle(i + 1).marker) << i;
        EXPECT_EQ(comparisonYieldStyle(i).colorRgb, line.colorRgb) << "a point has its curve's colour";
        looks.insert({line.colorRgb, static_cast<int>(line.dash), static_cast<int>(comparisonYieldStyle(i).marker)});
    }
    EXPECT_EQ(looks.size(), 40u) << "no two of the first forty specimens look alike";
}

ImportedCurve curveIn(const char* displacementUnit, const char* loadUnit)
{
    ImportedCurve curve;
    curve.read = ImportResult{};
    curve.read->displacementUnit = QString::fromUtf8(displacementUnit);
    curve.read->loadUnit = QString::fromUtf8(loadUnit);
    return curve;
}

// Curves in different units share a chart only with titles that say so.
TEST(ComparisonAxisTitles, AUnitNotEveryCurvesDoesNotLabelThemAll)
{
    const ImportedCurve mm = curveIn("mm", "kN");
    const ImportedCurve in = curveIn("in", "kN");
    const ImportedCurve unknown;  // the plain import knows no units
    const AxisTitles plain{QStringLiteral("Displacement"), QStringLiteral("Force")};
    EXPECT_EQ(axisTitles(std::vector<const ImportedCurve*>{}), plain);
    EXPECT_EQ(axisTitles({&unknown, &unknown}), plain);
    EXPECT_EQ(axisTitles({&mm, &mm}), (AxisTitles{QStringLiteral("Displacement (mm)"), QStringLiteral("Force (kN)")}));
    EXPECT_EQ(axisTitles({&mm, &in, &mm}),
              (AxisTitles{QStringLiteral("Displacement (units differ: mm, in)"), QStringLiteral("Force (kN)")}));
    EXPECT_EQ(axisTitles({&unknown, &mm}), (AxisTitles{QStringLiteral("Displacement (units differ: none given, mm)"),
                                                       QStringLiteral("Force (units differ: none given, kN)")}));

    // The chart's titles come from every compared curve, not the first one only.
    Analysed first(workedExampleFile());
    RecordingUi ui;
    Workbench kips(ui, QLatin1Char('.'), QString());
    ImportOptions o = ImportOptions::detectEverything();
    o.loadScale = {ScalePreset::KipsToKilonewtons, 1.0, false};
    kips.importWithOptionsConfirmed(writeFile(first.dir, QStringLiteral("k.csv"), workedExampleFile()), o);
    ASSERT_EQ(kips.axisTitles().load, QStringLiteral("Force (kN)")) << ::testing::PrintToString(ui.log());
    const std::vector<ComparedSpecimen> both{{QStringLiteral("a"), &first.wb}, {QStringLiteral("k"), &kips}};
    EXPECT_EQ(comparisonAxisTitles(both).load, QStringLiteral("Force (units differ: none given, kN)"));
    EXPECT_EQ(comparisonAxisTitles({both[1]}), kips.axisTitles());
}

// A cyclic record's rows each draw their own direction: the analysed envelope, the
// negative one drawn back in the negative quadrant as the window draws it, with that
// direction's yield point, and a legend that names the direction.
TEST(Comparison, CyclicRowsDrawTheirDirectionInItsQuadrant)
{
    BatchSettings settings = defaultBatchSettings();
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    settings.import = options;
    const BatchResult batch =
        analyseAll({QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv"),
                    QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/no such record.csv")},
                   settings, 1);
    const SpecimenAnalysis& record = batch.specimens[0];
    ASSERT_TRUE(record.imported);
    ASSERT_NE(record.workbench->cyclic(), nullptr);
    const CyclicSession& session = *record.workbench->cyclic();
    EXPECT_EQ(summaryRowDirections(record),
              (std::vector<std::optional<Direction>>{Direction::Positive, Direction::Negative}));
    EXPECT_EQ(summaryRowDirections(batch.specimens[1]), (std::vector<std::optional<Direction>>{std::nullopt}));
    EXPECT_FALSE(comparedRow(batch.specimens[1], std::nullopt)) << "a file that failed draws nothing";

    const int mean = *comparisonMethodIndex(QStringLiteral("mean"));
    std::vector<ComparedSpecimen> both;
    for (const Direction d : {Direction::Positive, Direction::Negative}) {
        SCOPED_TRACE(keyOf(d));
        const double sign = d == Direction::Negative ? -1.0 : 1.0;
        const std::optional<ComparedSpecimen> row = comparedRow(record, d);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->name, QStringLiteral("cfs_stud_to_osb_connection_cyclic_01 (%1)").arg(QLatin1String(keyOf(d))));
        const Workbench& analysis = session.analysis(d);
        const std::vector<Point> analysed = pointsOf(analysis, SeriesId::lnsrsSeries4);
        const std::vector<Point> drawn = comparedCurve(*row);
        ASSERT_EQ(drawn.size(), analysed.size());
        ASSERT_GT(drawn.size(), 3u);
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].x, sign * analysed[i].x) << i;
            EXPECT_EQ(drawn[i].y, sign * analysed[i].y) << i;
        }
        const YieldResult& r = analysis.state().MeanResult;
        ASSERT_GT(r.YieldLoad, 0.0) << "a direction is analysed on its mirrored envelope";
        EXPECT_EQ(comparedYieldPoint(*row, mean), (Point{sign * r.YieldDisp, sign * r.YieldLoad}));
        both.push_back(*row);
    }
    EXPECT_NE(session.analysis(Direction::Positive).state().MeanResult.YieldLoad,
              session.analysis(Direction::Negative).state().MeanResult.YieldLoad)
        << "the two directions must differ for the test to tell them apart";

    ChartModel model;
    setComparison(model, both, mean);
    ASSERT_EQ(model.overlayCount(), 4);
    EXPECT_EQ(model.overlay(0).title, both[0].name);
    EXPECT_EQ(model.overlay(1).title, both[1].name);
    EXPECT_EQ(model.overlay(1).points, comparedCurve(both[1]));
    ASSERT_EQ(model.overlay(3).points.size(), 1u);
    EXPECT_LT(model.overlay(3).points[0].y, 0.0);
    EXPECT_GT(model.overlay(2).points[0].y, 0.0);
}

}  // namespace
}  // namespace rz

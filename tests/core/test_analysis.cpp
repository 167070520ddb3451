// The analysis: the look-ups, the crossing searches and the three methods on worked curves,
// and where each construction fails.
#include "AnalysisTestSupport.h"

#include "core/analysis/Analysis.h"
#include "core/methods/CurveSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace rz {
namespace {

using Kind = ArithmeticError::Kind;

using namespace rz::test;

Series curveOf(std::initializer_list<Point> pts)
{
    Series s;
    s.assignStableSorted(std::vector<Point>(pts));
    return s;
}

// The curve that the worked examples share: peak 100 at index 5, displacement 4.
Series workedCurve()
{
    return curveOf({{0, 0}, {1, 50}, {1.5, 75}, {2, 80}, {3, 95}, {4, 100}, {5, 90}, {6, 80}});
}

// ---------------------------------------------------------------------------------------
// Look-ups

struct LookupCase {
    double arg;
    double want;
};

TEST(LoadAtDisp, WorkedCurve)
{
    const Series c = workedCurve();
    const LookupCase cases[] = {
        {2.0, 80.0},   // inner point: the segment ending there comes first
        {2.4, 86.0},   // rising segment (2, 80)-(3, 95)
        {5.5, 85.0},   // falling branch
        {7.0, 0.0},    // beyond the last point
        {-0.5, 0.0},   // before the first point
        {0.5, 25.0},   // first segment
        {6.0, 80.0},   // last point
        {1.25, 62.5},  // short segment
    };
    for (const LookupCase& k : cases)
        EXPECT_DOUBLE_EQ(LoadAtDisp(c, k.arg), k.want) << "u = " << k.arg;
}

TEST(DispAtLoad, WorkedCurve)
{
    const Series c = workedCurve();
    const LookupCase cases[] = {
        {75.0, 1.5},           // point load: found on the segment ending there
        {85.0, 2.0 + 1 / 3.},  // rising segment, not the falling one after the peak
        {90.0, 2.0 + 2 / 3.},  // likewise: 5 would be the falling branch's point
        {100.0, 4.0},          // the peak
        {120.0, 0.0},          // above the curve
        {-5.0, 0.0},           // below the curve
        {50.0, 1.0},
    };
    for (const LookupCase& k : cases)
        EXPECT_DOUBLE_EQ(DispAtLoad(c, k.arg), k.want) << "p = " << k.arg;
}

TEST(DispAtLoad, FindsLoadOnlyReachedAfterThePeakOnTheFallingBranch)
{
    const Series c = curveOf({{0, 90}, {1, 100}, {2, 50}});
    EXPECT_DOUBLE_EQ(DispAtLoad(c, 75.0), 1.5);
}

TEST(LookUps, CurvesWithoutSegmentsGiveZero)
{
    const Series empty;
    const Series single = curveOf({{3, 7}});
    for (double v : {-1.0, 0.0, 3.0, 7.0, 10.0}) {
        EXPECT_EQ(LoadAtDisp(empty, v), 0.0);
        EXPECT_EQ(DispAtLoad(empty, v), 0.0);
        EXPECT_EQ(LoadAtDisp(single, v), 0.0);
        EXPECT_EQ(DispAtLoad(single, v), 0.0);
    }
}

TEST(LookUps, ZeroWidthFirstEnclosingSegmentIsZeroByZero)
{
    const Series sharedDisp = curveOf({{1, 0}, {1, 10}, {2, 20}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { LoadAtDisp(sharedDisp, 1.0); }));
    // Elsewhere the zero-width segment does not enclose the argument.
    EXPECT_DOUBLE_EQ(LoadAtDisp(sharedDisp, 1.5), 15.0);

    const Series sharedLoad = curveOf({{0, 5}, {1, 5}, {2, 10}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { DispAtLoad(sharedLoad, 5.0); }));
    EXPECT_DOUBLE_EQ(DispAtLoad(sharedLoad, 7.5), 1.5);
}

TEST(LookUps, LaterZeroWidthSegmentIsHarmless)
{
    // The segment before the repeated displacement already encloses it.
    const Series c = curveOf({{0, 0}, {1, 10}, {1, 30}, {2, 40}});
    EXPECT_DOUBLE_EQ(LoadAtDisp(c, 1.0), 10.0);
    EXPECT_DOUBLE_EQ(LoadAtDisp(c, 1.5), 35.0);
    const Series flat = curveOf({{0, 0}, {1, 10}, {2, 10}, {3, 20}});
    EXPECT_DOUBLE_EQ(DispAtLoad(flat, 10.0), 1.0);
}

TEST(LookUps, OverflowInTheInterpolation)
{
    // The load difference itself leaves the range.
    const Series steep = curveOf({{0, -1e308}, {1, 1e308}});
    EXPECT_TRUE(raises(Kind::Overflow, [&] { LoadAtDisp(steep, 0.5); }));
    // The product overflows before the division could bring it back into range.
    const Series wide = curveOf({{0, 0}, {1e300, 1e308}});
    EXPECT_TRUE(raises(Kind::Overflow, [&] { DispAtLoad(wide, 7.5e307); }));
}

// ---------------------------------------------------------------------------------------
// Strict crossing search

struct CrossingCase {
    const char* name;
    std::vector<Point> pts;
    double p;
    int a;
    int b;
    std::optional<double> want;
};

TEST(StrictCrossing, Cases)
{
    const std::vector<Point> worked = workedCurve().points();
    const CrossingCase cases[] = {
        {"ultimate load on the falling branch", worked, 85.0, 5, 7, 5.5},
        {"secant load on the rising branch", worked, 10.0, 0, 5, 0.2},
        {"from the first segment the rising crossing comes first", worked, 85.0, 0, 7, 2.0 + 1 / 3.},
        {"end index is the first segment not examined", worked, 85.0, 5, 6, std::nullopt},
        {"peak at the last point examines nothing", {{0, 0}, {1, 50}, {2, 100}}, 85.0, 2, 2, std::nullopt},
        {"end index beyond the curve stops at the last segment", worked, 75.0, 5, 100, std::nullopt},
        {"an end load equal to p is a crossing at that point",
         {{0, 0}, {1, 100}, {2, 90}, {3, 85}, {4, 80}},
         85.0,
         1,
         4,
         3.0},
        {"the first crossing wins: landing on p comes before a later strict one",
         {{0, 0}, {1, 100}, {2, 85}, {3, 90}, {4, 70}},
         85.0,
         1,
         4,
         2.0},
        {"a strict crossing before a landing wins", {{0, 0}, {1, 100}, {2, 80}, {3, 85}}, 85.0, 1, 3, 1.75},
        {"touching from below is a crossing", {{0, 0}, {1, 50}, {2, 10}}, 50.0, 0, 2, 1.0},
        {"landing on p at the last examined segment", {{0, 0}, {1, 100}, {2, 90}, {3, 85}}, 85.0, 1, 3, 3.0},
        {"landing on p just past the end index is not examined",
         {{0, 0}, {1, 100}, {2, 90}, {3, 85}},
         85.0,
         1,
         2,
         std::nullopt},
        {"first point equal to p", {{0, 10}, {1, 30}, {2, 5}}, 10.0, 0, 2, 1.0 + 20.0 / 25.0},
        {"a segment along p is no crossing, nor is leaving it",
         {{0, 0}, {1, 10}, {2, 10}, {3, 20}},
         10.0,
         1,
         3,
         std::nullopt},
        {"the exact displacement, not an interpolation", {{0.1, 0.3}, {0.7, 1.9}, {1.3, 0.2}}, 0.2, 1, 2, 1.3},
        {"vertical first segment gives its displacement", {{0, 0}, {0, 50}, {1, 100}}, 10.0, 0, 2, 0.0},
    };
    for (const CrossingCase& k : cases) {
        Series c;
        c.assignStableSorted(k.pts);
        const std::optional<double> got = strictCrossing(c, k.p, k.a, k.b);
        ASSERT_EQ(got.has_value(), k.want.has_value()) << k.name;
        // Bit for bit: a landing must give the point's own displacement, which an
        // interpolation through it can miss (0.7 + 0.6 * 1.7 / 1.7 is 1.2999999999999998).
        if (k.want) {
            EXPECT_EQ(*got, *k.want) << k.name;
        }
    }
}

// What a search gave, bit for bit, or the error it raised: comparable and printable.
template <typename Search>
std::string outcomeOf(Search search)
{
    try {
        const std::optional<double> value = search();
        if (!value)
            return "none";
        char text[64];
        std::snprintf(text, sizeof text, "%a", *value);
        return text;
    } catch (const ArithmeticError& e) {
        return "raises " + std::to_string(static_cast<int>(e.kind()));
    }
}

// The searches for a load skip runs of segments lying wholly above or below it, several
// points at a time. On curves of long runs, levels met exactly and NaN loads, at every
// offset and over every range, they must find the segment that a test of each in turn finds.
TEST(LoadSearches, AgreeWithASegmentBySegmentTest)
{
    std::mt19937 random(20261210);
    const double p = 40.0;
    const double loads[] = {10.0, 39.0, 40.0, 41.0, 90.0, std::nextafter(40.0, 0.0), std::nan("")};
    // A search on one segment alone: there is nothing to skip.
    const auto segment = [](const std::vector<Point>& pts, std::size_t i) {
        Series one;
        one.assignStableSorted({pts[i], pts[i + 1]});
        return one;
    };
    const auto dispAtLoad = [p](const Series& c) { return outcomeOf([&] { return std::optional(DispAtLoad(c, p)); }); };
    const auto crossing = [p](const Series& c, int a, int b) {
        return outcomeOf([&] { return strictCrossing(c, p, a, b); });
    };
    const auto falling = [p](const Series& c, int from) {
        return outcomeOf([&] { return fallingSearch(c, from, p); });
    };
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<Point> pts;
        const int n = std::uniform_int_distribution<int>(0, 40)(random);
        while (static_cast<int>(pts.size()) < n) {
            const double load = loads[std::uniform_int_distribution<std::size_t>(0, std::size(loads) - 1)(random)];
            const int run = std::uniform_int_distribution<int>(1, 12)(random);
            for (int k = 0; k < run && static_cast<int>(pts.size()) < n; ++k)
                pts.push_back({0.5 * static_cast<double>(pts.size()), load});
        }
        Series curve;
        curve.assignStableSorted(pts);

        std::string wantDisp = dispAtLoad(Series());  // no segment encloses p: 0
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            const double y0 = pts[i].y;
            const double y1 = pts[i + 1].y;
            if ((y0 <= p && p <= y1) || (y0 >= p && p >= y1)) {
                wantDisp = dispAtLoad(segment(pts, i));
                break;
            }
        }
        ASSERT_EQ(dispAtLoad(curve), wantDisp) << "trial " << trial;

        const int a = std::uniform_int_distribution<int>(-1, n)(random);
        const int b = std::uniform_int_distribution<int>(a, n + 1)(random);
        std::string wantCrossing = "none";
        for (int i = std::max(a, 0); i < b && i + 1 < n; ++i) {
            const double y0 = pts[static_cast<std::size_t>(i)].y;
            const double y1 = pts[static_cast<std::size_t>(i) + 1].y;
            if ((y0 > p && y1 < p) || (y0 < p && y1 > p) || (y1 == p && y0 != p)) {
                wantCrossing = crossing(segment(pts, static_cast<std::size_t>(i)), 0, 1);
                break;
            }
        }
        ASSERT_EQ(crossing(curve, a, b), wantCrossing) << "trial " << trial << ", a " << a << ", b " << b;

        std::string wantFall = "none";
        for (int i = std::max(a, 0); i + 1 < n; ++i) {
            if (pts[static_cast<std::size_t>(i)].y > p && p >= pts[static_cast<std::size_t>(i) + 1].y) {
                wantFall = falling(segment(pts, static_cast<std::size_t>(i)), 0);
                break;
            }
        }
        ASSERT_EQ(falling(curve, a), wantFall) << "trial " << trial << ", from " << a;
    }
}

TEST(StrictCrossing, OverflowInTheInterpolation)
{
    const Series c = curveOf({{0, -1e308}, {1, 1e308}});
    EXPECT_TRUE(raises(Kind::Overflow, [&] { strictCrossing(c, 0.0, 0, 1); }));
}

// ---------------------------------------------------------------------------------------
// Geometric Graphic Method

TEST(GeometricMethod, WorkedExample)
{
    const MethodOutcome o = geometricMethod(workedCurve(), 50.0, 100.0, 5.5);
    const std::vector<Point> line{{0, 0}, {2, 100}, {2, 80}, {0, 0}, {2.5, 100}, {2.5, 0}};
    EXPECT_EQ(o.linePoints, line);
    EXPECT_EQ(o.yieldPoint, (Point{2.5, 87.5}));
    EXPECT_DOUBLE_EQ(o.yieldLoad, 87.5);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 2.5);
    ASSERT_TRUE(o.ductility.has_value());
    EXPECT_DOUBLE_EQ(*o.ductility, 2.2);
    EXPECT_FALSE(o.ductilityError.has_value());
}

TEST(GeometricMethod, FirstPointAwayFromTheOrigin)
{
    // D_A and D_y lie on lines through (0, 0); the secant is measured from the first point.
    const Series c = curveOf({{1, 20}, {2, 60}, {3, 100}, {4, 70}});
    const MethodOutcome o = geometricMethod(c, 50.0, 100.0, 3.5);
    const std::vector<Point> line{{1, 20}, {2, 100}, {2, 60}, {1, 20}, {2.5, 100}, {2.5, 20}};
    EXPECT_EQ(o.linePoints, line);
    EXPECT_DOUBLE_EQ(o.yieldLoad, 80.0);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 2.5);
    EXPECT_DOUBLE_EQ(*o.ductility, 1.4);
}

TEST(GeometricMethod, YieldBeyondTheCurveHasZeroLoad)
{
    const Series c = curveOf({{0, 0}, {1, 10}, {2, 100}});
    const MethodOutcome o = geometricMethod(c, 100.0, 100.0, 2.0);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 10.0);
    EXPECT_EQ(o.yieldLoad, 0.0);
    EXPECT_EQ(o.yieldPoint, (Point{10.0, 0.0}));
    EXPECT_DOUBLE_EQ(*o.ductility, 0.2);
}

TEST(GeometricMethod, ConstructionFailures)
{
    const Series worked = workedCurve();
    EXPECT_TRUE(raises(Kind::DivisionByZero, [&] { geometricMethod(worked, 0.0, 100.0, 5.5); }));
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { geometricMethod(worked, 0.0, 0.0, 5.5); }));
    // D_A = x_0: B is the first point itself.
    const Series shifted = curveOf({{1, 0}, {2, 50}, {3, 100}, {4, 80}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { geometricMethod(shifted, 100.0, 100.0, 4.0); }));
    // D_A beyond a curve starting at load 0: P_B = y_0, so K_s = 0.
    EXPECT_TRUE(raises(Kind::DivisionByZero, [&] { geometricMethod(worked, 10.0, 100.0, 5.5); }));
    EXPECT_TRUE(raises(Kind::Overflow, [&] { geometricMethod(worked, 0.5, 1e308, 5.5); }));
    // A zero-width first segment at D_A fails inside the look-up.
    const Series vertical = curveOf({{2, 0}, {2, 50}, {3, 100}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { geometricMethod(vertical, 50.0, 100.0, 3.0); }));
}

// ---------------------------------------------------------------------------------------
// R.Park Method

TEST(ParkMethod, WorkedExample)
{
    const MethodOutcome o = parkMethod(workedCurve(), 0.75, 100.0, 5.5);
    const std::vector<Point> line{{0, 0}, {1.5, 75}, {2, 100}, {2, 0}};
    EXPECT_EQ(o.linePoints, line);
    EXPECT_EQ(o.yieldPoint, (Point{2, 80}));
    EXPECT_DOUBLE_EQ(o.yieldLoad, 80.0);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 2.0);
    EXPECT_DOUBLE_EQ(*o.ductility, 2.75);
    EXPECT_FALSE(o.ductilityError.has_value());
}

TEST(ParkMethod, FirstPointAboveTheOrigin)
{
    const Series c = curveOf({{0, 20}, {1, 60}, {2, 100}, {3, 70}});
    const MethodOutcome o = parkMethod(c, 0.75, 100.0, 2.5);
    const std::vector<Point> line{{0, 20}, {1.375, 75}, {2.5, 100}, {2.5, 20}};
    EXPECT_EQ(o.linePoints, line);
    EXPECT_DOUBLE_EQ(o.yieldLoad, 85.0);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 2.5);
    EXPECT_DOUBLE_EQ(*o.ductility, 1.0);
}

TEST(ParkMethod, FactoredLoadFoundAfterThePeak)
{
    // Starts above P_f: F lies on the falling branch, K_s is negative and so is D_y.
    const Series c = curveOf({{0, 90}, {1, 100}, {2, 50}});
    const MethodOutcome o = parkMethod(c, 0.75, 100.0, 2.0);
    EXPECT_DOUBLE_EQ(o.linePoints[1].x, 1.5);
    EXPECT_DOUBLE_EQ(o.yieldDisp, -10.0);
    EXPECT_EQ(o.yieldLoad, 0.0);
    EXPECT_DOUBLE_EQ(*o.ductility, -0.2);
}

TEST(ParkMethod, ConstructionFailures)
{
    // P_f enclosed nowhere: D_f = 0.0 = x_0.
    const Series high = curveOf({{0, 90}, {1, 100}, {2, 95}});
    EXPECT_TRUE(raises(Kind::DivisionByZero, [&] { parkMethod(high, 0.5, 100.0, 2.0); }));
    // The first enclosing segment is level at P_f.
    const Series level = curveOf({{0, 75}, {1, 75}, {2, 100}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { parkMethod(level, 0.75, 100.0, 2.0); }));
    // P_f = y_0: F is the first point.
    const Series atFirst = curveOf({{0, 75}, {1, 100}, {2, 50}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { parkMethod(atFirst, 0.75, 100.0, 2.0); }));
    const Series huge = curveOf({{0, 0}, {1e300, 1e308}});
    EXPECT_TRUE(raises(Kind::Overflow, [&] { parkMethod(huge, 0.75, 1e308, 1e300); }));
}

// ---------------------------------------------------------------------------------------
// Energy Method

TEST(EnergyMethod, WorkedExample)
{
    const MethodOutcome o = energyMethod(workedCurve(), 5, 100.0, 4.0, 5.5);
    ASSERT_EQ(o.linePoints.size(), 3u);
    EXPECT_EQ(o.linePoints[0], (Point{0, 0}));
    EXPECT_DOUBLE_EQ(o.linePoints[1].x, 2.4);
    EXPECT_EQ(o.linePoints[1].y, 100.0);
    EXPECT_DOUBLE_EQ(o.linePoints[2].x, 2.4);
    EXPECT_EQ(o.linePoints[2].y, 0.0);
    EXPECT_DOUBLE_EQ(o.yieldPoint.x, 2.4);
    EXPECT_DOUBLE_EQ(o.yieldPoint.y, 86.0);
    EXPECT_DOUBLE_EQ(o.yieldLoad, 86.0);
    EXPECT_DOUBLE_EQ(o.yieldDisp, 2.4);
    EXPECT_DOUBLE_EQ(*o.ductility, 5.5 / 2.4);
}

struct EnergyCase {
    const char* name;
    std::vector<Point> pts;
    int m;
    double peakLoad;
    double yieldDisp;
    double yieldLoad;
};

TEST(EnergyMethod, AreaCases)
{
    const EnergyCase cases[] = {
        // A = -3 - 3 + 15 = 9; counting the dip positively would give 21 and D_y = 4.6.
        {"loads below the first point count negatively", {{0, 10}, {1, 4}, {2, 10}, {3, 40}}, 3, 40.0, 5.4, 0.0},
        // A = 30 + 80; D_y = 6 - 2.2 - 1.
        {"first point away from the origin", {{1, 10}, {2, 70}, {3, 110}, {4, 90}}, 2, 110.0, 2.8, 102.0},
        // A = 5 + 55 stops at the peak; the yield point lies on the falling branch.
        {"points after the peak", {{0, 0}, {1, 10}, {2, 100}, {3, 60}, {4, 20}}, 2, 100.0, 2.8, 68.0},
    };
    for (const EnergyCase& k : cases) {
        Series c;
        c.assignStableSorted(k.pts);
        const double peakDisp = c.x(k.m);
        const MethodOutcome o = energyMethod(c, k.m, k.peakLoad, peakDisp, 4.0);
        EXPECT_DOUBLE_EQ(o.yieldDisp, k.yieldDisp) << k.name;
        EXPECT_DOUBLE_EQ(o.yieldLoad, k.yieldLoad) << k.name;
        ASSERT_EQ(o.linePoints.size(), 3u) << k.name;
        EXPECT_EQ(o.linePoints[0], c.points()[0]) << k.name;
        EXPECT_EQ(o.linePoints[1], (Point{o.yieldDisp, k.peakLoad})) << k.name;
        EXPECT_EQ(o.linePoints[2], (Point{o.yieldDisp, c.y(0)})) << k.name;
    }
}

TEST(EnergyMethod, ConstructionFailures)
{
    // Peak first: A = 0 and PeakLoad - y_0 = 0.
    const Series falling = curveOf({{0, 100}, {1, 60}, {2, 30}});
    EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { energyMethod(falling, 0, 100.0, 0.0, 2.0); }));
    // PeakLoad = y_0 with a non-zero area.
    const Series dip = curveOf({{0, 100}, {1, 50}, {2, 100}});
    EXPECT_TRUE(raises(Kind::DivisionByZero, [&] { energyMethod(dip, 2, 100.0, 2.0, 2.0); }));
    const Series huge = curveOf({{0, 0}, {1, 1e308}, {2, 1.5e308}});
    EXPECT_TRUE(raises(Kind::Overflow, [&] { energyMethod(huge, 2, 1.5e308, 2.0, 2.0); }));
    EXPECT_TRUE(raises(Kind::Overflow, [&] { energyMethod(workedCurve(), 5, 100.0, 1e308, 5.5); }));
}

TEST(EnergyMethod, RejectsAPeakIndexOutsideTheCurve)
{
    const Series c = workedCurve();
    EXPECT_THROW(energyMethod(c, 8, 100.0, 4.0, 5.5), std::out_of_range);
    EXPECT_THROW(energyMethod(c, -1, 100.0, 4.0, 5.5), std::out_of_range);
    EXPECT_THROW(energyMethod(Series{}, 0, 100.0, 4.0, 5.5), std::invalid_argument);
}

// ---------------------------------------------------------------------------------------
// Ductility failures: the construction stands, only the ductility is missing.

struct DuctilityCase {
    const char* name;
    MethodOutcome outcome;
    std::vector<Point> line;
    Point yieldPoint;
    Kind kind;
};

TEST(Methods, DuctilityFailureKeepsTheConstruction)
{
    // Peak load 0 on a curve rising from (-1, -10) gives D_y = 0 for both secant methods.
    const Series belowZero = curveOf({{-1, -10}, {1, 0}, {2, -5}});
    // Energy: A = 50 over a height of 100 and x_0 = -1 give D_y = 0.
    const Series fromLeft = curveOf({{-1, 0}, {0, 100}, {1, 60}});
    // D_y = 0.125 makes 1e308 / D_y leave the range.
    const Series steep = curveOf({{0, 0}, {0.125, 100}, {1, 50}});
    const DuctilityCase cases[] = {
        {"geometric, D_y = 0",
         geometricMethod(belowZero, 5.0, 0.0, 1.0),
         {{-1, -10}, {0, 0}, {0, -5}, {-1, -10}, {0, 0}, {0, -10}},
         {0, -5},
         Kind::DivisionByZero},
        {"geometric, D_y = 0 and no ultimate displacement",
         geometricMethod(belowZero, 5.0, 0.0, 0.0),
         {{-1, -10}, {0, 0}, {0, -5}, {-1, -10}, {0, 0}, {0, -10}},
         {0, -5},
         Kind::InvalidOperation},
        {"park, D_y = 0",
         parkMethod(belowZero, 0.5, 0.0, 2.0),
         {{-1, -10}, {1, 0}, {0, 0}, {0, -10}},
         {0, -5},
         Kind::DivisionByZero},
        {"energy, D_y = 0",
         energyMethod(fromLeft, 1, 100.0, 0.0, 1.0),
         {{-1, 0}, {0, 100}, {0, 0}},
         {0, 100},
         Kind::DivisionByZero},
        {"park, ductility beyond range",
         parkMethod(steep, 0.5, 100.0, 1e308),
         {{0, 0}, {0.0625, 50}, {0.125, 100}, {0.125, 0}},
         {0.125, 100},
         Kind::Overflow},
    };
    for (const DuctilityCase& k : cases) {
        const MethodOutcome& o = k.outcome;
        EXPECT_EQ(o.linePoints, k.line) << k.name;
        EXPECT_EQ(o.yieldPoint, k.yieldPoint) << k.name;
        EXPECT_EQ(o.yieldLoad, k.yieldPoint.y) << k.name;
        EXPECT_EQ(o.yieldDisp, k.yieldPoint.x) << k.name;
        EXPECT_FALSE(o.ductility.has_value()) << k.name;
        ASSERT_TRUE(o.ductilityError.has_value()) << k.name;
        EXPECT_EQ(*o.ductilityError, k.kind) << k.name;
    }
}

}  // namespace
}  // namespace rz

// The searches along a curve and the area under it: worked steps, bit-for-bit agreement of
// the fast paths with plain ones, and the errors they raise.
#include "YieldTestCurves.h"

#include "core/analysis/Analysis.h"
#include "core/analysis/Arithmetic.h"
#include "core/methods/CurveSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>
namespace rz {
namespace {

using namespace rz::test;

// ---------------------------------------------------------------------------------------
// The searches and the area

TEST(CurveSearch, SearchesTakeTheFirstSegmentOnTheirSideOfThePeak)
{
    // Peak 100 at index 3; the load reaches 50 exactly at index 1 and again after a dip.
    const Series c = curveOf({{0, 0}, {2, 50}, {3, 40}, {5, 100}, {6, 50}, {7, 60}, {8, 20}});
    struct Case {
        const char* what;
        std::optional<double> got, want;
    } cases[] = {
        {"end point equal to p is reached", risingSearch(c, 3, 50), 2.0},
        {"start point equal to p is not", risingSearch(c, 3, 40), 2.0 * 40 / 50},
        {"first of two rising crossings", risingSearch(c, 3, 45), 1.8},
        {"only segments before the peak", risingSearch(c, 3, 100), 5.0},
        {"nothing above the peak", risingSearch(c, 3, 100.5), std::nullopt},
        {"nothing below the first load", risingSearch(c, 3, 0), std::nullopt},
        {"peak at index 0 has no rising branch", risingSearch(c, 0, 10), std::nullopt},
        {"falling: end point equal to p", fallingSearch(c, 3, 50), 6.0},
        {"falling: starts at the peak", fallingSearch(c, 3, 75), 5.5},
        {"falling: first fall, not the later one", fallingSearch(c, 3, 55), 5.0 + 45.0 / 50},
        {"falling: later fall when the first stops short", fallingSearch(c, 3, 30), 7.75},
        {"falling: never that low", fallingSearch(c, 3, 10), std::nullopt},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ASSERT_EQ(k.got.has_value(), k.want.has_value());
        if (k.want) {
            EXPECT_DOUBLE_EQ(*k.got, *k.want);
        }
    }
}

TEST(CurveSearch, AreaCutsItsLastTrapezoidAtTheDisplacement)
{
    // A vertical step at 2 (two points of one displacement) adds no width.
    const Series c = curveOf({{1, 0}, {2, 10}, {2, 30}, {4, 30}, {6, 10}});
    struct Case {
        double disp;
        std::optional<double> want;
    } cases[] = {
        {1.0, 0.0},            // from x_0 to itself
        {1.5, 1.25},           // cut in the first segment: 0.5 * (0 + 5) / 2
        {2.0, 5.0},            // a vertex, the step not yet climbed
        {3.0, 35.0},           // 5 + 30
        {5.0, 5.0 + 60 + 25},  // cut on the falling segment at load 20
        {6.0, 105.0},          // the whole curve: 5 + 60 + 40
        {0.5, std::nullopt},   // before the curve
        {6.5, std::nullopt},   // beyond it
        {std::nan(""), std::nullopt},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.disp);
        const auto got = areaUpTo(c, k.disp);
        ASSERT_EQ(got.has_value(), k.want.has_value());
        if (k.want) {
            EXPECT_DOUBLE_EQ(*got, *k.want);
        }
    }
}

TEST(CurveSearch, WorkedExampleSteps)
{
    const Series c = workedExample();
    const int peak = 3000;
    ASSERT_EQ(c.y(peak), 120.0);
    EXPECT_NEAR(*risingSearch(c, peak, 0.4 * 120), 4.8, kWorkedTolerance);  // 48 / 10
    EXPECT_NEAR(*risingSearch(c, peak, 0.1 * 120), 1.2, kWorkedTolerance);
    EXPECT_NEAR(*risingSearch(c, peak, 0.6 * 118.75), 7.125, kWorkedTolerance);
    EXPECT_NEAR(*fallingSearch(c, peak, 0.8 * 120), 42.0, kWorkedTolerance);  // 120 - 2 (x - 30) = 96
    EXPECT_DOUBLE_EQ(LoadAtDisp(c, 39.0), 102.0);
    // 500 (up to 10) + 2200 (10 to 30) + (120 + 96) / 2 * 12 = 3996, and up to 39: 2700 + 999.
    EXPECT_NEAR(*areaUpTo(c, 42.0), 3996.0, kWorkedTolerance);
    EXPECT_NEAR(*areaUpTo(c, 39.0), 3699.0, kWorkedTolerance);
}

// What an area call came to: a value, nothing, or the kind of error it threw.
struct AreaOutcome {
    std::optional<std::uint64_t> bits;
    bool threw = false;
    ArithmeticError::Kind kind = ArithmeticError::Kind::Overflow;
    bool operator==(const AreaOutcome&) const = default;
};

template <typename Call>
AreaOutcome outcomeOf(Call call)
{
    AreaOutcome o;
    try {
        if (const std::optional<double> area = call())
            o.bits = std::bit_cast<std::uint64_t>(*area);
    } catch (const ArithmeticError& e) {
        o.threw = true;
        o.kind = e.kind();
    }
    return o;
}

// Random curves with repeated displacements, and some with loads near the largest double so
// that a trapezoid overflows part of the way along; asked at vertices, inside segments, at
// both ends, outside, twice over and at NaN. The one pass gives what areaUpTo gives, every
// bit and every error, at every displacement it was built for.
TEST(CurveSearch, AreasInOnePassAreAreaUpToBitForBit)
{
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double huge = std::numeric_limits<double>::max() / 3;
    int threw = 0;
    int found = 0;
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + static_cast<int>(random() % 40);
        std::vector<Point> pts;
        double x = unit(random) * 4 - 2;
        for (int i = 0; i < n; ++i) {
            if (random() % 4 != 0)
                x += unit(random);
            const bool overflows = round % 3 == 0 && random() % 8 == 0;
            pts.push_back({x, overflows ? huge * (1 + unit(random)) : unit(random) * 200 - 50});
        }
        const Series c = curveOf(pts);
        std::vector<double> asked;
        for (int k = 0; k < 6; ++k) {
            const int i = static_cast<int>(random() % static_cast<unsigned>(n));
            asked.push_back(c.x(i));
            asked.push_back(c.x(i) + unit(random) * (c.x(n - 1) - c.x(0)) / 3);
        }
        asked.insert(asked.end(), {c.x(0), c.x(n - 1), c.x(0) - 1, c.x(n - 1) + 1, std::nan(""), asked.front()});
        const CurveAreas areas(c, asked);
        for (double disp : asked) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", disp " << disp);
            const AreaOutcome alone = outcomeOf([&] { return areaUpTo(c, disp); });
            EXPECT_EQ(outcomeOf([&] { return areas.upTo(disp); }), alone);
            threw += alone.threw;
            found += alone.bits.has_value();
        }
        // Not one of its displacements: summed anew.
        EXPECT_EQ(outcomeOf([&] { return areas.upTo(c.x(0) + 0.125); }),
                  outcomeOf([&] { return areaUpTo(c, c.x(0) + 0.125); }));
    }
    EXPECT_GT(threw, 50);
    EXPECT_GT(found, 1000);
}

// One RisingSearch asked many loads in a random order, so that later searches skip blocks
// that earlier ones measured, against risingSearch asked each alone: curves of several
// blocks with dips, plateaus of equal loads, NaN loads and loads that overflow the
// interpolation; asked at the curve's own loads, between them, NaN, infinities, beyond
// the peak; the peak anywhere, first and past the last point included.
TEST(CurveSearch, RepeatedRisingSearchesFindWhatEachSearchAloneFinds)
{
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double huge = std::numeric_limits<double>::max() / 3;
    int found = 0;
    int threw = 0;
    int longRounds = 0;
    for (int round = 0; round < 120; ++round) {
        const int n = 1 + static_cast<int>(random() % 1500);
        std::vector<Point> pts;
        double y = 0.0;
        for (int i = 0; i < n; ++i) {
            const auto pick = random() % 64;
            if (pick < 40)
                y += unit(random) * 2 - 0.7;  // rises, with dips
            else if (pick < 44 && round % 4 == 0)
                y = std::nan("");
            else if (pick < 46 && round % 5 == 0)
                y = (pick % 2 == 0 ? huge : -huge) * (1 + unit(random));  // from -huge to +huge overflows
            else if (std::isnan(y) || std::abs(y) > 1e300)
                y = unit(random) * 100;
            // otherwise the load stays: a plateau
            pts.push_back({static_cast<double>(i) + unit(random) * 0.5, y});
        }
        const Series c = curveOf(pts);
        const int peaks[] = {0, n - 1, n + 3, static_cast<int>(random() % static_cast<unsigned>(n))};
        const int peak = peaks[round % 4];
        std::vector<double> asked = {std::nan(""), std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(), 1e308};
        for (int k = 0; k < 40; ++k) {
            const double load = c.y(static_cast<int>(random() % static_cast<unsigned>(n)));
            asked.push_back(k % 2 == 0 ? load : load + unit(random) - 0.5);
        }
        std::shuffle(asked.begin(), asked.end(), random);
        RisingSearch search(c, peak);
        for (double p : asked) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", n " << n << ", peak " << peak << ", p " << p);
            const AreaOutcome alone = outcomeOf([&] { return risingSearch(c, peak, p); });
            EXPECT_EQ(outcomeOf([&] { return search(p); }), alone);
            found += alone.bits.has_value();
            threw += alone.threw;
        }
        longRounds += n > 600 && peak > 600;
    }
    EXPECT_GT(found, 1500);
    EXPECT_GT(threw, 5);
    EXPECT_GT(longRounds, 20);
}

}  // namespace
}  // namespace rz

// The analysis recomputed independently: plain IEEE arithmetic with the formulas as written,
// over worked, random and long curves, must give the same bits.
#include "AnalysisTestSupport.h"

#include "core/analysis/Analysis.h"
#include "core/methods/CurveSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace rz {
namespace {

using Kind = ArithmeticError::Kind;

using namespace rz::test;

// ---------------------------------------------------------------------------------------
// Independent re-computation: plain IEEE arithmetic with the formulas as written gives the
// same bits, so any reordering of an operation shows up as a mismatch.

namespace plain {

double loadAtDisp(const std::vector<Point>& c, double u)
{
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        const Point& s = c[i];
        const Point& e = c[i + 1];
        if ((s.x <= u && u <= e.x) || (s.x >= u && u >= e.x))
            return s.y + (u - s.x) * (e.y - s.y) / (e.x - s.x);
    }
    return 0.0;
}

double dispAtLoad(const std::vector<Point>& c, double p)
{
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        const Point& s = c[i];
        const Point& e = c[i + 1];
        if ((s.y <= p && p <= e.y) || (s.y >= p && p >= e.y))
            return s.x + (p - s.y) * (e.x - s.x) / (e.y - s.y);
    }
    return 0.0;
}

std::optional<double> crossing(const std::vector<Point>& c, double p, int a, int b)
{
    for (int i = a; i < b && i + 1 < static_cast<int>(c.size()); ++i) {
        const Point& s = c[static_cast<std::size_t>(i)];
        const Point& e = c[static_cast<std::size_t>(i) + 1];
        if ((s.y > p && e.y < p) || (s.y < p && e.y > p))
            return s.x + (p - s.y) * (e.x - s.x) / (e.y - s.y);
        if (e.y == p && s.y != p)
            return e.x;
    }
    return std::nullopt;
}

struct Outcome {
    std::vector<Point> line;
    double yieldLoad;
    double yieldDisp;
    double ductility;
};

Outcome geometric(const std::vector<Point>& c, double k, double peakLoad, double ultimateDisp)
{
    const Point o = c[0];
    const double dA = peakLoad / k;
    const double pB = loadAtDisp(c, dA);
    const double ks = (pB - o.y) / (dA - o.x);
    const double dy = peakLoad / ks;
    const double py = loadAtDisp(c, dy);
    return {{o, {dA, peakLoad}, {dA, pB}, o, {dy, peakLoad}, {dy, o.y}}, py, dy, ultimateDisp / dy};
}

Outcome park(const std::vector<Point>& c, double f, double peakLoad, double ultimateDisp)
{
    const Point o = c[0];
    const double pf = f * peakLoad;
    const double df = dispAtLoad(c, pf);
    const double ks = (pf - o.y) / (df - o.x);
    const double dy = peakLoad / ks;
    const double py = loadAtDisp(c, dy);
    return {{o, {df, pf}, {dy, peakLoad}, {dy, o.y}}, py, dy, ultimateDisp / dy};
}

Outcome energy(const std::vector<Point>& c, int m, double peakLoad, double peakDisp, double ultimateDisp)
{
    const Point o = c[0];
    double area = 0.0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(m); ++i) {
        const double a = c[i].y - o.y;
        const double b = c[i + 1].y - o.y;
        const double w = c[i + 1].x - c[i].x;
        area = area + (a + b) * w * 0.5;
    }
    const double dy = 2 * peakDisp - 2 * area / (peakLoad - o.y) - o.x;
    const double py = loadAtDisp(c, dy);
    return {{o, {dy, peakLoad}, {dy, o.y}}, py, dy, ultimateDisp / dy};
}

}  // namespace plain

void expectSameOutcome(const MethodOutcome& got, const plain::Outcome& want, const char* what)
{
    EXPECT_EQ(got.linePoints, want.line) << what;
    EXPECT_EQ(got.yieldPoint, (Point{want.yieldDisp, want.yieldLoad})) << what;
    EXPECT_EQ(got.yieldLoad, want.yieldLoad) << what;
    EXPECT_EQ(got.yieldDisp, want.yieldDisp) << what;
    ASSERT_TRUE(got.ductility.has_value()) << what;
    EXPECT_EQ(*got.ductility, want.ductility) << what;
}

// Displacements that repeat (vertical steps), loads asked for at every stored displacement,
// between them and beyond both ends: the load found is the first enclosing segment's.
TEST(Recomputation, LoadAtEveryStoredDisplacement)
{
    std::mt19937_64 rng(1998);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int n = 2 + static_cast<int>(rng() % 30);
        std::vector<Point> pts;
        double x = static_cast<double>(rng() % 5) - 2.0;
        for (int i = 0; i < n; ++i) {
            pts.push_back({x, static_cast<double>(rng() % 100) - 20.0});
            // Every other round starts on a step, and a third of the steps add no width.
            if (!(round % 2 == 0 && i == 0) && rng() % 3 != 0)
                x += 0.25 * static_cast<double>(1 + rng() % 4);
        }
        Series c;
        c.assignStableSorted(pts);
        std::vector<double> asked{pts.front().x - 1.0, pts.back().x + 1.0};
        for (std::size_t i = 0; i < pts.size(); ++i) {
            asked.push_back(pts[i].x);
            if (i + 1 < pts.size())
                asked.push_back((pts[i].x + pts[i + 1].x) / 2.0);
        }
        for (const double u : asked) {
            // The first enclosing segment has no width: 0 / 0 either way.
            const double want = plain::loadAtDisp(pts, u);
            if (std::isnan(want))
                EXPECT_TRUE(raises(Kind::InvalidOperation, [&] { LoadAtDisp(c, u); })) << "u = " << u;
            else
                EXPECT_EQ(LoadAtDisp(c, u), want) << "u = " << u;
        }
    }
}

TEST(Recomputation, RandomCurvesAgreeBitForBit)
{
    std::mt19937_64 rng(20190308);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto integer = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Rising to a peak at m, falling after it; irregular steps, first point off the origin.
        const int n = integer(3, 40);
        const int m = integer(1, n - 1);
        std::vector<Point> pts;
        double x = uniform(-3.0, 3.0);
        double y = uniform(0.5, 20.0);
        for (int i = 0; i < n; ++i) {
            pts.push_back({x, y});
            x += uniform(0.01, 2.0);
            y += (i < m ? 1.0 : -1.0) * uniform(0.1, 30.0);
        }
        Series c;
        c.assignStableSorted(pts);
        const double peakLoad = pts[static_cast<std::size_t>(m)].y;
        const double peakDisp = pts[static_cast<std::size_t>(m)].x;
        const double lastDisp = pts.back().x;
        double lowest = pts[0].y;
        for (const Point& p : pts)
            lowest = std::min(lowest, p.y);

        for (int k = 0; k < 25; ++k) {
            const double u = uniform(pts[0].x - 1.0, lastDisp + 1.0);
            EXPECT_EQ(LoadAtDisp(c, u), plain::loadAtDisp(pts, u)) << "u = " << u;
            const double p = uniform(lowest - 5.0, peakLoad + 5.0);
            EXPECT_EQ(DispAtLoad(c, p), plain::dispAtLoad(pts, p)) << "p = " << p;
            const int a = integer(0, n - 1);
            const int b = integer(a, n);
            EXPECT_EQ(strictCrossing(c, p, a, b), plain::crossing(pts, p, a, b)) << "p = " << p;
        }

        const double ultimateLoad = (1 - 0.15) * peakLoad;
        const double ultimateDisp = plain::crossing(pts, ultimateLoad, m, n - 1).value_or(lastDisp);
        EXPECT_EQ(strictCrossing(c, ultimateLoad, m, n - 1), plain::crossing(pts, ultimateLoad, m, n - 1));

        const double stiffness = uniform(0.2, 3.0) * (peakLoad - pts[0].y) / (peakDisp - pts[0].x);
        expectSameOutcome(geometricMethod(c, stiffness, peakLoad, ultimateDisp),
                          plain::geometric(pts, stiffness, peakLoad, ultimateDisp), "geometric");
        const double factor = uniform(0.05, 0.95);
        expectSameOutcome(parkMethod(c, factor, peakLoad, ultimateDisp),
                          plain::park(pts, factor, peakLoad, ultimateDisp), "park");
        expectSameOutcome(energyMethod(c, m, peakLoad, peakDisp, ultimateDisp),
                          plain::energy(pts, m, peakLoad, peakDisp, ultimateDisp), "energy");
    }
}

// Curves longer than the blocks the area is summed in: the same bits as the plain loop,
// and an overflow in a later block still fails the method.
TEST(EnergyMethod, LongCurvesAgreeBitForBitAndOverflowsStillFail)
{
    std::mt19937_64 rng(12512);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const int n : {4097, 9000, 14000}) {
        SCOPED_TRACE(n);
        const int m = n * 2 / 3;
        std::vector<Point> pts;
        double x = -1.5;
        double y = 3.0;
        for (int i = 0; i < n; ++i) {
            pts.push_back({x, y});
            x += 0.001 + unit(rng) * 0.01;
            y += (i < m ? 1.0 : -1.0) * unit(rng) * 0.05;
        }
        Series c;
        c.assignStableSorted(pts);
        const Point peak = pts[static_cast<std::size_t>(m)];
        expectSameOutcome(energyMethod(c, m, peak.y, peak.x, pts.back().x),
                          plain::energy(pts, m, peak.y, peak.x, pts.back().x), "energy");
    }

    // Loads of 1e305 from point 6000 on, 1e4 apart: the trapezoid there is 2e309.
    std::vector<Point> pts;
    for (int i = 0; i < 10000; ++i)
        pts.push_back({i * 1e4, i < 6000 ? i : i < 8000 ? 1e305 : 0.0});
    Series c;
    c.assignStableSorted(pts);
    EXPECT_TRUE(raises(Kind::Overflow, [&] { energyMethod(c, 6000, 1e305, 6e7, 9.999e7); }));
    EXPECT_NO_THROW(energyMethod(c, 5999, 5999, 5.999e7, 9.999e7));
}

}  // namespace
}  // namespace rz

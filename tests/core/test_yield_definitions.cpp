// The yield definitions of the standards on worked, smooth, ideal and degenerate curves.
#include "YieldTestCurves.h"

#include "core/analysis/Analysis.h"
#include "core/methods/CurveSearch.h"
#include "core/methods/YieldMethods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

// The peak as the import finds it: the first point with the largest load.
CurveFacts factsOf(const Series& c, double ultimateDisp)
{
    int peak = 0;
    for (int i = 1; i < c.count(); ++i)
        if (c.y(i) > c.y(peak))
            peak = i;
    return {c.y(peak), c.x(peak), peak, ultimateDisp};
}

const YieldMethod& method(std::string_view key)
{
    for (const YieldMethod& m : otherYieldMethods())
        if (key == m.key)
            return m;
    throw std::invalid_argument(std::string(key));
}

struct Expected {
    const char* key;
    double yieldLoad, yieldDisp, ductility, stiffness, ultimateDisp;
    std::vector<Point> polyline;
};

void expectResult(const YieldDefinitionResult& r, const Expected& e, double tol)
{
    SCOPED_TRACE(e.key);
    ASSERT_TRUE(r.found) << r.note.toStdString();
    EXPECT_NEAR(r.yieldLoad, e.yieldLoad, tol);
    EXPECT_NEAR(r.yieldDisp, e.yieldDisp, tol);
    EXPECT_NEAR(r.ductility, e.ductility, tol);
    EXPECT_NEAR(r.stiffness, e.stiffness, tol);
    EXPECT_NEAR(r.ultimateDisp, e.ultimateDisp, tol);
    EXPECT_EQ(r.yieldPoint, (Point{r.yieldDisp, r.yieldLoad}));
    ASSERT_EQ(r.polyline.size(), e.polyline.size());
    for (std::size_t i = 0; i < e.polyline.size(); ++i) {
        EXPECT_NEAR(r.polyline[i].x, e.polyline[i].x, tol) << "polyline point " << i;
        EXPECT_NEAR(r.polyline[i].y, e.polyline[i].y, tol) << "polyline point " << i;
    }
}

// ---------------------------------------------------------------------------------------
// The five definitions on the worked example, Pmax = 120 at 30 and an ultimate of 39.

TEST(YieldDefinitions, WorkedExample)
{
    const Series c = workedExample();
    const CurveFacts facts = factsOf(c, 39.0);
    ASSERT_EQ(facts.peakIndex, 3000);
    // EEEP: Ke = 48 / 4.8 = 10; du = 42; 2A/Ke = 799.2; Py = (42 - sqrt(1764 - 799.2)) * 10
    // = 420 - 10 sqrt(964.8) with sqrt(964.8) = 31.0612298533074829696...
    const double root = 31.06122985330748296962653197;
    // EN 12512: k1 = 36 / (4.8 - 1.2) = 10, k2 = 10/6; y - k2 x is largest at (10, 100):
    // c = 100 - 100/6 = 250/3; dy = (250/3 - 12 + 12) / (50/6) = 10, Py = 100/6 + 250/3 = 100.
    // Line 1 meets zero load at 1.2 - 12/10 = 0; line 2 reaches 30 at 50 + 250/3.
    // Farthest point: w - u is x/20 up to 10 and (90 - 3x)/120 after: 0.5 at (10, 100).
    // The chord reaches 120 * 10/30 = 40 at x = 10.
    // ASCE 41: Vt = 102, A = 3699; from Vy = 120, 0.6 Vy = 72 lies on the first branch, so
    // Ke = 10 and Vy' = (7398 - 3978) / (39 - 10.2) = 118.75; its 71.25 is there too, so the
    // next round repeats 118.75. dy = 11.875, post-yield (102 - 118.75) / 27.125.
    // EN 1998: dy = 2 (39 - 3699/120) = 2 * 8.175 = 16.35; Fy / dy = 120 / 16.35.
    const Expected expected[] = {
        {"EEEP_ASTM_E2126",
         420 - 10 * root,
         42 - root,
         42 / (42 - root),
         10,
         42,
         {{0, 0}, {42 - root, 420 - 10 * root}, {42, 420 - 10 * root}}},
        {"EN_12512", 100, 10, 4.2, 10, 42, {{0, 0}, {10, 100}, {30, 50 + 250.0 / 3}}},
        {"FarthestPoint", 100, 10, 3.9, 10, 39, {{0, 0}, {10, 40}, {10, 100}, {10, 40}, {30, 120}}},
        {"Bilinear_ASCE_41", 118.75, 11.875, 39 / 11.875, 10, 39, {{0, 0}, {11.875, 118.75}, {39, 102}}},
        {"EqualEnergy_EN_1998", 120, 16.35, 39 / 16.35, 120 / 16.35, 39, {{0, 0}, {16.35, 120}, {39, 120}}},
    };
    for (const Expected& e : expected) {
        const YieldDefinitionResult r = method(e.key).compute(c, facts);
        expectResult(r, e, kWorkedTolerance);
        EXPECT_TRUE(r.note.isEmpty()) << e.key << ": " << r.note.toStdString();
    }
    // The digits docs/methods.md prints, truncated where it writes "…".
    EXPECT_EQ(std::floor(eeepAstmE2126(c, facts).yieldLoad * 1e6), 109387701.0);
    EXPECT_EQ(std::floor(eeepAstmE2126(c, facts).yieldDisp * 1e6), 10938770.0);
    EXPECT_EQ(std::floor(eeepAstmE2126(c, facts).ductility * 1e6), 3839554.0);
    EXPECT_EQ(std::floor(bilinearAsce41(c, facts).ductility * 1e6), 3284210.0);
    EXPECT_EQ(std::floor(equalEnergyEn1998(c, facts).ductility * 1e6), 2385321.0);
    EXPECT_NEAR(*bilinearAsce41(c, facts).postYieldStiffness, -16.75 / 27.125, kWorkedTolerance);
}

// The table is the one list the window, report, workbook and JSON iterate: its order and
// keys are a public format, and each key must run its own definition.
TEST(YieldMethods, TableKeysOrderAndFunctions)
{
    const char* keys[] = {"EEEP_ASTM_E2126", "EN_12512", "FarthestPoint", "Bilinear_ASCE_41", "EqualEnergy_EN_1998"};
    const YieldDefinition functions[] = {&eeepAstmE2126, &tangentEn12512, &farthestPoint, &bilinearAsce41,
                                         &equalEnergyEn1998};
    const auto table = otherYieldMethods();
    ASSERT_EQ(table.size(), 5u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_STREQ(table[i].key, keys[i]);
        EXPECT_EQ(table[i].compute, functions[i]) << keys[i];
        EXPECT_STRNE(table[i].title, "");
        EXPECT_STRNE(table[i].source, "");
    }
}

// ---------------------------------------------------------------------------------------
// A smooth curve: P(d) = 100 (d/10) e^(1 - d/10), peak 100 at 10, sampled every h = 0.001
// up to 60. With s = d/10: P' = 10 e^(1-s) (1-s), P'' = e^(1-s) (s-2), |P''| <= 2e, and
// A(d) = 1000 (e - (s+1) e^(1-s)). Every level P = 100 f is reached at s = -W(-f/e) on the
// rising branch and on the other branch of W past the peak; the values below solve these
// by Newton's method to 30 digits. Sampling errors (h = 0.001):
//   a searched displacement by linear interpolation: <= h^2 |P''| / (8 |P'|) <= 3.1e-8;
//   the load at the ultimate: <= h^2 |P''| / 8 = 2e-8;
//   an area up to b <= 18.3: <= b h^2 max|P''| / 12 <= 8.5e-6;
//   EN 12512's c, the largest sample of P - k2 d: <= h^2 |P''| / 8 = 2.1e-7 below the tangent.
// Each result was perturbed by these bounds in every sign combination through its exact
// formula; the tolerances are twice the largest change found.
struct Tolerance {
    double yieldLoad, yieldDisp, ductility, stiffness, ultimateDisp;
};

Series exponentialCurve()
{
    std::vector<Point> pts;
    for (int i = 0; i <= 60000; ++i) {
        const double d = i / 1000.0;
        pts.push_back({d, 100.0 * (d / 10.0) * std::exp(1.0 - d / 10.0)});
    }
    return curveOf(std::move(pts));
}

TEST(YieldDefinitions, SmoothExponentialCurve)
{
    const Series c = exponentialCurve();
    const double ultimate = 16.8323861307094035924525129;  // P = 85 past the peak
    const CurveFacts facts = factsOf(c, ultimate);
    ASSERT_EQ(facts.peakLoad, 100.0);
    ASSERT_EQ(facts.peakDisp, 10.0);
    constexpr double h = 0.001;
    struct Row {
        Expected want;
        Tolerance tol;
    } rows[] = {
        // d0.4 = 1.7535650052929935, Ke = 22.810674186165468, du0.8 = 18.243883090329846,
        // A = 1479.7786896047740.
        {{"EEEP_ASTM_E2126",
          91.0772636776943151,
          3.99274755907618505,
          4.56925533618033004,
          22.8106741861654677,
          18.2438830903298461,
          {}},
         {1.6e-6, 2e-7, 2.3e-7, 7.2e-7, 6e-9}},
        // d0.1 = 0.38221241746799432, k1 = 21.876212045204784, tangent at 7.2347839610313404,
        // c = 69.014912377231661.
        {{"EN_12512",
          82.4901668308460284,
          3.69586501331288182,
          4.93629583997616875,
          21.8762120452047841,
          18.2438830903298461,
          {}},
         {2.6e-6, 3.3e-7, 4.4e-7, 1.7e-6, 6e-9}},
        // The tangent is parallel to the chord (slope 10) where e^(1-s)(1-s) = 1, i.e.
        // 1 - s = W(1) = 0.567143...: d = 4.3285670959021613. The largest sample is within h
        // of it; P' = 10 there, so its load is within 10 h (+ h^2 max|P''|/2), y/x (slope
        // -1.76 in d) within 2 h and du/x (slope -0.9) within h.
        {{"FarthestPoint",
          76.3222834351896710,
          4.32856709590216127,
          3.88867395555553761,
          17.6322283435189671,
          ultimate,
          {}},
         {10.01 * h, h, h, 2 * h, 0}},
        // The iteration's fixed point: Vt = 85, A = 1363.3029185175487, d0.6 = 3.1046653936010506.
        {{"Bilinear_ASCE_41",
          103.115541663163057,
          5.17444232266841759,
          3.25298555497843093,
          19.9278560341527229,
          ultimate,
          {}},
         {3.8e-6, 3.8e-7, 2.4e-7, 7.2e-7, 0}},
        // Em = A(du) as above: dy = 2 (du - Em / 100).
        {{"EqualEnergy_EN_1998", 100, 6.39871389106783408, 2.63058896166716575, 15.6281405454919846, ultimate, {}},
         {0, 3.1e-7, 1.3e-7, 7.5e-7, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want.key);
        const YieldDefinitionResult r = method(row.want.key).compute(c, facts);
        ASSERT_TRUE(r.found) << r.note.toStdString();
        EXPECT_TRUE(r.note.isEmpty()) << r.note.toStdString();
        EXPECT_NEAR(r.yieldLoad, row.want.yieldLoad, row.tol.yieldLoad);
        EXPECT_NEAR(r.yieldDisp, row.want.yieldDisp, row.tol.yieldDisp);
        EXPECT_NEAR(r.ductility, row.want.ductility, row.tol.ductility);
        EXPECT_NEAR(r.stiffness, row.want.stiffness, row.tol.stiffness);
        EXPECT_NEAR(r.ultimateDisp, row.want.ultimateDisp, row.tol.ultimateDisp);
    }
    // Post-yield stiffness (85 - Vy) / (du - dy); first-order bound 1.9e-7.
    EXPECT_NEAR(*bilinearAsce41(c, facts).postYieldStiffness, -1.55392254084017690, 3.8e-7);
}

// ---------------------------------------------------------------------------------------
// The ideal elasto-plastic curve (0,0), (10,100), (40,100): every definition built on an
// elastic branch and an area finds the corner. The load never falls, so the ultimate is
// the last displacement, 40.

TEST(YieldDefinitions, ElastoPlasticCurveYieldsAtTheCorner)
{
    std::vector<Point> sampled;
    for (int i = 0; i <= 4000; ++i)
        sampled.push_back({i / 100.0, i <= 1000 ? i / 10.0 : 100.0});
    const std::pair<const char*, Series> curves[] = {
        {"three points", curveOf({{0, 0}, {10, 100}, {40, 100}})},
        {"every 0.01", curveOf(std::move(sampled))},
    };
    for (const auto& [name, c] : curves) {
        SCOPED_TRACE(name);
        const CurveFacts facts = factsOf(c, 40.0);
        for (const char* key : {"EEEP_ASTM_E2126", "EN_12512", "Bilinear_ASCE_41", "EqualEnergy_EN_1998"}) {
            SCOPED_TRACE(key);
            const YieldDefinitionResult r = method(key).compute(c, facts);
            ASSERT_TRUE(r.found) << r.note.toStdString();
            EXPECT_NEAR(r.yieldDisp, 10.0, kWorkedTolerance);
            EXPECT_NEAR(r.yieldLoad, 100.0, kWorkedTolerance);
            EXPECT_NEAR(r.ductility, 4.0, kWorkedTolerance);
            EXPECT_NEAR(r.ultimateDisp, 40.0, 0.0);
        }
        EXPECT_EQ(eeepAstmE2126(c, facts).note, QStringLiteral("failure load not reached"));
        EXPECT_EQ(tangentEn12512(c, facts).note, QStringLiteral("failure load not reached"));
        EXPECT_NEAR(*bilinearAsce41(c, facts).postYieldStiffness, 0.0, kWorkedTolerance);
        // The peak is the corner, so the chord is the elastic branch itself: nothing lies
        // above it, even where the decimal samples round a hair above it.
        const YieldDefinitionResult farthest = farthestPoint(c, facts);
        EXPECT_FALSE(farthest.found);
        EXPECT_EQ(farthest.note, QStringLiteral("no point lies above the chord"));
    }
}

// ---------------------------------------------------------------------------------------
// Degenerate curves: each definition either finds a finite result, with the note the case
// calls for, or is not found with a note naming the step.

struct Degenerate {
    const char* what;
    std::vector<Point> curve;
    double ultimate;
    const char* key;
    bool found;
    const char* note;
    std::optional<Point> yield = std::nullopt;  // (yieldDisp, yieldLoad) when it matters
    double ductility = 0.0;
};

// The areas summed and the failure displacement searched once for all (as the window
// computes them) change no bit of any result, and no note: some curves drop past the peak
// from near the largest double to its negative, so that the failure search overflows.
TEST(YieldDefinitions, SharedAreasAndFailureChangeNothing)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int compared = 0;
    int failedAtFailureSearch = 0;
    for (int round = 0; round < 200; ++round) {
        const int n = 2 + static_cast<int>(random() % 300);
        std::vector<Point> pts;
        const double peakAt = unit(random);
        const double scale = round % 7 == 0 ? 1.5e306 : 1.0;
        for (int i = 0; i < n; ++i) {
            const double u = static_cast<double>(i) / n;
            const double shape = u < peakAt ? u / peakAt : 1 - (u - peakAt) * 1.5;
            pts.push_back({u * 40, scale * (100 * shape + unit(random) * (round % 4 == 0 ? 30 : 2))});
        }
        if (round % 7 == 0) {
            const auto peak = std::max_element(pts.begin(), pts.end(), [](Point a, Point b) { return a.y < b.y; });
            if (peak + 1 != pts.end())
                (peak + 1)->y = -1.5e308;
        }
        const Series c = curveOf(pts);
        CurveFacts facts = factsOf(c, c.x(n - 1) * (0.5 + unit(random) / 2));
        if (round % 5 == 0)
            facts.ultimateDisp = c.x(n - 1) + 1;  // beyond the curve: no area
        const FailureSearch failure = failureForDefinitions(c, facts);
        CurveFacts shared = facts;
        shared.failure = &failure;
        const CurveAreas areas = areasForDefinitions(c, shared);
        shared.areas = &areas;
        for (const YieldMethod& m : otherYieldMethods()) {
            SCOPED_TRACE(testing::Message() << m.key << ", round " << round);
            const YieldDefinitionResult a = m.compute(c, facts);
            const YieldDefinitionResult b = m.compute(c, shared);
            ASSERT_EQ(a.found, b.found);
            EXPECT_EQ(a.note, b.note);
            for (auto [u, v] : {std::pair{a.yieldLoad, b.yieldLoad},
                                {a.yieldDisp, b.yieldDisp},
                                {a.ductility, b.ductility},
                                {a.stiffness, b.stiffness}})
                EXPECT_EQ(std::bit_cast<std::uint64_t>(u), std::bit_cast<std::uint64_t>(v));
            EXPECT_EQ(a.polyline, b.polyline);
            compared += a.found;
            failedAtFailureSearch += a.note.startsWith(QLatin1String("0.8 Pmax: "));
        }
    }
    EXPECT_GT(compared, 400);
    EXPECT_GT(failedAtFailureSearch, 10);
}

// Curves longer than the blocks the loops check their results in: the area, EN 12512's
// touching line and the farthest point are those of plain loops, bit for bit, and a
// failure far down the curve is still the step's note.
TEST(YieldDefinitions, LongCurvesAgreeWithPlainLoopsAndFailWhereTheyDo)
{
    std::mt19937_64 random(1998);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Point> pts;
    double x = 0.0;
    for (int i = 0; i < 15000; ++i) {
        const double u = i / 15000.0;
        pts.push_back({x, 100.0 * std::sin(2.6 * u) * (1.0 + 0.02 * unit(random))});
        x += 0.001 + 0.002 * unit(random);
    }
    const Series c = curveOf(pts);
    const CurveFacts facts = factsOf(c, c.x(14000));
    ASSERT_GT(facts.peakIndex, 8192);

    const auto plainArea = [&](double disp) {
        double area = 0.0;
        std::size_t i = 0;
        for (; i + 1 < pts.size() && pts[i + 1].x <= disp; ++i)
            area = area + (pts[i].y + pts[i + 1].y) * (pts[i + 1].x - pts[i].x) * 0.5;
        if (i + 1 < pts.size() && pts[i].x < disp) {
            const double offset = disp - pts[i].x;
            const double load = pts[i].y + offset * (pts[i + 1].y - pts[i].y) / (pts[i + 1].x - pts[i].x);
            area = area + (pts[i].y + load) * offset * 0.5;
        }
        return area;
    };
    for (const double disp : {c.x(0), c.x(4096), 0.5 * (c.x(4096) + c.x(4097)), c.x(9000) + 1e-4, c.x(14999)})
        EXPECT_EQ(areaUpTo(c, disp), plainArea(disp)) << disp;

    const YieldDefinitionResult equalEnergy = method("EqualEnergy_EN_1998").compute(c, facts);
    ASSERT_TRUE(equalEnergy.found);
    EXPECT_EQ(equalEnergy.yieldDisp, 2.0 * (facts.ultimateDisp - plainArea(facts.ultimateDisp) / facts.peakLoad));

    // EN 12512: Py = k2 dy + c, c the largest y - k2 x up to the peak and k2 = k1 / 6.
    const YieldDefinitionResult en = method("EN_12512").compute(c, facts);
    ASSERT_TRUE(en.found) << en.note.toStdString();
    const double k2 = en.stiffness / 6.0;
    double intercept = pts[0].y - k2 * pts[0].x;
    for (int i = 1; i <= facts.peakIndex; ++i)
        intercept = std::max(intercept, pts[static_cast<std::size_t>(i)].y - k2 * pts[static_cast<std::size_t>(i)].x);
    EXPECT_EQ(en.yieldLoad, k2 * en.yieldDisp + intercept);

    // The farthest point: the first within 1e-12 of the largest y / Pmax - x / dpeak.
    const auto distance = [&](std::size_t i) { return pts[i].y / facts.peakLoad - pts[i].x / facts.peakDisp; };
    double farthest = distance(0);
    for (std::size_t i = 1; i <= static_cast<std::size_t>(facts.peakIndex); ++i)
        farthest = std::max(farthest, distance(i));
    std::size_t chosen = 0;
    while (distance(chosen) < farthest - 1e-12)
        ++chosen;
    const YieldDefinitionResult far = method("FarthestPoint").compute(c, facts);
    ASSERT_TRUE(far.found) << far.note.toStdString();
    EXPECT_EQ(far.yieldPoint, pts[chosen]);

    // Failures from point 6000 on, past the first block.
    const auto noteOn = [](const std::vector<Point>& curve, const char* key) {
        const Series s = curveOf(curve);
        const YieldDefinitionResult r = method(key).compute(s, factsOf(s, s.x(s.count() - 1)));
        EXPECT_FALSE(r.found) << key;
        return r.note.toStdString();
    };
    std::vector<Point> deep;  // a load of -1e300 under a peak of 1e-10: w overflows
    for (int i = 0; i < 10000; ++i)
        deep.push_back({i + 1.0, i == 6000 ? -1e300 : i == 8000 ? 1e-10 : 1e-11});
    EXPECT_EQ(noteOn(deep, "FarthestPoint"), "u = x / dpeak, w = y / Pmax: overflow");
    // k1 = 30 / (4e-290 / 90 - 1e-290 / 90) and k2 = k1 / 6 = 1.5e291: k2 x overflows
    // from point 11985 on, before the peak.
    std::vector<Point> steep{{0.0, 0.0}, {1e-290, 90.0}};
    for (int i = 2; i < 14000; ++i)
        steep.push_back({i * 1e13, i < 13000 ? 99.0 : i == 13000 ? 100.0 : 50.0});
    EXPECT_EQ(noteOn(steep, "EN_12512"), "c: overflow");
    std::vector<Point> heavy;  // loads of 1e305, 1e4 apart, from point 6000 on
    for (int i = 0; i < 10000; ++i)
        heavy.push_back({i * 1e4, i < 6000 ? 1.0 * i : 1e305});
    EXPECT_EQ(noteOn(heavy, "EqualEnergy_EN_1998"), "area Em: overflow");
}

// EN 12512 with the yield point beyond the peak: the construction ends where the line of
// slope k2 touches the curve, and where it touches at several points, at the first. Here
// k1 = 30 / (3.5 - 1) = 12 and k2 = 2 exactly, y - 2x = 90 at x = 4, 4.5 and 5 (the
// peak), dy = (90 - 10 + 12) / 10 = 9.2; the first touch at an even and at an odd index.
TEST(YieldDefinitions, En12512TouchesAtTheFirstOfEqualIntercepts)
{
    const std::vector<Point> tail{{4, 98}, {4.5, 99}, {5, 100}, {6, 70}, {7, 50}};
    for (const bool evenFirst : {true, false}) {
        SCOPED_TRACE(evenFirst ? "first touch at index 4" : "first touch at index 3");
        std::vector<Point> pts{{0, 0}, {1, 10}, {3.5, 40}};
        if (evenFirst)
            pts.push_back({3.75, 50});
        pts.insert(pts.end(), tail.begin(), tail.end());
        const Series c = curveOf(pts);
        const YieldDefinitionResult r = method("EN_12512").compute(c, factsOf(c, 7.0));
        ASSERT_TRUE(r.found) << r.note.toStdString();
        EXPECT_EQ(r.yieldDisp, 9.2);
        ASSERT_EQ(r.polyline.size(), 3u);
        EXPECT_EQ(r.polyline[2], (Point{4.0, 98.0}));
    }
}

TEST(YieldDefinitions, DegenerateCurves)
{
    const std::vector<Point> noFall = {{0, 0}, {10, 100}, {20, 90}};
    const std::vector<Point> startsHigh = {{0, 50}, {10, 100}, {20, 60}};
    const std::vector<Point> flatPeak = {{0, 0}, {10, 100}, {20, 100}, {30, 50}};
    const std::vector<Point> twoPoints = {{0, 0}, {10, 100}};
    const std::vector<Point> zeros = {{0, 0}, {1, 0}, {2, 0}};
    const double root110 = 10.48808848170151547;  // sqrt(20^2 - 2 * 1450 / 10)
    const double root204 = 14.28285685708570000;  // sqrt(24^2 - 2 * 1860 / 10)
    const Degenerate cases[] = {
        // Never falls to 80 %: the last point is the ultimate, A = 500 + 950.
        {"no fall", noFall, 20, "EEEP_ASTM_E2126", true, "failure load not reached",
         Point{20 - root110, 200 - 10 * root110}, 20 / (20 - root110)},
        {"no fall", noFall, 20, "EN_12512", true, "failure load not reached", Point{10, 100}, 2.0},
        // Soft start: Ke = 40/10 = 4, du = 12 + 2/3, A = 430 > du^2 Ke / 2: Py = 85, dy = 21.25.
        {"negative root",
         {{0, 0}, {10, 40}, {11, 100}, {12, 100}, {13, 70}},
         12.5,
         "EEEP_ASTM_E2126",
         true,
         "negative root: Py = 85 % of Pmax",
         Point{21.25, 85},
         (12 + 2 / 3.) / 21.25},
        {"starts above 0.4 Pmax", startsHigh, 13.75, "EEEP_ASTM_E2126", false,
         "rising search for 40 % of Pmax found nothing"},
        {"starts above 0.4 Pmax", startsHigh, 13.75, "EN_12512", false, "rising search for 10 % of Pmax found nothing"},
        {"starts above 0.4 Pmax", startsHigh, 13.75, "FarthestPoint", false, "stiffness y / x: division by zero"},
        {"starts above 0.6 Pmax",
         {{0, 70}, {10, 100}, {20, 50}},
         13,
         "Bilinear_ASCE_41",
         false,
         "rising search for 60 % of Vy found nothing"},
        // Em = 750 + (100 + 85) / 2 * 3.75 = 1096.875: dy = 2 (13.75 - 10.96875).
        {"starts above 0.4 Pmax", startsHigh, 13.75, "EqualEnergy_EN_1998", true, "", Point{5.5625, 100},
         13.75 / 5.5625},
        // The peak is the first of the level points, so the chord is the elastic branch.
        {"flat peak", flatPeak, 23, "FarthestPoint", false, "no point lies above the chord"},
        {"flat peak", flatPeak, 23, "EEEP_ASTM_E2126", true, "", Point{24 - root204, 240 - 10 * root204},
         24 / (24 - root204)},
        // Vt = 85, A = 1777.5: Vy = 1600 / 14.5, whose 60 % still lies on the first branch.
        {"flat peak", flatPeak, 23, "Bilinear_ASCE_41", true, "", Point{160 / 14.5, 1600 / 14.5}, 23 / (160 / 14.5)},
        {"flat peak", flatPeak, 23, "EqualEnergy_EN_1998", true, "", Point{10.45, 100}, 23 / 10.45},
        {"one point", {{5, 10}}, 5, "EEEP_ASTM_E2126", false, "curve has fewer than two points"},
        {"one point", {{5, 10}}, 5, "EN_12512", false, "curve has fewer than two points"},
        {"one point", {{5, 10}}, 5, "FarthestPoint", false, "curve has fewer than two points"},
        {"one point", {{5, 10}}, 5, "Bilinear_ASCE_41", false, "curve has fewer than two points"},
        {"one point", {{5, 10}}, 5, "EqualEnergy_EN_1998", false, "curve has fewer than two points"},
        // Two points: the area of the line equals that of the triangle, so the root is 0.
        {"two points", twoPoints, 10, "EEEP_ASTM_E2126", true, "failure load not reached", Point{10, 100}, 1.0},
        {"two points", twoPoints, 10, "EN_12512", true, "failure load not reached", Point{10, 100}, 1.0},
        {"two points", twoPoints, 10, "FarthestPoint", false, "no point lies above the chord"},
        // 2A - Vt dt = 1000 - 1000 over dt - Vt/Ke = 10 - 10.
        {"two points", twoPoints, 10, "Bilinear_ASCE_41", false, "Vy: zero divided by zero"},
        {"two points", twoPoints, 10, "EqualEnergy_EN_1998", true, "", Point{10, 100}, 1.0},
        {"all loads zero", zeros, 2, "EEEP_ASTM_E2126", false, "rising search for 40 % of Pmax found nothing"},
        {"all loads zero", zeros, 2, "EN_12512", false, "rising search for 10 % of Pmax found nothing"},
        {"all loads zero", zeros, 2, "FarthestPoint", false, "u = x / dpeak, w = y / Pmax: zero divided by zero"},
        {"all loads zero", zeros, 2, "Bilinear_ASCE_41", false, "rising search for 60 % of Vy found nothing"},
        {"all loads zero", zeros, 2, "EqualEnergy_EN_1998", false, "dy: zero divided by zero"},
        // A vertical segment holds both 10 % and 40 % of the peak.
        {"vertical rise",
         {{0, 0}, {1, 0}, {1, 100}, {5, 120}, {6, 80}},
         5.5,
         "EN_12512",
         false,
         "k1: division by zero"},
        // The first two points share the target displacement: the load there is 0/0.
        {"load at dt is 0/0",
         {{0, 0}, {0, 50}, {10, 100}, {20, 60}},
         0,
         "Bilinear_ASCE_41",
         false,
         "load at the target displacement: zero divided by zero"},
        {"ultimate beyond the curve", noFall, 25, "EqualEnergy_EN_1998", false, "area Em outside the curve"},
        {"ultimate beyond the curve", noFall, 25, "Bilinear_ASCE_41", false, "area A(dt) outside the curve"},
        // 2A - Vt dt = -360; Vy alternates 120 (0.6 Vy on the third segment, Ke = 72/17.4)
        // and 96 (on the first, Ke = 30/7); the hundredth round gives 96: dy = 22.4.
        {"iteration alternates",
         {{0, 0}, {14, 60}, {16, 30}, {18, 90}},
         18,
         "Bilinear_ASCE_41",
         true,
         "not converged in 100 rounds",
         Point{22.4, 96},
         18 / 22.4},
        // (2, 60) and (4, 80) lie equally far (0.4) above the chord, though rounding puts
        // 0.6 - 0.2 an ulp below 0.8 - 0.4: the first is taken.
        {"two farthest points",
         {{0, 0}, {2, 60}, {4, 80}, {10, 100}, {12, 70}},
         11,
         "FarthestPoint",
         true,
         "",
         Point{2, 60},
         5.5},
    };
    for (const Degenerate& k : cases) {
        SCOPED_TRACE(std::string(k.what) + " / " + k.key);
        const Series c = curveOf(k.curve);
        const YieldDefinitionResult r = method(k.key).compute(c, factsOf(c, k.ultimate));
        EXPECT_EQ(r.found, k.found);
        EXPECT_EQ(r.note, QString::fromLatin1(k.note));
        if (!k.found) {
            EXPECT_TRUE(r.polyline.empty());
            EXPECT_EQ(r.yieldLoad, 0.0);
            EXPECT_EQ(r.yieldDisp, 0.0);
            continue;
        }
        for (double v : {r.yieldLoad, r.yieldDisp, r.ductility, r.stiffness, r.ultimateDisp})
            EXPECT_TRUE(std::isfinite(v));
        if (k.yield) {
            EXPECT_NEAR(r.yieldDisp, k.yield->x, 1e-12);
            EXPECT_NEAR(r.yieldLoad, k.yield->y, 1e-12);
            EXPECT_NEAR(r.ductility, k.ductility, 1e-12);
        }
    }
}

}  // namespace
}  // namespace rz

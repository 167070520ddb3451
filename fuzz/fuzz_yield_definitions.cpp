// The yield definitions of the standards on fuzzed curves: small grids that make equal
// loads and vertical segments common, raw doubles of any magnitude, and ramps that rise
// and fall like test records. Invariants: nothing throws; a found result is finite and
// consistent with itself; a result that is not found says why and draws nothing; and
// where a definition guarantees it, its displacements lie on the curve.
#include "core/analysis/Analysis.h"
#include "core/methods/CurveSearch.h"
#include "core/methods/YieldMethods.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void require(bool condition, const char* what, const char* key = "")
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s [%s]\n", what, key);
        std::abort();
    }
}

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

std::vector<rz::Point> fuzzedPoints(FuzzedDataProvider& in)
{
    std::vector<rz::Point> pts;
    const int n = in.ConsumeIntegralInRange(0, 200);
    const int shape = in.ConsumeIntegralInRange(0, 2);
    double x = 0.0;
    double y = 0.0;
    for (int i = 0; i < n && in.remaining_bytes() > 0; ++i) {
        switch (shape) {
            case 0:  // a coarse grid
                x = in.ConsumeIntegralInRange(-8, 64) / 4.0;
                y = in.ConsumeIntegralInRange(-20, 120) / 2.0;
                break;
            case 1:  // anything finite
                x = finiteOrZero(in.ConsumeFloatingPoint<double>());
                y = finiteOrZero(in.ConsumeFloatingPoint<double>());
                break;
            default:  // a record: displacement steps forward, the load rises and falls
                x += in.ConsumeIntegralInRange(0, 10) / 10.0;
                y += in.ConsumeIntegralInRange(-30, 40);
                break;
        }
        pts.push_back({x, y});
    }
    return pts;
}

// Rounding of an interpolation can step a few ulps past its segment's ends; a search that
// took the wrong segment is off by whole segments.
bool within(double v, double lo, double hi)
{
    const double slack = 1e-9 * (std::abs(lo) + std::abs(hi));
    return v >= lo - slack && v <= hi + slack;
}

void checkResult(const rz::YieldMethod& m, const rz::YieldDefinitionResult& r, const rz::Series& c,
                 const rz::CurveFacts& facts)
{
    const char* key = m.key;
    if (!r.found) {
        require(!r.note.isEmpty(), "not found without a note", key);
        require(r.polyline.empty(), "not found but drawn", key);
        return;
    }
    for (double v :
         {r.yieldLoad, r.yieldDisp, r.ductility, r.stiffness, r.ultimateDisp, r.yieldPoint.x, r.yieldPoint.y})
        require(std::isfinite(v), "found with a number that is not finite", key);
    for (const rz::Point& p : r.polyline)
        require(std::isfinite(p.x) && std::isfinite(p.y), "construction point not finite", key);
    require(!r.postYieldStiffness || std::isfinite(*r.postYieldStiffness), "post-yield stiffness not finite", key);
    require(r.polyline.size() >= 3, "construction missing", key);
    require(r.yieldPoint.x == r.yieldDisp && r.yieldPoint.y == r.yieldLoad, "yield point is not the result", key);
    require(r.ductility == r.ultimateDisp / r.yieldDisp, "ductility is not ultimate / yield", key);

    const int n = c.count();
    const std::string_view k(key);
    if (k == "FarthestPoint") {
        bool onCurve = false;
        for (int i = 0; i <= facts.peakIndex && !onCurve; ++i)
            onCurve = c.x(i) == r.yieldDisp && c.y(i) == r.yieldLoad;
        require(onCurve, "farthest point is not a curve point up to the peak", key);
        require(r.ultimateDisp == facts.ultimateDisp, "ultimate is not the one given", key);
    } else if (k == "EEEP_ASTM_E2126" || k == "EN_12512") {
        require(within(r.ultimateDisp, facts.peakDisp, c.x(n - 1)), "failure displacement off the falling branch", key);
    } else {
        require(r.ultimateDisp == facts.ultimateDisp, "ultimate is not the one given", key);
        require(within(r.ultimateDisp, c.x(0), c.x(n - 1)), "found with an ultimate off the curve", key);
    }
    if (k == "EqualEnergy_EN_1998")
        require(r.yieldLoad == facts.peakLoad, "EN 1998 yield load is not the peak", key);
}

void checkSearches(const rz::Series& c, const rz::CurveFacts& facts, double p)
{
    try {
        if (const auto x = rz::risingSearch(c, facts.peakIndex, p))
            require(within(*x, c.x(0), facts.peakDisp), "rising search beyond the peak");
        if (const auto x = rz::fallingSearch(c, facts.peakIndex, p))
            require(within(*x, facts.peakDisp, c.x(c.count() - 1)), "falling search before the peak");
    } catch (const rz::ArithmeticError&) {
        // An overflow of huge coordinates is the one failure the searches may raise.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    rz::Series curve;
    curve.assignStableSorted(fuzzedPoints(in));

    rz::CurveFacts facts;
    if (!curve.empty()) {
        facts.peakIndex = 0;
        for (int i = 1; i < curve.count(); ++i)
            if (curve.y(i) > curve.y(facts.peakIndex))
                facts.peakIndex = i;
        facts.peakLoad = curve.y(facts.peakIndex);
        facts.peakDisp = curve.x(facts.peakIndex);
    }
    // The ultimate as the window finds it, any point of the curve, or anything at all.
    const int n = curve.count();
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            facts.ultimateDisp = n == 0 ? 0.0 : curve.x(n - 1);
            try {
                if (n > 0) {
                    const double load = rz::checkedMul(0.85, facts.peakLoad);
                    if (const auto crossing = rz::strictCrossing(curve, load, facts.peakIndex, n - 1))
                        facts.ultimateDisp = *crossing;
                }
            } catch (const rz::ArithmeticError&) {
            }
            break;
        case 1:
            facts.ultimateDisp = n == 0 ? 0.0 : curve.x(in.ConsumeIntegralInRange(0, n - 1));
            break;
        default:
            facts.ultimateDisp = finiteOrZero(in.ConsumeFloatingPoint<double>());
            break;
    }

    try {
        for (const rz::YieldMethod& m : rz::otherYieldMethods())
            checkResult(m, m.compute(curve, facts), curve, facts);
        if (n > 0)
            checkSearches(curve, facts, n > 1 ? curve.y(in.ConsumeIntegralInRange(0, n - 1)) : facts.peakLoad);
    } catch (...) {
        require(false, "an exception escaped a yield definition");
    }
    return 0;
}

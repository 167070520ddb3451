#include "core/analysis/Analysis.h"

#include "core/analysis/LevelRuns.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace rz {

namespace {

bool encloses(double lo, double v, double hi) { return (lo <= v && v <= hi) || (lo >= v && v >= hi); }

// On the segment from (s0, r0) to (s1, r1), the r that belongs to s:
// r0 + (s - s0) * (r1 - r0) / (s1 - s0), the product before the division and the sum
// last, so an overflowing product or a zero-width segment fails exactly where it arises.
double interpolate(double s0, double r0, double s1, double r1, double s)
{
    const double offset = checkedSub(s, s0);
    const double rise = checkedSub(r1, r0);
    const double product = checkedMul(offset, rise);
    const double run = checkedSub(s1, s0);
    const double quotient = checkedDiv(product, run);
    return checkedAdd(r0, quotient);
}

// The methods build on the first point, so they need one; the driver only runs on a
// loaded curve, and a call without one is a programming error rather than a result.
void requirePoints(const Series& curve)
{
    if (curve.empty())
        throw std::invalid_argument("yield-point method on an empty curve");
}

// Everything after the construction: the series, the yield point and the ductility, whose
// failure does not take back what came before it.
MethodOutcome finish(std::vector<Point> linePoints, double yieldDisp, double yieldLoad, double ultimateDisp)
{
    MethodOutcome out;
    out.linePoints = std::move(linePoints);
    out.yieldPoint = {yieldDisp, yieldLoad};
    out.yieldLoad = yieldLoad;
    out.yieldDisp = yieldDisp;
    try {
        out.ductility = checkedDiv(ultimateDisp, yieldDisp);
    } catch (const ArithmeticError& e) {
        out.ductilityError = e.kind();
    }
    return out;
}

}  // namespace

double LoadAtDisp(const Series& curve, double u)
{
    // The first segment whose displacements enclose u. The store keeps them ascending, so
    // it is found by bisection: it ends at the first point at or beyond u, and starts there
    // too when that is the first point and lies at u.
    const std::vector<Point>& points = curve.points();
    if (points.size() < 2)
        return 0.0;
    const auto atOrBeyond =
        std::lower_bound(points.begin(), points.end(), u, [](const Point& p, double v) { return p.x < v; });
    if (atOrBeyond == points.end())
        return 0.0;
    const int k = static_cast<int>(atOrBeyond - points.begin());
    const int i = k == 0 ? 0 : k - 1;
    const double x0 = curve.x(i);
    const double x1 = curve.x(i + 1);
    if (!encloses(x0, u, x1))
        return 0.0;
    return interpolate(x0, curve.y(i), x1, curve.y(i + 1), u);
}

double DispAtLoad(const Series& curve, double p)
{
    const int n = curve.count();
    for (int i = 0; i + 1 < n; ++i) {
        i = endOfOneSide(curve, p, i, n - 1);
        if (i + 1 >= n)
            break;
        const double y0 = curve.y(i);
        const double y1 = curve.y(i + 1);
        if (encloses(y0, p, y1))
            return interpolate(y0, curve.x(i), y1, curve.x(i + 1), p);
    }
    return 0.0;
}

std::optional<double> strictCrossing(const Series& curve, double p, int a, int b)
{
    const int end = std::min(b, curve.count() - 1);
    for (int i = std::max(a, 0); i < end; ++i) {
        i = endOfOneSide(curve, p, i, end);
        if (i >= end)
            break;
        const double y0 = curve.y(i);
        const double y1 = curve.y(i + 1);
        if ((y0 > p && y1 < p) || (y0 < p && y1 > p))
            return interpolate(y0, curve.x(i), y1, curve.x(i + 1), p);
        // Landing on p is reaching it: loads recorded in whole units hit the level
        // exactly. The point itself is the answer; interpolating would only round it.
        if (y1 == p && y0 != p)
            return curve.x(i + 1);
    }
    return std::nullopt;
}

MethodOutcome geometricMethod(const Series& curve, double stiffness, double peakLoad, double ultimateDisp)
{
    requirePoints(curve);
    const double x0 = curve.x(0);
    const double y0 = curve.y(0);

    const double dispA = checkedDiv(peakLoad, stiffness);
    const double loadB = LoadAtDisp(curve, dispA);
    const double secantRise = checkedSub(loadB, y0);
    const double secantRun = checkedSub(dispA, x0);
    const double secant = checkedDiv(secantRise, secantRun);
    const double yieldDisp = checkedDiv(peakLoad, secant);
    const double yieldLoad = LoadAtDisp(curve, yieldDisp);

    return finish({{x0, y0}, {dispA, peakLoad}, {dispA, loadB}, {x0, y0}, {yieldDisp, peakLoad}, {yieldDisp, y0}},
                  yieldDisp, yieldLoad, ultimateDisp);
}

MethodOutcome parkMethod(const Series& curve, double loadFactor, double peakLoad, double ultimateDisp)
{
    requirePoints(curve);
    const double x0 = curve.x(0);
    const double y0 = curve.y(0);

    const double factoredLoad = checkedMul(loadFactor, peakLoad);
    const double factoredDisp = DispAtLoad(curve, factoredLoad);
    const double secantRise = checkedSub(factoredLoad, y0);
    const double secantRun = checkedSub(factoredDisp, x0);
    const double secant = checkedDiv(secantRise, secantRun);
    const double yieldDisp = checkedDiv(peakLoad, secant);
    const double yieldLoad = LoadAtDisp(curve, yieldDisp);

    return finish({{x0, y0}, {factoredDisp, factoredLoad}, {yieldDisp, peakLoad}, {yieldDisp, y0}}, yieldDisp,
                  yieldLoad, ultimateDisp);
}

MethodOutcome energyMethod(const Series& curve, int peakIndex, double peakLoad, double peakDisp,
                           double ultimateDisp)
{
    requirePoints(curve);
    if (peakIndex < 0 || peakIndex >= curve.count())
        throw std::out_of_range("peak index outside the curve");
    const double x0 = curve.x(0);
    const double y0 = curve.y(0);

    // Trapezoids above the level of the first point, up to the peak.
    const Point* p = curve.points().data();
    const double area = sumCheckedInBlocks(
        0.0, 0, peakIndex,
        [p, y0](int i) { return ((p[i].y - y0) + (p[i + 1].y - y0)) * (p[i + 1].x - p[i].x) * 0.5; },
        [&curve, y0](int i) {
            const double a = checkedSub(curve.y(i), y0);
            const double b = checkedSub(curve.y(i + 1), y0);
            const double w = checkedSub(curve.x(i + 1), curve.x(i));
            return checkedMul(checkedMul(checkedAdd(a, b), w), 0.5);
        });

    const double twicePeakDisp = checkedMul(2.0, peakDisp);
    const double twiceArea = checkedMul(2.0, area);
    const double height = checkedSub(peakLoad, y0);
    const double equivalentWidth = checkedDiv(twiceArea, height);
    const double yieldDisp = checkedSub(checkedSub(twicePeakDisp, equivalentWidth), x0);
    const double yieldLoad = LoadAtDisp(curve, yieldDisp);

    return finish({{x0, y0}, {yieldDisp, peakLoad}, {yieldDisp, y0}}, yieldDisp, yieldLoad, ultimateDisp);
}

}  // namespace rz

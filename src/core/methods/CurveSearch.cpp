#include "core/methods/CurveSearch.h"

#include "core/analysis/Arithmetic.h"

#include <algorithm>

namespace rz {

namespace {

// x_i + (p - y_i) * (x_{i+1} - x_i) / (y_{i+1} - y_i), in that order. Both searches only
// call it on segments whose loads differ, so the division never meets a zero.
double displacementAt(const Series& curve, int i, double p)
{
    const double rise = checkedSub(p, curve.y(i));
    const double width = checkedSub(curve.x(i + 1), curve.x(i));
    const double product = checkedMul(rise, width);
    const double height = checkedSub(curve.y(i + 1), curve.y(i));
    return checkedAdd(curve.x(i), checkedDiv(product, height));
}

// (a + b) * w * 0.5, as the trapezoids of the Energy Method are summed.
double trapezoid(double a, double b, double w)
{
    return checkedMul(checkedMul(checkedAdd(a, b), w), 0.5);
}

}  // namespace

std::optional<double> risingSearch(const Series& curve, int peakIndex, double p)
{
    const int last = std::min(peakIndex, curve.count() - 1);
    for (int i = 0; i < last; ++i) {
        if (curve.y(i) < p && p <= curve.y(i + 1))
            return displacementAt(curve, i, p);
    }
    return std::nullopt;
}

std::optional<double> fallingSearch(const Series& curve, int peakIndex, double p)
{
    for (int i = std::max(peakIndex, 0); i + 1 < curve.count(); ++i) {
        if (curve.y(i) > p && p >= curve.y(i + 1))
            return displacementAt(curve, i, p);
    }
    return std::nullopt;
}

std::optional<double> areaUpTo(const Series& curve, double disp)
{
    const int n = curve.count();
    // Written so that a NaN argument is refused too.
    if (n == 0 || !(curve.x(0) <= disp && disp <= curve.x(n - 1)))
        return std::nullopt;
    double area = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
        const double x0 = curve.x(i);
        const double x1 = curve.x(i + 1);
        if (x1 <= disp) {
            area = checkedAdd(area, trapezoid(curve.y(i), curve.y(i + 1), checkedSub(x1, x0)));
            continue;
        }
        // x0 <= disp < x1: the segment has a width, and its part up to disp closes the area.
        if (x0 < disp) {
            const double y0 = curve.y(i);
            const double offset = checkedSub(disp, x0);
            const double loadAtDisp =
                checkedAdd(y0, checkedDiv(checkedMul(offset, checkedSub(curve.y(i + 1), y0)), checkedSub(x1, x0)));
            area = checkedAdd(area, trapezoid(y0, loadAtDisp, offset));
        }
        break;
    }
    return area;
}

}  // namespace rz

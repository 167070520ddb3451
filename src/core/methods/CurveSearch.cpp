#include "core/methods/CurveSearch.h"

#include "core/analysis/Arithmetic.h"
#include "core/analysis/LevelRuns.h"

#include <QtGlobal>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

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

RisingSearch::RisingSearch(const Series& curve, int peakIndex)
    : curve_(&curve), last_(std::min(peakIndex, curve.count() - 1))
{
}

double RisingSearch::largestIn(int block) const
{
    const Point* points = curve_->points().data();
    const int begin = block * kBlock;
    const int end = std::min(begin + kBlock - 1, last_);
    // Four running maxima rather than one: each comparison would otherwise wait for the last.
    double largest[4];
    std::fill(std::begin(largest), std::end(largest), -std::numeric_limits<double>::infinity());
    int j = begin;
    for (; j + 3 <= end; j += 4) {
        for (int k = 0; k < 4; ++k) {
            const double y = points[j + k].y;
            largest[k] = y > largest[k] ? y : largest[k];
        }
    }
    for (; j <= end; ++j)
        largest[0] = points[j].y > largest[0] ? points[j].y : largest[0];
    return std::max({largest[0], largest[1], largest[2], largest[3]});
}

std::optional<double> RisingSearch::operator()(double p)
{
    const Series& curve = *curve_;
    const int blocks = last_ < 0 ? 0 : last_ / kBlock + 1;
    for (int b = 0; b < blocks; ++b) {
        if (static_cast<std::size_t>(b) == largest_.size())
            largest_.push_back(largestIn(b));
        // Written so that a NaN p is not skipped, as risingSearch finds nothing for it either.
        if (largest_[static_cast<std::size_t>(b)] < p)
            continue;
        // The segments i = j - 1 that end at j in this block.
        const int begin = std::max(b * kBlock, 1);
        const int end = std::min(b * kBlock + kBlock - 1, last_);
        for (int j = begin; j <= end; ++j) {
            if (curve.y(j - 1) < p && p <= curve.y(j))
                return displacementAt(curve, j - 1, p);
        }
    }
    return std::nullopt;
}

std::optional<double> fallingSearch(const Series& curve, int peakIndex, double p)
{
    const int last = curve.count() - 1;
    for (int i = std::max(peakIndex, 0); i < last; ++i) {
        // Only a segment that starts above p and ends at or below it can match.
        i = endOfOneSide(curve, p, i, last);
        if (i >= last)
            break;
        if (curve.y(i) > p && p >= curve.y(i + 1))
            return displacementAt(curve, i, p);
    }
    return std::nullopt;
}

namespace {

// The trapezoid of segment i cut at disp (x_i < disp < x_{i+1}).
double cutTrapezoid(const Series& curve, int i, double disp)
{
    const double x0 = curve.x(i);
    const double x1 = curve.x(i + 1);
    const double y0 = curve.y(i);
    const double offset = checkedSub(disp, x0);
    const double loadAtDisp =
        checkedAdd(y0, checkedDiv(checkedMul(offset, checkedSub(curve.y(i + 1), y0)), checkedSub(x1, x0)));
    return trapezoid(y0, loadAtDisp, offset);
}

double fullTrapezoid(const Series& curve, int i)
{
    return trapezoid(curve.y(i), curve.y(i + 1), checkedSub(curve.x(i + 1), curve.x(i)));
}

// Adds the full trapezoids from segment i on while they end at or before disp, and leaves i
// at the first segment that ends beyond it (or at the last point). Never inlined into a
// function with a handler, where the compiler keeps the running sum in memory and each
// addition waits for the last one's store.
Q_NEVER_INLINE double addFullTrapezoids(const Series& curve, int& i, double disp, double area)
{
    const std::vector<Point>& points = curve.points();
    // Written so that a NaN stops it too.
    if (static_cast<std::size_t>(i) + 1 >= points.size() || !(points[static_cast<std::size_t>(i) + 1].x <= disp))
        return area;
    // The first point beyond disp: the store keeps the displacements ascending.
    const auto beyond = std::upper_bound(points.begin() + i + 1, points.end(), disp,
                                         [](double d, const Point& p) { return d < p.x; });
    const int last = static_cast<int>(beyond - points.begin()) - 1;
    const Point* p = points.data();
    area = sumCheckedInBlocks(
        area, i, last, [p](int k) { return (p[k].y + p[k + 1].y) * (p[k + 1].x - p[k].x) * 0.5; },
        [&curve](int k) { return fullTrapezoid(curve, k); });
    i = last;
    return area;
}

bool onCurve(const Series& curve, double disp)
{
    // Written so that a NaN is refused too.
    const int n = curve.count();
    return n > 0 && curve.x(0) <= disp && disp <= curve.x(n - 1);
}

}  // namespace

std::optional<double> areaUpTo(const Series& curve, double disp)
{
    if (!onCurve(curve, disp))
        return std::nullopt;
    int i = 0;
    double area = addFullTrapezoids(curve, i, disp, 0.0);
    // x_i <= disp < x_{i+1}: the segment has a width, and its part up to disp closes the area.
    if (i + 1 < curve.count() && curve.x(i) < disp)
        area = checkedAdd(area, cutTrapezoid(curve, i, disp));
    return area;
}

CurveAreas::CurveAreas(const Series& curve, std::vector<double> disps) : curve_(&curve)
{
    for (double disp : disps)
        entries_.push_back({disp, std::nullopt, nullptr});
}

namespace {

// The area up to disp, which ends in segment i, as areaUpTo closes it; or its failure.
void closeArea(const Series& curve, int i, double sumBefore, double disp, std::optional<double>& area,
               std::exception_ptr& failure)
{
    try {
        area = curve.x(i) < disp ? checkedAdd(sumBefore, cutTrapezoid(curve, i, disp)) : sumBefore;
    } catch (const ArithmeticError&) {
        failure = std::current_exception();
    }
}

}  // namespace

void CurveAreas::sum() const
{
    const Series& curve = *curve_;
    // The pending ones in ascending order: a smaller displacement closes its area at the
    // same segment as a larger one or before it.
    std::vector<Entry*> pending;
    for (Entry& e : entries_)
        if (onCurve(curve, e.disp))
            pending.push_back(&e);
    std::sort(pending.begin(), pending.end(), [](const Entry* a, const Entry* b) { return a->disp < b->disp; });
    const int n = curve.count();
    double area = 0.0;
    int i = 0;
    std::size_t next = 0;
    try {
        while (next < pending.size()) {
            area = addFullTrapezoids(curve, i, pending[next]->disp, area);
            if (i + 1 >= n) {
                // The rest end at the last point: the whole area.
                for (; next < pending.size(); ++next)
                    pending[next]->area = area;
                break;
            }
            // Every area that ends in segment i; the others go on through it.
            const double x1 = curve.x(i + 1);
            for (; next < pending.size() && !(x1 <= pending[next]->disp); ++next)
                closeArea(curve, i, area, pending[next]->disp, pending[next]->area, pending[next]->failure);
        }
    } catch (const ArithmeticError&) {
        // A full trapezoid that every area still open would have summed.
        for (; next < pending.size(); ++next)
            pending[next]->failure = std::current_exception();
    }
}

std::optional<double> CurveAreas::upTo(double disp) const
{
    std::call_once(summed_, [this] { sum(); });
    for (const Entry& e : entries_) {
        if (std::bit_cast<std::uint64_t>(e.disp) != std::bit_cast<std::uint64_t>(disp))
            continue;
        if (e.failure)
            std::rethrow_exception(e.failure);
        return e.area;
    }
    return areaUpTo(*curve_, disp);
}

}  // namespace rz

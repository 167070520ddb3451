#pragma once

#include "core/chart/Series.h"

#include <exception>
#include <mutex>
#include <optional>
#include <vector>

// Searches and the area that the yield definitions of the standards share. They read
// the curve by index (ascending displacement) and evaluate every formula in its written
// order with checked operations, so an overflow throws ArithmeticError
// (core/analysis/Arithmetic.h); finding nothing is an empty result, not an error.
namespace rz {

// The first segment i <= peakIndex - 1 with y_i < p <= y_{i+1}: where the rising branch
// first reaches p, x_i + (p - y_i) * (x_{i+1} - x_i) / (y_{i+1} - y_i).
std::optional<double> risingSearch(const Series& curve, int peakIndex, double p);

// risingSearch asked of one curve again and again (the bilinear idealisation asks it every
// round): the largest load of each block of points, found when a search first passes the
// block, lets the later searches pass over the blocks where the load stays below p, since
// no segment there ends at p or above. The same segment as risingSearch, so the same bits;
// a NaN load is never the largest of its block, as it never ends a segment that
// risingSearch takes.
class RisingSearch {
public:
    RisingSearch(const Series& curve, int peakIndex);
    std::optional<double> operator()(double p);

private:
    static constexpr int kBlock = 256;
    double largestIn(int block) const;

    const Series* curve_;
    int last_;                     // segments i < last_
    std::vector<double> largest_;  // of the loads y_j, j in [b * kBlock, (b + 1) * kBlock) and j <= last_
};

// The first segment i >= peakIndex with y_i > p >= y_{i+1}, interpolated the same way:
// where the load, past the peak, first falls to p.
std::optional<double> fallingSearch(const Series& curve, int peakIndex, double p);

// The area under the curve from x_0 to disp by the trapezoidal rule, the last trapezoid
// cut at disp by linear interpolation. Empty when disp lies outside [x_0, x_{n-1}].
std::optional<double> areaUpTo(const Series& curve, double disp);

// areaUpTo at a few displacements, summed in one pass over the curve: the definitions
// that need the area of a million-point curve ask for one or two displacements between
// them. Each area is bit for bit what areaUpTo gives (the same sums in the same order),
// and what areaUpTo would throw is thrown again when it is asked for. The pass runs on the
// first call of upTo, once, whichever thread makes it; the others wait for it.
class CurveAreas {
public:
    CurveAreas(const Series& curve, std::vector<double> disps);
    // areaUpTo(curve, disp): from the pass when disp is one of its displacements.
    std::optional<double> upTo(double disp) const;

private:
    struct Entry {
        double disp = 0.0;
        std::optional<double> area;
        std::exception_ptr failure;
    };
    void sum() const;

    const Series* curve_;
    mutable std::vector<Entry> entries_;
    mutable std::once_flag summed_;
};

}  // namespace rz

#pragma once

// Curves shared by the tests of the searches and of the yield definitions.
#include "core/chart/Series.h"

#include <utility>
#include <vector>

namespace rz::test {

inline Series curveOf(std::vector<Point> pts)
{
    Series s;
    s.assignStableSorted(std::move(pts));
    return s;
}

// The worked example: (0,0), (10,100), (30,120), (50,80) sampled every 0.01, vertices
// included. Each sample is the double nearest to its decimal value: displacement i/100
// and the load as an integer over 100 (or 10), one correctly rounded division each, never
// a product of already rounded numbers. The loads that the searches and the ultimate meet
// (12, 48, 96, 102, 120) are whole numbers and so exact.
inline Series workedExample()
{
    std::vector<Point> pts;
    for (int i = 0; i <= 5000; ++i) {
        const double load = i <= 1000 ? i / 10.0 : i <= 3000 ? (9000 + i) / 100.0 : (18000 - 2 * i) / 100.0;
        pts.push_back({i / 100.0, load});
    }
    return curveOf(std::move(pts));
}

// Rounding in the worked example: A sums up to 4200 trapezoids of about 1, each rounded
// by half an ulp (< 3e-13 near 4000), and the samples carry their own rounding
// (< 4e-15 in x); so |dA| < 2e-9. The results depend on A with sensitivity < 0.05 and on
// a searched displacement (a few ulps off) with sensitivity < 15, which keeps every
// number within 1e-9 of its exact value.
inline constexpr double kWorkedTolerance = 1e-9;

}  // namespace rz::test

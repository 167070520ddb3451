#include "core/analysis/LevelRuns.h"

#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rz {

int endOfOneSide(const Series& curve, double p, int from, int to)
{
    if (from >= to)
        return to;
    const std::vector<Point>& points = curve.points();
    const double first = points[static_cast<std::size_t>(from)].y;
    const bool above = first > p;
    if (!above && !(first < p))
        return from;
    // The first point after from that is not on that side; its segment starts one before.
    int k = from + 1;
#if defined(__SSE2__)
    // Four points a turn, two loads to a comparison; "not greater" and "not less" are true
    // for NaN too. The plain loop below then finds the point within the four.
    static_assert(sizeof(Point) == 2 * sizeof(double) && offsetof(Point, y) == sizeof(double));
    const __m128d level = _mm_set1_pd(p);
    const auto loadsOf = [&points](int at) {
        const Point* q = points.data() + at;
        return _mm_unpackhi_pd(_mm_loadu_pd(&q[0].x), _mm_loadu_pd(&q[1].x));
    };
    const auto off = [above, level](__m128d loads) {
        return _mm_movemask_pd(above ? _mm_cmpngt_pd(loads, level) : _mm_cmpnlt_pd(loads, level));
    };
    for (; k + 3 <= to; k += 4) {
        const int low = off(loadsOf(k));
        const int high = off(loadsOf(k + 2));
        if ((low | high) != 0)
            break;
    }
#endif
    for (; k <= to; ++k) {
        const double y = points[static_cast<std::size_t>(k)].y;
        if (above ? !(y > p) : !(y < p))
            return k - 1;
    }
    return to;
}

}  // namespace rz

#include "core/chart/Series.h"

#include <algorithm>
#include <atomic>

namespace rz {

namespace {
// Unique across all series of the process, so a view that shows one model after another
// never mistakes a new series for the one it copied before.
std::uint64_t nextRevision()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}
}  // namespace

void Series::clear()
{
    points_.clear();
    revision_ = nextRevision();
}

void Series::add(double x, double y)
{
    if (points_.empty() || x >= points_.back().x) {
        points_.push_back({x, y});
    } else {
        auto it = std::upper_bound(points_.begin(), points_.end(), x,
                                   [](double v, const Point& p) { return v < p.x; });
        points_.insert(it, {x, y});
    }
    revision_ = nextRevision();
}

void Series::assignStableSorted(std::vector<Point> pts)
{
    if (!std::is_sorted(pts.begin(), pts.end(), [](const Point& a, const Point& b) { return a.x < b.x; }))
        std::stable_sort(pts.begin(), pts.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
    points_ = std::move(pts);
    revision_ = nextRevision();
}

}  // namespace rz

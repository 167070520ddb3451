#pragma once

#include <cstdint>
#include <vector>

namespace rz {

struct Point {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A chart series' point store: ascending X at all times, equal X in insertion order.
// The analysis reads the curve back from it by index.
class Series {
public:
    void clear();
    // Appends when x >= last x; otherwise inserts in front of the first stored point
    // whose X is greater, i.e. after any with the same X.
    void add(double x, double y);
    // Replaces the contents with pts stable-sorted by X: the same order as adding them
    // one by one, without the quadratic cost of inserting.
    void assignStableSorted(std::vector<Point> pts);

    int count() const { return static_cast<int>(points_.size()); }
    bool empty() const { return points_.empty(); }
    double x(int i) const { return points_[static_cast<std::size_t>(i)].x; }
    double y(int i) const { return points_[static_cast<std::size_t>(i)].y; }
    const std::vector<Point>& points() const { return points_; }
    // Changes whenever the contents change, so views copy only what changed.
    std::uint64_t revision() const { return revision_; }

private:
    std::vector<Point> points_;
    std::uint64_t revision_ = 0;
};

}  // namespace rz

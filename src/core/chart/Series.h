#pragma once

#include <cstdint>
#include <vector>

namespace rz {

struct Point {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const Point&, const Point&) = default;
};

// What one pass over points in their order finds: whether they come in ascending X (none
// before a smaller one), and the first point of the largest Y and the first of the largest
// X. Kept by the readers as they read, so that nothing reads a million points again for it.
struct PointScan {
    std::size_t count = 0;
    bool ascending = true;
    std::size_t largestY = 0;  // index of the first point of the largest Y
    std::size_t largestX = 0;  // and of the largest X
    double maxY = 0.0;
    double maxX = 0.0;
    double firstX = 0.0;
    double lastX = 0.0;

    void add(const Point& p)
    {
        if (count == 0) {
            maxY = p.y;
            maxX = p.x;
            firstX = p.x;
        } else {
            ascending = ascending && !(p.x < lastX);
            if (p.y > maxY) {
                maxY = p.y;
                largestY = count;
            }
            if (p.x > maxX) {
                maxX = p.x;
                largestX = count;
            }
        }
        lastX = p.x;
        ++count;
    }
    // The scan of these points followed by those that `later` scanned.
    void append(const PointScan& later);
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
    // The same, for points whose scan says whether they already ascend.
    void assignStableSorted(std::vector<Point> pts, const PointScan& scan);

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

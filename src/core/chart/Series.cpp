#include "core/chart/Series.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
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
bool byX(const Point& a, const Point& b) { return a.x < b.x; }

// An unsigned key that orders as the double does; -0 and +0 get the same key since they
// compare equal, and equal X must keep the order of the file.
std::uint64_t orderKey(double x)
{
    if (x == 0.0)
        x = 0.0;
    std::uint64_t u = 0;
    std::memcpy(&u, &x, sizeof u);
    return (u & 0x8000000000000000ull) ? ~u : (u | 0x8000000000000000ull);
}

// Stable least-significant-digit radix sort on the keys: linear, so a shuffled
// million-point file sorts about as fast as it reads.
void radixSortByX(std::vector<Point>& pts)
{
    const std::size_t n = pts.size();
    // Left uninitialised: every element is written before it is read.
    auto keys = std::make_unique_for_overwrite<std::uint64_t[]>(n);
    auto keysOut = std::make_unique_for_overwrite<std::uint64_t[]>(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = orderKey(pts[i].x);
    std::vector<Point> ptsOut(n);
    constexpr int kBits = 16;
    constexpr std::uint64_t kMask = (std::uint64_t{1} << kBits) - 1;
    std::vector<std::size_t> offsets(std::size_t{1} << kBits);
    for (int shift = 0; shift < 64; shift += kBits) {
        std::fill(offsets.begin(), offsets.end(), 0);
        for (std::size_t i = 0; i < n; ++i)
            ++offsets[(keys[i] >> shift) & kMask];
        // A digit all keys share moves nothing.
        if (offsets[(keys[0] >> shift) & kMask] == n)
            continue;
        std::size_t sum = 0;
        for (std::size_t& o : offsets) {
            const std::size_t c = o;
            o = sum;
            sum += c;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t to = offsets[(keys[i] >> shift) & kMask]++;
            keysOut[to] = keys[i];
            ptsOut[to] = pts[i];
        }
        keys.swap(keysOut);
        pts.swap(ptsOut);
    }
}

// Below this a comparison sort is as quick.
constexpr std::size_t kRadixThreshold = 4096;
// Above this, two halves are sorted side by side and merged (a stable merge keeps the
// first half's points first among equal X).
constexpr std::size_t kParallelThreshold = 200000;

void sortByX(std::vector<Point>& pts)
{
    if (pts.size() < kRadixThreshold) {
        std::stable_sort(pts.begin(), pts.end(), byX);
        return;
    }
    if (pts.size() < kParallelThreshold || std::thread::hardware_concurrency() < 2) {
        radixSortByX(pts);
        return;
    }
    const auto middle = pts.begin() + static_cast<std::ptrdiff_t>(pts.size() / 2);
    std::vector<Point> first(pts.begin(), middle);
    std::vector<Point> second(middle, pts.end());
    std::thread worker([&first] { radixSortByX(first); });
    radixSortByX(second);
    worker.join();
    std::merge(first.begin(), first.end(), second.begin(), second.end(), pts.begin(), byX);
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

void PointScan::append(const PointScan& later)
{
    if (later.count == 0)
        return;
    if (count == 0) {
        *this = later;
        return;
    }
    ascending = ascending && later.ascending && !(later.firstX < lastX);
    // Strictly larger: the first of equal largest values stays.
    if (later.maxY > maxY) {
        maxY = later.maxY;
        largestY = count + later.largestY;
    }
    if (later.maxX > maxX) {
        maxX = later.maxX;
        largestX = count + later.largestX;
    }
    lastX = later.lastX;
    count += later.count;
}

void Series::assignStableSorted(std::vector<Point> pts, const PointScan& scan)
{
    if (scan.count != pts.size() || !scan.ascending) {
        assignStableSorted(std::move(pts));
        return;
    }
    points_ = std::move(pts);
    revision_ = nextRevision();
}

void Series::assignStableSorted(std::vector<Point> pts)
{
    if (!std::is_sorted(pts.begin(), pts.end(), byX))
        sortByX(pts);
    points_ = std::move(pts);
    revision_ = nextRevision();
}

}  // namespace rz

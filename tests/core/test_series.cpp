// The curve store's order: ascending X, equal X in insertion order, however it is filled.
#include "core/chart/Series.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace rz {
namespace {

std::vector<Point> insertedOneByOne(const std::vector<Point>& pts)
{
    Series s;
    for (const Point& p : pts)
        s.add(p.x, p.y);
    return s.points();
}

TEST(Series, InsertionKeepsEqualXInTheOrderAdded)
{
    EXPECT_EQ(insertedOneByOne({{0, 0}, {5, 10}, {5, 0}}), (std::vector<Point>{{0, 0}, {5, 10}, {5, 0}}));
    EXPECT_EQ(insertedOneByOne({{5, 10}, {0, 0}}), (std::vector<Point>{{0, 0}, {5, 10}}));
    EXPECT_EQ(insertedOneByOne({{0, 0}, {2, 5}, {1, 3}, {1, 4}, {-1, 9}}),
              (std::vector<Point>{{-1, 9}, {0, 0}, {1, 3}, {1, 4}, {2, 5}}));
}

// The import sorts once; it must give exactly what inserting point by point gives, for
// small inputs (comparison sort), large ones (radix sort) and very large ones (two halves
// sorted side by side, then merged), with repeated X, negative X, both zeros and values
// of every magnitude.
TEST(Series, SortingOnceEqualsInsertingOneByOne)
{
    std::mt19937_64 random(7);
    const double pool[] = {0.0, -0.0, 1.0, -1.0, 1e-300, -1e-300, 4.9e-324, 1e300, -1e300, 2.5, 2.5000000000000004};
    for (std::size_t n : {std::size_t{10}, std::size_t{300}, std::size_t{5000}, std::size_t{20000}, std::size_t{300000}}) {
        std::vector<Point> pts;
        for (std::size_t i = 0; i < n; ++i) {
            const double x = random() % 3 == 0 ? pool[random() % std::size(pool)]
                                               : static_cast<double>(static_cast<int>(random() % 200) - 100) * 0.5;
            pts.push_back({x, static_cast<double>(i)});  // y records the file order
        }
        Series sorted;
        sorted.assignStableSorted(pts);
        // Inserting is quadratic: for the largest input a stable sort stands in for it.
        std::vector<Point> expected = pts;
        if (n <= 20000)
            expected = insertedOneByOne(pts);
        else
            std::stable_sort(expected.begin(), expected.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
        ASSERT_EQ(sorted.points().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            // -0 and +0 compare equal, so only their file order (y) tells them apart.
            ASSERT_EQ(sorted.points()[i].x, expected[i].x) << "n=" << n << " i=" << i;
            ASSERT_EQ(sorted.points()[i].y, expected[i].y) << "n=" << n << " i=" << i;
        }
    }
}

void expectSameScan(const PointScan& a, const PointScan& b)
{
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.ascending, b.ascending);
    if (a.count == 0 || b.count == 0)
        return;
    EXPECT_EQ(a.largestY, b.largestY);
    EXPECT_EQ(a.largestX, b.largestX);
    EXPECT_EQ(a.maxY, b.maxY);
    EXPECT_EQ(a.maxX, b.maxX);
}

// The parts of a file are scanned side by side and their scans joined: the joined scan must
// be the scan of all the points in one pass, wherever the file was cut, with repeated
// largest values (the first must win), both zeros and steps back across a cut.
TEST(PointScan, PiecesJoinedAsOnePass)
{
    std::mt19937_64 random(11);
    const double pool[] = {0.0, -0.0, 1.0, 2.0, 3.0};
    int descending = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::size_t n = random() % 12;
        std::vector<Point> pts;
        double x = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            x = round % 2 == 0 ? x + pool[random() % 3] : pool[random() % std::size(pool)];
            pts.push_back({x, pool[random() % std::size(pool)]});
        }
        PointScan whole;
        for (const Point& p : pts)
            whole.add(p);
        descending += !whole.ascending;
        // Up to three cuts, anywhere, empty pieces included.
        std::vector<std::size_t> cuts{0, n};
        for (int c = static_cast<int>(random() % 4); c > 0; --c)
            cuts.push_back(random() % (n + 1));
        std::sort(cuts.begin(), cuts.end());
        PointScan joined;
        for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
            PointScan piece;
            for (std::size_t i = cuts[k]; i < cuts[k + 1]; ++i)
                piece.add(pts[i]);
            joined.append(piece);
        }
        SCOPED_TRACE(round);
        expectSameScan(joined, whole);
    }
    EXPECT_GT(descending, 500);
}

TEST(Series, EveryChangeGivesANewRevision)
{
    Series a;
    Series b;
    const auto first = a.revision();
    a.add(1, 1);
    EXPECT_NE(a.revision(), first);
    b.add(1, 1);
    // Two series filled alike still differ, so a view never takes one for the other.
    EXPECT_NE(a.revision(), b.revision());
    const auto before = a.revision();
    a.clear();
    EXPECT_NE(a.revision(), before);
}

}  // namespace
}  // namespace rz

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

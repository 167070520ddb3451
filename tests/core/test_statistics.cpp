// Statistics of a summary column against values worked out by hand (or, for random
// columns, by a plain two-pass sum in long double), never by the code under test.
#include "core/batch/Statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace rz {
namespace {

using Column = std::vector<std::optional<double>>;
constexpr auto none = std::nullopt;
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Expected {
    int count;
    std::optional<double> mean;
    std::optional<double> deviation;
    std::optional<double> variation;
    std::optional<double> minimum;
    std::optional<double> maximum;
};

void expectNear(const std::optional<double>& actual, const std::optional<double>& expected, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (expected) {
        EXPECT_DOUBLE_EQ(*actual, *expected);
    }
}

// 1e9 and steps of 1/1024: every value, the mean and the deviations are exact doubles.
Column offsetColumn()
{
    Column column;
    for (int k = 1; k <= 5; ++k)
        column.push_back(1e9 + k / 1024.0);
    return column;
}

TEST(ColumnStatistics, AgainstHandValues)
{
    struct Case {
        const char* name;
        Column values;
        Expected expected;
    };
    const double sd8 = std::sqrt(32.0 / 7.0);  // deviations 3,1,1,1,0,0,2,4 from 5
    const double sdOffset = std::sqrt(2.5) / 1024.0;
    const double tiny = std::ldexp(1.0, -1030);
    const std::vector<Case> cases = {
        {"eight values", {2.0, 4.0, 4.0, 4.0, 5.0, 5.0, 7.0, 9.0}, {8, 5.0, sd8, sd8 / 5.0, 2.0, 9.0}},
        {"missing values left out", {1.0, none, 3.0, none, 8.0}, {3, 4.0, std::sqrt(13.0), std::sqrt(13.0) / 4.0, 1.0, 8.0}},
        {"one row: no deviation", {42.5}, {1, 42.5, none, none, 42.5, 42.5}},
        {"one value among missing", {none, -3.0, none}, {1, -3.0, none, none, -3.0, -3.0}},
        {"all missing", {none, none}, {0, none, none, none, none, none}},
        {"no rows", {}, {0, none, none, none, none, none}},
        {"equal values", {3.0, 3.0, 3.0}, {3, 3.0, 0.0, 0.0, 3.0, 3.0}},
        {"zeros", {0.0, 0.0}, {2, 0.0, 0.0, none, 0.0, 0.0}},
        {"mean zero: no variation", {-1.0, 1.0}, {2, 0.0, std::sqrt(2.0), none, -1.0, 1.0}},
        {"negative mean", {-2.0, -4.0}, {2, -3.0, std::sqrt(2.0), std::sqrt(2.0) / -3.0, -4.0, -2.0}},
        {"large offset", offsetColumn(), {5, 1e9 + 3 / 1024.0, sdOffset, sdOffset / (1e9 + 3 / 1024.0), 1e9 + 1 / 1024.0, 1e9 + 5 / 1024.0}},
        {"not finite is left out", {1.0, nan, inf, -inf, 3.0}, {2, 2.0, std::sqrt(2.0), std::sqrt(2.0) / 2.0, 1.0, 3.0}},
        // The sum alone would overflow.
        {"near the top of the range", {1.5e308, 1.7e308}, {2, 1.6e308, 0.2e308 / std::sqrt(2.0), 0.2e308 / std::sqrt(2.0) / 1.6e308, 1.5e308, 1.7e308}},
        // A deviation of 2.4e308 has no double.
        {"deviation beyond the range", {-1.7e308, 1.7e308}, {2, 0.0, none, none, -1.7e308, 1.7e308}},
        // Subnormal, yet exact doubles: scaling must not lose their digits.
        {"tiny values", {tiny, 3 * tiny}, {2, 2 * tiny, std::sqrt(2.0) * tiny, std::sqrt(2.0) / 2.0, tiny, 3 * tiny}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnStatistics s = columnStatistics(c.values);
        EXPECT_EQ(s.count, c.expected.count);
        expectNear(s.mean, c.expected.mean, "mean");
        expectNear(s.standardDeviation, c.expected.deviation, "standard deviation");
        expectNear(s.coefficientOfVariation, c.expected.variation, "coefficient of variation");
        expectNear(s.minimum, c.expected.minimum, "minimum");
        expectNear(s.maximum, c.expected.maximum, "maximum");
    }
}

// The textbook one-pass formula on the offset column: proof that the case bites.
TEST(ColumnStatistics, OffsetColumnDefeatsTheSumOfSquares)
{
    const Column column = offsetColumn();
    double sum = 0.0;
    double squares = 0.0;
    for (const auto& x : column) {
        sum += *x;
        squares += *x * *x;
    }
    const double naive = std::sqrt(std::max((squares - sum * sum / 5.0) / 4.0, 0.0));
    const double exact = std::sqrt(2.5) / 1024.0;
    EXPECT_GT(std::fabs(naive - exact), 0.5 * exact);
    EXPECT_DOUBLE_EQ(*columnStatistics(column).standardDeviation, exact);
}

TEST(ColumnStatistics, RandomColumnsAgainstLongDouble)
{
    std::mt19937_64 random(11);
    for (int round = 0; round < 300; ++round) {
        const double offset = std::ldexp(1.0, static_cast<int>(random() % 60)) * (round % 2 ? -1 : 1);
        std::normal_distribution<double> spread(offset, std::fabs(offset) * 1e-3 + 1.0);
        Column column;
        const int rows = 2 + static_cast<int>(random() % 40);
        for (int i = 0; i < rows; ++i)
            column.push_back(random() % 5 == 0 ? std::nullopt : std::optional(spread(random)));
        long double sum = 0;
        int n = 0;
        for (const auto& x : column)
            if (x) {
                sum += *x;
                ++n;
            }
        if (n < 2)
            continue;
        const long double mean = sum / n;
        long double squares = 0;
        for (const auto& x : column)
            if (x)
                squares += (*x - mean) * (*x - mean);
        const auto deviation = static_cast<double>(std::sqrt(squares / (n - 1)));
        const ColumnStatistics s = columnStatistics(column);
        SCOPED_TRACE(round);
        EXPECT_EQ(s.count, n);
        EXPECT_NEAR(*s.mean, static_cast<double>(mean), std::fabs(static_cast<double>(mean)) * 1e-15);
        EXPECT_NEAR(*s.standardDeviation, deviation, deviation * 1e-9);
    }
}

}  // namespace
}  // namespace rz

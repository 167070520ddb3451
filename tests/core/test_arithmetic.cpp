#include "core/analysis/Arithmetic.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace rz {
namespace {

using Kind = ArithmeticError::Kind;

enum class Op { Add, Sub, Mul, Div };

double apply(Op op, double a, double b)
{
    switch (op) {
    case Op::Add:
        return checkedAdd(a, b);
    case Op::Sub:
        return checkedSub(a, b);
    case Op::Mul:
        return checkedMul(a, b);
    case Op::Div:
        return checkedDiv(a, b);
    }
    return 0.0;
}

double plain(Op op, double a, double b)
{
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return a / b;
    }
    return 0.0;
}

struct FaultCase {
    const char* name;
    Op op;
    double a;
    double b;
    Kind kind;
};

class CheckedFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CheckedFault, RaisesTheKindOfTheFault)
{
    const FaultCase& c = GetParam();
    try {
        apply(c.op, c.a, c.b);
        FAIL() << "no error for " << c.name;
    } catch (const ArithmeticError& e) {
        EXPECT_EQ(e.kind(), c.kind) << c.name;
        EXPECT_STREQ(e.what(), arithmeticMessage(c.kind)) << c.name;
    }
}

constexpr double kMax = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(
    ArithmeticFaults, CheckedFault,
    ::testing::Values(FaultCase{"sum beyond range", Op::Add, 1e308, 1e308, Kind::Overflow},
                      FaultCase{"negative sum beyond range", Op::Add, -1e308, -1e308, Kind::Overflow},
                      FaultCase{"difference beyond range", Op::Sub, 1e308, -1e308, Kind::Overflow},
                      FaultCase{"product beyond range", Op::Mul, kMax, 2.0, Kind::Overflow},
                      FaultCase{"negative product beyond range", Op::Mul, -1e200, 1e200, Kind::Overflow},
                      FaultCase{"quotient beyond range", Op::Div, 1e308, 1e-10, Kind::Overflow},
                      FaultCase{"positive by zero", Op::Div, 5.0, 0.0, Kind::DivisionByZero},
                      FaultCase{"negative by zero", Op::Div, -5.0, 0.0, Kind::DivisionByZero},
                      FaultCase{"by negative zero", Op::Div, 5.0, -0.0, Kind::DivisionByZero},
                      FaultCase{"tiny by zero", Op::Div, 5e-324, 0.0, Kind::DivisionByZero},
                      FaultCase{"zero by zero", Op::Div, 0.0, 0.0, Kind::InvalidOperation},
                      FaultCase{"negative zero by zero", Op::Div, -0.0, 0.0, Kind::InvalidOperation},
                      FaultCase{"zero by negative zero", Op::Div, 0.0, -0.0, Kind::InvalidOperation}));

struct ValueCase {
    Op op;
    double a;
    double b;
};

// Results within range, including underflow to subnormals or zero, are the plain IEEE
// results: checking must never change a value.
TEST(CheckedArithmetic, ResultsInRangeAreThePlainResults)
{
    const ValueCase cases[] = {
        {Op::Add, 0.1, 0.2},          {Op::Sub, 0.3, 0.1},        {Op::Mul, 0.1, 3.0},
        {Op::Div, 1.0, 3.0},          {Op::Add, kMax, -kMax},     {Op::Add, 1e308, 7e307},
        {Op::Mul, 1e-200, 1e-200},    {Op::Div, 1e-300, 1e300},   {Op::Mul, 2.2250738585072014e-308, 0.5},
        {Op::Div, 0.0, 5.0},          {Op::Div, -0.0, 5.0},       {Op::Sub, 1.0, 1.0},
        {Op::Mul, 1e154, 1e154},      {Op::Div, -7.5, 2.5},
    };
    for (const ValueCase& c : cases) {
        const double want = plain(c.op, c.a, c.b);
        const double got = apply(c.op, c.a, c.b);
        EXPECT_EQ(got, want) << c.a << " op " << c.b;
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << c.a << " op " << c.b;
    }
}

// What a sum gives: its bits, or the kind of its error.
struct SumOutcome {
    std::optional<std::uint64_t> bits;
    std::optional<Kind> error;
    friend bool operator==(const SumOutcome&, const SumOutcome&) = default;
};

template <typename Sum>
SumOutcome outcomeOf(const Sum& sum)
{
    try {
        return {std::bit_cast<std::uint64_t>(sum()), std::nullopt};
    } catch (const ArithmeticError& e) {
        return {std::nullopt, e.kind()};
    }
}

// Terms a * b / c over 20,000 numbers, summed in blocks and one checked operation at a
// time: the same bits, or the same first error, whichever block it falls in.
TEST(CheckedArithmetic, SumsInBlocksAreTheCheckedSumsBitForBitAndFailWhereTheyDo)
{
    constexpr int n = 20000;
    std::mt19937_64 random(2126);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::vector<double> a(n), b(n), c(n);
    const auto reset = [&] {
        for (int i = 0; i < n; ++i) {
            a[i] = std::ldexp(mantissa(random), exponent(random));
            b[i] = std::ldexp(mantissa(random), exponent(random));
            c[i] = std::ldexp(0.5 + std::abs(mantissa(random)), exponent(random));
        }
    };
    const auto unchecked = [&](int i) { return a[i] * b[i] / c[i]; };
    const auto checked = [&](int i) { return checkedDiv(checkedMul(a[i], b[i]), c[i]); };
    const auto compare = [&](double start, int first, int last) {
        SCOPED_TRACE(testing::Message() << "terms " << first << " to " << last);
        const SumOutcome want = outcomeOf([&] {
            double sum = start;
            for (int i = first; i < last; ++i)
                sum = checkedAdd(sum, checked(i));
            return sum;
        });
        EXPECT_EQ(outcomeOf([&] { return sumCheckedInBlocks(start, first, last, unchecked, checked); }), want);
        return want;
    };
    const auto everyRange = [&] {
        std::vector<SumOutcome> outcomes;
        for (auto [first, last] : {std::pair{0, 0}, {0, 1}, {0, n}, {3, 4099}, {4095, 12289}, {8192, 8193},
                                   {12000, n}, {n - 1, n}})
            outcomes.push_back(compare(0.1, first, last));
        return outcomes;
    };

    reset();
    for (const SumOutcome& o : everyRange())
        EXPECT_TRUE(o.bits.has_value());

    // One fault of each kind, at block edges and inside blocks.
    for (const int at : {0, 4095, 4096, 9000, n - 1}) {
        reset();
        a[at] = 1e300;
        b[at] = -1e300;
        EXPECT_EQ(compare(0.0, 0, n).error, Kind::Overflow) << at;
        reset();
        c[at] = 0.0;
        EXPECT_EQ(compare(0.0, 0, n).error, Kind::DivisionByZero) << at;
        a[at] = 0.0;
        EXPECT_EQ(compare(0.0, 0, n).error, Kind::InvalidOperation) << at;
        everyRange();
    }

    // The first of two faults decides, in one block or two.
    for (const int later : {5001, 9000}) {
        reset();
        c[5000] = 0.0;
        a[later] = 1e300;
        b[later] = 1e300;
        EXPECT_EQ(compare(0.0, 0, n).error, Kind::DivisionByZero) << later;
        EXPECT_EQ(compare(0.0, 5001, n).error, Kind::Overflow) << later;
    }

    // Terms that are all in range but whose sum is not; and a fault after it in its block.
    reset();
    for (int i = 100; i < 110; ++i) {
        a[i] = 1e154;
        b[i] = 1e154;
        c[i] = 1.0;
    }
    c[200] = 0.0;
    EXPECT_EQ(compare(0.0, 0, n).error, Kind::Overflow);
    EXPECT_EQ(compare(0.0, 110, n).error, Kind::DivisionByZero);
}

TEST(CheckedArithmetic, MessagesAreThePlatformTexts)
{
    EXPECT_STREQ(arithmeticMessage(Kind::DivisionByZero), "Floating point division by zero");
    EXPECT_STREQ(arithmeticMessage(Kind::InvalidOperation), "Invalid floating point operation");
    EXPECT_STREQ(arithmeticMessage(Kind::Overflow), "Floating point overflow");
}

}  // namespace
}  // namespace rz

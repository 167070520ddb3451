#include "core/analysis/Arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(CheckedArithmetic, MessagesAreThePlatformTexts)
{
    EXPECT_STREQ(arithmeticMessage(Kind::DivisionByZero), "Floating point division by zero");
    EXPECT_STREQ(arithmeticMessage(Kind::InvalidOperation), "Invalid floating point operation");
    EXPECT_STREQ(arithmeticMessage(Kind::Overflow), "Floating point overflow");
}

}  // namespace
}  // namespace rz

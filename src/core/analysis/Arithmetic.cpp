#include "core/analysis/Arithmetic.h"

#include <cmath>

namespace rz {

const char* arithmeticMessage(ArithmeticError::Kind kind)
{
    switch (kind) {
    case ArithmeticError::Kind::DivisionByZero:
        return "Floating point division by zero";
    case ArithmeticError::Kind::InvalidOperation:
        return "Invalid floating point operation";
    case ArithmeticError::Kind::Overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}

ArithmeticError::ArithmeticError(Kind kind) : std::runtime_error(arithmeticMessage(kind)), kind_(kind) {}

namespace {
// Inputs are finite (the parser refuses non-finite numbers and every result is checked),
// so a non-finite result can only be an overflow, or an invalid operation if NaN.
double checkResult(double r)
{
    if (std::isnan(r))
        throw ArithmeticError(ArithmeticError::Kind::InvalidOperation);
    if (std::isinf(r))
        throw ArithmeticError(ArithmeticError::Kind::Overflow);
    return r;
}
}  // namespace

double checkedAdd(double a, double b) { return checkResult(a + b); }
double checkedSub(double a, double b) { return checkResult(a - b); }
double checkedMul(double a, double b) { return checkResult(a * b); }

double checkedDiv(double a, double b)
{
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throw ArithmeticError(ArithmeticError::Kind::InvalidOperation);
        throw ArithmeticError(ArithmeticError::Kind::DivisionByZero);
    }
    return checkResult(a / b);
}

}  // namespace rz

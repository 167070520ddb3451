#pragma once

#include <cmath>
#include <stdexcept>
#include <string>

// Floating-point faults are found by explicit checks of operands and results, in the
// order the formulas are written. Traps and fenv flags are not used: the compiler may
// move operations across flag tests.
namespace rz {

class ArithmeticError : public std::runtime_error {
public:
    enum class Kind { DivisionByZero, InvalidOperation, Overflow };
    explicit ArithmeticError(Kind kind);
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// "Floating point division by zero", "Invalid floating point operation", "Floating point overflow".
const char* arithmeticMessage(ArithmeticError::Kind kind);

// Throws the error a non-finite result stands for: inputs are finite (the parser refuses
// non-finite numbers and every result is checked), so NaN is an invalid operation and an
// infinity an overflow.
[[noreturn]] void throwNonFinite(double result);

// Inline: Calculate runs them a few times per point of a million-point curve.
inline double checkedAdd(double a, double b)
{
    const double r = a + b;
    if (!std::isfinite(r))
        throwNonFinite(r);
    return r;
}
inline double checkedSub(double a, double b)
{
    const double r = a - b;
    if (!std::isfinite(r))
        throwNonFinite(r);
    return r;
}
inline double checkedMul(double a, double b)
{
    const double r = a * b;
    if (!std::isfinite(r))
        throwNonFinite(r);
    return r;
}
// The error of a / b that failed: b == 0 makes 0/0 an invalid operation and anything else
// a division by zero; otherwise as throwNonFinite.
[[noreturn]] void throwDivisionFailure(double a, double b);
// b == 0: 0/0 is an invalid operation, anything else a division by zero.
inline double checkedDiv(double a, double b)
{
    const double r = a / b;
    if (b == 0.0 || !std::isfinite(r))
        throwDivisionFailure(a, b);
    return r;
}

}  // namespace rz

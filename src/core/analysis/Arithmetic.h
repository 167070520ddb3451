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

// start + term(first) + ... + term(last - 1), added in that order: the sum of
// checkedAdd(sum, checked(i)), the same to the bit, and it throws what that throws.
// unchecked(i) is checked(i) without its checks, on finite numbers, by additions,
// subtractions, multiplications and divisions by those numbers (not by a result, which an
// infinity would turn into zero). An operation that fails then leaves an infinity or a NaN
// that every later sum keeps, so the sum is checked once per block of terms instead of at
// every operation, and a block that failed is summed again with the checked terms, which
// throw where they first fail. A loop over a million points runs at the speed of its
// additions.
template <typename Unchecked, typename Checked>
double sumCheckedInBlocks(double start, int first, int last, const Unchecked& unchecked, const Checked& checked)
{
    constexpr int kBlock = 4096;
    double sum = start;
    for (int i = first; i < last;) {
        const int end = last - i > kBlock ? i + kBlock : last;
        double blockSum = sum;
        for (int j = i; j < end; ++j)
            blockSum += unchecked(j);
        if (!std::isfinite(blockSum)) {
            blockSum = sum;
            for (int j = i; j < end; ++j)
                blockSum = checkedAdd(blockSum, checked(j));
        }
        sum = blockSum;
        i = end;
    }
    return sum;
}

}  // namespace rz

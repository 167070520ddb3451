#pragma once

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

double checkedAdd(double a, double b);
double checkedSub(double a, double b);
double checkedMul(double a, double b);
// b == 0: 0/0 is an invalid operation, anything else a division by zero.
double checkedDiv(double a, double b);

}  // namespace rz

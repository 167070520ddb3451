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

void throwNonFinite(double result)
{
    if (std::isnan(result))
        throw ArithmeticError(ArithmeticError::Kind::InvalidOperation);
    throw ArithmeticError(ArithmeticError::Kind::Overflow);
}

void throwDivisionFailure(double a, double b)
{
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throw ArithmeticError(ArithmeticError::Kind::InvalidOperation);
        throw ArithmeticError(ArithmeticError::Kind::DivisionByZero);
    }
    throwNonFinite(a / b);
}

}  // namespace rz

#pragma once

// What the analysis tests share: Points that print readably, and a check that a call raises
// the arithmetic error of a given kind.
#include "core/analysis/Analysis.h"

#include <gtest/gtest.h>

#include <ostream>

namespace rz {

// Found by argument-dependent lookup, so failures print readably.
inline void PrintTo(const Point& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace test {

template <typename F>
::testing::AssertionResult raises(ArithmeticError::Kind kind, F&& f)
{
    try {
        f();
    } catch (const ArithmeticError& e) {
        if (e.kind() == kind)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised \"" << e.what() << "\" instead";
    }
    return ::testing::AssertionFailure() << "no arithmetic error";
}

}  // namespace test
}  // namespace rz

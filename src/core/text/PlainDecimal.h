#pragma once

#include <cstdint>

// The usual number of a data file, read inline in the readers' loops over millions of fields.
namespace rz {

namespace detail {

// kBounded: stops at end. Otherwise end is not looked at, and the text must hold a byte
// after the number that is neither a digit nor the decimal separator.
template <bool kBounded>
inline const char* readPlainDecimal(const char* p, const char* end, char decimalSeparator, double& value)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                         1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    const auto more = [end](const char* q) {
        if constexpr (kBounded)
            return q != end;
        else
            return (void)end, true;
    };
    const bool negative = more(p) && *p == '-';
    const char* q = negative ? p + 1 : p;
    std::uint64_t w = 0;
    const char* digits = q;
    while (more(q) && static_cast<unsigned char>(*q - '0') < 10) {
        w = w * 10 + static_cast<unsigned char>(*q - '0');
        ++q;
    }
    long count = q - digits;
    long after = 0;
    if (more(q) && *q == decimalSeparator) {
        const char* fraction = ++q;
        while (more(q) && static_cast<unsigned char>(*q - '0') < 10) {
            w = w * 10 + static_cast<unsigned char>(*q - '0');
            ++q;
        }
        after = q - fraction;
        count += after;
    }
    // 19 digits cannot wrap the 64 bits; an exponent is the full reader's.
    if (count == 0 || count > 19 || w > (std::uint64_t(1) << 53) || (more(q) && (*q == 'e' || *q == 'E')))
        return nullptr;
    const double magnitude = static_cast<double>(w) / kPowers[after];
    value = negative ? -magnitude : magnitude;
    return q;
}

}  // namespace detail

// Reads [-] digits [sep digits] at p, without an exponent, when it has at most 19 digits
// and their value w (the separator left out) is at most 2^53. Then the number is w / 10^k,
// k the digits after the separator (k <= 19), and both w and 10^k are exact doubles, so
// one correctly rounded division gives exactly the double that a full conversion gives
// (Clinger's fast path). Returns where the number ends and sets value; nullptr when the
// text is anything else, which the full reader (parseDecimalAsciiPrefix) then decides.
// A call costs a third of the full reader's on the fields of a test record.
inline const char* readPlainDecimal(const char* p, const char* end, char decimalSeparator, double& value)
{
    return detail::readPlainDecimal<true>(p, end, decimalSeparator, value);
}

// The same where a line break follows p in the text: the break stops the reading, so no
// end is looked for at each digit.
inline const char* readPlainDecimalBeforeBreak(const char* p, char decimalSeparator, double& value)
{
    return detail::readPlainDecimal<false>(p, nullptr, decimalSeparator, value);
}

}  // namespace rz

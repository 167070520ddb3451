#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The usual number of a data file, read inline in the readers' loops over millions of fields.
namespace rz {

namespace detail {

// The powers of ten that a double holds exactly, for the exact conversions here and in the
// full reader (NumberText.cpp).
inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A plain number's digits as one integer (the separator left out), how many of them follow
// the separator, and its sign.
struct PlainDigits {
    std::int64_t value = 0;
    int after = 0;
    bool negative = false;
};

// kBounded: stops at end. Otherwise end is not looked at, and the text must hold a byte
// after the number that is neither a digit nor the decimal separator.
template <bool kBounded>
inline const char* readPlainDigits(const char* p, const char* end, char decimalSeparator, PlainDigits& digits)
{
    const auto more = [end](const char* q) {
        if constexpr (kBounded)
            return q != end;
        else
            return (void)end, true;
    };
    const bool negative = more(p) && *p == '-';
    const char* q = negative ? p + 1 : p;
    std::uint64_t w = 0;
    const char* first = q;
    while (more(q) && static_cast<unsigned char>(*q - '0') < 10) {
        w = w * 10 + static_cast<unsigned char>(*q - '0');
        ++q;
    }
    long count = q - first;
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
    digits = {static_cast<std::int64_t>(w), static_cast<int>(after), negative};
    return q;
}

template <bool kBounded>
inline const char* readPlainDecimal(const char* p, const char* end, char decimalSeparator, double& value)
{
    PlainDigits digits;
    const char* q = readPlainDigits<kBounded>(p, end, decimalSeparator, digits);
    if (q == nullptr)
        return nullptr;
    const double magnitude = static_cast<double>(digits.value) / kPowersOfTen[digits.after];
    value = digits.negative ? -magnitude : magnitude;
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

// Two such numbers joined by a comma, "number,number", where a line break follows (so no
// end is looked for at each digit): the usual line of a data file. Where SSE2 has it, both
// divisions are made by one instruction; each half is the same correctly rounded division,
// so the same two doubles. The divisions are most of what a line waits for. Returns where
// the second number ends, or nullptr (and sets neither) when the text is anything else.
inline const char* readPlainPairBeforeBreak(const char* p, char decimalSeparator, double& first, double& second)
{
    detail::PlainDigits a;
    detail::PlainDigits b;
    const char* q = detail::readPlainDigits<false>(p, nullptr, decimalSeparator, a);
    if (q == nullptr || *q != ',')
        return nullptr;
    q = detail::readPlainDigits<false>(q + 1, nullptr, decimalSeparator, b);
    if (q == nullptr)
        return nullptr;
#if defined(__SSE2__)
    const __m128d quotients =
        _mm_div_pd(_mm_set_pd(static_cast<double>(b.value), static_cast<double>(a.value)),
                   _mm_set_pd(detail::kPowersOfTen[b.after], detail::kPowersOfTen[a.after]));
    // A sign is its bit: flipping it is what negation does, -0 included.
    const __m128i signs = _mm_set_epi64x(static_cast<long long>(std::uint64_t(b.negative) << 63),
                                         static_cast<long long>(std::uint64_t(a.negative) << 63));
    const __m128d values = _mm_xor_pd(quotients, _mm_castsi128_pd(signs));
    _mm_storel_pd(&first, values);
    _mm_storeh_pd(&second, values);
#else
    const double x = static_cast<double>(a.value) / detail::kPowersOfTen[a.after];
    const double y = static_cast<double>(b.value) / detail::kPowersOfTen[b.after];
    first = a.negative ? -x : x;
    second = b.negative ? -y : y;
#endif
    return q;
}

}  // namespace rz

#include "core/text/NumberText.h"

#include "core/text/PlainDecimal.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace rz {
namespace {

template <typename Char>
bool isDigit(Char c)
{
    return c >= '0' && c <= '9';
}

// What one pass over a decimal text learns: enough to convert most texts exactly on the
// spot, and to tell overflow from underflow for the rest.
struct DecimalScan {
    bool negative = false;
    std::uint64_t mantissa = 0;    // the first 19 significant digits
    int significantDigits = 0;     // how many of them there are
    bool droppedNonZero = false;   // a non-zero digit after the 19th was left out
    std::int64_t scale = 0;        // value = mantissa * 10^(scale + exponent), dropped digits aside
    std::int64_t exponent = 0;     // the E part, saturated far outside the double range
};

// [+|-] digits [separator digits] [(E|e) [+|-] digits], at least one mantissa digit.
template <typename Char>
bool scanDecimal(const Char* p, const Char* end, Char separator, DecimalScan& scan)
{
    constexpr int maxDigits = 19;
    constexpr std::int64_t exponentLimit = 1'000'000'000;
    if (p != end && (*p == '+' || *p == '-')) {
        scan.negative = *p == '-';
        ++p;
    }
    bool anyDigit = false;
    for (; p != end && isDigit(*p); ++p) {
        anyDigit = true;
        const int digit = *p - '0';
        if (scan.significantDigits == 0 && digit == 0)
            continue;
        if (scan.significantDigits < maxDigits) {
            scan.mantissa = scan.mantissa * 10 + static_cast<unsigned>(digit);
            ++scan.significantDigits;
        } else {
            scan.droppedNonZero |= digit != 0;
            ++scan.scale;
        }
    }
    if (p != end && *p == separator) {
        for (++p; p != end && isDigit(*p); ++p) {
            anyDigit = true;
            const int digit = *p - '0';
            if (scan.significantDigits == 0 && digit == 0) {
                --scan.scale;
            } else if (scan.significantDigits < maxDigits) {
                scan.mantissa = scan.mantissa * 10 + static_cast<unsigned>(digit);
                ++scan.significantDigits;
                --scan.scale;
            } else {
                scan.droppedNonZero |= digit != 0;
            }
        }
    }
    if (!anyDigit)
        return false;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        const Char* digits = p;
        for (; p != end && isDigit(*p); ++p)
            scan.exponent = std::min(scan.exponent * 10 + (*p - '0'), exponentLimit);
        if (p == digits)
            return false;
        if (negativeExponent)
            scan.exponent = -scan.exponent;
    }
    return p == end;
}

// Mantissa and power of ten both exact in a double: one IEEE operation rounds correctly.
// Needs doubles evaluated in double precision (not x87 extended).
bool convertExactly(const DecimalScan& scan, double& value)
{
    const std::int64_t power = scan.scale + scan.exponent;
    if (FLT_EVAL_METHOD != 0 || scan.droppedNonZero || scan.mantissa > (std::uint64_t{1} << 53) || power < -22 || power > 22)
        return false;
    const double mantissa = static_cast<double>(scan.mantissa);
    value = power < 0 ? mantissa / detail::kPowersOfTen[-power] : mantissa * detail::kPowersOfTen[power];
    if (scan.negative)
        value = -value;
    return true;
}

// Everything else goes to std::from_chars, which wants '.' and no '+'.
template <typename Char>
std::optional<double> convertWithFromChars(const Char* begin, const Char* end, Char separator, const DecimalScan& scan)
{
    if (*begin == '+')
        ++begin;
    const auto size = static_cast<std::size_t>(end - begin);
    char small[64];
    std::string large;
    char* ascii = small;
    if (size > sizeof(small)) {
        large.resize(size);
        ascii = large.data();
    }
    for (std::size_t i = 0; i < size; ++i)
        ascii[i] = begin[i] == separator ? '.' : static_cast<char>(begin[i]);
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(ascii, ascii + size, value);
    if (ec == std::errc() && ptr == ascii + size)
        return value;
    if (ec == std::errc::result_out_of_range) {
        // Either overflow (1e999: no number) or underflow to zero (1e-400: a number).
        // They lie hundreds of decades apart, so the leading digit's place tells them apart.
        if (scan.significantDigits - 1 + scan.scale + scan.exponent < 0)
            return scan.negative ? -0.0 : 0.0;
    }
    return std::nullopt;
}

template <typename Char>
std::optional<double> parseNumber(const Char* begin, const Char* end, Char separator)
{
    DecimalScan scan;
    if (!scanDecimal(begin, end, separator, scan))
        return std::nullopt;
    if (scan.significantDigits == 0)
        return scan.negative ? -0.0 : 0.0;
    double value = 0.0;
    if (convertExactly(scan, value))
        return value;
    return convertWithFromChars(begin, end, separator, scan);
}

QString nonFiniteText(double value)
{
    QString text = std::isnan(value) ? QStringLiteral("NAN") : QStringLiteral("INF");
    if (std::signbit(value))
        text.prepend(u'-');
    return text;
}

bool allDigitsZero(const char* begin, const char* end)
{
    for (const char* p = begin; p != end; ++p)
        if (isDigit(*p) && *p != '0')
            return false;
    return true;
}

// Fixed notation with the given number of decimals; a result that rounds to zero loses
// its minus sign.
std::to_chars_result toFixed(char* begin, char* end, double value, int decimals)
{
    auto result = std::to_chars(begin, end, value, std::chars_format::fixed, decimals);
    if (*begin == '-' && allDigitsZero(begin, result.ptr)) {
        std::memmove(begin, begin + 1, static_cast<std::size_t>(result.ptr - begin - 1));
        --result.ptr;
    }
    return result;
}

// Above this the fixed patterns would print digits that the double does not hold.
constexpr double fixedPatternLimit = 1e18;

}  // namespace

std::optional<double> parseDecimal(QStringView text, QChar decimalSeparator)
{
    return parseNumber(text.utf16(), text.utf16() + text.size(), decimalSeparator.unicode());
}

const char* parseDecimalAsciiPrefix(const char* begin, const char* end, char decimalSeparator, double& value)
{
    // fast_float reads this grammar at twice the speed, correctly rounded as from_chars is,
    // as far as it goes; but for a leading '+', "inf" and "nan", and values beyond the double
    // range, which it makes infinite.
    const char* p = begin;
    if (p != end && *p == '+') {
        ++p;
        if (p != end && *p == '-')
            return nullptr;
    }
    const char* first = p != end && *p == '-' ? p + 1 : p;
    if (first == end || !(isDigit(*first) || *first == decimalSeparator))
        return nullptr;
    if (const char* stop = readPlainDecimal(p, end, decimalSeparator, value))
        return stop;
    double parsed = 0.0;
    const auto result = fast_float::from_chars_advanced(
        p, end, parsed, fast_float::parse_options(fast_float::chars_format::general, decimalSeparator));
    if (result.ec != std::errc() || std::isinf(parsed))
        return nullptr;
    value = parsed;
    return result.ptr;
}

bool parseDecimalAscii(const char* begin, const char* end, char decimalSeparator, double& value)
{
    double parsed = 0.0;
    const char* stop = parseDecimalAsciiPrefix(begin, end, decimalSeparator, parsed);
    if (stop == nullptr || stop != end)
        return false;
    value = parsed;
    return true;
}

std::optional<std::int32_t> parseInteger(QStringView text)
{
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end)
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (; p != end; ++p) {
        if (!isDigit(*p))
            return std::nullopt;
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > std::int64_t{1} << 31)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

QString formatPattern5(double value, QChar decimalSeparator)
{
    return pattern5Chars(value, decimalSeparator).view().toString();
}

QString formatPattern4(double value, QChar decimalSeparator)
{
    return pattern4Chars(value, decimalSeparator).view().toString();
}

NumberChars::NumberChars(QStringView text) : size_(std::min(text.size(), kCapacity))
{
    std::copy_n(text.utf16(), size_, chars_.begin());
}

NumberChars::NumberChars(const char* begin, const char* end, QChar decimalSeparator)
    : size_(std::min(static_cast<qsizetype>(end - begin), kCapacity))
{
    for (qsizetype i = 0; i < size_; ++i)
        chars_[static_cast<std::size_t>(i)] = begin[i] == '.' ? decimalSeparator.unicode() : char16_t(begin[i]);
}

NumberChars pattern5Chars(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return NumberChars(nonFiniteText(value));
    if (std::fabs(value) >= fixedPatternLimit)
        return NumberChars(formatGeneral(value, decimalSeparator));
    char buffer[64];
    const auto result = toFixed(buffer, buffer + sizeof(buffer), value, 5);
    char* end = result.ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    return NumberChars(buffer, end, decimalSeparator);
}

NumberChars pattern4Chars(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return NumberChars(nonFiniteText(value));
    if (std::fabs(value) >= fixedPatternLimit)
        return NumberChars(formatGeneral(value, decimalSeparator));
    char buffer[64];
    const auto result = toFixed(buffer, buffer + sizeof(buffer), value, 4);
    return NumberChars(buffer, result.ptr, decimalSeparator);
}

QString formatGeneral(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0.0)
        return QStringLiteral("0");

    // d.dddddddddddddde[+-]xx: the value rounded to 15 significant digits.
    char scientific[40];
    const auto result = std::to_chars(scientific, scientific + sizeof(scientific), std::fabs(value),
                                      std::chars_format::scientific, 14);
    const char* ePos = static_cast<const char*>(std::memchr(scientific, 'e', static_cast<std::size_t>(result.ptr - scientific)));
    int exponent10 = 0;
    std::from_chars(ePos[1] == '+' ? ePos + 2 : ePos + 1, result.ptr, exponent10);

    char digits[16];
    int digitCount = 0;
    for (const char* p = scientific; p != ePos; ++p)
        if (isDigit(*p))
            digits[digitCount++] = *p;
    while (digitCount > 1 && digits[digitCount - 1] == '0')
        --digitCount;

    // The value is 0.d1d2... times ten to the power e.
    const int e = exponent10 + 1;
    QString text;
    text.reserve(24);
    if (value < 0)
        text += u'-';
    if (e >= -3 && e <= 15) {
        if (e > 0) {
            for (int i = 0; i < e; ++i)
                text += QLatin1Char(i < digitCount ? digits[i] : '0');
            if (digitCount > e) {
                text += decimalSeparator;
                text += QLatin1StringView(digits + e, digitCount - e);
            }
        } else {
            text += u'0';
            text += decimalSeparator;
            text += QString(-e, u'0');
            text += QLatin1StringView(digits, digitCount);
        }
    } else {
        text += QLatin1Char(digits[0]);
        if (digitCount > 1) {
            text += decimalSeparator;
            text += QLatin1StringView(digits + 1, digitCount - 1);
        }
        text += u'E';
        text += QString::number(e - 1);
    }
    return text;
}

QString formatRoundTrip(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString invalidFloatMessage(const QString& text)
{
    return u'\'' + text + QStringLiteral("' is not a valid floating point value");
}

QString invalidIntegerMessage(const QString& text)
{
    return QStringLiteral("''") + text + QStringLiteral("'' is not a valid integer value");
}

}  // namespace rz

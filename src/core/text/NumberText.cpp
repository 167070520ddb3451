#include "core/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

namespace rz {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// ASCII copy of a number text with the decimal separator turned into '.', so that the
// grammar check and std::from_chars see one form whatever the user's separator is.
// Short texts stay on the stack: the data-file reader converts millions of them.
class AsciiNumber {
public:
    // False when the text cannot be a number: a character outside ASCII, or a '.'
    // while the separator is something else.
    bool assign(QStringView text, char16_t separator)
    {
        char* out = small_;
        const auto size = static_cast<std::size_t>(text.size());
        if (size > sizeof(small_)) {
            large_.resize(size);
            out = large_.data();
        }
        const char16_t* in = text.utf16();
        for (std::size_t i = 0; i < size; ++i) {
            const char16_t c = in[i];
            if (c == separator)
                out[i] = '.';
            else if (c >= 0x80 || c == u'.')
                return false;
            else
                out[i] = static_cast<char>(c);
        }
        begin_ = out;
        end_ = out + size;
        return true;
    }

    bool assign(const char* begin, const char* end, char separator)
    {
        if (separator == '.') {
            begin_ = begin;
            end_ = end;
            return true;
        }
        const auto size = static_cast<std::size_t>(end - begin);
        char* out = small_;
        if (size > sizeof(small_)) {
            large_.resize(size);
            out = large_.data();
        }
        for (std::size_t i = 0; i < size; ++i) {
            const char c = begin[i];
            if (c == separator)
                out[i] = '.';
            else if (c == '.')
                return false;
            else
                out[i] = c;
        }
        begin_ = out;
        end_ = out + size;
        return true;
    }

    const char* begin() const { return begin_; }
    const char* end() const { return end_; }

private:
    char small_[64];
    std::string large_;
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
};

// [+|-] digits ['.' digits] [(E|e) [+|-] digits], at least one mantissa digit.
bool isDecimalText(const char* p, const char* end)
{
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    const char* digits = p;
    while (p != end && isDigit(*p))
        ++p;
    std::ptrdiff_t mantissaDigits = p - digits;
    if (p != end && *p == '.') {
        ++p;
        digits = p;
        while (p != end && isDigit(*p))
            ++p;
        mantissaDigits += p - digits;
    }
    if (mantissaDigits == 0)
        return false;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-'))
            ++p;
        digits = p;
        while (p != end && isDigit(*p))
            ++p;
        if (p == digits)
            return false;
    }
    return p == end;
}

// Decimal exponent of the leading non-zero digit of a text that passed isDecimalText and
// is not zero; saturates far outside the double range, which is all the caller needs.
std::int64_t leadingDigitExponent(const char* p, const char* end)
{
    constexpr std::int64_t limit = 1'000'000'000;
    if (*p == '+' || *p == '-')
        ++p;
    std::int64_t position = 0;  // exponent of the digit at p
    const char* q = p;
    while (q != end && isDigit(*q))
        ++q;
    position = (q - p) - 1;
    std::int64_t leading = 0;
    bool found = false;
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.')
            continue;
        if (*p != '0' && !found) {
            leading = position;
            found = true;
        }
        --position;
    }
    std::int64_t exponent = 0;
    if (p != end) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-')
            ++p;
        for (; p != end; ++p) {
            exponent = exponent * 10 + (*p - '0');
            if (exponent > limit) {
                exponent = limit;
                break;
            }
        }
        if (negative)
            exponent = -exponent;
    }
    return leading + exponent;
}

std::optional<double> convertDecimal(const char* begin, const char* end)
{
    if (!isDecimalText(begin, end))
        return std::nullopt;
    const char* start = *begin == '+' ? begin + 1 : begin;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(start, end, value);
    if (ec == std::errc() && ptr == end)
        return value;
    if (ec == std::errc::result_out_of_range && ptr == end) {
        // Out of range is either overflow (1e999: no number) or underflow to zero
        // (1e-400: a number). The two lie hundreds of decades apart, so the position
        // of the leading digit tells them apart exactly.
        if (leadingDigitExponent(begin, end) < 0)
            return *begin == '-' ? -0.0 : 0.0;
    }
    return std::nullopt;
}

QString nonFiniteText(double value)
{
    QString text = std::isnan(value) ? QStringLiteral("NAN") : QStringLiteral("INF");
    if (std::signbit(value))
        text.prepend(u'-');
    return text;
}

QString fromAscii(const char* begin, const char* end, QChar decimalSeparator)
{
    QString text(static_cast<qsizetype>(end - begin), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char* p = begin; p != end; ++p, ++out)
        *out = *p == '.' ? decimalSeparator : QChar(QLatin1Char(*p));
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
    AsciiNumber ascii;
    if (!ascii.assign(text, decimalSeparator.unicode()))
        return std::nullopt;
    return convertDecimal(ascii.begin(), ascii.end());
}

std::optional<double> parseDecimalAscii(const char* begin, const char* end, char decimalSeparator)
{
    AsciiNumber ascii;
    if (!ascii.assign(begin, end, decimalSeparator))
        return std::nullopt;
    return convertDecimal(ascii.begin(), ascii.end());
}

std::optional<std::int32_t> parseInteger(QStringView text)
{
    AsciiNumber ascii;
    if (!ascii.assign(text, u'.'))
        return std::nullopt;
    const char* p = ascii.begin();
    const char* end = ascii.end();
    const bool plus = p != end && *p == '+';
    if (plus)
        ++p;
    const char* digits = !plus && p != end && *p == '-' ? p + 1 : p;
    if (digits == end)
        return std::nullopt;
    for (const char* q = digits; q != end; ++q)
        if (!isDigit(*q))
            return std::nullopt;
    std::int32_t value = 0;
    const auto [ptr, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

QString formatPattern5(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (std::fabs(value) >= fixedPatternLimit)
        return formatGeneral(value, decimalSeparator);
    char buffer[64];
    const auto result = toFixed(buffer, buffer + sizeof(buffer), value, 5);
    char* end = result.ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    return fromAscii(buffer, end, decimalSeparator);
}

QString formatPattern4(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (std::fabs(value) >= fixedPatternLimit)
        return formatGeneral(value, decimalSeparator);
    char buffer[64];
    const auto result = toFixed(buffer, buffer + sizeof(buffer), value, 4);
    return fromAscii(buffer, result.ptr, decimalSeparator);
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

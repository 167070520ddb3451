// The decimal parser against the C library's reader, and the number-text writers with
// the round trips they promise.
#include "core/text/NumberText.h"

#include <QString>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "invariant broken: %s [%s]\n", what, text.toUtf8().constData());
    std::abort();
}

void require(bool condition, const char* what, const QString& text = {})
{
    if (!condition)
        fail(what, text);
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// [+|-] digits [sep digits] [(E|e) [+|-] digits], at least one mantissa digit.
bool matchesDecimal(QStringView t, char16_t sep)
{
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto at = [&](qsizetype k) { return k < n ? t[k].unicode() : char16_t(0); };
    if (at(i) == u'+' || at(i) == u'-')
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(at(i)))
        ++i, ++digits;
    if (i < n && at(i) == sep) {
        ++i;
        while (i < n && isDigit(at(i)))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (at(i) == u'e' || at(i) == u'E')) {
        ++i;
        if (at(i) == u'+' || at(i) == u'-')
            ++i;
        qsizetype exponentDigits = 0;
        while (i < n && isDigit(at(i)))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

// The C library's correctly rounded reader, in the "C" locale (no QApplication here).
double referenceValue(QStringView t, char16_t sep)
{
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(t.size()));
    for (QChar c : t)
        ascii += c.unicode() == sep ? '.' : static_cast<char>(c.unicode());
    return std::strtod(ascii.c_str(), nullptr);
}

void checkParse(QStringView text, char16_t sep)
{
    const auto value = rz::parseDecimal(text, QChar(sep));
    if (!matchesDecimal(text, sep)) {
        require(!value, "text outside the grammar was read as a number", text.toString());
        return;
    }
    const double reference = referenceValue(text, sep);
    if (std::isinf(reference)) {
        require(!value, "a text beyond the double range was read as a number", text.toString());
        return;
    }
    require(value.has_value(), "a number in the double range was refused", text.toString());
    require(sameBits(*value, reference), "value differs from the correctly rounded one", text.toString());
}

void checkInteger(QStringView text)
{
    const auto value = rz::parseInteger(text);
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        ++i;
    }
    bool ok = i < text.size();
    std::int64_t magnitude = 0;
    for (; ok && i < text.size(); ++i) {
        if (!isDigit(text[i].unicode()))
            ok = false;
        else
            magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i].unicode() - u'0'), std::int64_t{1} << 40);
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    ok = ok && signedValue >= std::numeric_limits<std::int32_t>::min() && signedValue <= std::numeric_limits<std::int32_t>::max();
    require(ok == value.has_value(), "integer accepted or refused wrongly", text.toString());
    if (ok)
        require(*value == signedValue, "integer value wrong", text.toString());
}

QString nonFiniteText(double v)
{
    QString t = std::isnan(v) ? QStringLiteral("NAN") : QStringLiteral("INF");
    return std::signbit(v) ? u'-' + t : t;
}

bool allZeroDigits(const QString& t)
{
    for (QChar c : t)
        if (isDigit(c.unicode()) && c != u'0')
            return false;
    return true;
}

// -digits[sep digits] with the given number of decimals (exactly, or at most with the
// last one non-zero), no superfluous leading zero, no minus sign on a zero.
bool isFixedForm(const QString& t, char16_t sep, int decimals, bool exact)
{
    qsizetype i = t.startsWith(u'-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < t.size() && isDigit(t[i].unicode()))
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && t[intStart] == u'0'))
        return false;
    int fraction = 0;
    if (i < t.size()) {
        if (t[i] != sep)
            return false;
        for (++i; i < t.size(); ++i, ++fraction)
            if (!isDigit(t[i].unicode()))
                return false;
        if (!exact && (fraction == 0 || t.back() == u'0'))
            return false;
    }
    if (exact ? fraction != decimals : fraction > decimals)
        return false;
    return !(intStart == 1 && allZeroDigits(t));
}

void checkPattern(double v, char16_t sep, int decimals)
{
    const QString text = decimals == 5 ? rz::formatPattern5(v, QChar(sep)) : rz::formatPattern4(v, QChar(sep));
    if (!std::isfinite(v)) {
        require(text == nonFiniteText(v), "non-finite value not written as NAN/INF", text);
        return;
    }
    if (std::fabs(v) >= 1e18) {
        require(text == rz::formatGeneral(v, QChar(sep)), "huge value not in the general form", text);
        return;
    }
    require(isFixedForm(text, sep, decimals, decimals == 4), "fixed pattern malformed", text);
    const auto back = rz::parseDecimal(text, QChar(sep));
    require(back.has_value(), "fixed pattern does not read back", text);
    const double half = decimals == 5 ? 0.5e-5 : 0.5e-4;
    require(std::fabs(*back - v) <= half * (1 + 1e-9) + std::fabs(v) * 1e-15, "fixed pattern rounds to the wrong value", text);
}

// Fixed: -digits[sep digits]; scientific: -d[sep digits]E[-]digits; at most 15
// significant digits, no trailing zero after the separator.
bool isGeneralForm(const QString& t, char16_t sep, bool& scientific)
{
    const qsizetype e = t.indexOf(u'E');
    scientific = e >= 0;
    const QString mantissa = scientific ? t.left(e) : t;
    if (scientific) {
        const QString exponent = t.mid(e + 1);
        const qsizetype start = exponent.startsWith(u'-') ? 1 : 0;
        if (exponent.size() == start || exponent[start] == u'0')
            return false;
        for (qsizetype i = start; i < exponent.size(); ++i)
            if (!isDigit(exponent[i].unicode()))
                return false;
        const qsizetype digitsBefore = mantissa.indexOf(sep) < 0 ? mantissa.size() : mantissa.indexOf(sep);
        if (digitsBefore - (mantissa.startsWith(u'-') ? 1 : 0) != 1 || allZeroDigits(mantissa))
            return false;
    }
    if (!isFixedForm(mantissa, sep, 1000, false))
        return false;
    int significant = 0;
    bool started = false;
    for (QChar c : mantissa) {
        if (!isDigit(c.unicode()))
            continue;
        started = started || c != u'0';
        significant += started ? 1 : 0;
    }
    return significant <= 15;
}

void checkGeneral(double v, char16_t sep)
{
    const QString text = rz::formatGeneral(v, QChar(sep));
    if (!std::isfinite(v)) {
        require(text == nonFiniteText(v), "non-finite value not written as NAN/INF", text);
        return;
    }
    if (v == 0.0) {
        require(text == QStringLiteral("0"), "zero not written as 0", text);
        return;
    }
    bool scientific = false;
    require(isGeneralForm(text, sep, scientific), "general form malformed", text);
    const auto back = rz::parseDecimal(text, QChar(sep));
    if (!back) {
        // 15 digits of the largest doubles round up past the double range.
        require(std::fabs(v) >= 1.797693134862315e308, "general form does not read back", text);
        return;
    }
    // Half a unit in the 15th significant digit, plus the rounding of the text read back.
    const double magnitude = std::fabs(v);
    const double halfUnit = 0.5 * std::pow(10.0, std::floor(std::log10(magnitude)) - 14);
    const double ulp = std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
    require(std::fabs(*back - v) <= halfUnit * (1 + 1e-9) + ulp, "general form further than 15 digits from the value", text);
    const double m = std::fabs(*back);
    require(scientific == !(m >= 1e-4 && m < 1e15), "fixed or scientific chosen wrongly", text);
}

void checkRoundTrip(double v)
{
    const QString text = rz::formatRoundTrip(v);
    const auto back = rz::parseDecimal(text, u'.');
    if (!std::isfinite(v)) {
        require(!back, "a non-finite text was read as a number", text);
        return;
    }
    require(back.has_value() && sameBits(*back, v), "round-trip text does not give the same double", text);
}

void checkDouble(double v)
{
    for (char16_t sep : {u'.', u','}) {
        checkPattern(v, sep, 5);
        checkPattern(v, sep, 4);
        checkGeneral(v, sep);
    }
    checkRoundTrip(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* chars = reinterpret_cast<const char*>(data);
    const QString latin1 = QString::fromLatin1(chars, static_cast<qsizetype>(size));
    for (char16_t sep : {u'.', u','}) {
        checkParse(latin1, sep);
        const auto ascii = rz::parseDecimalAscii(chars, chars + size, static_cast<char>(sep));
        const auto utf16 = rz::parseDecimal(latin1, QChar(sep));
        require(ascii.has_value() == utf16.has_value() && (!ascii || sameBits(*ascii, *utf16)),
                "8-bit and UTF-16 parsers disagree", latin1);
    }
    // The same bytes as UTF-16, so characters beyond Latin-1 reach the parser too.
    QString wide(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(wide.data(), data, size / 2 * 2);
    checkParse(wide, u'.');
    checkInteger(latin1);

    for (std::size_t i = 0; i + 8 <= size && i < 8 * 64; i += 8) {
        std::uint64_t bits;
        std::memcpy(&bits, data + i, 8);
        checkDouble(std::bit_cast<double>(bits));
    }
    // The text read as a number, so the writers also see values the parser produces.
    if (const auto v = rz::parseDecimal(latin1, u'.'))
        checkDouble(*v);
    return 0;
}

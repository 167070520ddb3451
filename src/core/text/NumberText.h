#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

// Conversions between numbers and the texts the user types, reads and writes.
// Every function takes the decimal separator explicitly: the C library's numeric
// locale follows the user's once a QApplication exists, so nothing here may rely on it.
namespace rz {

// Strict decimal grammar: [+|-] digits [sep digits] [(E|e) [+|-] digits], where the
// mantissa needs at least one digit before or after the separator. No blanks, no
// thousands separators, no "nan"/"inf"/hex. A value beyond the double range is not a
// number; one too small for it becomes zero (or a subnormal).
std::optional<double> parseDecimal(QStringView text, QChar decimalSeparator);

// Same, for 8-bit text with an ASCII separator: the readers of data files walk UTF-8 and
// Latin-1 files as bytes. Sets value and returns true for a number. Not an optional: an
// optional returned from another file is built in memory and read back at a stall, which
// costs as much as the conversion in a loop over millions of fields.
bool parseDecimalAscii(const char* begin, const char* end, char decimalSeparator, double& value);

// The number at the start of [begin, end), read as far as the grammar goes: returns where
// it ends (and sets value), or nullptr when none starts there. The text is a number when
// that is end; for readers that find a field's end from its number in one pass.
const char* parseDecimalAsciiPrefix(const char* begin, const char* end, char decimalSeparator, double& value);

inline std::optional<double> parseDecimalAscii(const char* begin, const char* end, char decimalSeparator)
{
    double value = 0.0;
    if (parseDecimalAscii(begin, end, decimalSeparator, value))
        return value;
    return std::nullopt;
}

// Signed decimal integer: [+|-] digits, within the 32-bit range; nothing else.
std::optional<std::int32_t> parseInteger(QStringView text);

// "0.#####": fixed, at most five decimals, trailing zeros and separator dropped.
QString formatPattern5(double value, QChar decimalSeparator);
// "0.0000": fixed, exactly four decimals.
QString formatPattern4(double value, QChar decimalSeparator);

// A short text held in place, without a string of its own: what the two patterns above give,
// for the batch tool's tables, which write dozens of numbers for every file.
class NumberChars {
public:
    // Enough for either pattern: 25 characters at most in fixed form, 22 in the general one.
    static constexpr qsizetype kCapacity = 32;

    NumberChars() = default;
    // The text, cut to kCapacity characters (a table's "--" where there is no number).
    explicit NumberChars(QStringView text);
    // ASCII characters with '.' as the separator, which is written as decimalSeparator.
    NumberChars(const char* begin, const char* end, QChar decimalSeparator);

    QStringView view() const { return QStringView(chars_.data(), size_); }

private:
    std::array<char16_t, kCapacity> chars_{};
    qsizetype size_ = 0;
};

// The texts of formatPattern5 and formatPattern4, held in place.
NumberChars pattern5Chars(double value, QChar decimalSeparator);
NumberChars pattern4Chars(double value, QChar decimalSeparator);

// General form, at most 15 significant digits: fixed notation while the decimal
// exponent lies from -3 to 15, scientific ("1E-5", "1E15") otherwise; "NAN", "INF".
QString formatGeneral(double value, QChar decimalSeparator);
// Shortest text that reads back to the same double (always '.'), for machine output.
QString formatRoundTrip(double value);

// The conversion errors' messages, exactly as the user sees them.
QString invalidFloatMessage(const QString& text);    // '%s' is not a valid floating point value
QString invalidIntegerMessage(const QString& text);  // ''%s'' is not a valid integer value

}  // namespace rz

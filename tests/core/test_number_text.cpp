#include "core/text/NumberText.h"
#include "core/text/PlainDecimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace rz {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Bit-exact: tells -0.0 from 0.0 and catches a last-bit rounding slip.
::testing::AssertionResult sameBits(double actual, double expected)
{
    if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual << ", expected " << expected;
}

struct ParseCase {
    const char16_t* text;
    char16_t separator;
    double expected;
};

const std::vector<ParseCase> validDecimals = {
    {u"0", u'.', 0.0},
    {u"-0", u'.', -0.0},
    {u"-0.0e5", u'.', -0.0},
    {u"1.5", u'.', 1.5},
    {u"-1.5", u'.', -1.5},
    {u"+1.5", u'.', 1.5},
    {u".5", u'.', 0.5},
    {u"-.5", u'.', -0.5},
    {u"5.", u'.', 5.0},
    {u"1e3", u'.', 1000.0},
    {u"1E3", u'.', 1000.0},
    {u"1e+3", u'.', 1000.0},
    {u"2.5e-3", u'.', 0.0025},
    {u"1.e2", u'.', 100.0},
    {u"0.1", u'.', 0.1},
    {u"007", u'.', 7.0},
    {u"0.42283870587000005", u'.', 0.42283870587000005},
    {u"1.64994E-01", u'.', 0.164994},
    {u"6.8902e-005", u'.', 6.8902e-5},
    {u"1,5", u',', 1.5},
    {u"-1,25E2", u',', -125.0},
    {u"1\u066B5", u'\u066B', 1.5},
    {u"1.7976931348623157e308", u'.', std::numeric_limits<double>::max()},
    {u"4.9e-324", u'.', std::numeric_limits<double>::denorm_min()},
    {u"2e-310", u'.', 2e-310},
    // Underflow is a number: zero, keeping the sign.
    {u"1e-400", u'.', 0.0},
    {u"-1e-400", u'.', -0.0},
    {u"2.4e-324", u'.', 0.0},
    {u"0.0000000000000000000000000000000000000000000000000000000000000000000001e-300", u'.', 0.0},
    {u"1e-99999999999999999999", u'.', 0.0},
    // Many digits, beyond any small buffer.
    {u"00000000000000000000000000000000000000000000000000000000000000000000000000001.5", u'.', 1.5},
    {u"0.000000000000000000000000000000000000000000000000000000000000000000000000000001e78", u'.', 1.0},
};

struct BadCase {
    const char16_t* text;
    char16_t separator;
};

const std::vector<BadCase> invalidDecimals = {
    {u"", u'.'},         {u" 1.5", u'.'},      {u"1.5 ", u'.'},     {u"1.5\t", u'.'},
    {u"+", u'.'},        {u"-", u'.'},         {u".", u'.'},        {u"-.", u'.'},
    {u"e5", u'.'},       {u".e5", u'.'},       {u"1e", u'.'},       {u"1e+", u'.'},
    {u"1e-", u'.'},      {u"1e5.5", u'.'},     {u"1.5.2", u'.'},    {u"--1", u'.'},
    {u"+-1", u'.'},      {u"1-", u'.'},        {u"nan", u'.'},      {u"NAN", u'.'},
    {u"inf", u'.'},      {u"-INF", u'.'},      {u"infinity", u'.'}, {u"0x10", u'.'},
    {u"0x1p3", u'.'},    {u"1,000", u'.'},     {u"1 000", u'.'},    {u"1_000", u'.'},
    {u"1.5f", u'.'},     {u"1.5d", u'.'},      {u"20kN", u'.'},     {u"\"1.5\"", u'.'},
    {u"1,5", u'.'},      {u"1.5", u','},       {u"1.000,5", u','},  {u"\uFF11", u'.'},
    {u"1\u00A0000", u'.'}, {u"1e999", u'.'},   {u"-1e999", u'.'},   {u"1.8e308", u'.'},
    {u"1.7976931348623159e308", u'.'},         {u"1e99999999999999999999", u'.'},
    {u"1\u066B5", u'.'}, {u"1.5", u'\u066B'},
};

TEST(ParseDecimal, AcceptsTheGrammar)
{
    for (const auto& c : validDecimals) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        const auto value = parseDecimal(QStringView(c.text), QChar(c.separator));
        ASSERT_TRUE(value.has_value());
        EXPECT_TRUE(sameBits(*value, c.expected));
    }
}

TEST(ParseDecimal, RejectsEverythingElse)
{
    for (const auto& c : invalidDecimals) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_FALSE(parseDecimal(QStringView(c.text), QChar(c.separator)).has_value());
    }
}

// The 8-bit entry point must agree with the UTF-16 one on every ASCII case.
TEST(ParseDecimalAscii, AgreesWithUtf16Parser)
{
    const auto ascii = [](const char16_t* text, std::string& out) {
        out.clear();
        for (const char16_t* p = text; *p; ++p) {
            if (*p >= 0x80)
                return false;
            out += static_cast<char>(*p);
        }
        return true;
    };
    std::string bytes;
    int checked = 0;
    for (const auto& c : validDecimals) {
        if (!ascii(c.text, bytes) || c.separator >= 0x80)
            continue;
        SCOPED_TRACE(bytes);
        const auto value = parseDecimalAscii(bytes.data(), bytes.data() + bytes.size(), static_cast<char>(c.separator));
        ASSERT_TRUE(value.has_value());
        EXPECT_TRUE(sameBits(*value, c.expected));
        ++checked;
    }
    for (const auto& c : invalidDecimals) {
        if (!ascii(c.text, bytes) || c.separator >= 0x80)
            continue;
        SCOPED_TRACE(bytes);
        EXPECT_FALSE(parseDecimalAscii(bytes.data(), bytes.data() + bytes.size(), static_cast<char>(c.separator)).has_value());
        ++checked;
    }
    EXPECT_GT(checked, 60);
}

// Every text of up to five characters from those that matter to the grammar: the two
// entry points accept the same ones and give the same bits.
TEST(ParseDecimalAscii, SameGrammarOnEveryShortText)
{
    const std::string alphabet = "019.,eE+-infa";
    std::vector<std::string> texts = {""};
    for (std::size_t from = 0; texts.size() < 300000;) {
        const std::size_t to = texts.size();
        for (std::size_t i = from; i < to; ++i)
            for (char c : alphabet)
                texts.push_back(texts[i] + c);
        from = to;
    }
    int numbers = 0;
    for (char separator : {'.', ','}) {
        for (const std::string& text : texts) {
            const auto ascii = parseDecimalAscii(text.data(), text.data() + text.size(), separator);
            const auto utf16 = parseDecimal(QString::fromLatin1(text), QChar(separator));
            ASSERT_EQ(ascii.has_value(), utf16.has_value()) << text << " under " << separator;
            if (ascii) {
                ASSERT_TRUE(sameBits(*ascii, *utf16)) << text;
                ++numbers;
            }
        }
    }
    EXPECT_GT(numbers, 5000);
}

// Texts around the limits of exact conversion (2^53, 10^22, 19 digits) and random ones:
// every result must be bit for bit what std::from_chars gives for the same text.
TEST(ParseDecimal, SameValueAsFromChars)
{
    std::vector<std::string> texts = {
        "9007199254740992", "9007199254740993", "9007199254740995", "-9007199254740993",
        "1e22",             "1e23",             "9007199254740993e-22", "123456789e-22",
        "1234567890123456789", "12345678901234567891", "1234567890123456789.5",
        "0.1000000000000000055511151231257827", "2.2250738585072011e-308", "2.2250738585072014e-308",
        "4.9406564584124654e-324", "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497791.9999999",
        "0.000000000000000000000000000000000000001", "100000000000000000000000e-23",
        // Either side of the inline reader's limits: 2^53 as the digits' value, 19 digits.
        "9007199254740.992", "9007199254740.993", "-900719925474099.3", "0.9007199254740993",
        "0.0000000000000000001", "0.00000000000000000001", "1234567890.123456789", ".5", "5.", "-.5",
        "-0.0", "0", "000000000000000000000001.5",
    };
    std::mt19937_64 random(99);
    std::uniform_int_distribution<int> digitCount(1, 24);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-40, 40);
    for (int i = 0; i < 20000; ++i) {
        std::string text = i % 2 ? "-" : "";
        const int n = digitCount(random);
        const int point = static_cast<int>(random() % static_cast<unsigned>(n + 1));
        for (int d = 0; d < n; ++d) {
            if (d == point)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (i % 3 == 0)
            text += "e" + std::to_string(exponent(random) * (i % 7 == 0 ? 8 : 1));
        texts.push_back(text);
    }
    for (const auto& text : texts) {
        double expected = 0.0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_TRUE(ptr == text.data() + text.size()) << text;
        const auto value = parseDecimalAscii(text.data(), text.data() + text.size(), '.');
        if (ec == std::errc::result_out_of_range) {
            continue;  // covered by the tables above
        }
        ASSERT_EQ(ec, std::errc()) << text;
        ASSERT_TRUE(value.has_value()) << text;
        ASSERT_TRUE(sameBits(*value, expected)) << text;
        QString commaText = QString::fromStdString(text);
        commaText.replace(u'.', u',');
        ASSERT_TRUE(sameBits(*parseDecimal(commaText, u','), expected)) << text;
    }
}

// Out of range is judged by the whole magnitude, not by the sign of the exponent part.
TEST(ParseDecimal, OverflowAndUnderflowByMagnitude)
{
    const QString tinyWithPositiveExponent = QStringLiteral("0.") + QString(500, u'0') + QStringLiteral("1e100");
    const QString hugeWithNegativeExponent = QStringLiteral("-1") + QString(400, u'0') + QStringLiteral("e-50");
    const QString hugeFraction = QString(330, u'9') + QStringLiteral(".5");
    const QString fitting = QStringLiteral("1") + QString(400, u'0') + QStringLiteral("e-100");
    // Both entry points: the 8-bit one converts by other means.
    const auto parsers = {
        +[](const QString& text) { return parseDecimal(text, u'.'); },
        +[](const QString& text) {
            const std::string bytes = text.toStdString();
            return parseDecimalAscii(bytes.data(), bytes.data() + bytes.size(), '.');
        },
    };
    for (auto parse : parsers) {
        const auto tiny = parse(tinyWithPositiveExponent);
        ASSERT_TRUE(tiny.has_value());
        EXPECT_TRUE(sameBits(*tiny, 0.0));
        EXPECT_FALSE(parse(hugeWithNegativeExponent).has_value());
        EXPECT_FALSE(parse(hugeFraction).has_value());
        const auto fits = parse(fitting);
        ASSERT_TRUE(fits.has_value());
        EXPECT_DOUBLE_EQ(*fits, 1e300);
    }
}

TEST(ParseDecimal, StopsNowhereShort)
{
    // from_chars alone would read a prefix of each of these and report success.
    const std::string text = "1.5abc";
    EXPECT_FALSE(parseDecimalAscii(text.data(), text.data() + text.size(), '.').has_value());
    EXPECT_TRUE(sameBits(*parseDecimalAscii(text.data(), text.data() + 3, '.'), 1.5));
}

// A number inside a longer text, as the readers meet it in a file: the reader that takes
// eight bytes at a time must stop exactly where the number does, whatever byte follows
// (those beside the digits in the code table, and bytes whose +6 carries into the next),
// and give the bits std::from_chars gives.
TEST(ParseDecimalAscii, StopsWhereTheNumberStopsInsideLongerText)
{
    const std::vector<std::string> after = {"",
                                            ",",
                                            ",12345678",
                                            "\n",
                                            "\r\n7",
                                            "/",
                                            ":",
                                            ";",
                                            " ",
                                            "\xFA"
                                            "9",
                                            "\xFF"
                                            "12345678",
                                            "\xC0",
                                            "e",
                                            "E5"};
    std::mt19937_64 random(2026);
    std::uniform_int_distribution<int> digit(0, 9);
    int inlineRead = 0;
    for (int digits = 1; digits <= 24; ++digits) {
        for (int point = 0; point <= digits; ++point) {
            for (int negative = 0; negative < 2; ++negative) {
                std::string number = negative ? "-" : "";
                for (int d = 0; d < digits; ++d) {
                    if (d == point && point > 0)
                        number += '.';
                    number += static_cast<char>('0' + digit(random));
                }
                if (point == digits)
                    number += '.';
                double expected = 0.0;
                std::from_chars(number.data(), number.data() + number.size(), expected);
                for (const std::string& tail : after) {
                    const std::string text = number + tail;
                    const char* begin = text.data();
                    const char* end = begin + text.size();
                    const bool exponent = !tail.empty() && (tail[0] == 'e' || tail[0] == 'E');
                    double value = 0.0;
                    const char* stop = readPlainDecimal(begin, end, '.', value);
                    if (stop != nullptr) {
                        ++inlineRead;
                        ASSERT_FALSE(exponent) << text;
                        ASSERT_EQ(stop - begin, static_cast<std::ptrdiff_t>(number.size())) << text;
                        ASSERT_TRUE(sameBits(value, expected)) << text;
                    } else {
                        // Only longer numbers, and exponents, are left to the full reader.
                        ASSERT_TRUE(exponent || digits > 15) << text;
                    }
                    if (exponent)
                        continue;
                    value = 0.0;
                    stop = parseDecimalAsciiPrefix(begin, end, '.', value);
                    ASSERT_EQ(stop - begin, static_cast<std::ptrdiff_t>(number.size())) << text;
                    ASSERT_TRUE(sameBits(value, expected)) << text;
                }
            }
        }
    }
    EXPECT_GT(inlineRead, 3000);
}

// The usual line's two numbers read together, both divisions in one instruction: each must
// be the double from_chars gives, the pair taken only when both numbers are plain and a
// comma joins them, and nothing set otherwise.
TEST(ReadPlainPair, SameBitsAsEachNumberAlone)
{
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 21);
    const auto number = [&] {
        const int digits = length(random);
        const int point = std::uniform_int_distribution<int>(0, digits)(random);
        std::string text = random() % 2 ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            if (d == point && point > 0)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        return text;
    };
    const auto alone = [](const std::string& text, double& value) {
        return readPlainDecimal(text.data(), text.data() + text.size(), '.', value) == text.data() + text.size();
    };
    int pairs = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const std::string a = trial < 4 ? std::string(trial % 2 ? "-0" : "0") : number();
        const std::string b = trial < 4 ? std::string(trial / 2 ? "-0.0" : "7") : number();
        const char* tails[] = {"\n", "\r\n", "e5\n", " \n"};
        const char* joins[] = {",", ";", ", "};
        const std::string tail = tails[trial % 4];
        const std::string join = joins[(trial / 4) % 3];
        const std::string text = a + join + b + tail;
        double x = 0.0;
        double y = 0.0;
        const bool plainA = alone(a, x);
        const bool plainB = alone(b, y);
        double first = 1.25;
        double second = 1.25;
        const char* stop = readPlainPairBeforeBreak(text.data(), '.', first, second);
        // A blank after the second number ends it: the caller decides what the line is.
        const bool taken = plainA && plainB && join == "," && tail[0] != 'e';
        ASSERT_EQ(stop != nullptr, taken) << text;
        if (!taken) {
            ASSERT_TRUE(sameBits(first, 1.25) && sameBits(second, 1.25)) << text;
            continue;
        }
        ++pairs;
        ASSERT_EQ(stop - text.data(), static_cast<std::ptrdiff_t>(a.size() + 1 + b.size())) << text;
        double expectedA = 0.0;
        double expectedB = 0.0;
        std::from_chars(a.data(), a.data() + a.size(), expectedA);
        std::from_chars(b.data(), b.data() + b.size(), expectedB);
        ASSERT_TRUE(sameBits(first, expectedA)) << text;
        ASSERT_TRUE(sameBits(second, expectedB)) << text;
    }
    EXPECT_GT(pairs, 1000);
}

TEST(ParseInteger, AcceptsSignedDigitsInRange)
{
    const std::vector<std::pair<const char16_t*, std::int32_t>> cases = {
        {u"0", 0},          {u"42", 42},          {u"-42", -42},
        {u"+42", 42},       {u"007", 7},          {u"-0", 0},
        {u"2147483647", 2147483647},             {u"-2147483648", -2147483647 - 1},
        {u"000000000000000000000000000000000000000000000000000000000000000000000000000012", 12},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        const auto value = parseInteger(QStringView(text));
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, expected);
    }
}

TEST(ParseInteger, RejectsEverythingElse)
{
    for (const char16_t* text : {u"", u"+", u"-", u" 1", u"1 ", u"1.0", u"1,0", u"1e3", u"0x10", u"$10",
                                 u"2147483648", u"-2147483649", u"99999999999999999999", u"+-1", u"--1",
                                 u"-+1", u"1-", u"\u0661", u"\uFF11", u"12a"}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        EXPECT_FALSE(parseInteger(QStringView(text)).has_value());
    }
}

struct FormatCase {
    double value;
    const char* expected;
};

TEST(FormatPattern5, RoundsToFiveDecimalsAndDropsZeros)
{
    const std::vector<FormatCase> cases = {
        {20.0, "20"},
        {1.5, "1.5"},
        {0.1234567, "0.12346"},
        {-2.5, "-2.5"},
        {0.0, "0"},
        {-0.0, "0"},
        {-0.000001, "0"},
        {0.000004, "0"},
        {0.000005, "0.00001"},  // the double lies just above the halfway point
        {1.234565, "1.23456"},  // ... and this one just below it
        {1.000005, "1.00001"},
        {999999.999996, "1000000"},
        {-10.10000, "-10.1"},
        {1e17, "100000000000000000"},
        {1e18, "1E18"},
        {-2.5e20, "-2.5E20"},
        {nan, "NAN"},
        {inf, "INF"},
        {-inf, "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatPattern5(c.value, u'.'), QLatin1StringView(c.expected));
    }
    EXPECT_EQ(formatPattern5(1.5, u','), QStringLiteral("1,5"));
    EXPECT_EQ(formatPattern5(20.0, u','), QStringLiteral("20"));
}

TEST(FormatPattern4, AlwaysFourDecimals)
{
    const std::vector<FormatCase> cases = {
        {2.2, "2.2000"},
        {2.75, "2.7500"},
        {55.0 / 24.0, "2.2917"},
        {0.0, "0.0000"},
        {-0.0, "0.0000"},
        {-0.00001, "0.0000"},
        {-1.23456, "-1.2346"},
        {2.00005, "2.0000"},  // 2.0000499999... in binary
        {1234567.0, "1234567.0000"},
        {1e18, "1E18"},
        {nan, "NAN"},
        {-inf, "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatPattern4(c.value, u'.'), QLatin1StringView(c.expected));
    }
    EXPECT_EQ(formatPattern4(2.2, u','), QStringLiteral("2,2000"));
}

TEST(NumberChars, HoldTheLongestTextsOfBothPatterns)
{
    // The largest double under the fixed patterns' limit (1e18 - 128), negative: the most
    // characters the fixed form writes; printf's "%.4f" is the reference.
    const double widest = -999999999999999872.0;
    EXPECT_EQ(pattern4Chars(widest, u'.').view(), QString::asprintf("%.4f", widest));
    EXPECT_EQ(pattern5Chars(widest, u'.').view(), u"-999999999999999872");
    EXPECT_EQ(pattern5Chars(-1.23456789012345e300, u'.').view(), u"-1.23456789012345E300");
    EXPECT_EQ(pattern4Chars(-inf, u'.').view(), u"-INF");
    // A separator beyond Latin-1 (the Arabic decimal separator) is written whole.
    EXPECT_EQ(pattern4Chars(widest, QChar(0x066B)).view(), QStringLiteral("-999999999999999872\u066B0000"));
    EXPECT_EQ(pattern5Chars(-0.25, QChar(0x066B)).view(), QStringLiteral("-0\u066B25"));

    EXPECT_EQ(NumberChars(u"--").view(), u"--");
    EXPECT_TRUE(NumberChars().view().isEmpty());
    const QString longer(NumberChars::kCapacity + 5, u'7');
    EXPECT_EQ(NumberChars(longer).view(), QStringView(longer).first(NumberChars::kCapacity));
}

TEST(FormatGeneral, FifteenDigitsFixedOrScientific)
{
    const std::vector<FormatCase> cases = {
        {0.0, "0"},
        {-0.0, "0"},
        {2.0, "2"},
        {100.0, "100"},
        {-1234.5, "-1234.5"},
        {0.15, "0.15"},
        {0.1 + 0.2, "0.3"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},
        {-0.0001, "-0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1E-5"},
        {9.99999999999999e-5, "9.99999999999999E-5"},
        {-2.5e-7, "-2.5E-7"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {12345678901234.5, "12345678901234.5"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E15"},  // rounding to 15 digits carries into the 16th place
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1e100, "1E100"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {static_cast<double>(0.3f), "0.300000011920929"},
        {static_cast<double>(0.5f), "0.5"},
        {nan, "NAN"},
        {-nan, "-NAN"},
        {inf, "INF"},
        {-inf, "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatGeneral(c.value, u'.'), QLatin1StringView(c.expected));
    }
    EXPECT_EQ(formatGeneral(0.15, u','), QStringLiteral("0,15"));
    EXPECT_EQ(formatGeneral(-1.5e20, u','), QStringLiteral("-1,5E20"));
    EXPECT_EQ(formatGeneral(1.25e-9, u','), QStringLiteral("1,25E-9"));
}

TEST(FormatRoundTrip, ShortestTextWithPoint)
{
    EXPECT_EQ(formatRoundTrip(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(formatRoundTrip(0.1 + 0.2), QStringLiteral("0.30000000000000004"));
    EXPECT_EQ(formatRoundTrip(-2.5), QStringLiteral("-2.5"));
    EXPECT_EQ(formatRoundTrip(-0.0), QStringLiteral("-0"));
}

// Random bit patterns cover subnormals and the extremes of the exponent range too.
TEST(NumberTextRoundTrip, ParsingReadsBackWhatWasWritten)
{
    std::mt19937_64 random(20190308);
    int finite = 0;
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        ++finite;
        const QString shortest = formatRoundTrip(value);
        const auto back = parseDecimal(shortest, u'.');
        ASSERT_TRUE(back.has_value()) << shortest.toStdString();
        ASSERT_TRUE(sameBits(*back, value)) << shortest.toStdString();

        // The general form keeps 15 significant digits, under either separator.
        const auto general = parseDecimal(formatGeneral(value, u','), u',');
        ASSERT_TRUE(general.has_value()) << formatGeneral(value, u',').toStdString();
        if (std::isnormal(value)) {
            ASSERT_LE(std::fabs(*general - value), std::fabs(value) * 6e-15) << formatGeneral(value, u',').toStdString();
        }
    }
    EXPECT_GT(finite, 19000);
}

TEST(NumberTextRoundTrip, PatternsReadBackWithinHalfAUnit)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> magnitude(-6.0, 12.0);
    for (int i = 0; i < 5000; ++i) {
        const double value = std::pow(10.0, magnitude(random)) * (i % 2 ? -1.0 : 1.0);
        const auto five = parseDecimal(formatPattern5(value, u','), u',');
        const auto four = parseDecimal(formatPattern4(value, u'.'), u'.');
        ASSERT_TRUE(five && four) << value;
        EXPECT_LE(std::fabs(*five - value), 0.5e-5 * (1 + 1e-9) + std::fabs(value) * 1e-15) << value;
        EXPECT_LE(std::fabs(*four - value), 0.5e-4 * (1 + 1e-9) + std::fabs(value) * 1e-15) << value;
    }
}

TEST(ConversionMessages, QuoteTheText)
{
    EXPECT_EQ(invalidFloatMessage(QStringLiteral("1.5x")), QStringLiteral("'1.5x' is not a valid floating point value"));
    EXPECT_EQ(invalidFloatMessage(QString()), QStringLiteral("'' is not a valid floating point value"));
    EXPECT_EQ(invalidIntegerMessage(QStringLiteral("abc")), QStringLiteral("''abc'' is not a valid integer value"));
}

}  // namespace
}  // namespace rz

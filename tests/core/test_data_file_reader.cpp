#include "core/import/DataFileReader.h"

#include "core/text/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace rz {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

QString dataPath(const char* name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/import/") + QLatin1StringView(name);
}

std::vector<QString> toStrings(const std::vector<QStringView>& views)
{
    std::vector<QString> out;
    for (QStringView v : views)
        out.push_back(v.toString());
    return out;
}

std::vector<QString> toStrings(const QStringList& list)
{
    return {list.begin(), list.end()};
}

// The reader written the plain way: every line, every field. The fast reader must
// give exactly the same result.
CurveReadResult readCurveByFields(QStringView text, QChar separator)
{
    CurveReadResult result;
    const auto lines = splitLines(text);
    result.lineCount = static_cast<std::int64_t>(lines.size());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QStringList fields = splitFields(lines[i]);
        const auto x = fields.size() >= 1 ? parseDecimal(fields[0], separator) : std::nullopt;
        const auto y = fields.size() >= 2 ? parseDecimal(fields[1], separator) : std::nullopt;
        if (!x || !y) {
            result.badLine = static_cast<std::int64_t>(i);
            break;
        }
        result.points.push_back({*x, *y});
    }
    return result;
}

void expectSameResult(const CurveReadResult& actual, const CurveReadResult& expected)
{
    EXPECT_EQ(actual.lineCount, expected.lineCount);
    EXPECT_EQ(actual.badLine, expected.badLine);
    ASSERT_EQ(actual.points.size(), expected.points.size());
    for (std::size_t i = 0; i < actual.points.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual.points[i].x), std::bit_cast<std::uint64_t>(expected.points[i].x)) << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual.points[i].y), std::bit_cast<std::uint64_t>(expected.points[i].y)) << i;
    }
}

CurveReadResult readFile(const char* name, QChar separator = u'.')
{
    return readCurve(decodeText(readWholeFile(dataPath(name))), separator);
}

// --- Fields ---

struct FieldsCase {
    const char16_t* line;
    std::vector<QString> fields;
};

TEST(SplitFields, CommasAndBlanksSeparate)
{
    const std::vector<FieldsCase> cases = {
        {u"1.5,20", {"1.5", "20"}},
        {u"1.5, 20", {"1.5", "20"}},
        {u"1.5 20", {"1.5", "20"}},
        {u"1.5\t20", {"1.5", "20"}},
        {u"1.5,,20", {"1.5", "", "20"}},
        {u"1.5;20", {"1.5;20"}},
        {u"1,000.5, 20", {"1", "000.5", "20"}},
        {u"1.5 ,\t 20", {"1.5", "20"}},
        {u"1.5, ,20", {"1.5", "", "20"}},
        {u"1.5   \t  20  ", {"1.5", "20"}},
        {u"1.5,", {"1.5", ""}},
        {u"1.5,,", {"1.5", "", ""}},
        {u"1.5, ", {"1.5"}},
        {u",", {"", ""}},
        {u",1", {"", "1"}},
        {u"", {}},
        {u" \t ", {}},
        {u"\x01\x02\x1f 1.5,20", {"1.5", "20"}},
        {u"1.5\x0b" u"20", {"1.5", "20"}},
        {u"a\u00e4\u20ac b", {"a\u00e4\u20ac", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
        EXPECT_EQ(toStrings(splitFields(QStringView(c.line))), c.fields);
    }
}

TEST(SplitFields, QuotedFieldsKeepSeparatorsAndUndoubleQuotes)
{
    const std::vector<FieldsCase> cases = {
        {u"\"1.5\",\"20\"", {"1.5", "20"}},
        {u"\"a, b\" c", {"a, b", "c"}},
        {u"\"a \"\"quoted\"\" word\",2", {"a \"quoted\" word", "2"}},
        {u"\"\"\"\"", {"\""}},
        {u"\"\",1", {"", "1"}},
        {u"\"ab\"cd,1", {"ab", "cd", "1"}},
        {u"\"ab\" \t ,  1", {"ab", "1"}},
        {u"1\"x\",2", {"1\"x\"", "2"}},
        {u"\"unterminated, field", {"unterminated, field"}},
        {u"\"a\",", {"a", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
        EXPECT_EQ(toStrings(splitFields(QStringView(c.line))), c.fields);
    }
}

TEST(SplitFields, NulEndsTheLine)
{
    const char16_t line[] = u"1.5,20\0" u"30,40";
    EXPECT_EQ(toStrings(splitFields(QStringView(line, 12))), (std::vector<QString>{"1.5", "20"}));
    const char16_t trailing[] = u"1.5,\0" u"x";
    EXPECT_EQ(toStrings(splitFields(QStringView(trailing, 6))), (std::vector<QString>{"1.5", ""}));
}

TEST(SplitFields, TenThousandFields)
{
    QString line;
    for (int i = 0; i < 10000; ++i)
        line += QString::number(i) + (i % 3 == 0 ? QStringLiteral(",") : i % 3 == 1 ? QStringLiteral("\t") : QStringLiteral(", "));
    const QStringList fields = splitFields(line);
    ASSERT_EQ(fields.size(), 10001);  // the line ends in a comma
    EXPECT_EQ(fields[0], QStringLiteral("0"));
    EXPECT_EQ(fields[9999], QStringLiteral("9999"));
    EXPECT_EQ(fields[10000], QString());
}

// --- Lines ---

TEST(SplitLines, EveryLineBreakKind)
{
    const std::vector<FieldsCase> cases = {
        {u"", {}},
        {u"a", {"a"}},
        {u"a\n", {"a"}},
        {u"a\r\n", {"a"}},
        {u"a\r", {"a"}},
        {u"\n", {""}},
        {u"\r\n", {""}},
        {u"a\n\n", {"a", ""}},
        {u"a\r\n\r\n", {"a", ""}},
        {u"a\nb", {"a", "b"}},
        {u"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {u"a\n\nb\n", {"a", "", "b"}},
        {u"a\r\rb", {"a", "", "b"}},
        {u"a\n\rb", {"a", "", "b"}},
        {u"a\r\r\n", {"a", ""}},
        {u" \t \n", {" \t "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
        EXPECT_EQ(toStrings(splitLines(QStringView(c.line))), c.fields);
        EXPECT_EQ(countLines(QStringView(c.line)), static_cast<std::int64_t>(c.fields.size()));
    }
}

// --- Decoding ---

TEST(DecodeText, ByteOrderMarks)
{
    const QString expected = QStringLiteral("x,y\n1,2 \u00e4\u20ac\U0001F600");
    const QByteArray utf8 = expected.toUtf8();
    QByteArray le("\xFF\xFE", 2);
    QByteArray be("\xFE\xFF", 2);
    for (QChar c : expected) {
        le.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
        be.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
    }
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF") + utf8), expected);
    EXPECT_EQ(decodeText(le), expected);
    EXPECT_EQ(decodeText(be), expected);
    // Without a mark the 8-bit text keeps every byte; ASCII stays ASCII.
    EXPECT_EQ(decodeText(QByteArray("1.5,20\r\n")), QStringLiteral("1.5,20\r\n"));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF")), QString());
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFE")), QString());
    EXPECT_EQ(decodeText(QByteArray()), QString());
}

TEST(DecodeText, WithoutMarkAsTheLocal8BitDecoderReads)
{
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(100 + round, Qt::Uninitialized);
        for (char& b : bytes)
            b = static_cast<char>(random() % 4 == 0 ? random() | 0x80 : (random() % 95) + 32);
        if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
            continue;
        ASSERT_EQ(decodeText(bytes), QString::fromLocal8Bit(bytes)) << round;
    }
}

TEST(DecodeText, NulEndsTheTextAfterDecoding)
{
    EXPECT_EQ(decodeText(QByteArray("1,2\n3,4\0" "5,6\n", 12)), QStringLiteral("1,2\n3,4"));
    EXPECT_EQ(decodeText(QByteArray("\0" "1,2", 4)), QString());
    // UTF-16 holds zero bytes in every ASCII character: only a zero unit ends the text.
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFE" "1\0,\0" "2\0\0\0" "3\0", 12)), QStringLiteral("1,2"));
    EXPECT_EQ(decodeText(QByteArray("\xFE\xFF" "\0" "1\0,\0" "2\0\0\0" "3", 12)), QStringLiteral("1,2"));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "7\0" "8", 6)), QStringLiteral("7"));
}

TEST(DecodeText, DamagedInputDecodesWithoutCrashing)
{
    // Half a UTF-16 unit at the end.
    const QString odd = decodeText(QByteArray("\xFF\xFE" "1\0" "2", 5));
    ASSERT_EQ(odd.size(), 2);
    EXPECT_EQ(odd[0], QChar(u'1'));
    EXPECT_EQ(odd[1], QChar(QChar::ReplacementCharacter));
    EXPECT_EQ(decodeText(QByteArray("\xFE\xFF" "\0", 3)), QString(QChar(QChar::ReplacementCharacter)));
    // Lone surrogates and broken UTF-8 still give text that the reader can walk.
    const QString broken = decodeText(QByteArray("\xFF\xFE" "\x00\xD8" ",\0", 6));
    EXPECT_EQ(broken.size(), 2);
    EXPECT_FALSE(decodeText(QByteArray("\xEF\xBB\xBF" "1\xC3,2\xFF")).isEmpty());
}

TEST(DecodeText, RandomBytesReadWithoutCrashing)
{
    std::mt19937 random(1);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(4096 + round, Qt::Uninitialized);
        for (char& b : bytes)
            b = static_cast<char>(random());
        if (round % 3 == 1)
            bytes.replace(0, 2, "\xFF\xFE");
        else if (round % 3 == 2)
            bytes.replace(0, 3, "\xEF\xBB\xBF");
        const QString text = decodeText(bytes);
        EXPECT_EQ(text.indexOf(QChar(u'\0')), -1);
        for (QChar separator : {QChar(u'.'), QChar(u',')})
            expectSameResult(readCurve(text, separator), readCurveByFields(text, separator));
    }
}

// --- Whole files ---

TEST(ReadWholeFile, ReadsEveryByte)
{
    QFile file(dataPath("nul_inside.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected = file.readAll();
    EXPECT_EQ(readWholeFile(dataPath("nul_inside.csv")), expected);
    EXPECT_EQ(expected.size(), 43);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray big(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    std::mt19937 random(5);
    for (char& b : big)
        b = static_cast<char>(random());
    const QString bigPath = dir.filePath(QStringLiteral("big.bin"));
    QFile out(bigPath);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(big), big.size());
    out.close();
    EXPECT_EQ(readWholeFile(bigPath), big);

    const QString emptyPath = dir.filePath(QStringLiteral("empty.csv"));
    QFile empty(emptyPath);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_TRUE(readWholeFile(emptyPath).isEmpty());
}

#ifdef Q_OS_LINUX
TEST(ReadWholeFile, FileThatReportsNoSize)
{
    // Files under /proc report size 0 and still have contents.
    const QByteArray status = readWholeFile(QStringLiteral("/proc/self/status"));
    EXPECT_TRUE(status.startsWith("Name:"));
    EXPECT_TRUE(status.contains("\nPid:"));
}
#endif

TEST(ReadWholeFile, FailuresNameTheFileAndTheReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no such.csv"));
    try {
        readWholeFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const FileReadError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()),
                  QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(QDir::toNativeSeparators(missing)));
    }
    try {
        readWholeFile(dir.path());
        FAIL() << "no error for a folder";
    } catch (const FileReadError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Cannot open file \""));
        EXPECT_THAT(e.what(), HasSubstr(QDir::toNativeSeparators(dir.path()).toStdString()));
        EXPECT_THAT(e.what(), HasSubstr("Is a directory"));
    }
}

// --- The curve ---

struct CurveCase {
    const char* name;
    const char16_t* text;
    char16_t separator;
    std::int64_t lineCount;
    std::int64_t badLine;
    std::vector<Point> points;
};

TEST(ReadCurve, LinesAndFieldsToPoints)
{
    const std::vector<CurveCase> cases = {
        {"empty text", u"", u'.', 0, -1, {}},
        {"header only", u"x,y", u'.', 1, -1, {}},
        {"header only with break", u"x,y\r\n", u'.', 1, -1, {}},
        {"line 0 is never data", u"1,2\n3,4", u'.', 2, -1, {{3, 4}}},
        {"comma, blank, tab", u"h\n1,2\n3 4\n5\t6\n7 ,\t8\n", u'.', 5, -1, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
        {"thousands comma splits", u"h\n1,000.5, 20\n", u'.', 2, -1, {{1, 0.5}}},
        {"third number ignored", u"h\n1,2,3\n4 5 six\n", u'.', 3, -1, {{1, 2}, {4, 5}}},
        {"one number stops", u"h\n1,2\n3\n5,6\n", u'.', 4, 2, {{1, 2}}},
        {"trailing comma stops", u"h\n1,2\n3,\n", u'.', 3, 2, {{1, 2}}},
        {"empty field stops", u"h\n1,,2\n", u'.', 2, 1, {}},
        {"semicolon stops", u"h\n1;2\n", u'.', 2, 1, {}},
        {"empty line stops", u"h\n1,2\n\n3,4\n", u'.', 4, 2, {{1, 2}}},
        {"blank line stops", u"h\n1,2\n \t \n3,4\n", u'.', 4, 2, {{1, 2}}},
        {"trailing empty line", u"h\n1,2\n3,4\n\n", u'.', 4, 3, {{1, 2}, {3, 4}}},
        {"text stops", u"h\n1,2\nend,0\n", u'.', 3, 2, {{1, 2}}},
        {"unit stops", u"h\n1mm,2kN\n", u'.', 2, 1, {}},
        {"bad load stops", u"h\n1,2\n3,x\n", u'.', 3, 2, {{1, 2}}},
        {"decimal comma under point", u"h\n1.5 2\n\"1,5\" 2\n", u'.', 3, 2, {{1.5, 2}}},
        {"decimal point under comma", u"h\n\"1,5\" 2\n1.5 2\n", u',', 3, 2, {{1.5, 2}}},
        {"quoted numbers", u"h\n\"1.5\",\"-2e3\"\n", u'.', 2, -1, {{1.5, -2000}}},
        {"doubled quote stops", u"h\n\"1\"\"\",2\n", u'.', 2, 1, {}},
        {"leading controls skipped", u"h\n\x01\x1f 1\x02" u"2\n", u'.', 2, -1, {{1, 2}}},
        {"negative and exponents", u"h\n-1.5E+2,-0.25e-1\n", u'.', 2, -1, {{-150, -0.025}}},
        {"overflow stops", u"h\n1,2\n1e999,3\n", u'.', 3, 2, {{1, 2}}},
        {"underflow is zero", u"h\n1e-400,3\n", u'.', 2, -1, {{0, 3}}},
        {"nan is no number", u"h\nnan,1\n", u'.', 2, 1, {}},
        {"CR only", u"h\r1,2\r3,4\r", u'.', 3, -1, {{1, 2}, {3, 4}}},
        {"file order kept", u"h\n0,0\n2,5\n1,3\n", u'.', 4, -1, {{0, 0}, {2, 5}, {1, 3}}},
        {"lines after the bad one still counted", u"h\nx\n\n\n1,2\n", u'.', 5, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringView text(c.text);
        const CurveReadResult result = readCurve(text, QChar(c.separator));
        EXPECT_EQ(result.lineCount, c.lineCount);
        EXPECT_EQ(result.badLine, c.badLine);
        EXPECT_EQ(result.points, c.points);
        expectSameResult(result, readCurveByFields(text, QChar(c.separator)));
    }
}

TEST(ReadCurve, NegativeZeroStaysNegative)
{
    const CurveReadResult result = readCurve(u"h\n-0,-1e-400\n", u'.');
    ASSERT_EQ(result.points.size(), 1u);
    EXPECT_TRUE(std::signbit(result.points[0].x));
    EXPECT_TRUE(std::signbit(result.points[0].y));
}

struct FixtureCase {
    const char* file;
    char16_t separator;
    std::int64_t lineCount;
    std::int64_t badLine;
    std::size_t pointCount;
    Point last;
};

TEST(ReadCurve, Fixtures)
{
    const std::vector<FixtureCase> cases = {
        {"header_and_100_points.csv", u'.', 101, -1, 100, {24.75, 12.474}},
        {"trailing_empty_line.csv", u'.', 7, 6, 5, {2, 3.1}},
        {"tab_separated.txt", u'.', 5, -1, 4, {-0.25, -0.75}},
        {"blank_separated.txt", u'.', 5, -1, 4, {-0.25, -0.75}},
        {"semicolon_separated.csv", u'.', 4, 1, 0, {}},
        {"decimal_comma_quoted.csv", u',', 4, -1, 3, {1.5, 37.5}},
        {"decimal_comma_quoted.csv", u'.', 4, 1, 0, {}},
        {"exponent_limits.csv", u'.', 5, 3, 2, {-0.0, 100}},
        {"cr_only.csv", u'.', 5, -1, 4, {3, 12}},
        {"nul_inside.csv", u'.', 4, -1, 3, {2, 15}},
        {"utf8_bom.csv", u'.', 5, -1, 4, {1.5, 3.75}},
        {"utf16le_bom.csv", u'.', 5, -1, 4, {1.5, 3.75}},
        {"utf16be_bom.csv", u'.', 5, -1, 4, {1.5, 3.75}},
        {"steel_1045_tensile_coupon_01.csv", u'.', 382, -1, 381, {12.63, 22.2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString text = decodeText(readWholeFile(dataPath(c.file)));
        const CurveReadResult result = readCurve(text, QChar(c.separator));
        EXPECT_EQ(result.lineCount, c.lineCount);
        EXPECT_EQ(result.badLine, c.badLine);
        ASSERT_EQ(result.points.size(), c.pointCount);
        if (c.pointCount > 0) {
            EXPECT_EQ(result.points.back(), c.last);
        }
        expectSameResult(result, readCurveByFields(text, QChar(c.separator)));
    }
}

TEST(ReadCurve, EncodingsGiveTheSameCurveAndHeader)
{
    const QString utf8 = decodeText(readWholeFile(dataPath("utf8_bom.csv")));
    EXPECT_TRUE(utf8.startsWith(QStringLiteral("Verschiebung [mm],Kraft [kN] \u00e4\u00f6\u00fc\u00b0\n")));
    EXPECT_EQ(decodeText(readWholeFile(dataPath("utf16le_bom.csv"))), utf8);
    EXPECT_EQ(decodeText(readWholeFile(dataPath("utf16be_bom.csv"))), utf8);
    EXPECT_THAT(readCurve(utf8, u'.').points, ElementsAre(Point{0, 0}, Point{0.5, 1.25}, Point{1, 2.5}, Point{1.5, 3.75}));
}

TEST(ReadCurve, FirstPointsOfTheRealCurve)
{
    const CurveReadResult result = readFile("steel_1045_tensile_coupon_01.csv");
    ASSERT_GE(result.points.size(), 2u);
    EXPECT_EQ(result.points[0], (Point{0, 0.1223}));
    EXPECT_EQ(result.points[1], (Point{0, 0.1223}));
}

// Lines built from the pieces that matter to the field rules, many times over.
TEST(ReadCurve, AgreesWithFieldByFieldReadingOnRandomLines)
{
    const std::vector<QString> pieces = {
        "1.5",  "-2",   "+3e2", "0,5",  ",",    ", ",   " ",   "\t",   "\x01", "\"",  "\"\"", ";",
        "1e999", "1e-400", "x",  ".",   "e",    "-",    "7",   "\"4.5\"", "\u00e4", "\r", "\n", "\r\n",
    };
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 8);
    int withPoints = 0;
    for (int round = 0; round < 3000; ++round) {
        QString text = QStringLiteral("header\n");
        const int lines = 1 + round % 5;
        for (int line = 0; line < lines; ++line) {
            const int n = length(random);
            for (int i = 0; i < n; ++i)
                text += pieces[pick(random)];
            text += u'\n';
        }
        for (QChar separator : {QChar(u'.'), QChar(u',')}) {
            const CurveReadResult fast = readCurve(text, separator);
            expectSameResult(fast, readCurveByFields(text, separator));
            if (!fast.points.empty())
                ++withPoints;
        }
        if (HasFailure())
            FAIL() << text.toStdString();
    }
    // The generator must reach the interesting cases, not only bad first lines.
    EXPECT_GT(withPoints, 100);
}

TEST(ReadCurve, HugeLinesAndManyFields)
{
    QString text = QStringLiteral("header\n1.5,2.5");
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral(",") + QString::number(i);
    text += QStringLiteral("\n");
    // One line of 50 million characters.
    text += QStringLiteral("-1 -2 ");
    text += QString(50'000'000 - 6, u'9');
    const CurveReadResult result = readCurve(text, u'.');
    EXPECT_EQ(result.lineCount, 3);
    EXPECT_EQ(result.badLine, -1);
    EXPECT_THAT(result.points, ElementsAre(Point{1.5, 2.5}, Point{-1, -2}));
}

TEST(ReadCurve, HugeNumberTextIsOneNumber)
{
    QString text = QStringLiteral("h\n0.");
    text += QString(1'000'000, u'0');
    text += QStringLiteral("1e1000000,");
    text += QString(300, u'1');
    const CurveReadResult result = readCurve(text, u'.');
    ASSERT_EQ(result.points.size(), 1u);
    EXPECT_DOUBLE_EQ(result.points[0].x, 0.1);
    EXPECT_DOUBLE_EQ(result.points[0].y, 1.1111111111111111e299);
}

}  // namespace
}  // namespace rz

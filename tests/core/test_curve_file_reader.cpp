// The byte reader against the reader of decoded text: same points to the bit, same line
// count, same bad line, whatever the parts and pieces the bytes are read in.
#include "core/import/CurveFileReader.h"

#include "ImportTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

namespace rz {
namespace {

CurveReadResult reference(const QByteArray& bytes, QChar separator)
{
    return readCurve(decodeText(bytes), separator);
}

void expectSame(const CurveReadResult& actual, const CurveReadResult& expected)
{
    EXPECT_EQ(actual.lineCount, expected.lineCount);
    EXPECT_EQ(actual.badLine, expected.badLine);
    test::expectSamePoints(actual.points, expected.points);
    // The scan kept while reading, however the file was cut, is that of the points read.
    if (actual.scan) {
        PointScan whole;
        for (const Point& p : actual.points)
            whole.add(p);
        EXPECT_EQ(actual.scan->count, whole.count);
        EXPECT_EQ(actual.scan->ascending, whole.ascending);
        EXPECT_EQ(actual.scan->largestY, whole.largestY);
        EXPECT_EQ(actual.scan->largestX, whole.largestX);
    }
}

// Settings that put part and piece boundaries everywhere in small files.
std::vector<CurveReading> readings()
{
    std::vector<CurveReading> all = {CurveReading{}};
    for (int parts : {1, 2, 3, 5})
        for (qint64 piece : {1, 2, 7, 64})
            all.push_back({parts, 1, piece});
    return all;
}

QString settingsText(const CurveReading& how, QChar separator)
{
    return QStringLiteral("parts %1, piece %2, separator %3").arg(how.parts).arg(how.pieceBytes).arg(separator);
}

TEST(CurveFileReader, ReadsAsBytesOnlyWhereTheBytesStandForTheText)
{
    struct Case {
        const char* name;
        QByteArray head;
        char16_t separator;
        bool asBytes;
    };
    const std::vector<Case> cases = {
        {"plain ASCII", "d,l\r\n", u'.', true},
        {"decimal comma", "d;l\n", u',', true},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "d,l",
         u'.', true},
        {"UTF-8 without mark",
         "K\xC3\xA4"
         "d",
         u'.', true},
        {"empty file", "", u'.', true},
        {"UTF-16 LE",
         QByteArray("\xFF\xFE"
                    "d\0",
                    4),
         u'.', false},
        {"UTF-16 BE", QByteArray("\xFE\xFF\0d", 4), u'.', false},
        {"separator beyond ASCII", "d,l\n", u'\u066B', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readsAsBytes(c.head, QChar(c.separator)), c.asBytes);
    }
}

// What the byte reader relies on: Qt's UTF-8 decoder keeps ASCII bytes and turns every run
// of other bytes into one or more characters beyond ASCII; only a byte-order mark at the
// very start disappears.
// ASCII units as they are, each run of others as one 0x80.
template <typename Unit>
std::u16string asciiShape(const Unit* units, qsizetype size)
{
    std::u16string out;
    for (qsizetype i = 0; i < size; ++i) {
        const auto code = static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(units[i]));
        if (code < 0x80)
            out += code;
        else if (out.empty() || out.back() != 0x80)
            out += char16_t(0x80);
    }
    return out;
}

TEST(CurveFileReader, Utf8DecoderKeepsAsciiBytesInPlace)
{
    std::vector<char> alphabet = {'\n', '\r', '\0', ',', '1'};
    for (int b = 0x80; b <= 0xFF; ++b)
        alphabet.push_back(static_cast<char>(b));
    int checked = 0;
    for (char a : alphabet)
        for (char b : alphabet)
            for (char c : alphabet) {
                const char three[] = {a, b, c};
                const QByteArray bytes(three, 3);
                const QString text = QString::fromUtf8(bytes);
                const QByteArray kept = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
                ASSERT_EQ(asciiShape(text.utf16(), text.size()), asciiShape(kept.constData(), kept.size()))
                    << int(uchar(a)) << ' ' << int(uchar(b)) << ' ' << int(uchar(c));
                ++checked;
            }
    EXPECT_EQ(checked, 133 * 133 * 133);
}

TEST(CurveFileReader, SameAsTheTextReaderOnEveryTestFile)
{
    int files = 0;
    int asBytes = 0;
    for (const char* folder : {"import", "bad", "import_options", "cyclic"}) {
        QDirIterator it(QStringLiteral(RZ_TEST_DATA_DIR "/") + QLatin1StringView(folder), QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            SCOPED_TRACE(path.toStdString());
            const QByteArray bytes = readWholeFile(path);
            ++files;
            asBytes += readsAsBytes(bytes.first(std::min<qsizetype>(bytes.size(), 6)), u'.') ? 1 : 0;
            for (QChar separator : {QChar(u'.'), QChar(u',')}) {
                const CurveReadResult expected = reference(bytes, separator);
                for (const CurveReading& how : readings()) {
                    SCOPED_TRACE(settingsText(how, separator).toStdString());
                    expectSame(readCurveBytes(bytes, separator, how), expected);
                    // From disk, pieces of a byte or two would take one system call each.
                    if (how.pieceBytes >= 7)
                        expectSame(readCurveFile(path, separator, how), expected);
                    if (HasFailure())
                        return;
                }
            }
        }
    }
    EXPECT_GT(files, 50);
    // The comparison means something only where the bytes were read as such: all but the
    // UTF-16 files.
    EXPECT_GT(asBytes, 45);
}

// Random files from the pieces that matter to lines, fields and numbers.
class RandomFile {
public:
    explicit RandomFile(unsigned seed) : random_(seed) {}

    // Lines of data; `badAt` puts a line that is no point there (-1: by chance only).
    std::vector<std::string> lines(int count, int badAt)
    {
        std::vector<std::string> out = {pick(headers_)};
        for (int i = 1; i < count; ++i)
            out.push_back(i == badAt ? pick(badLines_) : dataLine());
        return out;
    }

    std::string join(const std::vector<std::string>& lines, bool mixedBreaks)
    {
        std::string text = pick(starts_);
        const std::string usual = pick(breaks_);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            text += lines[i];
            if (i + 1 < lines.size() || chance(50))
                text += mixedBreaks ? pick(breaks_) : usual;
        }
        if (chance(3))
            text.insert(std::uniform_int_distribution<std::size_t>(0, text.size())(random_), 1, '\0');
        return text;
    }

private:
    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random_) < percent; }
    const std::string& pick(const std::vector<std::string>& from)
    {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
    }

    std::string dataLine()
    {
        if (chance(1))
            return pick(badLines_);
        std::string line = chance(10) ? pick(blanks_) : std::string();
        line += field();
        line += pick(separators_);
        line += field();
        if (chance(20))
            line += pick(separators_) + field();
        if (chance(5))
            line += ",";
        if (chance(5))
            line += pick(blanks_);
        return line;
    }

    std::string field()
    {
        if (chance(3))
            return pick(oddFields_);
        if (chance(10))
            return "\"" + pick(numbers_) + "\"";
        return pick(numbers_);
    }

    std::mt19937 random_;
    const std::vector<std::string> headers_ = {"Displacement,Load", "", "1,2", "\"d\",\"l\"",
                                               "Weg [mm]\tKraft [kN] \xC3\xA4"};
    const std::vector<std::string> starts_ = {
        "", "", "", "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF", std::string("\xFF\xFE", 2)};
    const std::vector<std::string> breaks_ = {"\n", "\r\n", "\r"};
    const std::vector<std::string> blanks_ = {" ", "\t", "  \t", "\x01", "\x1f"};
    const std::vector<std::string> separators_ = {",", ",", " ", "\t", ", ", " ,\t", "  "};
    const std::vector<std::string> numbers_ = {"0",
                                               "12",
                                               "-3",
                                               "+4",
                                               "2.5",
                                               "-0.125",
                                               ".5",
                                               "5.",
                                               "1e3",
                                               "-2E-7",
                                               "6.02e+23",
                                               "1e308",
                                               "1.7976931348623157e308",
                                               "4.9e-324",
                                               "1e-400",
                                               "-0",
                                               "123456789012345678901234",
                                               "0.1000000000000000055511151231257827",
                                               "1,5",
                                               "3,25",
                                               "0.000030",
                                               "25000.125",
                                               "-1e-5"};
    const std::vector<std::string> oddFields_ = {
        "1e999", "nan", "inf", "x",       "1;2", "\"\"",  "\"1\"\"\"", "\xC3\xA4", "\xFF",  "1\xC3\xA4", "0x10",
        "1e",    "-",   ".",   "\"2,5\"", "\"7", "1.5.2", "1-2",       "3+4",      "2e5e3", "-.",        "1e5.5"};
    const std::vector<std::string> badLines_ = {"", " ", "\t\t", "x,1", "1", "1,", "1;2", "end", ",1,2"};
};

TEST(CurveFileReader, SameAsTheTextReaderOnRandomFiles)
{
    RandomFile generator(20240611);
    std::mt19937 random(7);
    int withPoints = 0;
    int badInLaterPart = 0;
    for (int round = 0; round < 1500; ++round) {
        const int count = std::uniform_int_distribution<int>(0, 60)(random);
        // Every third file has a bad line near its middle, where two parts meet.
        const int badAt = round % 3 == 0 ? count / 2 + std::uniform_int_distribution<int>(-2, 2)(random) : -1;
        const std::string text = generator.join(generator.lines(count, badAt), round % 2 == 0);
        const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
        for (QChar separator : {QChar(u'.'), QChar(u',')}) {
            const CurveReadResult expected = reference(bytes, separator);
            withPoints += expected.points.empty() ? 0 : 1;
            badInLaterPart += expected.badLine > expected.lineCount / 3 ? 1 : 0;
            for (const CurveReading& how : readings()) {
                expectSame(readCurveBytes(bytes, separator, how), expected);
                if (HasFailure())
                    FAIL() << settingsText(how, separator).toStdString() << "\n" << text;
            }
        }
    }
    // The generator must reach long runs of points and bad lines past the first part.
    EXPECT_GT(withPoints, 1200);
    EXPECT_GT(badInLaterPart, 300);
}

// Usual lines among points whose lines are hundreds of bytes long, read in pieces of a few
// hundred bytes and more: a piece then ends inside a long line, more than a short line's
// length after its last LF, or on a line of its own.
TEST(CurveFileReader, LongLinesAmongUsualOnesInPiecesOfEverySize)
{
    std::mt19937 random(12512);
    std::string text = "displacement,load\n";
    for (int i = 1; i < 3000; ++i) {
        const std::string x = std::to_string(i) + "." + std::to_string(random() % 1000);
        const std::string y = "-" + std::to_string(random() % 100000) + ".25";
        // Blanks around a field keep the point; an exponent is the full reader's.
        if (random() % 29 == 0)
            text += x + std::string(256 + random() % 600, ' ') + "," + y + "e-3";
        else
            text += x + "," + y;
        text += random() % 3 == 0 ? "\r\n" : "\n";
    }
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const CurveReadResult expected = reference(bytes, u'.');
    ASSERT_EQ(expected.points.size(), 2999u);
    for (const int parts : {1, 2, 3})
        for (const qint64 piece : {255, 256, 300, 700, 1024, 4096, 65536}) {
            SCOPED_TRACE(settingsText({parts, 1, piece}, u'.').toStdString());
            expectSame(readCurveBytes(bytes, u'.', {parts, 1, piece}), expected);
        }
}

// Where the second of two parts starts: the first line start from the middle of the text on.
qsizetype secondPartStart(const std::string& text, qsizetype textBegin)
{
    qsizetype at = textBegin + (static_cast<qsizetype>(text.size()) - textBegin) / 2;
    for (; at < static_cast<qsizetype>(text.size()); ++at)
        if (text[at - 1] == '\n' || (text[at - 1] == '\r' && text[at] != '\n'))
            return at;
    return at;
}

TEST(CurveFileReader, BadLineOnEitherSideOfTheSplit)
{
    // Shifting the header by a byte at a time moves the middle across the CR LF pairs.
    for (int shift = 0; shift < 4; ++shift) {
        std::vector<std::string> lines = {"h" + std::string(shift, 'h')};
        for (int i = 1; i < 40; ++i)
            lines.push_back(std::to_string(i) + ".5," + std::to_string(2 * i));
        std::string clean;
        for (const std::string& line : lines)
            clean += line + "\r\n";
        const qsizetype split = secondPartStart(clean, 0);
        // The line that starts the second part.
        const auto firstOfSecond = static_cast<int>(std::count(clean.begin(), clean.begin() + split, '\n'));
        for (int badAt : {firstOfSecond - 2, firstOfSecond - 1, firstOfSecond, firstOfSecond + 1, -1}) {
            SCOPED_TRACE(testing::Message() << "shift " << shift << ", bad line " << badAt);
            std::vector<std::string> withBad = lines;
            if (badAt > 0)
                withBad[static_cast<std::size_t>(badAt)] = "x";
            std::string text;
            for (const std::string& line : withBad)
                text += line + "\r\n";
            const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
            const CurveReadResult read = readCurveBytes(bytes, u'.', {2, 1, 5});
            expectSame(read, reference(bytes, u'.'));
            EXPECT_EQ(read.lineCount, 40);
            EXPECT_EQ(read.badLine, badAt);
            EXPECT_EQ(read.points.size(), static_cast<std::size_t>(badAt > 0 ? badAt - 1 : 39));
        }
    }
}

// A NUL ends the text wherever it is: inside a usual line, a line of another shape, a
// break, a bad line or the lines counted after it, in any part and piece.
TEST(CurveFileReader, NulAtEveryPlace)
{
    const std::string clean = "d,l\r\n1.5,2\n2.25,-3\r\n3,4 \n 4,5\n5,6\r7,8\r\n8,9\n9.5,10\n";
    int endedEarly = 0;
    for (const std::string& lines : {clean, clean.substr(0, 28) + "x" + clean.substr(29)}) {
        for (std::size_t at = 0; at <= lines.size(); ++at) {
            std::string text = lines;
            text.insert(at, 1, '\0');
            const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
            const CurveReadResult expected = reference(bytes, u'.');
            endedEarly += expected.lineCount < 9 ? 1 : 0;
            for (const int parts : {1, 2, 3})
                for (const qint64 piece : {1, 3, 8, 16, 1024}) {
                    expectSame(readCurveBytes(bytes, u'.', {parts, 1, piece}), expected);
                    if (HasFailure())
                        FAIL() << "NUL at " << at << ", " << settingsText({parts, 1, piece}, u'.').toStdString();
                }
        }
    }
    // Most places cut lines off; the reference must see that too.
    EXPECT_GT(endedEarly, 80);
}

// A file of 300,000 lines on disk, read with the default settings (two parts or more on a
// machine with two cores), once clean and once with a bad line at the start of the second
// part.
TEST(CurveFileReader, LargeFileOnDisk)
{
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    std::string text =
        "\xEF\xBB\xBF"
        "Displacement (mm),Load (N)\r\n";
    char buffer[64];
    for (int i = 0; i < 300'000; ++i) {
        const int n = std::snprintf(buffer, sizeof buffer, "%.9g,%.6f\r\n", value(random), value(random));
        text.append(buffer, static_cast<std::size_t>(n));
    }
    test::TempFiles files;
    const qsizetype split = secondPartStart(text, 3);
    std::string withBad = text;
    withBad.replace(static_cast<std::size_t>(split), 1, "x");
    for (const std::string* content : {&text, &withBad}) {
        const QByteArray bytes(content->data(), static_cast<qsizetype>(content->size()));
        const QString path = files.write(QStringLiteral("large.csv"), bytes);
        const CurveReadResult expected = reference(bytes, u'.');
        // Two and three parts: the later parts' points are copied into room mapped ahead.
        expectSame(readCurveFile(path, u'.', {2, 1 << 20, 1 << 20}), expected);
        expectSame(readCurveFile(path, u'.', {3, 1 << 20, 1 << 20}), expected);
        const CurveReadResult read = readCurveFile(path, u'.');
        expectSame(read, expected);
        EXPECT_TRUE(read.scan.has_value());
        EXPECT_EQ(expected.lineCount, 300'001);
    }
}

TEST(CurveFileReader, FailuresAsReadWholeFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& path : {dir.filePath(QStringLiteral("no such.csv")), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        std::string expected;
        try {
            readWholeFile(path);
        } catch (const FileReadError& e) {
            expected = e.what();
        }
        ASSERT_FALSE(expected.empty());
        try {
            readCurveFile(path, u'.');
            ADD_FAILURE() << "no error";
        } catch (const FileReadError& e) {
            EXPECT_EQ(e.what(), expected);
        }
    }
}

// A pipe tells no size and cannot be read at offsets: read whole, then as bytes.
TEST(CurveFileReader, Pipe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
    ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
    const std::string text = "d,l\n1,2\r\n3,4\n5";
    std::thread writer([&] {
        const int fd = ::open(path.constData(), O_WRONLY);
        if (fd >= 0) {
            [[maybe_unused]] const auto written = ::write(fd, text.data(), text.size());
            ::close(fd);
        }
    });
    const CurveReadResult read = readCurveFile(QFile::decodeName(path), u'.');
    writer.join();
    EXPECT_EQ(read.lineCount, 4);
    EXPECT_EQ(read.badLine, 3);
    EXPECT_EQ(read.points, (std::vector<Point>{{1, 2}, {3, 4}}));
}

}  // namespace
}  // namespace rz

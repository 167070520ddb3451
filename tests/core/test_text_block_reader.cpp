// The text reader reads files in pieces, as bytes or as decoded UTF-16: it must agree with
// splitting the whole text line by line, wherever the pieces end.
#include "ImportTestSupport.h"

#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportPreview.h"
#include "core/import/ReadWithOptions.h"
#include "core/import/TextBlockReader.h"
#include "core/text/NumberText.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

#include <random>

namespace rz::test {
namespace {

ImportOptions givenLayout(FieldSeparator separator, char character, int skip)
{
    ImportOptions o;
    o.encoding = TextEncoding::Utf8;
    o.separator = separator;
    o.separatorChar = QChar(QLatin1Char(character));
    o.decimal = DecimalSeparator::Point;
    o.skipLines = skip;
    o.header = {LineMode::None, 0};
    o.units = {LineMode::None, 0};
    return o;
}

// Random lines of numbers, blanks, quotes and separators; the whole-file reader must agree
// with splitting the decoded text line by line (the preview's way), as UTF-8 and UTF-16.
TEST(ImportOptionsPieces, ReaderAgreesWithLineByLineSplitting)
{
    std::mt19937 random(20240305);
    const char* atoms[] = {"1.5", "-2", "3e2", "0,5",  "\"4\"", "\"5,5\"",
                           "x",   "",   " ",   "  7 ", "8.25",  "\"\"\"9\"\"\""};
    const struct {
        FieldSeparator separator;
        char sep;
    } separators[] = {{FieldSeparator::Plain, ','}, {FieldSeparator::Comma, ','},  {FieldSeparator::Semicolon, ';'},
                      {FieldSeparator::Tab, '\t'},  {FieldSeparator::Blanks, ' '}, {FieldSeparator::Character, '|'}};
    TempFiles files;
    for (int round = 0; round < 60; ++round) {
        const auto& s = separators[round % 6];
        QByteArray text;
        const int lineCount = 3 + static_cast<int>(random() % 12);
        for (int l = 0; l < lineCount; ++l) {
            const int fields = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < fields; ++f) {
                if (f > 0)
                    text += s.sep;
                // Mostly numbers, so blocks of several points come about.
                text += random() % 3 != 0 ? atoms[random() % 3] : atoms[random() % 12];
            }
            text += (random() % 4 == 0) ? "\r\n" : "\n";
        }
        ImportOptions o = givenLayout(s.separator, s.sep, static_cast<int>(random() % 2));
        o.displacement.number = 1 + static_cast<int>(random() % 2);
        o.load.number = 2 + static_cast<int>(random() % 2);
        SCOPED_TRACE(text.toStdString());

        CellBlockCollector byLines(o);
        FileHead head;
        head.fileSize = text.size();
        head.complete = true;
        head.bytes = text;
        for (const CellRow& row : headRows(head, o))
            if (!byLines.feed(row))
                break;
        const RawBlock expected = byLines.finish();

        const RawBlock utf8 = readTextBlock(files.write(QStringLiteral("u8.txt"), text), o, {});
        QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QByteArray utf16Bytes = toUtf16(QString::fromUtf8(text));
        ImportOptions o16 = o;
        o16.encoding = TextEncoding::Utf16LE;
        const RawBlock utf16 = readTextBlock(files.write(QStringLiteral("u16.txt"), utf16Bytes), o16, {});
        for (const RawBlock* block : {&utf8, &utf16}) {
            expectSamePoints(block->points, expected.points);
            EXPECT_EQ(block->stopLine, expected.stopLine);
            EXPECT_EQ(block->reason, expected.reason);
            EXPECT_EQ(block->stopColumn, expected.stopColumn);
        }
    }
}

// A file of about 3 MiB whose CR LF pairs and lines straddle the 1 MiB pieces at every
// offset the line lengths give.
TEST(ImportOptionsPieces, LinesAcrossPieceBoundariesAreWhole)
{
    QByteArray text = "Displacement\tLoad\r\n";
    std::vector<Point> expected;
    for (int i = 0; text.size() < (3 << 20); ++i) {
        const QByteArray x = QByteArray::number(i) + "." + QByteArray::number(i % 97);
        const QByteArray y = QByteArray::number(i % 1013) + "e-" + QByteArray::number(i % 7);
        text += x + "\t" + y + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        expected.push_back({*parseDecimal(QString::fromLatin1(x), u'.'), *parseDecimal(QString::fromLatin1(y), u'.')});
    }
    TempFiles files;
    const QString path = files.write(QStringLiteral("big.txt"), text);
    qint64 lastDone = 0;
    int calls = 0;
    const ImportResult r = readWithOptions(path, ImportOptions::detectEverything(), [&](qint64 done, qint64 total) {
        EXPECT_GT(done, lastDone);
        EXPECT_EQ(total, text.size());
        lastDone = done;
        ++calls;
        return true;
    });
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    expectSamePoints(r.points, expected);
    EXPECT_GE(calls, 3);
}

TEST(ImportOptionsPieces, CancelImportsNothing)
{
    QByteArray text = "d,l\n";
    for (int i = 0; text.size() < (3 << 20); ++i)
        text += QByteArray::number(i) + "," + QByteArray::number(2 * i) + "\n";
    TempFiles files;
    const ImportResult r = readWithOptions(files.write(QStringLiteral("c.csv"), text),
                                           ImportOptions::detectEverything(), [](qint64, qint64) { return false; });
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.points.empty());
    EXPECT_EQ(r.error, QStringLiteral("The import was cancelled."));
}

// Spreadsheets write an empty row as separators alone: a blank line, in the reader as in
// the preview.
TEST(ImportOptionsPieces, SeparatorsAloneMakeABlankLine)
{
    TempFiles files;
    const struct {
        const char* text;
        std::size_t points;
        StopReason reason;
        qint64 stopLine;
    } cases[] = {
        {"d;l\n1;2\n;;\n3;4\n", 1, StopReason::BlankLine, 3},
        {"d;l\n1;2\n3;4\n; ;\n;\n", 2, StopReason::EndOfFile, 0},
        {"d;l\n1;2\n;x\n", 1, StopReason::NotANumber, 3},
    };
    ImportOptions o = givenLayout(FieldSeparator::Semicolon, ';', 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString path = files.write(QStringLiteral("s.csv"), c.text);
        const ImportResult r = readWithOptions(path, o);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.points.size(), c.points);
        EXPECT_EQ(r.stopReason, c.reason);
        EXPECT_EQ(r.stopLine, c.stopLine);
        EXPECT_EQ(previewImport(readFileHead(path), o).message, r.message);
    }
}

// A character cut off at the very end of the file is still a line, not nothing: as bytes,
// decoded (a separator outside ASCII), and in the preview.
TEST(ImportOptionsPieces, CharacterCutAtTheEndIsALine)
{
    TempFiles files;
    const struct {
        QByteArray text;
        ImportOptions options;
    } cases[] = {
        {"d,l\n1,2\n3,4\n\xEF\xBB", givenLayout(FieldSeparator::Comma, ',', 1)},
        {"d\xC2\xA7l\n1\xC2\xA7"
         "2\n3\xC2\xA7"
         "4\n\xC3",
         givenLayout(FieldSeparator::Character, '?', 1)},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.text.toHex().toStdString());
        if (c.options.separator == FieldSeparator::Character)
            c.options.separatorChar = QChar(u'\u00A7');
        const QString path = files.write(QStringLiteral("cut.csv"), c.text);
        const ImportResult r = readWithOptions(path, c.options);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        expectSamePoints(r.points, {{1, 2}, {3, 4}});
        EXPECT_EQ(r.stopReason, StopReason::MissingColumn);  // one field: no column 2
        EXPECT_EQ(r.stopLine, 4);
        EXPECT_EQ(previewImport(readFileHead(path), c.options).message, r.message);
    }
}

}  // namespace
}  // namespace rz::test

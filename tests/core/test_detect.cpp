// Detection from a file's head: encodings, separators, decimal separators, data start,
// header and units lines, and columns by the names of six languages.
#include "ImportTestSupport.h"

#include "core/import/ColumnVocabulary.h"
#include "core/import/Detect.h"
#include "core/import/FileHead.h"
#include "core/import/ImportPreview.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace rz::test {
namespace {

using ::testing::HasSubstr;

Detection detectBytes(TempFiles& files, const QByteArray& bytes,
                      const ImportOptions& given = ImportOptions::detectEverything())
{
    return detectOptions(readFileHead(files.write(QStringLiteral("head.txt"), bytes)), given);
}

// Five data lines under a header, tab-separated: 0..4 in every column, so any choice of
// columns reads numbers.
QByteArray underHeader(const QByteArray& header, int columns, const QByteArray& unitsLine = {})
{
    QByteArray text = header + "\n";
    if (!unitsLine.isEmpty())
        text += unitsLine + "\n";
    for (int i = 0; i < 5; ++i) {
        for (int c = 0; c < columns; ++c)
            text += (c ? "\t" : "") + QByteArray::number(i * (c + 1));
        text += "\n";
    }
    return text;
}

TEST(DetectColumns, HeaderWordsOfSixLanguagesAndUnits)
{
    const struct {
        const char* header;
        int columns;
        const char* unitsLine;
        int displacement;
        int load;
    } cases[] = {
        {"Time (s)\tForce (N)\tDeflection (mm)", 3, "", 3, 2},
        {"Zeit [s]\tVerschiebung [mm]\tKraft [kN]", 3, "", 2, 3},
        {"Zeit\tStandardkraft\tStandardweg\tDehnung", 4, "s\tN\tmm\t%", 3, 2},
        {"Temps\tCharge (kN)\tD\xc3\xa9placement (mm)", 3, "", 3, 2},
        {"Tiempo\tDesplazamiento\tCarga", 3, "", 2, 3},
        {"Carico [kN]\tSpostamento [mm]", 2, "", 2, 1},
        {"\xe6\x97\xb6\xe9\x97\xb4\t\xe8\x8d\xb7\xe8\xbd\xbd/kN\t\xe4\xbd\x8d\xe7\xa7\xbb/mm", 3, "", 3,
         2},  // 时间 荷载/kN 位移/mm
        {"Stroke (in)\tLoad (lbf)", 2, "", 1, 2},
        // Units alone decide, in brackets or on a units line.
        {"Channel 1 [s]\tChannel 2 [kN]\tChannel 3 [mm]", 3, "", 3, 2},
        {"C1\tC2\tC3", 3, "s\tkN\tmm", 3, 2},
        // A set point names force too, but the measured force wins.
        {"Kraft Sollwert [kN]\tKraft [kN]\tWeg [mm]", 3, "", 3, 2},
        // One quantity named: the other takes the first numeric column left.
        {"Time\tLoad\tX", 3, "", 1, 2},
        {"Step\tX\tDisplacement", 3, "", 3, 1},
        // Nothing to go by: columns 1 and 2.
        {"a\tb\tc", 3, "", 1, 2},
    };
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const Detection d = detectBytes(files, underHeader(c.header, c.columns, c.unitsLine));
        ASSERT_TRUE(d.ok()) << d.failure.toStdString();
        EXPECT_EQ(d.options.displacement.number, c.displacement);
        EXPECT_EQ(d.options.load.number, c.load);
        EXPECT_EQ(d.options.header.line, 1);
        EXPECT_EQ(d.options.skipLines, *c.unitsLine ? 2 : 1);
    }
}

TEST(DetectColumns, NamesAndUnits)
{
    const struct {
        const char16_t* name;
        const char16_t* unit;
        const char16_t* bare;
    } cases[] = {
        {u"Kraft [kN]", u"kN", u"Kraft"},
        {u"Displacement (mm)", u"mm", u"Displacement"},
        {u"位移（mm）", u"mm", u"位移"},
        {u"Weg/mm", u"mm", u"Weg"},
        {u"Spannung N/mm²", u"", u"Spannung N/mm²"},
        {u"Kanal 10", u"", u"Kanal 10"},
        {u" Zeit [s] ", u"s", u"Zeit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.name).toStdString());
        EXPECT_EQ(unitInName(QStringView(c.name)), QString::fromUtf16(c.unit));
        EXPECT_EQ(nameWithoutUnit(QStringView(c.name)), QString::fromUtf16(c.bare));
    }
    EXPECT_EQ(unitKind(u"[mm]"), UnitKind::Length);
    EXPECT_EQ(unitKind(u"kip"), UnitKind::Force);
    EXPECT_EQ(unitKind(u"°C"), UnitKind::Other);
    EXPECT_EQ(unitKind(u"Kanal"), UnitKind::Unknown);

    EXPECT_EQ(nameScore(u"Ch 1 Weg", Quantity::Displacement), 3);
    EXPECT_EQ(nameScore(u"Standardweg", Quantity::Displacement), 2);
    EXPECT_EQ(nameScore(u"Wegaufnehmer", Quantity::Displacement), 2);
    EXPECT_EQ(nameScore(u"Gewicht", Quantity::Displacement), 0);
    EXPECT_EQ(nameScore(u"Ch 1 Kraft Sollwert", Quantity::Load), 1);
    EXPECT_EQ(nameScore(u"Force command", Quantity::Load), 1);
    EXPECT_EQ(nameScore(u"荷载", Quantity::Load), 3);
    EXPECT_EQ(nameScore(u"Elastic", Quantity::Load), 0);
}

TEST(DetectSeparators, SeparatorAndDecimalFromTheData)
{
    const struct {
        const char* line;  // one data line, repeated under a header
        FieldSeparator separator;
        DecimalSeparator decimal;
    } cases[] = {
        {"1,5;2,5", FieldSeparator::Semicolon, DecimalSeparator::Comma},
        {"1.5;2.5", FieldSeparator::Semicolon, DecimalSeparator::Point},
        {"1;2", FieldSeparator::Semicolon, DecimalSeparator::Point},
        {"1,5 2,5", FieldSeparator::Blanks, DecimalSeparator::Comma},
        {"1.5,2.5", FieldSeparator::Comma, DecimalSeparator::Point},
        {"1.5, 2.5", FieldSeparator::Comma, DecimalSeparator::Point},
        {"1.5\t2.5\t3", FieldSeparator::Tab, DecimalSeparator::Point},
        {"1,5\t2,5", FieldSeparator::Tab, DecimalSeparator::Comma},
        {"  1.5   2.5  ", FieldSeparator::Blanks, DecimalSeparator::Point},
        {"\"1,5\";\"2,5\"", FieldSeparator::Semicolon, DecimalSeparator::Comma},
    };
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QByteArray text = "x y\n";
        for (int i = 0; i < 6; ++i)
            text += QByteArray(c.line) + "\n";
        const Detection d = detectBytes(files, text);
        ASSERT_TRUE(d.ok()) << d.failure.toStdString();
        EXPECT_EQ(d.options.separator, c.separator);
        EXPECT_EQ(d.options.decimal, c.decimal);
        EXPECT_EQ(d.options.skipLines, 1);
    }
}

TEST(DetectSeparators, ThousandsAndMixedDecimalsAreNoted)
{
    TempFiles files;
    const Detection thousands = detectBytes(files, readWholeFile(importFixture(QStringLiteral("thousands.txt"))));
    ASSERT_EQ(thousands.notes.size(), 1);
    EXPECT_THAT(thousands.notes[0].toStdString(), HasSubstr("\"1,000.5\" has a thousands separator"));

    const Detection mixed = detectBytes(files, "a\tb\n1,5\t2,5\n1,5\t2.5\n3,5\t4,5\n5,5\t6,5\n7,5\t8,5\n");
    ASSERT_FALSE(mixed.notes.isEmpty());
    EXPECT_THAT(mixed.notes[0].toStdString(), HasSubstr("mixed; the comma is taken"));
    EXPECT_EQ(mixed.options.decimal, DecimalSeparator::Comma);
}

TEST(DetectDataStart, BlocksHeadersAndWhatGivenOptionsFix)
{
    ImportOptions comma = ImportOptions::detectEverything();
    comma.separator = FieldSeparator::Comma;
    ImportOptions skipThree = ImportOptions::detectEverything();
    skipThree.skipLines = 3;
    ImportOptions columns23 = ImportOptions::detectEverything();
    columns23.displacement = {ColumnMode::Number, 2, {}};
    columns23.load = {ColumnMode::Number, 3, {}};
    const struct {
        const char* name;
        QByteArray text;
        ImportOptions given;
        int skip;          // -1: detection fails
        int header;        // 0: none
        int displacement;  // column
    } cases[] = {
        // Fewer than five lines still make a block when they end the file.
        {"short file", "d,l\n1,2\n3,4\n", ImportOptions::detectEverything(), 1, 1, 1},
        {"no header", "1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n", ImportOptions::detectEverything(), 0, 0, 1},
        // Four lines of numbers, then text, then the data: four are not a block.
        {"short block", "1\t2\n3\t4\n5\t6\n7\t8\nEnd of setup\nd\tl\n1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n",
         ImportOptions::detectEverything(), 6, 6, 1},
        // A given separator is kept even when it finds nothing.
        {"given separator", "a;b\n1;2\n3;4\n5;6\n7;8\n9;10\n", comma, -1, 0, 0},
        {"given skip", "x\ny\nz\n1\t2\n3\t4\n", skipThree, 3, 0, 1},
        // Given columns: the data start where those columns hold numbers (the line above,
        // mostly text, counts as the header).
        {"given columns", "n\t1\tx\nn\t2\tx\na\t1\t2\nb\t3\t4\nc\t5\t6\nd\t7\t8\ne\t9\t10\n", columns23, 2, 2, 2},
        // A date or a time is not a number.
        {"dates", "t\tF\n2024-03-05\t1\n2024-03-06\t2\n2024-03-07\t3\n2024-03-08\t4\n2024-03-09\t5\n",
         ImportOptions::detectEverything(), -1, 0, 0},
    };
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Detection d = detectBytes(files, c.text, c.given);
        if (c.skip < 0) {
            EXPECT_FALSE(d.ok());
            EXPECT_THAT(d.failure.toStdString(), HasSubstr("No data found"));
            continue;
        }
        ASSERT_TRUE(d.ok()) << d.failure.toStdString();
        EXPECT_EQ(d.options.skipLines, c.skip);
        EXPECT_EQ(d.options.header.mode == LineMode::Line ? d.options.header.line : 0, c.header);
        EXPECT_EQ(d.options.displacement.number, c.displacement);
    }
}

TEST(DetectEncoding, MarksThenUtf8ThenLatin1)
{
    const QByteArray umlaut =
        "Pr\xc3\xbc"
        "fer\n";
    QByteArray cutInCharacter = QByteArray(100, 'a') + "\xc3";  // the head ends inside "ü"
    const struct {
        QByteArray bytes;
        TextEncoding chosen;
        TextEncoding resolved;
    } cases[] = {
        {umlaut, TextEncoding::Auto, TextEncoding::Utf8},
        {"Pr\xfc"
         "fer\n",
         TextEncoding::Auto, TextEncoding::Latin1},
        {"\xef\xbb\xbf"
         "abc",
         TextEncoding::Auto, TextEncoding::Utf8},
        {"\xff\xfe"
         "a\0",
         TextEncoding::Auto, TextEncoding::Utf16LE},
        {"\xfe\xff\0a", TextEncoding::Auto, TextEncoding::Utf16BE},
        {"\xfe\xff\0a", TextEncoding::Utf16, TextEncoding::Utf16BE},
        {"a\0b\0", TextEncoding::Utf16, TextEncoding::Utf16LE},
        {cutInCharacter, TextEncoding::Auto, TextEncoding::Utf8},
        {umlaut, TextEncoding::Latin1, TextEncoding::Latin1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(resolveEncoding(c.chosen, c.bytes), c.resolved);
    }
    EXPECT_EQ(decodeHead("Pr\xfc"
                         "fer\n",
                         TextEncoding::Latin1, true),
              QStringLiteral("Prüfer\n"));
    // A NUL ends the text; an incomplete head loses its last, perhaps cut, line.
    EXPECT_EQ(decodeHead(QByteArray("a,b\n1,2\0tail", 13), TextEncoding::Utf8, true), QStringLiteral("a,b\n1,2"));
    EXPECT_EQ(decodeHead("a,b\n1,2\n3,", TextEncoding::Utf8, false), QStringLiteral("a,b\n1,2\n"));
}

TEST(DetectHead, ALargeFileIsJudgedByItsFirstMebibyte)
{
    QByteArray text = "Metadata: 3 lines\nOperator\tKh\nDisplacement (mm)\tLoad (kN)\n";
    for (int i = 0; text.size() < (3 << 20); ++i)
        text += QByteArray::number(i * 0.001, 'f', 3) + "\t" + QByteArray::number(i % 977) + "\n";
    TempFiles files;
    const FileHead head = readFileHead(files.write(QStringLiteral("large.txt"), text));
    EXPECT_EQ(head.bytes.size(), kHeadBytes);
    EXPECT_EQ(head.fileSize, text.size());
    EXPECT_FALSE(head.complete);
    const Detection d = detectOptions(head, ImportOptions::detectEverything());
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.options.skipLines, 3);
    EXPECT_EQ(d.columnUnits.mid(0, 2), QStringList({QStringLiteral("mm"), QStringLiteral("kN")}));

    const ImportPreview preview = previewImport(head, ImportOptions::detectEverything());
    ASSERT_EQ(preview.lines.size(), 200u);
    EXPECT_EQ(preview.points.size(), static_cast<std::size_t>(kHeadLines - 3));
    EXPECT_EQ(preview.message.toStdString(),
              "997 lines of data from line 4 on in the first 1000 lines; the rest is read on import.");

    // Under a mebibyte but more lines than the head holds: still only part of the file.
    QByteArray manyLines = "d,l\n";
    for (int i = 0; i < 2 * kHeadLines; ++i)
        manyLines += QByteArray::number(i) + ",1\n";
    const FileHead small = readFileHead(files.write(QStringLiteral("lines.csv"), manyLines));
    EXPECT_TRUE(small.complete);
    EXPECT_THAT(previewImport(small, ImportOptions::detectEverything()).message.toStdString(),
                HasSubstr("the rest is read on import"));
}

TEST(DetectPreview, LinesCarryTheirRoles)
{
    const ImportPreview preview = previewImport(readFileHead(importFixture(QStringLiteral("blank_lines.csv"))),
                                                ImportOptions::detectEverything());
    std::vector<LineRole> roles;
    for (const PreviewLine& line : preview.lines)
        roles.push_back(line.role);
    using R = LineRole;
    EXPECT_EQ(roles, (std::vector<R>{R::Skipped, R::Skipped, R::Header, R::Data, R::Data, R::Data, R::Data, R::Data,
                                     R::Data, R::End, R::After, R::After, R::After}));
    EXPECT_EQ(preview.lines[2].cells, QStringList({QStringLiteral("Displacement"), QStringLiteral("Load")}));
    EXPECT_EQ(preview.displacementColumn, 0);
    EXPECT_EQ(preview.loadColumn, 1);

    ImportOptions flipped = ImportOptions::detectEverything();
    flipped.loadScale.flip = true;
    flipped.fromOrigin = true;
    const ImportPreview changed =
        previewImport(readFileHead(importFixture(QStringLiteral("blank_lines.csv"))), flipped);
    ASSERT_EQ(changed.points.size(), 6u);
    EXPECT_EQ(changed.points[5].y, -28.0);
}

}  // namespace
}  // namespace rz::test

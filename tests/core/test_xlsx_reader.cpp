// Reading .xlsx worksheets: workbooks saved by openpyxl and by LibreOffice read back to
// the values written, and a workbook built here covers the parts of the format those two
// do not write (inline strings, rich text, cells without references, odd targets).
#include "ImportTestSupport.h"

#include "core/import/ReadWithOptions.h"
#include "core/import/XlsxReader.h"
#include "core/io/ZipArchive.h"
#include "core/text/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace rz::test {
namespace {

using ::testing::HasSubstr;

// The values make_fixtures.py writes (WORKBOOK_POINTS), as text.
const char* const kWorkbookPoints[][2] = {
    {"0", "0"},
    {"0.1", "0.3"},
    {"0.25", "1.5"},
    {"1e-05", "2.25"},
    {"0.5", "123456.789"},
    {"0.75", "3.14159265358979"},
    {"1", "-0.5"},
    {"1.25", "4.4482216152605"},
    {"2.5", "1234.5"},
    {"3.75", "0.000123"},
};

std::vector<Point> workbookPoints(std::size_t count, bool loadFirst)
{
    std::vector<Point> points;
    for (std::size_t i = 0; i < count; ++i) {
        const double d = *parseDecimal(QString::fromLatin1(kWorkbookPoints[i][0]), u'.');
        const double f = *parseDecimal(QString::fromLatin1(kWorkbookPoints[i][1]), u'.');
        points.push_back(loadFirst ? Point{f, d} : Point{d, f});
    }
    return points;
}

TEST(XlsxWorkbooks, OpenpyxlAndLibreOfficeReadBackExactly)
{
    for (const char* name : {"openpyxl_curve.xlsx", "libreoffice_curve.xlsx"}) {
        SCOPED_TRACE(name);
        const QString path = importFixture(QString::fromLatin1(name));
        const ImportResult r = readWithOptions(path, ImportOptions::detectEverything());
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.kind, FileKind::Workbook);
        expectSamePoints(r.points, workbookPoints(10, false));
        EXPECT_EQ(r.used.sheet, QStringLiteral("Curve"));
        EXPECT_EQ(r.used.skipLines, 4);
        EXPECT_EQ(r.used.header.line, 4);
        EXPECT_EQ(r.displacementName, QStringLiteral("Displacement (mm)"));
        EXPECT_EQ(r.loadUnit, QStringLiteral("kN"));
        EXPECT_EQ(r.stopReason, StopReason::Date);
        EXPECT_EQ(r.message.toStdString(),
                  "10 rows of data read (rows 5 to 14); the data ends at row 15: column B holds a date, not a number.");

        // A sheet by name, load before displacement.
        ImportOptions second = ImportOptions::detectEverything();
        second.sheet = QStringLiteral("Second test");
        const ImportResult s = readWithOptions(path, second);
        ASSERT_TRUE(s.ok()) << s.error.toStdString();
        expectSamePoints(s.points, workbookPoints(6, false));
        EXPECT_EQ(s.used.displacement.number, 2);
        EXPECT_EQ(s.used.load.number, 1);
        EXPECT_EQ(s.stopReason, StopReason::EndOfFile);

        // Dates are refused as data.
        ImportOptions dates = ImportOptions::detectEverything();
        dates.sheet = QStringLiteral("Dates only");
        EXPECT_THAT(readWithOptions(path, dates).error.toStdString(), HasSubstr("No data found"));
        ImportOptions datesGiven = dates;
        datesGiven.skipLines = 1;
        datesGiven.displacement = {ColumnMode::Number, 1, {}};
        datesGiven.load = {ColumnMode::Number, 2, {}};
        EXPECT_EQ(readWithOptions(path, datesGiven).error.toStdString(),
                  "No data read: row 2: column A holds a date, not a number.");

        XlsxSheetReader reader = XlsxSheetReader::open(path);
        EXPECT_EQ(reader.sheetNames(),
                  QStringList({QStringLiteral("Curve"), QStringLiteral("Second test"), QStringLiteral("Dates only")}));
        CellRow row;
        ASSERT_TRUE(reader.nextRow(row));
        ASSERT_EQ(row.size(), 2u);
        EXPECT_EQ(row[1].kind, CellKind::Text);
        EXPECT_EQ(row[1].text, QStringLiteral("B-17"));
        ASSERT_TRUE(reader.nextRow(row));
        EXPECT_EQ(row[1].kind, CellKind::Date);
        ASSERT_TRUE(reader.nextRow(row));
        EXPECT_TRUE(isBlankRow(row));  // row 3 was left empty
    }
}

TEST(XlsxWorkbooks, MissingSheetAndDamagedWorkbooksSayWhy)
{
    try {
        XlsxSheetReader::open(importFixture(QStringLiteral("openpyxl_curve.xlsx")), QStringLiteral("Nope"));
        FAIL() << "no exception";
    } catch (const XlsxError& e) {
        EXPECT_THAT(e.what(),
                    HasSubstr("no worksheet named \"Nope\" (its worksheets: Curve, Second test, Dates only)"));
    }
    TempFiles files;
    const QString noWorkbook = files.path(QStringLiteral("empty.xlsx"));
    replaceZipEntries(noWorkbook, {{QStringLiteral("readme.txt"), "hello"}});
    EXPECT_THROW(readWithOptions(noWorkbook, ImportOptions::detectEverything()), XlsxError);
    const QString cut = files.write(QStringLiteral("cut.xlsx"), QByteArray("PK\x03\x04", 4) + QByteArray(100, 'x'));
    EXPECT_THROW(readWithOptions(cut, ImportOptions::detectEverything()), XlsxError);
}

// --- A workbook written here, part by part ---

const char* const kRelsXml =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";

// A chart sheet first: the first worksheet is the second sheet. The worksheet's target is
// absolute.
const char* const kWorkbookXml =
    R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)"
    R"(<sheet name="Chart" sheetId="1" r:id="rId9"/><sheet name="Data" sheetId="2" r:id="rId2"/></sheets></workbook>)";

const char* const kWorkbookRelsXml =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>)"
    R"(<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// Shared string 0 is rich text with a phonetic run, which is not part of the text.
const char* const kStringsXml =
    R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<si><r><t>Displace</t></r><r><rPr><b/></rPr><t>ment</t></r><rPh sb="0" eb="1"><t>x</t></rPh></si>)"
    R"(<si><t xml:space="preserve"> Load (kN)</t></si></sst>)";

// Style 1: a custom date; 2: a scientific number; 3: a number with a quoted unit.
const char* const kStylesXml =
    R"(<?xml version="1.0"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="3"><numFmt numFmtId="164" formatCode="[$-409]d/m/yyyy;@"/><numFmt numFmtId="165" formatCode="0.00E+00"/>)"
    R"(<numFmt numFmtId="166" formatCode="#,##0.00&quot; mm&quot;"/></numFmts>)"
    R"(<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="166"/></cellXfs></styleSheet>)";

QByteArray sheetXml(const QByteArray& rows)
{
    return R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

QString writeWorkbook(TempFiles& files, const QString& name, const QByteArray& rows)
{
    const QString path = files.path(name);
    replaceZipEntries(path, {{QStringLiteral("_rels/.rels"), kRelsXml},
                             {QStringLiteral("xl/workbook.xml"), kWorkbookXml},
                             {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRelsXml},
                             {QStringLiteral("xl/strings.xml"), kStringsXml},
                             {QStringLiteral("xl/styles.xml"), kStylesXml},
                             {QStringLiteral("xl/worksheets/data.xml"), sheetXml(rows)}});
    return path;
}

TEST(XlsxParts, CellKindsRowsAndReferences)
{
    TempFiles files;
    const QString path = writeWorkbook(
        files, QStringLiteral("parts.xlsx"),
        R"(<row r="2"><c r="A2" t="inlineStr"><is><t>Note</t></is></c><c r="C2" t="b"><v>1</v></c></row>)"
        R"(<row r="4"><c r="A4" t="s"><v>0</v></c><c r="B4" t="s"><v>1</v></c><c r="D4" t="str"><f>A1</f><v>f</v></c></row>)"
        R"(<row><c t="n" s="2"><v>1.5E-3</v></c><c s="3"><v>2</v></c><c s="1"><v>45356</v></c></row>)"
        R"(<row r="6"><c r="B6"><v>-7</v></c><c r="A6"><v>3</v></c><c r="C6" t="e"><v>#DIV/0!</v></c></row>)");
    XlsxSheetReader reader = XlsxSheetReader::open(path);
    EXPECT_EQ(reader.sheetNames(), QStringList({QStringLiteral("Data")}));
    std::vector<CellRow> rows;
    CellRow row;
    while (reader.nextRow(row))
        rows.push_back(row);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(isBlankRow(rows[0]));
    EXPECT_TRUE(isBlankRow(rows[2]));
    const auto expectCell = [&](int r, int c, CellKind kind, const char* text) {
        SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
        ASSERT_LT(static_cast<std::size_t>(c), rows[static_cast<std::size_t>(r)].size());
        const Cell& cell = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
        EXPECT_EQ(cell.kind, kind);
        EXPECT_EQ(cell.text.toStdString(), text);
    };
    expectCell(1, 0, CellKind::Text, "Note");
    expectCell(1, 1, CellKind::Empty, "");
    expectCell(1, 2, CellKind::Other, "1");
    expectCell(3, 0, CellKind::Text, "Displacement");
    expectCell(3, 1, CellKind::Text, " Load (kN)");
    expectCell(3, 3, CellKind::Text, "f");
    // Cells without references follow one another; formats that only look like units are numbers.
    expectCell(4, 0, CellKind::Number, "1.5E-3");
    expectCell(4, 1, CellKind::Number, "2");
    expectCell(4, 2, CellKind::Date, "45356");
    // Cells out of order keep their columns.
    expectCell(5, 0, CellKind::Number, "3");
    expectCell(5, 1, CellKind::Number, "-7");
    expectCell(5, 2, CellKind::Other, "#DIV/0!");

    ImportOptions given = ImportOptions::detectEverything();
    given.skipLines = 4;
    given.header = {LineMode::Line, 4};
    const ImportResult r = readWithOptions(path, given);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    expectSamePoints(r.points, {{0.0015, 2}, {3, -7}});
    EXPECT_EQ(r.columnNames.mid(0, 2), QStringList({QStringLiteral("Displacement"), QStringLiteral("Load (kN)")}));
}

TEST(XlsxParts, DamagedSheetAndBadSharedStringAreErrors)
{
    TempFiles files;
    const QString damaged =
        writeWorkbook(files, QStringLiteral("damaged.xlsx"), R"(<row r="1"><c r="A1"><v>1</v></c><row>)");
    EXPECT_THROW(readWithOptions(damaged, ImportOptions::detectEverything()), XlsxError);
    const QString badIndex =
        writeWorkbook(files, QStringLiteral("index.xlsx"), R"(<row r="1"><c r="A1" t="s"><v>9</v></c></row>)");
    try {
        readWithOptions(badIndex, ImportOptions::detectEverything());
        FAIL() << "no exception";
    } catch (const XlsxError& e) {
        EXPECT_THAT(e.what(), HasSubstr("shared string that does not exist"));
    }
}

TEST(XlsxParts, ProgressAndCancelOnALargeSheet)
{
    QByteArray rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>)";
    for (int i = 2; i <= 20000; ++i)
        rows += "<row r=\"" + QByteArray::number(i) + "\"><c><v>" + QByteArray::number(i) + "</v></c><c><v>" +
                QByteArray::number(i * 0.5) + "</v></c></row>";
    TempFiles files;
    const QString path = writeWorkbook(files, QStringLiteral("large.xlsx"), rows);
    int calls = 0;
    const ImportResult all = readWithOptions(path, ImportOptions::detectEverything(), [&](qint64 done, qint64 total) {
        EXPECT_LE(done, total);
        ++calls;
        return true;
    });
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.points.size(), 19999u);
    EXPECT_EQ(all.points.back().y, 10000.0);
    EXPECT_GE(calls, 4);
    const ImportResult cancelled =
        readWithOptions(path, ImportOptions::detectEverything(), [](qint64, qint64) { return false; });
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.points.empty());
}

TEST(XlsxDates, NumberFormatsThatShowDates)
{
    const struct {
        int id;
        const char* code;
        bool date;
    } cases[] = {
        {14, "", true},
        {22, "", true},
        {0, "", false},
        {2, "", false},
        {49, "", false},
        {164, "yyyy\\-mm\\-dd", true},
        {164, "General", false},
        {164, "0.00E+00", false},
        {164, "#,##0.00\" mm\"", false},
        {164, "0.0\\ \\m\\m", false},
        {164, "[Red]0.00", false},
        {164, "[h]:mm", true},
        {164, "hh:mm:ss", true},
        {164, "0.00;[Red]-0.00", false},
        {164, "_-* #,##0_-", false},
        {164, "[$-409]d/m/yyyy;@", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.code);
        EXPECT_EQ(isDateFormat(c.id, QString::fromLatin1(c.code)), c.date);
    }
}

}  // namespace
}  // namespace rz::test

// Reading curves with import options: the real instrument exports against their converted
// twins, the team's fixtures, the order of scale, sign and origin, bad inputs, and the
// default options against the plain reader.
#include "ImportTestSupport.h"

#include "core/analysis/Arithmetic.h"
#include "core/import/DataFileReader.h"
#include "core/import/ImportOptions.h"
#include "core/import/ImportPreview.h"
#include "core/import/ReadWithOptions.h"
#include "core/text/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <limits>

namespace rz::test {
namespace {

using ::testing::HasSubstr;

ImportOptions explicitOptions(TextEncoding encoding, FieldSeparator separator, DecimalSeparator decimal, int skip,
                              int displacementColumn, int loadColumn)
{
    ImportOptions o;
    o.encoding = encoding;
    o.separator = separator;
    o.decimal = decimal;
    o.skipLines = skip;
    o.header = {LineMode::None, 0};
    o.units = {LineMode::None, 0};
    o.displacement = {ColumnMode::Number, displacementColumn, {}};
    o.load = {ColumnMode::Number, loadColumn, {}};
    return o;
}

// --- The three raw exports of real testing machines ---

struct RealCase {
    const char* raw;
    const char* twin;
    ImportOptions given;  // what a user types for this file
    int firstDataLine;
    int stopLine;  // 0: the file ended the data
    const char* displacementName;
    const char* displacementUnit;
    const char* loadName;
    const char* loadUnit;
    const char* message;
};

std::vector<RealCase> realCases()
{
    return {
        {"metal_round_bar_tensile_instron_01_raw.csv", "metal_round_bar_tensile_instron_01.csv",
         explicitOptions(TextEncoding::Utf8, FieldSeparator::Tab, DecimalSeparator::Point, 2, 1, 2), 3, 0,
         "Maschine [mm]", "mm", "Kraft [kN]", "kN", "712 lines of data read (lines 3 to 714), to the end of the file."},
        {"polymer_film_tensile_zwick_01_raw.csv", "polymer_film_tensile_zwick_01.csv",
         explicitOptions(TextEncoding::Latin1, FieldSeparator::Tab, DecimalSeparator::Point, 18, 2, 3), 19, 0,
         "Standardweg", "mm", "Standardkraft", "N",
         "18876 lines of data read (lines 19 to 18894), to the end of the file."},
        {"concrete_cylinder_compression_mts_01_raw.csv", "concrete_cylinder_compression_mts_01.csv",
         explicitOptions(TextEncoding::Utf8, FieldSeparator::Tab, DecimalSeparator::Comma, 15, 5, 4), 16, 947,
         "Ch 1 Weg", "mm", "Ch 1 Kraft", "kN",
         "931 lines of data read (lines 16 to 946); line 947 is blank and ends the data."},
    };
}

TEST(ImportOptionsRealFiles, DetectedAndExplicitOptionsGiveTheTwinsPoints)
{
    for (const RealCase& c : realCases()) {
        SCOPED_TRACE(c.raw);
        const std::vector<Point> twin = twinPoints(QString::fromLatin1(c.twin));
        ASSERT_GT(twin.size(), 700u);

        const ImportResult detected =
            readWithOptions(importFixture(QString::fromLatin1(c.raw)), ImportOptions::detectEverything());
        ASSERT_TRUE(detected.ok()) << detected.error.toStdString();
        expectSamePoints(detected.points, twin);
        EXPECT_EQ(detected.firstDataLine, c.firstDataLine);
        EXPECT_EQ(detected.stopLine, c.stopLine);
        EXPECT_EQ(detected.displacementName.toStdString(), c.displacementName);
        EXPECT_EQ(detected.displacementUnit.toStdString(), c.displacementUnit);
        EXPECT_EQ(detected.loadName.toStdString(), c.loadName);
        EXPECT_EQ(detected.loadUnit.toStdString(), c.loadUnit);
        EXPECT_EQ(detected.message.toStdString(), c.message);
        // What detection found is what a user would type.
        EXPECT_EQ(detected.used.encoding, c.given.encoding);
        EXPECT_EQ(detected.used.separator, c.given.separator);
        EXPECT_EQ(detected.used.decimal, c.given.decimal);
        EXPECT_EQ(detected.used.skipLines, c.given.skipLines);
        EXPECT_EQ(detected.used.displacement, c.given.displacement);
        EXPECT_EQ(detected.used.load, c.given.load);

        const ImportResult given = readWithOptions(importFixture(QString::fromLatin1(c.raw)), c.given);
        ASSERT_TRUE(given.ok()) << given.error.toStdString();
        expectSamePoints(given.points, twin);
        EXPECT_EQ(given.message.toStdString(), c.message);
    }
}

TEST(ImportOptionsRealFiles, ControllerFileByColumnNamesReadsTheFirstBlockOnly)
{
    ImportOptions o = ImportOptions::detectEverything();
    o.displacement = {ColumnMode::Name, 1, QStringLiteral("ch 1 weg")};
    o.load = {ColumnMode::Name, 1, QStringLiteral("Ch 1 Kraft")};
    const ImportResult r =
        readWithOptions(importFixture(QStringLiteral("concrete_cylinder_compression_mts_01_raw.csv")), o);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    expectSamePoints(r.points, twinPoints(QStringLiteral("concrete_cylinder_compression_mts_01.csv")));
    EXPECT_EQ(r.used.displacement.number, 5);
    EXPECT_EQ(r.used.load.number, 4);
    EXPECT_EQ(r.stopReason, StopReason::BlankLine);
}

// --- The team's fixtures ---

struct FixtureCase {
    const char* file;
    TextEncoding encoding;
    FieldSeparator separator;
    DecimalSeparator decimal;
    int skip;
    int headerLine;  // 0: none
    int unitsLine;   // 0: none
    int displacementColumn;
    int loadColumn;
    std::vector<Point> points;
    StopReason stop;
    const char* displacementUnit;
    const char* loadUnit;
};

TEST(ImportOptionsFixtures, DetectionReadsEachLayout)
{
    const std::vector<FixtureCase> cases{
        {"german_semicolon.csv",
         TextEncoding::Utf8,
         FieldSeparator::Semicolon,
         DecimalSeparator::Comma,
         6,
         5,
         6,
         1,
         2,
         {{0, 0}, {0.125, 1.25}, {0.25, 2.375}, {0.375, 3.125}, {0.5, 3.75}, {0.625, 4}, {0.75, 3.875}},
         StopReason::EndOfFile,
         "mm",
         "kN"},
        {"quoted_tab_latin1.txt",
         TextEncoding::Latin1,
         FieldSeparator::Tab,
         DecimalSeparator::Point,
         3,
         3,
         0,
         3,
         1,
         {{0, 0}, {0.05, 150.5}, {0.1, 312.25}, {0.15, 480}, {0.2, 633.75}, {0.25, 701}},
         StopReason::EndOfFile,
         "mm",
         "N"},
        {"utf16le_chinese.txt",
         TextEncoding::Utf16LE,
         FieldSeparator::Tab,
         DecimalSeparator::Point,
         1,
         1,
         0,
         2,
         3,
         {{0, 0}, {0.5, 10.5}, {1, 19.25}, {1.5, 26}, {2, 30.125}, {2.5, 31}},
         StopReason::EndOfFile,
         "mm",
         "kN"},
        {"crlf_comma.csv",
         TextEncoding::Utf8,
         FieldSeparator::Comma,
         DecimalSeparator::Point,
         1,
         1,
         0,
         3,
         2,
         {{0, 0}, {0.01, 1.204}, {0.021, 2.377}, {0.033, 3.402}, {0.048, 4.118}, {0.066, 4.506}},
         StopReason::EndOfFile,
         "mm",
         "kN"},
        {"cr_only_blanks.txt",
         TextEncoding::Utf8,
         FieldSeparator::Blanks,
         DecimalSeparator::Point,
         1,
         1,
         0,
         1,
         2,
         {{0, 0}, {0.2, 1.5}, {0.4, 2.8}, {0.6, 3.6}, {0.8, 3.9}, {1, 3.7}},
         StopReason::EndOfFile,
         "",
         ""},
        {"blank_lines.csv",
         TextEncoding::Utf8,
         FieldSeparator::Comma,
         DecimalSeparator::Point,
         3,
         3,
         0,
         1,
         2,
         {{0, 0}, {1, 10}, {2, 18}, {3, 24}, {4, 27}, {5, 28}},
         StopReason::BlankLine,
         "",
         ""},
        {"metadata_with_numbers.txt",
         TextEncoding::Utf8,
         FieldSeparator::Tab,
         DecimalSeparator::Point,
         12,
         12,
         0,
         1,
         2,
         {{0, 0}, {0.1, 2.5}, {0.2, 4.75}, {0.3, 6.5}, {0.4, 7.25}, {0.5, 7.5}, {0.6, 7}},
         StopReason::EndOfFile,
         "mm",
         "kN"},
    };
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = importFixture(QString::fromLatin1(c.file));
        const ImportResult r = readWithOptions(path, ImportOptions::detectEverything());
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.used.encoding, c.encoding);
        EXPECT_EQ(r.used.separator, c.separator);
        EXPECT_EQ(r.used.decimal, c.decimal);
        EXPECT_EQ(r.used.skipLines, c.skip);
        EXPECT_EQ(r.used.header.mode == LineMode::Line ? r.used.header.line : 0, c.headerLine);
        EXPECT_EQ(r.used.units.mode == LineMode::Line ? r.used.units.line : 0, c.unitsLine);
        EXPECT_EQ(r.used.displacement.number, c.displacementColumn);
        EXPECT_EQ(r.used.load.number, c.loadColumn);
        EXPECT_EQ(r.stopReason, c.stop);
        EXPECT_EQ(r.displacementUnit.toStdString(), c.displacementUnit);
        EXPECT_EQ(r.loadUnit.toStdString(), c.loadUnit);
        expectSamePoints(r.points, c.points);

        // The same options given by hand read the same points; the preview of a whole
        // file (it fits in the head) agrees with the reader.
        const ImportResult again = readWithOptions(path, r.used);
        expectSamePoints(again.points, c.points);
        const ImportPreview preview = previewImport(readFileHead(path), ImportOptions::detectEverything());
        expectSamePoints(preview.points, c.points);
        EXPECT_EQ(preview.message, r.message);
    }
}

TEST(ImportOptionsFixtures, MessagesNameTheLineAndTheReason)
{
    const struct {
        const char* file;
        ImportOptions options;
        const char* message;
    } cases[] = {
        {"blank_lines.csv", ImportOptions::detectEverything(),
         "6 lines of data read (lines 4 to 9); line 10 is blank and ends the data."},
        {"nan_inf.csv", ImportOptions::detectEverything(),
         "5 lines of data read (lines 2 to 6); the data ends at line 7: column 2 holds \"nan\", not a number."},
        {"german_semicolon.csv",
         explicitOptions(TextEncoding::Utf8, FieldSeparator::Semicolon, DecimalSeparator::Comma, 6, 1, 4),
         "Column 4 does not exist: line 7 has 3 columns."},
        {"german_semicolon.csv",
         explicitOptions(TextEncoding::Utf8, FieldSeparator::Semicolon, DecimalSeparator::Point, 6, 1, 2),
         "No data read: line 7: column 1 holds \"0,000\", not a number."},
        {"thousands.txt", explicitOptions(TextEncoding::Utf8, FieldSeparator::Tab, DecimalSeparator::Point, 1, 1, 2),
         "No data read: line 2: column 2 holds \"1,000.5\", not a number (thousands separators are not read)."},
        {"crlf_comma.csv", explicitOptions(TextEncoding::Utf8, FieldSeparator::Comma, DecimalSeparator::Point, 7, 1, 2),
         "No data read: the file ends before line 8."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ImportResult r = readWithOptions(importFixture(QString::fromLatin1(c.file)), c.options);
        EXPECT_EQ((r.ok() ? r.message : r.error).toStdString(), c.message);
        if (!r.ok()) {
            EXPECT_TRUE(r.points.empty());
        }
    }
}

TEST(ImportOptionsFixtures, BadInputsImportNothingAndSayWhy)
{
    ImportOptions missingColumn = ImportOptions::detectEverything();
    missingColumn.displacement = {ColumnMode::Number, 7, {}};
    missingColumn.load = {ColumnMode::Number, 2, {}};
    ImportOptions missingName = ImportOptions::detectEverything();
    missingName.load = {ColumnMode::Name, 1, QStringLiteral("Torque")};
    const auto scaled = [](ScalePreset preset, double factor, bool load) {
        ImportOptions o = ImportOptions::detectEverything();
        (load ? o.loadScale : o.displacementScale) = {preset, factor, false};
        return o;
    };
    const struct {
        const char* file;
        ImportOptions options;
        const char* error;
    } cases[] = {
        {"no_numbers.txt", ImportOptions::detectEverything(), "No data found"},
        {"one_column.txt", ImportOptions::detectEverything(), "No data found"},
        {"crlf_comma.csv", missingColumn, "Column 7 does not exist"},
        {"crlf_comma.csv", missingName,
         "No column is named \"Torque\": the header on line 1 names Time (s), Load (kN)"},
        {"no_numbers.txt", scaled(ScalePreset::Factor, 0.0, false),
         "displacement scale factor must be a finite number other than 0 (it is 0)"},
        {"crlf_comma.csv", scaled(ScalePreset::Factor, std::nan(""), true),
         "load scale factor must be a finite number other than 0 (it is NAN)"},
        {"crlf_comma.csv", scaled(ScalePreset::Factor, std::numeric_limits<double>::infinity(), false), "(it is INF)"},
        {"huge_values.csv", scaled(ScalePreset::Factor, 10.0, true),
         "line 4 the scaled or shifted value is out of range (Floating point overflow)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const ImportResult r = readWithOptions(importFixture(QString::fromLatin1(c.file)), c.options);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.points.empty());
        EXPECT_THAT(r.error.toStdString(), HasSubstr(c.error));
    }
}

TEST(ImportOptionsFixtures, MissingFileThrowsNamingIt)
{
    try {
        readWithOptions(importFixture(QStringLiteral("no_such_file.csv")), ImportOptions::detectEverything());
        FAIL() << "no exception";
    } catch (const FileReadError& e) {
        EXPECT_THAT(e.what(), HasSubstr("no_such_file.csv"));
    }
}

// --- Scale, sign, origin ---

TEST(ImportOptionsScale, ScaleThenSignThenOrigin)
{
    TempFiles files;
    const QString path = files.write(QStringLiteral("c.csv"), "x,y\n2,1000\n3,1500\n5,-250\n");
    ImportOptions o;  // the plain layout
    const struct {
        QuantityScale x;
        QuantityScale y;
        bool origin;
        std::vector<Point> expected;
    } cases[] = {
        {{}, {}, false, {{2, 1000}, {3, 1500}, {5, -250}}},
        {{ScalePreset::MetresToMillimetres, 1, false},
         {ScalePreset::NewtonsToKilonewtons, 1, false},
         false,
         {{2000, 1}, {3000, 1.5}, {5000, -0.25}}},
        // Flipped after scaling; the origin is the first point as scaled and flipped.
        {{ScalePreset::Factor, 0.5, true}, {ScalePreset::AsIs, 1, true}, true, {{0, 0}, {-0.5, -500}, {-1.5, 1250}}},
        {{ScalePreset::InchesToMillimetres, 1, false},
         {ScalePreset::KipsToKilonewtons, 1, false},
         false,
         {{2 * 25.4, 1000 * 4.4482216152605}, {3 * 25.4, 1500 * 4.4482216152605}, {5 * 25.4, -250 * 4.4482216152605}}},
        {{},
         {ScalePreset::PoundsForceToKilonewtons, 1, false},
         false,
         {{2, 1000 * 4.4482216152605 / 1000}, {3, 1500 * 4.4482216152605 / 1000}, {5, -250 * 4.4482216152605 / 1000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected[0].x);
        o.displacementScale = c.x;
        o.loadScale = c.y;
        o.fromOrigin = c.origin;
        const ImportResult r = readWithOptions(path, o);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        expectSamePoints(r.points, c.expected);
    }
}

// A curve recorded below zero is named, with the option that makes it rise; the sign is
// judged after scale and sign, and never for a cyclic record or a curve mostly above zero.
TEST(ImportOptionsScale, CurvesBelowZeroAreNamedWithTheOptionThatLiftsThem)
{
    auto belowZero = [](const ImportResult& r, const char* what) {
        return r.notes.filter(QStringLiteral("The %1 lie below zero").arg(QLatin1StringView(what))).size();
    };
    const QString concrete = importFixture(QStringLiteral("concrete_cylinder_compression_mts_01_raw.csv"));
    ImportOptions o = ImportOptions::detectEverything();
    const ImportResult asRecorded = readWithOptions(concrete, o);
    ASSERT_TRUE(asRecorded.ok()) << asRecorded.error.toStdString();
    // The extremes of the twin file, found here independently of the reader.
    double low = 0.0, high = 0.0;
    for (const Point& p : twinPoints(QStringLiteral("concrete_cylinder_compression_mts_01.csv"))) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    ASSERT_EQ(belowZero(asRecorded, "loads"), 1) << asRecorded.notes.join(u'\n').toStdString();
    const QString note = asRecorded.notes.filter(QStringLiteral("loads lie")).front();
    EXPECT_THAT(note.toStdString(), HasSubstr("down to " + QString::number(low, 'g', 8).toStdString() + " kN"));
    EXPECT_THAT(note.toStdString(), HasSubstr("at most " + QString::number(high, 'g', 8).toStdString() + " kN"));
    EXPECT_THAT(note.toStdString(), HasSubstr("--flip-load"));
    EXPECT_EQ(belowZero(asRecorded, "displacements"), 0) << "they end above zero, at +1.4187 mm";

    // The dialog's preview says it of the file's first lines, before Import is pressed.
    const ImportPreview preview = previewImport(readFileHead(concrete), o);
    EXPECT_EQ(preview.notes.filter(QStringLiteral("The loads lie below zero")).size(), 1)
        << preview.notes.join(u'\n').toStdString();

    o.loadScale.flip = true;
    EXPECT_EQ(belowZero(readWithOptions(concrete, o), "loads"), 0);
    EXPECT_TRUE(previewImport(readFileHead(concrete), o).notes.filter(QStringLiteral("below zero")).isEmpty());
    o.loadScale.flip = false;
    o.cyclic = CyclicOptions{};
    EXPECT_EQ(belowZero(readWithOptions(concrete, o), "loads"), 0) << "a cyclic record lies on both sides";

    TempFiles files;
    const struct {
        const char* data;
        int displacements;
        int loads;
    } cases[] = {
        {"0,0\n-1,10\n-2,15\n-3,12\n", 1, 0},    // pushed the other way
        {"0,0\n1,-10\n2,-21\n3,10\n", 0, 1},     // more than twice as far below
        {"0,0\n1,-10\n2,-20\n3,10\n", 0, 0},     // exactly twice: not said
        {"0,0\n-1,-10\n-2,-21\n-3,-5\n", 1, 1},  // both
        {"0,0\n1,10\n2,15\n3,-2\n", 0, 0},       // a tension test whose last point falls below zero
    };
    int k = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const ImportResult r =
            readWithOptions(files.write(QStringLiteral("s%1.csv").arg(k++), c.data), ImportOptions{});
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(belowZero(r, "displacements"), c.displacements);
        EXPECT_EQ(belowZero(r, "loads"), c.loads);
    }
}

TEST(ImportOptionsScale, NewtonsToKilonewtonsDividesSoDecimalsStayExact)
{
    // 1234 * 0.001 is 1.2340000000000002; the preset divides.
    EXPECT_EQ(applyScale(1234.0, {ScalePreset::NewtonsToKilonewtons, 1, false}), 1.234);
    EXPECT_EQ(applyScale(-0.0, {ScalePreset::AsIs, 1, true}), 0.0);
    EXPECT_FALSE(std::signbit(applyScale(0.0, {ScalePreset::AsIs, 1, true})));
    EXPECT_THROW(applyScale(1e308, {ScalePreset::MetresToMillimetres, 1, false}), ArithmeticError);
}

TEST(ImportOptionsScale, UnitsFollowThePreset)
{
    ImportOptions o = ImportOptions::detectEverything();
    o.displacementScale = {ScalePreset::MetresToMillimetres, 1, false};
    o.loadScale = {ScalePreset::Factor, 2, false};
    const ImportResult r = readWithOptions(importFixture(QStringLiteral("crlf_comma.csv")), o);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.displacementUnit, QStringLiteral("mm"));
    EXPECT_TRUE(r.loadUnit.isEmpty());  // a free factor: the unit is no longer known
}

// --- The default options read as the plain import ---

TEST(ImportOptionsPlainLayout, DefaultOptionsGiveThePlainReadersPoints)
{
    QStringList files;
    for (const char* folder : {"import", "bad", "import_options"}) {
        const QDir dir(QStringLiteral(RZ_TEST_DATA_DIR "/") + QLatin1StringView(folder));
        for (const QString& name : dir.entryList(QDir::Files))
            if (!name.endsWith(u".xlsx") && !name.endsWith(u".md") && !name.endsWith(u".py"))
                files << dir.filePath(name);
    }
    ASSERT_GT(files.size(), 40);
    for (const QChar decimal : {QChar(u'.'), QChar(u',')}) {
        ImportOptions o;
        o.decimal = decimal == u',' ? DecimalSeparator::Comma : DecimalSeparator::Point;
        for (const QString& path : files) {
            SCOPED_TRACE(path.toStdString() + (decimal == u',' ? " (comma)" : " (point)"));
            const CurveReadResult plain = readCurve(decodeText(readWholeFile(path)), decimal);
            const ImportResult withOptions = readWithOptions(path, o);
            expectSamePoints(withOptions.points, plain.points);
            // Where the plain import stops at a line that is not blank, so does this one.
            if (withOptions.ok() && withOptions.stopReason != StopReason::EndOfFile &&
                withOptions.stopReason != StopReason::BlankLine) {
                EXPECT_EQ(withOptions.stopLine, plain.badLine + 1);
            }
        }
    }
}

}  // namespace
}  // namespace rz::test

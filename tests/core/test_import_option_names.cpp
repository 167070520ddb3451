// Import options by name and in JSON: every value's key reads back, separators as typed, the
// options and the import's result as JSON; and the warning for files the plain import misreads.
#include "ImportTestSupport.h"

#include "core/import/ImportOptions.h"
#include "core/import/ReadWithOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace rz::test {
namespace {

using ::testing::HasSubstr;

// --- Names and JSON ---

TEST(ImportOptionsNames, EveryValueHasAKeyThatReadsBack)
{
    const auto check = [](auto value) {
        using E = decltype(value);
        const QString key = optionKey(value);
        EXPECT_FALSE(key.isEmpty());
        EXPECT_FALSE(optionLabel(value).isEmpty());
        EXPECT_EQ(optionFromKey<E>(key), value) << key.toStdString();
        EXPECT_EQ(optionFromKey<E>(key.toUpper()), value) << key.toStdString();
    };
    for (const auto& e : optionNames(TextEncoding{}))
        check(e.value);
    for (const auto& e : optionNames(FieldSeparator{}))
        check(e.value);
    for (const auto& e : optionNames(DecimalSeparator{}))
        check(e.value);
    for (const auto& e : optionNames(ScalePreset{}))
        check(e.value);
    for (const auto& e : optionNames(PointOrder{}))
        check(e.value);
    EXPECT_EQ(optionFromKey<DecimalSeparator>(u","), DecimalSeparator::Comma);
    EXPECT_EQ(optionFromKey<TextEncoding>(u"utf8"), TextEncoding::Utf8);
    EXPECT_FALSE(optionFromKey<TextEncoding>(u"ebcdic").has_value());
}

TEST(ImportOptionsNames, SeparatorsAsTyped)
{
    const struct {
        const char16_t* text;
        std::optional<FieldSeparator> separator;
        char16_t character;
    } cases[] = {
        {u"auto", FieldSeparator::Auto, u','},
        {u";", FieldSeparator::Semicolon, u';'},
        {u"\t", FieldSeparator::Tab, u'\t'},
        {u"blank", FieldSeparator::Blanks, u','},
        {u"|", FieldSeparator::Character, u'|'},
        {u"5", std::nullopt, 0},
        {u"\"", std::nullopt, 0},
        {u"character", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        const auto parsed = separatorFromText(QStringView(c.text));
        ASSERT_EQ(parsed.has_value(), c.separator.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->separator, *c.separator);
            if (parsed->separator != FieldSeparator::Auto && parsed->separator != FieldSeparator::Blanks) {
                EXPECT_EQ(parsed->character, QChar(c.character));
            }
        }
    }
}

TEST(ImportOptionsJson, OptionsRoundTripAndBadValuesAreRefused)
{
    ImportOptions o = ImportOptions::detectEverything();
    o.separator = FieldSeparator::Character;
    o.separatorChar = u'|';
    o.header = {LineMode::Line, 14};
    o.units = {LineMode::None, 0};
    o.displacement = {ColumnMode::Name, 1, QStringLiteral("Ch 1 Weg")};
    o.load = {ColumnMode::Number, 4, {}};
    o.displacementScale = {ScalePreset::InchesToMillimetres, 1, true};
    o.loadScale = {ScalePreset::Factor, 0.25, false};
    o.fromOrigin = true;
    o.order = PointOrder::FileOrder;
    o.sheet = QStringLiteral("Test 2");
    const QJsonObject json = optionsToJson(o);
    EXPECT_EQ(optionsFromJson(json), o);
    EXPECT_EQ(optionsFromJson(optionsToJson(ImportOptions{})), ImportOptions{});
    EXPECT_EQ(json.value(u"separator").toString(), QStringLiteral("|"));
    EXPECT_EQ(json.value(u"headerLine").toInt(), 14);

    for (const char* bad :
         {R"({"encoding":"ebcdic"})", R"({"skipLines":-1})", R"({"skipLines":1.5})", R"({"headerLine":0})",
          R"({"loadColumn":""})", R"({"scaleLoad":0})", R"({"flipLoad":"yes"})", R"({"order":"random"})"}) {
        SCOPED_TRACE(bad);
        QString error;
        EXPECT_FALSE(optionsFromJson(QJsonDocument::fromJson(bad).object(), &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ImportOptionsJson, ResultDescribesTheImport)
{
    const ImportResult r =
        readWithOptions(importFixture(QStringLiteral("concrete_cylinder_compression_mts_01_raw.csv")),
                        ImportOptions::detectEverything());
    const QJsonObject json = importToJson(r);
    EXPECT_EQ(json.value(u"firstDataLine").toInt(), 16);
    EXPECT_EQ(json.value(u"stopLine").toInt(), 947);
    EXPECT_EQ(json.value(u"stopReason").toString(), QStringLiteral("blank-line"));
    EXPECT_EQ(json.value(u"columnNames").toArray().at(4).toString(), QStringLiteral("Ch 1 Weg"));
    EXPECT_EQ(json.value(u"options").toObject().value(u"decimalSeparator").toString(), QStringLiteral("comma"));

    const QJsonObject found = detectionToJson(
        detectOptions(readFileHead(importFixture(QStringLiteral("thousands.txt"))), ImportOptions::detectEverything()));
    EXPECT_EQ(found.value(u"options").toObject().value(u"separator").toString(), QStringLiteral("tab"));
    EXPECT_EQ(found.value(u"notes").toArray().size(), 1);
    EXPECT_TRUE(found.value(u"failure").toString().startsWith(u"No data found"));
}

// --- The plain import's warning ---

TEST(ImportOptionsWarning, FilesThePlainImportMisreadsAreNamed)
{
    TempFiles files;
    const struct {
        const char* name;
        QByteArray bytes;
        QChar regional;
        const char* reason;  // nullptr: no warning
    } cases[] = {
        {"plain.csv", "Displacement,Load\n0,0\n1,2\n2,3\n3,3.5\n4,3.7\n", u'.', nullptr},
        {"plain_tab.txt", "d\tl\n0\t0\n1\t2\n2\t3\n3\t3.5\n4\t3.7\n", u'.', nullptr},
        // Detection would read one line at the end; the plain import reads more.
        {"plain_stops.csv", "d,l\n1,2\n3,4\n1e999,5\n6,7\n", u'.', nullptr},
        // Under a decimal-comma locale, 1,5<TAB>50 becomes the point (1, 5).
        {"comma_tab.txt", "Weg\tKraft\n0,5\t10\n1,5\t50\n2,5\t70\n3,5\t80\n4,5\t85\n", u',', "decimal commas"},
        {"comma_tab_point_locale.txt", "Weg\tKraft\n0,5\t10\n1,5\t50\n2,5\t70\n3,5\t80\n4,5\t85\n", u'.',
         "decimal commas"},
        {"semicolon.csv", "Weg;Kraft\n0;10\n1;50\n2;70\n3;80\n4;85\n", u'.', "fields separated by semicolons"},
        {"load_first.csv", "Load (kN),Displacement (mm)\n0,0\n5,1\n9,2\n12,3\n14,4\n", u'.',
         "displacement in column 2 and load in column 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto warning = plainImportWarning(files.write(QString::fromLatin1(c.name), c.bytes), c.regional);
        if (!c.reason) {
            EXPECT_FALSE(warning.has_value()) << warning->toStdString();
            continue;
        }
        ASSERT_TRUE(warning.has_value());
        EXPECT_THAT(warning->toStdString(), HasSubstr(c.reason));
    }
    const auto metadata =
        plainImportWarning(importFixture(QStringLiteral("metal_round_bar_tensile_instron_01_raw.csv")), u'.');
    ASSERT_TRUE(metadata.has_value());
    EXPECT_THAT(metadata->toStdString(), HasSubstr("data from line 3"));
    EXPECT_TRUE(plainImportWarning(importFixture(QStringLiteral("openpyxl_curve.xlsx")), u'.').has_value());
    EXPECT_FALSE(
        plainImportWarning(importFixture(QStringLiteral("metal_round_bar_tensile_instron_01.csv")), u'.').has_value());
}

}  // namespace
}  // namespace rz::test

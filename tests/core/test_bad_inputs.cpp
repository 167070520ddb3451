// The catalogue of bad data files (tests/data/bad) and the unreadable ones made here,
// through the window's model: import, then Calculate.
#include "core/import/DataFileReader.h"
#include "core/text/NumberText.h"
#include "core/workbench/Workbench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace rz {
namespace {

using ::testing::HasSubstr;

struct Recorder : UserInterface {
    std::vector<std::pair<MessageLevel, QString>> messages;
    void showMessage(MessageLevel level, const QString& text) override { messages.emplace_back(level, text); }
    void focusField(Field) override {}
};

QString badPath(const QString& name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/bad/") + name;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

QString successMessage(std::int64_t lines)
{
    return QStringLiteral("%1 Lines of date have been imported!").arg(lines);
}

QString badLineMessage(std::int64_t lines, std::int64_t badLine)
{
    return QStringLiteral("This File contains %1 Lines. Only %2 Lines of date have been imported!").arg(lines).arg(badLine);
}

const Series& curveOf(const Workbench& wb)
{
    return wb.chart()[SeriesId::lnsrsSeries4].data;
}

// Whatever a file holds, the window shows no number that is not one.
void expectOnlyShowableFields(const Workbench& wb)
{
    static const QRegularExpression number(QStringLiteral("^-?(0|[1-9][0-9]*)([.,][0-9]+)?(E-?[1-9][0-9]*)?$"));
    static const QRegularExpression signedZero(QStringLiteral("^-0([.,]0*)?$"));
    for (int i = 0; i < kFieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        if (f == Field::edt1 || f == Field::edt12 || f == Field::edt17)
            continue;
        const QString text = wb.fieldText(f);
        SCOPED_TRACE(fieldName(f));
        if (text.isEmpty() || text == QStringLiteral("--"))
            continue;
        EXPECT_TRUE(number.match(text).hasMatch()) << text.toStdString();
        EXPECT_FALSE(signedZero.match(text).hasMatch()) << text.toStdString();
    }
    for (int i = 0; i < ChartModel::count(); ++i) {
        const Series& s = wb.chart().at(i).data;
        for (int j = 1; j < s.count(); ++j)
            ASSERT_LE(s.x(j - 1), s.x(j)) << seriesStyle(static_cast<SeriesId>(i)).name;
    }
}

struct CatalogueCase {
    const char* file;
    QChar separator;
    std::int64_t lines;
    std::int64_t badLine;       // -1: every line read
    std::vector<Point> curve;   // as stored, sorted by displacement
};

const double kMax = std::numeric_limits<double>::max();
const double kTiny = std::numeric_limits<double>::denorm_min();
const double kMinNormal = std::numeric_limits<double>::min();

const std::vector<CatalogueCase>& catalogue()
{
    static const std::vector<CatalogueCase> cases = {
        {"truncated_utf16le.csv", u'.', 4, 3, {{1, 2}, {3, 4}}},
        {"truncated_utf16be.csv", u'.', 4, 3, {{1, 2}, {3, 4}}},
        {"utf16le_bom_and_one_byte.csv", u'.', 1, -1, {}},
        {"lone_cr.csv", u'.', 4, -1, {{1, 2}, {3, 4}, {5, 6}}},
        {"mixed_line_ends.csv", u'.', 6, 4, {{1, 2}, {3, 4}, {5, 6}}},
        {"bom_only_utf8.csv", u'.', 0, -1, {}},
        {"bom_only_utf16le.csv", u'.', 0, -1, {}},
        {"bom_only_utf16be.csv", u'.', 0, -1, {}},
        {"ten_thousand_fields.csv", u'.', 3, -1, {{1.5, 2.5}, {3, 4}}},
        {"unclosed_quote_last_field.csv", u'.', 3, 2, {{1, 2}}},
        {"unclosed_quote_last_field.csv", u',', 3, -1, {{1, 2}, {3, 4.5}}},
        {"unclosed_quote_first_field.csv", u'.', 4, 2, {{1, 2}}},
        {"unclosed_quote_first_field.csv", u',', 4, 2, {{1, 2}}},
        {"double_range_edges.csv", u'.', 6, 4, {{0.0, -kMax}, {kTiny, kMax}, {kMinNormal, -kTiny}}},
        {"overflow_in_analysis.csv", u'.', 4, -1, {{0, 0}, {1, 1e308}, {2, -1e308}}},
        {"negative_zero.csv", u'.', 4, -1, {{-0.0, -0.0}, {-0.0, -0.000001}, {0.0, 0.0}}},
        {"blanks_codes_1_to_32.csv", u'.', 6, 4, {{1, 2}, {3, 4}, {5, 6}}},
        {"blank_line_of_blanks.csv", u'.', 4, 2, {{1, 2}}},
        {"unicode_spaces.csv", u'.', 4, 2, {{1, 2}}},
        {"binary_garbage.bin", u'.', 3, 1, {}},
        {"nul_in_second_field.csv", u'.', 3, 2, {{1, 2}}},
        {"nul_first_byte.csv", u'.', 0, -1, {}},
        {"nul_utf16le.csv", u'.', 2, -1, {{1, 2}}},
    };
    return cases;
}

TEST(BadInputCatalogue, EachFileImportsAsItsReadmeSays)
{
    for (const CatalogueCase& c : catalogue()) {
        SCOPED_TRACE(std::string(c.file) + " with '" + char(c.separator.unicode()) + "'");
        Recorder ui;
        Workbench wb(ui, c.separator, QStringLiteral("/"));
        wb.importConfirmed(badPath(QLatin1StringView(c.file)));

        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].first, MessageLevel::Information);
        EXPECT_EQ(ui.messages[0].second, c.badLine < 0 ? successMessage(c.lines) : badLineMessage(c.lines, c.badLine));
        EXPECT_EQ(wb.lastImportLineCount(), c.lines);

        const Series& curve = curveOf(wb);
        ASSERT_EQ(curve.count(), static_cast<int>(c.curve.size()));
        for (int i = 0; i < curve.count(); ++i) {
            EXPECT_TRUE(sameBits(curve.x(i), c.curve[static_cast<std::size_t>(i)].x)) << i << ": " << curve.x(i);
            EXPECT_TRUE(sameBits(curve.y(i), c.curve[static_cast<std::size_t>(i)].y)) << i << ": " << curve.y(i);
        }
        EXPECT_EQ(wb.state().PeakIndex == -1, c.curve.empty());
        EXPECT_EQ(wb.fieldText(Field::edt18).isEmpty(), c.curve.empty());
        expectOnlyShowableFields(wb);

        ui.messages.clear();
        wb.btn1Click();
        if (c.curve.empty()) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].second, QStringLiteral("Import Data first!"));
            EXPECT_TRUE(wb.chart()[SeriesId::pntsrsSeries5].data.empty());
        }
        for (const auto& [level, text] : ui.messages) {
            if (level == MessageLevel::Error) {
                EXPECT_THAT(text.toStdString(), ::testing::AnyOf("Floating point overflow", "Floating point division by zero",
                                                                 "Invalid floating point operation"));
            }
        }
        expectOnlyShowableFields(wb);
    }
}

// A new file in the folder must come with a README line and a case above.
TEST(BadInputCatalogue, EveryFileIsDescribedAndRun)
{
    QFile readme(badPath(QStringLiteral("README.md")));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    QSet<QString> described;
    static const QRegularExpression entry(QStringLiteral("^- `([^`]+)`:"), QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(text); it.hasNext();)
        described.insert(it.next().captured(1));

    QSet<QString> run;
    for (const CatalogueCase& c : catalogue())
        run.insert(QLatin1StringView(c.file));

    const QStringList files = QDir(badPath(QString())).entryList(QDir::Files);
    QSet<QString> present;
    for (const QString& f : files)
        if (f != QStringLiteral("README.md"))
            present.insert(f);
    EXPECT_EQ(described, present);
    EXPECT_EQ(run, present);
    EXPECT_GE(present.size(), 20);
}

TEST(BadInputCatalogue, TenThousandFieldsAllSplit)
{
    QFile file(badPath(QStringLiteral("ten_thousand_fields.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = decodeText(file.readAll());
    const auto lines = splitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    const QStringList fields = splitFields(lines[1]);
    ASSERT_EQ(fields.size(), 10000);
    EXPECT_EQ(fields.front(), QStringLiteral("1.5"));
    EXPECT_EQ(fields.back(), QStringLiteral("9"));
}

TEST(BadInputCatalogue, OverflowInTheAnalysisEndsCalculateWithTheError)
{
    Recorder ui;
    Workbench wb(ui, u'.', QStringLiteral("/"));
    wb.importConfirmed(badPath(QStringLiteral("overflow_in_analysis.csv")));
    ASSERT_EQ(wb.state().PeakIndex, 1);
    ui.messages.clear();
    wb.btn1Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, MessageLevel::Error);
    EXPECT_EQ(ui.messages[0].second, QStringLiteral("Floating point overflow"));
    EXPECT_FALSE(wb.lastCalculationCompleted());
    EXPECT_FALSE(wb.state().UltimateFound);
    EXPECT_TRUE(wb.chart()[SeriesId::pntsrsSeries5].data.empty());
    EXPECT_TRUE(wb.fieldText(Field::edt15).isEmpty());
    EXPECT_TRUE(wb.fieldText(Field::edt10).isEmpty());
}

// Extreme values through Calculate: each arithmetic fault surfaces where it happens,
// with its message, and nothing non-finite reaches a field.
TEST(BadInputCatalogue, RangeEdgesCalculateUntilTheFirstOverflow)
{
    Recorder ui;
    Workbench wb(ui, u'.', QStringLiteral("/"));
    wb.importConfirmed(badPath(QStringLiteral("double_range_edges.csv")));
    ASSERT_EQ(wb.state().PeakIndex, 1);
    EXPECT_EQ(wb.fieldText(Field::edt18), QStringLiteral("1.79769313486232E308"));
    EXPECT_EQ(wb.fieldText(Field::edt19), QStringLiteral("0"));
    ui.messages.clear();
    wb.btn1Click();

    // The ultimate load is crossed between the subnormal and the smallest normal
    // displacement; the secant crossing from -max to +max overflows (a warning, the
    // calculation goes on); R.Park then overflows and ends it.
    EXPECT_TRUE(wb.state().UltimateFound);
    EXPECT_EQ(wb.fieldText(Field::edt15), QStringLiteral("3.33761078776081E-309"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].first, MessageLevel::Warning);
    EXPECT_EQ(ui.messages[0].second, QStringLiteral("Floating point overflow Initial Stiffness can't not be calculated! Check the Data!"));
    EXPECT_EQ(ui.messages[1].first, MessageLevel::Error);
    EXPECT_EQ(ui.messages[1].second, QStringLiteral("Floating point overflow"));
    EXPECT_EQ(wb.fieldText(Field::edt16), QStringLiteral("--"));
    EXPECT_EQ(wb.fieldText(Field::edt2), QStringLiteral("--"));
    EXPECT_TRUE(wb.fieldText(Field::edt6).isEmpty());
    EXPECT_FALSE(wb.lastCalculationCompleted());
    expectOnlyShowableFields(wb);
}

TEST(BadInputCatalogue, NegativeZeroShowsAsZero)
{
    Recorder ui;
    Workbench wb(ui, u'.', QStringLiteral("/"));
    wb.importConfirmed(badPath(QStringLiteral("negative_zero.csv")));
    EXPECT_EQ(wb.state().PeakIndex, 0);
    EXPECT_TRUE(std::signbit(wb.state().PeakLoad));
    EXPECT_EQ(wb.fieldText(Field::edt18), QStringLiteral("0"));
    EXPECT_EQ(wb.fieldText(Field::edt19), QStringLiteral("0"));
    ui.messages.clear();
    wb.btn1Click();
    EXPECT_EQ(wb.fieldText(Field::edt15), QStringLiteral("0"));
    // A curve of zero loads leaves R.Park dividing zero by zero.
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().second, QStringLiteral("Invalid floating point operation"));
    expectOnlyShowableFields(wb);
}

// Characters that look blank but have codes above 32 join their neighbours into one field.
TEST(BadInputCatalogue, OnlyCodesUpTo32Separate)
{
    for (char16_t blank : {u'\u00A0', u'\u0085', u'\u2003', u'\u2028', u'\u3000', u'\uFEFF'}) {
        const QString text = QStringLiteral("h\n1,2\n3") + QChar(blank) + QStringLiteral("4\n");
        const CurveReadResult read = readCurve(text, u'.');
        EXPECT_EQ(read.badLine, 2) << int(blank);
        EXPECT_EQ(read.points.size(), 1u) << int(blank);
    }
    for (char16_t blank = 1; blank <= 32; ++blank) {
        if (blank == u'\n' || blank == u'\r')
            continue;
        const QString text = QStringLiteral("h\n1") + QChar(blank) + QStringLiteral("2\n");
        const CurveReadResult read = readCurve(text, u'.');
        ASSERT_EQ(read.points.size(), 1u) << int(blank);
        EXPECT_EQ(read.points[0], (Point{1, 2})) << int(blank);
    }
}

// --- Ten megabytes on one line: made here, too big to keep in the repository ---

TEST(BadInputLargeLine, TenMegabyteLinesImport)
{
    constexpr qsizetype kTen = 10 * 1024 * 1024;
    struct Case {
        const char* what;
        QByteArray line;
        std::int64_t badLine;
        std::vector<Point> curve;
    };
    const std::vector<Case> cases = {
        {"junk after the two numbers", "1, 2, " + QByteArray(kTen, 'x'), -1, {{1, 2}}},
        {"blanks before the two numbers", QByteArray(kTen, ' ') + "1\t2", -1, {{1, 2}}},
        {"a number of ten million digits", "1" + QByteArray(kTen, '0') + ",2", 1, {}},
        {"a fraction of ten million zeros", "0." + QByteArray(kTen, '0') + "1,2", -1, {{0, 2}}},
        {"a quote never closed", "\"" + QByteArray(kTen, 'a') + ",1,2", 1, {}},
        {"ten million commas", "1,2" + QByteArray(kTen, ','), -1, {{1, 2}}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("long.csv"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write("Disp,Load\n" + c.line + "\n"), 11 + c.line.size());
        }
        Recorder ui;
        Workbench wb(ui, u'.', QStringLiteral("/"));
        wb.importConfirmed(path);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].second, c.badLine < 0 ? successMessage(2) : badLineMessage(2, c.badLine));
        EXPECT_EQ(curveOf(wb).points(), c.curve);
    }
}

// --- Files that cannot be read ---

struct Unreadable {
    const char* what;
    QString path;
    const char* reason;
};

void expectImportRefused(const Unreadable& c)
{
    SCOPED_TRACE(c.what);
    Recorder ui;
    Workbench wb(ui, u'.', QStringLiteral("/"));
    wb.importConfirmed(QStringLiteral(RZ_TEST_DATA_DIR "/bad/lone_cr.csv"));
    ASSERT_FALSE(curveOf(wb).empty());
    ui.messages.clear();

    wb.importConfirmed(c.path);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, MessageLevel::Error);
    const std::string message = ui.messages[0].second.toStdString();
    EXPECT_THAT(message, HasSubstr(QDir::toNativeSeparators(c.path).toStdString()));
    EXPECT_THAT(message, HasSubstr(c.reason));

    // The window was reset before the read: no trace of the earlier curve.
    EXPECT_TRUE(curveOf(wb).empty());
    EXPECT_EQ(wb.state().PeakIndex, -1);
    EXPECT_TRUE(wb.fieldText(Field::edt18).isEmpty());
    EXPECT_EQ(wb.state().SourceDataPath, c.path);
    EXPECT_EQ(wb.lastImportLineCount(), -1);
    EXPECT_EQ(wb.openDialogFolder(), folderOf(c.path));

    ui.messages.clear();
    wb.btn1Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].second, QStringLiteral("Import Data first!"));
}

TEST(BadInputUnreadable, FolderGivenAsTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("curves.csv"));
    ASSERT_TRUE(QDir().mkdir(folder));
    expectImportRefused({"a folder", folder, "Is a directory"});
}

TEST(BadInputUnreadable, FileRemovedBetweenDialogAndRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gone.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Disp,Load\n1,2\n");
    }
    ASSERT_TRUE(QFile::remove(path));
    expectImportRefused({"a vanished file", path, "No such file or directory"});
}

TEST(BadInputUnreadable, FileWithoutReadPermission)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, which may read any file";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("locked.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Disp,Load\n1,2\n");
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    expectImportRefused({"a file without read permission", path, "Permission denied"});
}

}  // namespace
}  // namespace rz

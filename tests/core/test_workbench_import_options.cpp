// "Import with Options…" through the window's model: the real exports give the window
// exactly what their converted twins give the plain import; a failed read leaves the
// earlier curve; units reach the axis titles and the report; the file's order is kept
// for the cyclic analysis.
#include "ImportTestSupport.h"
#include "WorkbenchTestSupport.h"

#include "core/report/ImportReport.h"
#include "core/report/OtherDefinitionsReport.h"
#include "core/report/Report.h"
#include "core/workbench/Workbench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <cmath>
#include <limits>

namespace rz {
namespace {

using namespace rz::test;
using ::testing::HasSubstr;

const QDateTime kReportTime(QDate(2024, 3, 5), QTime(10, 30, 15));

ImportOptions explicitOptions(TextEncoding encoding, DecimalSeparator decimal, int skip, int displacement, int load)
{
    ImportOptions o;
    o.encoding = encoding;
    o.separator = FieldSeparator::Tab;
    o.decimal = decimal;
    o.skipLines = skip;
    o.displacement = {ColumnMode::Number, displacement, {}};
    o.load = {ColumnMode::Number, load, {}};
    return o;
}

struct RealFile {
    const char* raw;
    const char* twin;
    ImportOptions given;
    const char* xTitle;
    const char* yTitle;
    std::int64_t linesLookedAt;
};

const RealFile kRealFiles[] = {
    {"metal_round_bar_tensile_instron_01_raw.csv", "metal_round_bar_tensile_instron_01.csv",
     explicitOptions(TextEncoding::Utf8, DecimalSeparator::Point, 2, 1, 2), "Displacement (mm)", "Force (kN)", 714},
    {"polymer_film_tensile_zwick_01_raw.csv", "polymer_film_tensile_zwick_01.csv",
     explicitOptions(TextEncoding::Latin1, DecimalSeparator::Point, 18, 2, 3), "Displacement (mm)", "Force (N)", 18894},
    {"concrete_cylinder_compression_mts_01_raw.csv", "concrete_cylinder_compression_mts_01.csv",
     explicitOptions(TextEncoding::Utf8, DecimalSeparator::Comma, 15, 5, 4), "Displacement (mm)", "Force (kN)", 947},
};

class WorkbenchImportOptions : public ::testing::Test {
protected:
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/")};
    TempFiles files;

    // The worked example imported plainly and calculated: the "earlier curve".
    void analyseWorkedExample()
    {
        wb.importConfirmed(files.write(QStringLiteral("worked.csv"), workedExampleFile()));
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted());
        ui.clear();
    }
};

TEST_F(WorkbenchImportOptions, RealExportsGiveTheWindowWhatTheirTwinsGiveThePlainImport)
{
    for (const RealFile& f : kRealFiles) {
        for (const bool detected : {true, false}) {
            SCOPED_TRACE(std::string(f.raw) + (detected ? " detected" : " explicit"));
            RecordingUi twinUi;
            Workbench twin(twinUi, QLatin1Char('.'), QString());
            twin.importConfirmed(importFixture(QString::fromLatin1(f.twin)));
            RecordingUi rawUi;
            Workbench raw(rawUi, QLatin1Char('.'), QString());
            const QString path = importFixture(QString::fromLatin1(f.raw));
            const ImportResult read =
                raw.importWithOptionsConfirmed(path, detected ? ImportOptions::detectEverything() : f.given);
            ASSERT_TRUE(read.ok()) << read.error.toStdString();
            EXPECT_TRUE(read.points.empty()) << "the points belong to the curve";

            // Same stored curve, same peak and maximum, same fields: to the bit.
            EXPECT_EQ(snapshot(raw), snapshot(twin));
            raw.btn1Click();
            twin.btn1Click();
            ASSERT_TRUE(raw.lastCalculationCompleted());
            EXPECT_EQ(snapshot(raw), snapshot(twin));
            AnalysisState expected = twin.state();
            expected.ResultBaseName = QFileInfo(path).completeBaseName();
            expected.SourceDataPath = QDir::cleanPath(path);
            EXPECT_TRUE(sameState(raw.state(), expected));

            ASSERT_FALSE(rawUi.events.empty());
            // The reader's message, then its notes (the compression test's sign, here).
            std::string shown = "information: " + read.message.toStdString();
            for (const QString& note : read.notes)
                shown += "\n" + note.toStdString();
            EXPECT_EQ(rawUi.log().front(), shown);
            EXPECT_EQ(raw.openDialogFolder(), QFileInfo(path).absolutePath() + QLatin1Char('/'));
            EXPECT_EQ(raw.axisTitles(), (AxisTitles{QString::fromUtf8(f.xTitle), QString::fromUtf8(f.yTitle)}));
            EXPECT_EQ(twin.axisTitles(), (AxisTitles{QStringLiteral("Displacement"), QStringLiteral("Force")}));
            EXPECT_EQ(raw.lastImportLineCount(), f.linesLookedAt);
            EXPECT_TRUE(raw.importedCurve().fileOrder.empty());
        }
    }
}

TEST_F(WorkbenchImportOptions, FileOrderIsKeptBesideTheSortedCurve)
{
    // The controller's displacements go back and forth: sorting changes their order.
    ImportOptions o = ImportOptions::detectEverything();
    o.order = PointOrder::FileOrder;
    wb.importWithOptionsConfirmed(importFixture(QStringLiteral("concrete_cylinder_compression_mts_01_raw.csv")), o);
    const std::vector<Point> twin = twinPoints(QStringLiteral("concrete_cylinder_compression_mts_01.csv"));
    expectSamePoints(wb.importedCurve().fileOrder, twin);

    std::vector<Point> sorted = twin;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
    ASSERT_NE(sorted, twin);
    expectSamePoints(pointsOf(wb, SeriesId::lnsrsSeries4), sorted);

    // A plain import knows no file order and no units.
    wb.importConfirmed(files.write(QStringLiteral("worked.csv"), workedExampleFile()));
    EXPECT_TRUE(wb.importedCurve().fileOrder.empty());
    EXPECT_FALSE(wb.importedCurve().read.has_value());
    EXPECT_EQ(wb.axisTitles(), (AxisTitles{QStringLiteral("Displacement"), QStringLiteral("Force")}));
}

TEST_F(WorkbenchImportOptions, AFailedReadLeavesTheEarlierCurveAndSaysWhy)
{
    ImportOptions missingColumn = ImportOptions::detectEverything();
    missingColumn.displacement = {ColumnMode::Number, 7, {}};
    const auto scaled = [](double factor) {
        ImportOptions o = ImportOptions::detectEverything();
        o.loadScale = {ScalePreset::Factor, factor, false};
        return o;
    };
    const QString notNumbers = files.write(QStringLiteral("nan.csv"), "d,l\nnan,1\ninf,2\n-inf,3\nnan,4\nnan,5\n");
    const QString damagedWorkbook = files.write(QStringLiteral("damaged.xlsx"), QByteArray("PK\x03\x04"
                                                                                           "broken zip"));
    const struct {
        QString path;
        ImportOptions options;
        const char* message;
    } cases[] = {
        {importFixture(QStringLiteral("no_numbers.txt")), ImportOptions::detectEverything(), "No data found"},
        {notNumbers, ImportOptions::detectEverything(), "No data found"},
        {importFixture(QStringLiteral("crlf_comma.csv")), missingColumn, "Column 7 does not exist"},
        {importFixture(QStringLiteral("crlf_comma.csv")), scaled(0.0), "load scale factor must be"},
        {importFixture(QStringLiteral("crlf_comma.csv")), scaled(std::numeric_limits<double>::infinity()),
         "load scale factor must be"},
        {importFixture(QStringLiteral("huge_values.csv")), scaled(10.0), "out of range (Floating point overflow)"},
        {files.path(QStringLiteral("missing.csv")), ImportOptions::detectEverything(), "missing.csv"},
        {damagedWorkbook, ImportOptions::detectEverything(), "damaged.xlsx"},
    };
    analyseWorkedExample();
    const WindowSnapshot before = snapshot(wb);
    const AnalysisState state = wb.state();
    const QByteArray report = wb.reportNow(kReportTime);
    const QString folder = wb.openDialogFolder();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ImportResult read = wb.importWithOptionsConfirmed(c.path, c.options);
        EXPECT_FALSE(read.ok());
        EXPECT_THAT(read.error.toStdString(), HasSubstr(c.message));
        ASSERT_EQ(ui.events.size(), 1u);
        EXPECT_EQ(ui.events[0].level, MessageLevel::Warning);
        EXPECT_THAT(ui.events[0].text.toStdString(), HasSubstr(c.message));
        ui.clear();
        EXPECT_EQ(snapshot(wb), before);
        EXPECT_TRUE(sameState(wb.state(), state));
        EXPECT_EQ(wb.reportNow(kReportTime), report);
        EXPECT_EQ(wb.openDialogFolder(), folder);
    }
}

TEST_F(WorkbenchImportOptions, ACancelledReadChangesNothing)
{
    // Pieces of a mebibyte are read between two reports of progress: three of them here.
    QByteArray big = "Displacement\tLoad\n";
    for (int i = 0; big.size() < 3 * (1 << 20); ++i)
        big += QByteArray::number(i) + "\t" + QByteArray::number(i % 977) + "\n";
    const QString path = files.write(QStringLiteral("big.txt"), big);
    analyseWorkedExample();
    const WindowSnapshot before = snapshot(wb);
    int reports = 0;
    bool endReported = false;
    const ImportResult read =
        wb.importWithOptionsConfirmed(path, ImportOptions::detectEverything(), [&](qint64 done, qint64 total) {
            endReported = done == total;
            return ++reports < 2;
        });
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(ui.log(), std::vector<std::string>{info("The import was cancelled; nothing was changed.")});
    EXPECT_EQ(snapshot(wb), before);
    EXPECT_TRUE(endReported) << "the end of the read closes a progress window";
}

TEST_F(WorkbenchImportOptions, ReportEndsWithTheImportSection)
{
    ImportOptions o = ImportOptions::detectEverything();
    o.loadScale = {ScalePreset::Factor, 1.5, true};
    o.fromOrigin = true;
    const QString path = importFixture(QStringLiteral("concrete_cylinder_compression_mts_01_raw.csv"));
    wb.importWithOptionsConfirmed(path, o);
    const QStringList lines = QString::fromLocal8Bit(wb.reportNow(kReportTime)).split(QStringLiteral("\r\n"));
    // The results' lines as the plain import's report has them, the other definitions, then
    // the section.
    const QStringList results = reportLines(wb.state(), u'.', reportTimeText(kReportTime, QLocale::system())) +
                                otherDefinitionReportLines(wb.otherDefinitions(), u'.');
    ASSERT_GT(lines.size(), results.size());
    EXPECT_EQ(lines.mid(0, results.size()), results);
    EXPECT_EQ(lines.mid(results.size()), QStringList({
                                             QString(),
                                             QStringLiteral("Import:"),
                                             QStringLiteral("Displacement Unit:,mm"),
                                             QStringLiteral("Load Unit:,"),
                                             QStringLiteral("Encoding:,utf-8"),
                                             QStringLiteral("Field Separator:,tab"),
                                             QStringLiteral("Decimal Separator:,comma"),
                                             QStringLiteral("Skipped Lines:,15"),
                                             QStringLiteral("Header Line:,14"),
                                             QStringLiteral("Units Line:,15"),
                                             QStringLiteral("Displacement Column:,5 (Ch 1 Weg)"),
                                             QStringLiteral("Load Column:,4 (Ch 1 Kraft)"),
                                             QStringLiteral("Displacement Scale:,as-is"),
                                             QStringLiteral("Load Scale:,1.5"),
                                             QStringLiteral("Flip Displacement:,NO"),
                                             QStringLiteral("Flip Load:,YES"),
                                             QStringLiteral("Start at Origin:,YES"),
                                             QStringLiteral("Order:,by-displacement"),
                                             QStringLiteral("Data:,931 lines of data read (lines 16 to 946); "
                                                            "line 947 is blank and ends the data."),
                                             QString(),
                                         }));
}

TEST(ImportReportSection, WorkbooksNameTheSheetAndNumbersFollowTheSeparator)
{
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char(','), QString());
    ImportOptions o = ImportOptions::detectEverything();
    o.displacementScale = {ScalePreset::Factor, 0.5, false};
    o.loadScale = {ScalePreset::KipsToKilonewtons, 1.0, false};
    wb.importWithOptionsConfirmed(importFixture(QStringLiteral("openpyxl_curve.xlsx")), o);
    ASSERT_TRUE(wb.importedCurve().read.has_value()) << ::testing::PrintToString(ui.log());
    const QStringList section = importReportLines(wb.importedCurve(), u',');
    EXPECT_THAT(section.join(u'\n').toStdString(),
                ::testing::AllOf(HasSubstr("Sheet:,Curve\n"), HasSubstr("Displacement Column:,B (Displacement (mm))"),
                                 HasSubstr("Displacement Scale:,\"0,5\""), HasSubstr("Load Scale:,kip-to-kn"),
                                 HasSubstr("Displacement Unit:,\n"), HasSubstr("Load Unit:,kN"),
                                 ::testing::Not(HasSubstr("Encoding")), HasSubstr("rows of data read")));
    // A free factor makes the unit unknown; a preset gives its own.
    EXPECT_EQ(wb.axisTitles(), (AxisTitles{QStringLiteral("Displacement"), QStringLiteral("Force (kN)")}));
}

}  // namespace
}  // namespace rz

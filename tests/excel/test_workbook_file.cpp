#include "ChartSchemaOrder.h"
#include "ExcelTestSupport.h"

#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"
#include "excel/WorkbookExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace rz;
using namespace rz::excel;
using rz::excel::test::addCurve;
using rz::excel::test::addPoints;

namespace {

class Feedback : public ExportFeedback {
public:
    void showStartFailure(const QString& text, const QString&) override { messages << text; }
    void showNotice(const QString& text) override { messages << text; }
    QStringList messages;
};

// The workbook as openpyxl reads it (tests/scripts/dump_workbook.py).
struct Dump {
    bool available = false;
    QJsonObject sheet;  // the first sheet
    QString raw;

    QJsonObject chart(int i = 0) const { return sheet["charts"].toArray().at(i).toObject(); }
    QJsonObject series(int i, int chartIndex = 0) const
    {
        return chart(chartIndex)["series"].toArray().at(i).toObject();
    }
    QJsonValue cell(const char* ref) const { return sheet["cells"].toObject().value(QLatin1StringView(ref)); }
};

// Every workbook these tests read back also has its charts in schema order.
Dump readBack(const QString& path, int maxRows = 200)
{
    EXPECT_EQ(rz::excel::test::chartOrderProblems(path), QStringList()) << path.toStdString();
    Dump dump;
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(RZ_TEST_SCRIPTS_DIR "/dump_workbook.py"), path, QString::number(maxRows)});
    if (!python.waitForStarted())
        return dump;  // no system Python: the read-back cannot run here
    python.waitForFinished(120000);
    if (python.exitCode() == 2)
        return dump;  // no openpyxl
    const QByteArray out = python.readAllStandardOutput();
    if (python.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl could not read " << path.toStdString() << ":\n"
                      << python.readAllStandardError().toStdString();
        return dump;
    }
    dump.available = true;
    dump.raw = QString::fromUtf8(out);
    dump.sheet = QJsonDocument::fromJson(out).object()["sheets"].toArray().at(0).toObject();
    return dump;
}

class WorkbookFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString exportToFile(QChar separator = u'.')
    {
        const QString path = dir.filePath(QStringLiteral("out.xlsx"));
        WorkbookExport run(separator);
        run.toFile(op, chart, feedback, path);
        EXPECT_EQ(run.savedPath(), path);
        return path;
    }

    QTemporaryDir dir;
    ExcelOp op;
    ChartModel chart;
    Feedback feedback;
};

// A curve after Calculate: the curve, one construction and the markers.
void calculatedChart(ChartModel& chart)
{
    addCurve(chart, 100);
    addPoints(chart, SeriesId::lnsrsSeries1, {{0, 0}, {30, 20}});
    addPoints(chart, SeriesId::pntsrsSeries1, {{25, 12.5}});
    addPoints(chart, SeriesId::pntsrsSeries4, {{99, 49.5}});
    addPoints(chart, SeriesId::pntsrsSeries5, {{99, 49.5}});
}

TEST_F(WorkbookFile, SingleOutputCellsChartAndSeriesReadBack)
{
    calculatedChart(chart);
    const Dump d = readBack(exportToFile());
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";

    EXPECT_EQ(d.sheet["name"].toString(), "Sheet1");
    EXPECT_EQ(d.sheet["max_row"].toInt(), 101);
    EXPECT_EQ(d.cell("A1").toString(), "X");
    EXPECT_EQ(d.cell("B1").toString(), "Line4");
    EXPECT_EQ(d.cell("R1").toString(), "Point5");
    EXPECT_EQ(d.cell("A2").toDouble(), 0.0);
    EXPECT_EQ(d.cell("B101").toDouble(), 49.5);
    EXPECT_EQ(d.cell("D3").toDouble(), 20.0);
    EXPECT_TRUE(d.cell("A102").isUndefined());

    ASSERT_EQ(d.sheet["charts"].toArray().size(), 1);
    const QJsonObject c = d.chart();
    EXPECT_EQ(c["type"].toString(), "ScatterChart");
    EXPECT_EQ(c["scatterStyle"].toString(), "smoothMarker");
    const char* letters = "ABCDEFGHIJKLMNOPQR";
    const int counts[] = {100, 2, 0, 0, 1, 0, 0, 1, 1};
    ASSERT_EQ(c["series"].toArray().size(), 9);
    for (int i = 0; i < 9; ++i) {
        const QJsonObject s = d.series(i);
        const QChar x = QLatin1Char(letters[2 * i]);
        const QChar y = QLatin1Char(letters[2 * i + 1]);
        const int last = counts[i] + 2;
        SCOPED_TRACE(i);
        EXPECT_EQ(s["name"].toObject()["ref"].toString(), QStringLiteral("Sheet1!$%1$1").arg(y));
        EXPECT_EQ(s["x"].toString(), QStringLiteral("Sheet1!$%1$2:$%1$%2").arg(x).arg(last));
        EXPECT_EQ(s["y"].toString(), QStringLiteral("Sheet1!$%1$2:$%1$%2").arg(y).arg(last));
        EXPECT_EQ(s["marker"].toObject()["symbol"].toString(), "circle");
        EXPECT_EQ(s["marker"].toObject()["size"].toDouble(), 4.0);
        EXPECT_EQ(s["line"].toObject()["width"].toDouble(), 0.5);
        EXPECT_TRUE(s["smooth"].toBool());
    }

    // Anchored at C5 with no offset; 300 x 450 points are 400 x 600 pixels, which end
    // 16 pixels into column I (6 columns of 64) and exactly at row 35 (30 rows of 20).
    EXPECT_EQ(c["from"].toObject(), (QJsonObject{{"col", 2}, {"colOff", 0}, {"row", 4}, {"rowOff", 0}}));
    EXPECT_EQ(c["to"].toObject(), (QJsonObject{{"col", 8}, {"colOff", 16 * 9525}, {"row", 34}, {"rowOff", 0}}));

    // Excel's Axes(1).CrossesAt puts the Y axis on the X axis; the file stores it with
    // the Y axis, which is what crosses there.
    const QJsonObject xAxis = c["x_axis"].toObject();
    const QJsonObject yAxis = c["y_axis"].toObject();
    EXPECT_EQ(xAxis["title"].toObject()["text"].toString(), "X Axis");
    EXPECT_EQ(xAxis["title"].toObject()["size"].toDouble(), 10.0);
    EXPECT_EQ(yAxis["title"].toObject()["text"].toString(), "Y Axis");
    EXPECT_EQ(yAxis["crossesAt"].toDouble(), -10000.0);
    EXPECT_EQ(xAxis["crossesAt"].toDouble(), -10000.0);
    EXPECT_EQ(xAxis["majorTickMark"].toString(), "in");
    EXPECT_EQ(yAxis["majorTickMark"].toString(), "in");
    EXPECT_EQ(xAxis["line"].toObject()["color"].toString(), "000000");
    EXPECT_EQ(xAxis["tickLabelSize"].toDouble(), 10.0);
    EXPECT_EQ(c["legend"].toObject()["position"].toString(), "r");
    EXPECT_TRUE(c["legend"].toObject()["overlay"].toBool());  // IncludeInLayout off
    EXPECT_EQ(c["legend"].toObject()["size"].toDouble(), 10.0);
    EXPECT_EQ(c["plotAreaLine"].toObject()["color"].toString(), "000000");
    EXPECT_TRUE(c["title"].isNull());
}

TEST_F(WorkbookFile, CombinedOutputWithEveryStyleOptionReadsBack)
{
    calculatedChart(chart);
    op.ExportMode = 1;
    op.LineColorMode = 1;
    op.MarkerColorMode = 1;
    op.MarkerStyle = 2;
    op.MarkerSize = 7;
    op.LineWeight = 1.5f;
    op.ShowLegend = false;
    op.ShowAxisLine = false;
    op.ShowPlotAreaLine = false;
    op.ShowGraphTitle = true;
    op.GraphTitle = "Specimen";
    op.TitleFontSize = 16;
    op.AxisTitleFontSize = 12;
    op.TickLabelFontSize = 8;
    op.XAxisTitle = "Displacement (mm)";
    op.XAxisPosition = "25";
    op.YAxisPosition = "";
    ChartModel copy = chart;
    const Dump d = readBack(exportToFile());
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";

    EXPECT_EQ(d.cell("A1").toString(), "Serie Name");
    EXPECT_EQ(d.cell("A2").toString(), "Line4");
    EXPECT_EQ(d.cell("A102").toString(), "Line1");
    EXPECT_EQ(d.cell("C103").toDouble(), 20.0);
    EXPECT_EQ(d.cell("A104").toString(), "Point1");  // over Line2 and Line3, which have no points
    EXPECT_EQ(d.cell("A105").toString(), "Point4");  // over Point2 and Point3
    EXPECT_EQ(d.cell("A106").toString(), "Point5");
    EXPECT_EQ(d.sheet["max_row"].toInt(), 106);

    const QJsonObject c = d.chart();
    ASSERT_EQ(c["series"].toArray().size(), 1);
    const QJsonObject s = d.series(0);
    EXPECT_EQ(s["name"].toObject()["value"].toString(), "X-Y");
    EXPECT_EQ(s["x"].toString(), "Sheet1!$B$2:$B$107");
    EXPECT_EQ(s["y"].toString(), "Sheet1!$C$2:$C$107");
    EXPECT_EQ(s["line"].toObject()["color"].toString(), "414141");
    EXPECT_EQ(s["line"].toObject()["width"].toDouble(), 1.5);
    const QJsonObject marker = s["marker"].toObject();
    EXPECT_EQ(marker["symbol"].toString(), "diamond");
    EXPECT_EQ(marker["size"].toDouble(), 7.0);
    EXPECT_EQ(marker["fill"].toString(), "414141");
    EXPECT_EQ(marker["line"].toObject()["color"].toString(), "414141");

    // Nothing was sent about the legend: the new chart's own one stays, below the plot.
    EXPECT_EQ(c["legend"].toObject()["position"].toString(), "b");
    EXPECT_EQ(c["title"].toObject()["text"].toString(), "Specimen");
    EXPECT_EQ(c["title"].toObject()["size"].toDouble(), 16.0);
    const QJsonObject xAxis = c["x_axis"].toObject();
    const QJsonObject yAxis = c["y_axis"].toObject();
    EXPECT_EQ(xAxis["title"].toObject()["text"].toString(), "Displacement (mm)");
    EXPECT_EQ(xAxis["title"].toObject()["size"].toDouble(), 12.0);
    EXPECT_TRUE(xAxis["line"].toObject()["hidden"].toBool());
    EXPECT_TRUE(yAxis["line"].toObject()["hidden"].toBool());
    EXPECT_TRUE(c["plotAreaLine"].toObject()["hidden"].toBool());
    EXPECT_EQ(yAxis["crossesAt"].toDouble(), 25.0);
    EXPECT_TRUE(xAxis["crossesAt"].isNull());
    EXPECT_EQ(yAxis["tickLabelSize"].toDouble(), 8.0);
}

TEST_F(WorkbookFile, MarkersOffAndPointSeriesColoursReadBack)
{
    calculatedChart(chart);
    op.ShowMarker = false;
    op.LineColorMode = 1;
    const Dump d = readBack(exportToFile());
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(d.series(i)["marker"].toObject()["symbol"].isNull()) << i;  // "none"
    EXPECT_EQ(d.series(1)["line"].toObject()["color"].toString(), "00FF00");
    EXPECT_EQ(d.series(3)["line"].toObject()["color"].toString(), "FF0080");
    EXPECT_EQ(d.series(6)["line"].toObject()["color"].toString(), "000000");
}

// Drawn overlays become series after the nine, straight, in their own colour, width,
// dash and marker, in both layouts; the file stays in schema order (readBack checks).
TEST_F(WorkbookFile, DrawnOverlaysReadBackWithTheirLook)
{
    calculatedChart(chart);
    const int line = chart.addOverlay(QStringLiteral("line"), QStringLiteral("EEEP (ASTM E2126) construction"),
                                      {0x00796B, 2.0, DashPattern::LongDash, MarkerShape::None, 0.0, false});
    chart.setOverlayPoints(line, {{0, 0}, {20, 15}, {99, 15}});
    chart.setOverlayVisible(line, true);
    const int point = chart.addOverlay(QStringLiteral("point"), QStringLiteral("EEEP (ASTM E2126) yield point"),
                                       {0x00796B, 0.0, DashPattern::Solid, MarkerShape::Star, 11.0, false});
    chart.setOverlayPoints(point, {{20, 15}});
    chart.setOverlayVisible(point, true);

    for (const std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode == 0 ? "Single Output" : "Combined Output");
        op.ExportMode = mode;
        const Dump d = readBack(exportToFile());
        if (!d.available)
            GTEST_SKIP() << "openpyxl is not available";
        const int first = mode == 0 ? 9 : 1;
        ASSERT_EQ(d.chart()["series"].toArray().size(), first + 2) << d.raw.toStdString();
        const QJsonObject l = d.series(first);
        const QJsonObject p = d.series(first + 1);
        if (mode == 0) {
            EXPECT_EQ(d.cell("T1").toString(), "EEEP (ASTM E2126) construction");
            EXPECT_EQ(d.cell("S4").toDouble(), 99.0);
            EXPECT_EQ(l["name"].toObject()["ref"].toString(), "Sheet1!$T$1");
            EXPECT_EQ(l["x"].toString(), "Sheet1!$S$2:$S$5");
            EXPECT_EQ(p["y"].toString(), "Sheet1!$V$2:$V$3");
        } else {
            // 105 points of the nine in rows 2 to 106, their empty row 107.
            EXPECT_EQ(d.cell("A108").toString(), "EEEP (ASTM E2126) construction");
            EXPECT_EQ(d.cell("B110").toDouble(), 99.0);
            EXPECT_EQ(d.cell("A112").toString(), "EEEP (ASTM E2126) yield point");
            EXPECT_EQ(l["name"].toObject()["ref"].toString(), "Sheet1!$A$108");
            EXPECT_EQ(l["x"].toString(), "Sheet1!$B$108:$B$111");
            EXPECT_EQ(p["y"].toString(), "Sheet1!$C$112:$C$113");
            EXPECT_TRUE(d.series(0)["smooth"].toBool());  // the nine's series as before
        }
        EXPECT_FALSE(l["smooth"].toBool());
        EXPECT_EQ(l["line"].toObject()["color"].toString(), "00796B");
        EXPECT_EQ(l["line"].toObject()["width"].toDouble(), 1.5);
        EXPECT_EQ(l["line"].toObject()["dash"].toString(), "lgDash");
        EXPECT_TRUE(l["marker"].toObject()["symbol"].isNull());
        EXPECT_FALSE(p["smooth"].toBool());
        EXPECT_TRUE(p["line"].toObject()["hidden"].toBool());
        EXPECT_EQ(p["marker"].toObject()["symbol"].toString(), "star");
        EXPECT_EQ(p["marker"].toObject()["size"].toDouble(), 8.0);
        EXPECT_EQ(p["marker"].toObject()["fill"].toString(), "00796B");
    }
}

TEST_F(WorkbookFile, DecimalCommaLocaleKeepsTheFileValid)
{
    // The C library's numeric locale follows the user's in the program; numbers inside
    // the file must still use a point.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    addPoints(chart, SeriesId::lnsrsSeries4, {{0.5, 1.25}, {1.5, 2.75}});
    op.LineWeight = 0.75f;
    op.XAxisPosition = "-0,5";
    op.YAxisPosition = "0,5";
    const QString path = exportToFile(u',');
    std::setlocale(LC_NUMERIC, saved.c_str());

    const Dump d = readBack(path);
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";
    SCOPED_TRACE(german ? "de_DE numeric locale" : "no de_DE locale: separator only");
    EXPECT_EQ(d.cell("A2").toDouble(), 0.5);
    EXPECT_EQ(d.cell("B3").toDouble(), 2.75);
    EXPECT_EQ(d.series(0)["line"].toObject()["width"].toDouble(), 0.75);
    // Cut toward zero: -0,5 and 0,5 both cross at 0.
    EXPECT_EQ(d.chart()["y_axis"].toObject()["crossesAt"].toDouble(), 0.0);
}

TEST_F(WorkbookFile, ConstantMemoryModeWritesTheSameCellsAndFormulas)
{
    addCurve(chart, 50);
    const QString path = dir.filePath(QStringLiteral("big.xlsx"));
    WorkbookBackend backend(u'.');
    backend.setConstantMemoryThreshold(10);
    struct Env : ExcelEnvironment {
        explicit Env(WorkbookBackend& b) : backend(b) {}
        AutomationObject createApplication() override { return backend.createApplication(); }
        void showStartFailure(const QString&, const QString&) override {}
        void showNotice(const QString&) override {}
        WorkbookBackend& backend;
    } bridge(backend);
    ExportToExcel(op, chart, u'.', bridge);
    backend.save(0, path);

    const Dump d = readBack(path);
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";
    EXPECT_EQ(d.cell("B1").toString(), "Line4");
    EXPECT_EQ(d.cell("B51").toDouble(), 24.5);
    EXPECT_EQ(d.series(0)["x"].toString(), "Sheet1!$A$2:$A$52");
}

TEST(WorkbookFolder, WorkbooksAreNumberedPastTheOnesInTheFolderAndSavedOnError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile old(dir.filePath("Book7.xlsx"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an earlier workbook");
    old.close();

    ExcelOp op;
    ChartModel chart;
    addCurve(chart, 3);
    Feedback feedback;
    WorkbookExport run(u'.');
    run.toFolder(op, chart, feedback, dir.path());
    EXPECT_EQ(rz::excel::test::chartOrderProblems(run.savedPath()), QStringList());
    const QString first = QFileInfo(run.savedPath()).fileName();
    // Past Book7; further on when earlier tests of this run already named workbooks.
    ASSERT_TRUE(first.startsWith("Book") && first.endsWith(".xlsx")) << first.toStdString();
    const int n = first.mid(4, first.size() - 9).toInt();
    EXPECT_GE(n, 8);

    // An export that stops with an error still leaves its workbook, under the next name.
    op.XAxisPosition = "abc";
    EXPECT_THROW(run.toFolder(op, chart, feedback, dir.path()), std::runtime_error);
    const QString second = QStringLiteral("Book%1.xlsx").arg(n + 1);
    EXPECT_EQ(run.savedPath(), dir.filePath(second));
    EXPECT_TRUE(QFile::exists(run.savedPath()));

    QFile kept(dir.filePath("Book7.xlsx"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "an earlier workbook");
    // Nothing but the workbooks: no temporary files left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Book7.xlsx", first, second}));

    const Dump d = readBack(dir.filePath(second));
    if (d.available) {
        // The series were complete when the axis position failed.
        EXPECT_EQ(d.chart()["series"].toArray().size(), 9);
        EXPECT_TRUE(d.chart()["x_axis"].toObject()["crossesAt"].isNull());
    }
}

TEST(WorkbookFolder, ExcelRefusingAValueStopsTheExportButSavesTheWorkbook)
{
    QTemporaryDir dir;
    ExcelOp op;
    op.MarkerSize = 0;  // outside Excel's 2 to 72
    ChartModel chart;
    addCurve(chart, 3);
    Feedback feedback;
    WorkbookExport run(u'.');
    try {
        run.toFolder(op, chart, feedback, dir.path());
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.description(), "Series.MarkerSize: the marker size 0 lies outside 2 to 72");
    }
    EXPECT_FALSE(run.savedPath().isEmpty());
    EXPECT_TRUE(QFile::exists(run.savedPath()));
}

TEST(WorkbookFolder, RefusedLayoutAndCancelSaveNothing)
{
    QTemporaryDir dir;
    ExcelOp op;
    op.ExportMode = 1;
    ChartModel chart;
    for (int i = 0; i < 1'048'575; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i, 0.0);
    Feedback feedback;
    WorkbookExport run(u'.');
    run.toFolder(op, chart, feedback, dir.path());
    EXPECT_TRUE(run.savedPath().isEmpty());
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].contains("1048575"));

    struct Cancel : Feedback {
        bool progress(std::int64_t done, std::int64_t) override { return done == 0; }
    } cancel;
    ChartModel small;
    addCurve(small, 10000);
    EXPECT_THROW(run.toFolder(op, small, cancel, dir.path()), ExportCancelled);
    EXPECT_TRUE(run.savedPath().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(WorkbookFolder, UnwritableTargetReportsTheFolder)
{
    ExcelOp op;
    ChartModel chart;
    Feedback feedback;
    WorkbookExport run(u'.');
    try {
        run.toFile(op, chart, feedback, QStringLiteral("/nonexistent-folder-for-test/out.xlsx"));
        FAIL() << "no error";
    } catch (const WorkbookWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("nonexistent-folder-for-test"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(run.savedPath().isEmpty());
}

}  // namespace

namespace {

TEST_F(WorkbookFile, NonFiniteValuesStayTextAndTheFileStaysValid)
{
    addPoints(chart, SeriesId::lnsrsSeries4, {{1.0, std::nan("")}, {2.0, -HUGE_VAL}});
    const Dump d = readBack(exportToFile());
    if (!d.available)
        GTEST_SKIP() << "openpyxl is not available";
    EXPECT_EQ(d.cell("B2").toString(), "NAN");
    EXPECT_EQ(d.cell("B3").toString(), "-INF");
    EXPECT_EQ(d.cell("A3").toDouble(), 2.0);
}

}  // namespace

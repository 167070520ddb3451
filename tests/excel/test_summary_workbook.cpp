// The summary workbook: titles, rows and live statistics read back by openpyxl, the
// formulas recalculated by LibreOffice to the CSV's values, the curves and their chart.
#include "ChartSchemaOrder.h"
#include "ExcelTestSupport.h"

#include "core/batch/SummaryCsv.h"
#include "excel/ExcelExport.h"
#include "excel/SummaryWorkbook.h"
#include "excel/WorkbookBackend.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <utility>
#include <vector>

namespace rz {
namespace {

// Numbers chosen so that nothing is exact by accident: a column with a missing value,
// one with a single value (no standard deviation), one whose mean is 0 (no coefficient
// of variation), a flag and a text.
SummaryTable sampleTable()
{
    SummaryTable table({
        {QStringLiteral("file"), QStringLiteral("File"), ColumnKind::Text},
        {QStringLiteral("peak_load"), QStringLiteral("Peak load"), ColumnKind::Number},
        {QStringLiteral("yield_disp"), QStringLiteral("Yield displacement"), ColumnKind::Number},
        {QStringLiteral("single"), QStringLiteral("Single"), ColumnKind::Number},
        {QStringLiteral("centred"), QStringLiteral("Centred"), ColumnKind::Number},
        {QStringLiteral("ultimate_found"), QStringLiteral("Ultimate found"), ColumnKind::Flag},
        {QStringLiteral("notes"), QStringLiteral("Notes"), ColumnKind::Text},
    });
    table.addRow({QStringLiteral("s1.csv"), 12.5, 1.2345678901234, 7.25, -1.5, true, QString()});
    table.addRow({QStringLiteral("s2.csv"), 14.75, std::monostate(), std::monostate(), 0.5, false,
                  QStringLiteral("ultimate load not reached")});
    table.addRow({QStringLiteral("s3.csv"), 13.0, 1.75, std::monostate(), 1.0, true, QString()});
    table.addRow({QStringLiteral("broken.csv"), std::monostate(), std::monostate(), std::monostate(), std::monostate(),
                  std::monostate(), QStringLiteral("Import Data first!")});
    return table;
}

std::vector<CurveForSummary> sampleCurves()
{
    return {
        {QStringLiteral("s1.csv"), {{0, 0}, {1, 10}, {2, 12.5}, {3, 9}}},
        {QStringLiteral("s2.csv"), {{0, 0}, {0.5, 8}, {1.5, 14.75}}},
        {QStringLiteral("s3.csv"), {{0, 0}, {2, 13}}},
    };
}

QJsonObject dumpSheets(const QString& path, bool values)
{
    QProcess python;
    QStringList args{QStringLiteral(RZ_TEST_SCRIPTS_DIR "/dump_workbook.py"), path, QStringLiteral("200")};
    if (values)
        args << QStringLiteral("values");
    python.start(QStringLiteral("/usr/bin/python3"), args);
    if (!python.waitForStarted() || !python.waitForFinished(120000) || python.exitCode() == 2)
        return {};
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QJsonObject sheetNamed(const QJsonObject& dump, const QString& name)
{
    for (const QJsonValue& s : dump["sheets"].toArray())
        if (s.toObject()["name"].toString() == name)
            return s.toObject();
    return {};
}

// The CSV summary's fields, line by line.
std::vector<QStringList> csvFields(const SummaryTable& table)
{
    std::vector<QStringList> out;
    for (const QString& line : summaryCsvLines(table, u'.'))
        out.push_back(line.split(u','));  // the sample has no quoted commas
    return out;
}

QString cellRef(int column, int row)
{
    return QString(QChar(u'A' + column)) + QString::number(row);
}

// Equal as numbers to 14 significant digits, or equal as texts.
::testing::AssertionResult sameValue(const QString& expected, const QJsonValue& got)
{
    if (got.isDouble()) {
        bool ok = false;
        const double want = expected.toDouble(&ok);
        if (ok && std::abs(want - got.toDouble()) <= 1e-14 * std::max(1.0, std::abs(want)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected " << expected.toStdString() << ", got " << got.toDouble();
    }
    const QString text = got.isNull() || got.isUndefined() ? QString() : got.toVariant().toString();
    if (text == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected \"" << expected.toStdString() << "\", got \""
                                         << text.toStdString() << "\"";
}

class SummaryWorkbookFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("summary.xlsx"));
        writeSummaryWorkbook(path, table, sampleCurves(), 1700000000);
    }
    QTemporaryDir dir;
    SummaryTable table = sampleTable();
    QString path;
};

TEST_F(SummaryWorkbookFile, RowsAndCachedStatisticsEqualTheCsv)
{
    EXPECT_EQ(excel::test::chartOrderProblems(path), QStringList());
    const QJsonObject values = dumpSheets(path, true);
    if (values.isEmpty())
        GTEST_SKIP() << "openpyxl is not installed";
    const QJsonObject results = sheetNamed(values, QStringLiteral("Results"));
    const QJsonObject cells = results["cells"].toObject();
    const std::vector<QStringList> csv = csvFields(table);
    ASSERT_EQ(csv.size(), 1u + 4u + 6u);
    for (std::size_t line = 0; line < csv.size(); ++line) {
        for (int column = 0; column < csv[line].size(); ++column) {
            const QString ref = cellRef(column, static_cast<int>(line) + 1);
            SCOPED_TRACE(ref.toStdString());
            QString want = csv[line][column];
            // A row's missing value is an empty cell; the statistics show "--" as the CSV.
            const bool dataRow = line >= 1 && line <= 4;
            if (dataRow && want == QLatin1String("--"))
                want.clear();
            EXPECT_TRUE(sameValue(want, cells.value(ref)));
        }
    }
    // Numbers stay numbers, flags are the report's words.
    EXPECT_TRUE(cells["B2"].isDouble());
    EXPECT_EQ(cells["F3"].toString(), QStringLiteral("NO"));
}

TEST_F(SummaryWorkbookFile, StatisticsAreFormulasOverTheRows)
{
    const QJsonObject formulas = dumpSheets(path, false);
    if (formulas.isEmpty())
        GTEST_SKIP() << "openpyxl is not installed";
    const QJsonObject cells = sheetNamed(formulas, QStringLiteral("Results"))["cells"].toObject();
    struct Case {
        const char* cell;
        const char* formula;
    };
    // Four rows (2 to 5), the statistics from row 6 on.
    const Case cases[] = {
        {"B6", "=COUNT(B2:B5)"},
        {"B7", "=IFERROR(AVERAGE(B2:B5),\"--\")"},
        {"C8", "=IFERROR(_xlfn.STDEV.S(C2:C5),\"--\")"},
        {"D9", "=IFERROR(_xlfn.STDEV.S(D2:D5)/AVERAGE(D2:D5),\"--\")"},
        {"E10", "=IF(COUNT(E2:E5)=0,\"--\",MIN(E2:E5))"},
        {"E11", "=IF(COUNT(E2:E5)=0,\"--\",MAX(E2:E5))"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(cells[QLatin1StringView(c.cell)].toString(), QLatin1StringView(c.formula));
    }
    // Text and flag columns get no statistics.
    EXPECT_FALSE(cells.contains(QStringLiteral("F7")));
    EXPECT_FALSE(cells.contains(QStringLiteral("G7")));
}

TEST_F(SummaryWorkbookFile, CurvesSheetHasEveryCurveAndOneScatterSeriesEach)
{
    const QJsonObject dump = dumpSheets(path, false);
    if (dump.isEmpty())
        GTEST_SKIP() << "openpyxl is not installed";
    const QJsonObject curves = sheetNamed(dump, QStringLiteral("Curves"));
    const QJsonObject cells = curves["cells"].toObject();
    EXPECT_EQ(cells["A33"].toString(), QStringLiteral("s1.csv"));
    EXPECT_EQ(cells["C33"].toString(), QStringLiteral("s2.csv"));
    EXPECT_EQ(cells["E33"].toString(), QStringLiteral("s3.csv"));
    EXPECT_EQ(cells["B38"].toDouble(), 9.0);  // s1's last point
    EXPECT_EQ(cells["D37"].toDouble(), 14.75);
    EXPECT_FALSE(cells.contains(QStringLiteral("F37")));  // s3 has two points

    const QJsonArray charts = curves["charts"].toArray();
    ASSERT_EQ(charts.size(), 1);
    const QJsonObject chart = charts[0].toObject();
    EXPECT_EQ(chart["type"].toString(), QStringLiteral("ScatterChart"));
    EXPECT_EQ(chart["x_axis"].toObject()["title"].toObject()["text"].toString(), QStringLiteral("Displacement"));
    EXPECT_EQ(chart["y_axis"].toObject()["title"].toObject()["text"].toString(), QStringLiteral("Load"));
    EXPECT_FALSE(chart["legend"].isNull());
    const QJsonArray series = chart["series"].toArray();
    ASSERT_EQ(series.size(), 3);
    const char* ranges[][3] = {
        {"Curves!$A$33", "Curves!$A$35:$A$38", "Curves!$B$35:$B$38"},
        {"Curves!$C$33", "Curves!$C$35:$C$37", "Curves!$D$35:$D$37"},
        {"Curves!$E$33", "Curves!$E$35:$E$36", "Curves!$F$35:$F$36"},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject s = series[i].toObject();
        EXPECT_EQ(s["name"].toObject()["ref"].toString(), QLatin1StringView(ranges[i][0]));
        EXPECT_EQ(s["x"].toString(), QLatin1StringView(ranges[i][1]));
        EXPECT_EQ(s["y"].toString(), QLatin1StringView(ranges[i][2]));
        // A marker element whose symbol is "none" (openpyxl reads that as null).
        ASSERT_TRUE(s["marker"].isObject());
        EXPECT_TRUE(s["marker"].toObject()["symbol"].isNull());
        EXPECT_FALSE(s["smooth"].toBool());
    }
}

TEST(SummaryWorkbook, AChartDrawsAtMost255CurvesAndSaysSo)
{
    QTemporaryDir dir;
    std::vector<CurveForSummary> curves;
    for (int k = 0; k < 260; ++k)
        curves.push_back({QStringLiteral("c%1").arg(k), {{0, 0}, {1, 1.0 + k}}});
    const QString path = dir.filePath(QStringLiteral("many.xlsx"));
    writeSummaryWorkbook(path, sampleTable(), curves);
    const QJsonObject dump = dumpSheets(path, false);
    if (dump.isEmpty())
        GTEST_SKIP() << "openpyxl is not installed";
    const QJsonObject sheet = sheetNamed(dump, QStringLiteral("Curves"));
    EXPECT_EQ(sheet["charts"].toArray().at(0).toObject()["series"].toArray().size(), 255);
    EXPECT_TRUE(sheet["cells"].toObject()["A1"].toString().contains(QStringLiteral("first 255 curves")));
    // Every curve is still in the sheet: the last one's name over its two columns.
    EXPECT_EQ(sheet["cells"].toObject()[QStringLiteral("SY33")].toString(), QStringLiteral("c259"));
}

// LibreOffice recalculates every formula on load; its CSV of the sheet must give the
// summary CSV's numbers.
TEST_F(SummaryWorkbookFile, LibreOfficeRecalculatesToTheCsvValues)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir profile;
    QProcess soffice;
    // Full precision rather than as shown; the first sheet only.
    soffice.start(office, {QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false"),
                           QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(soffice.waitForFinished(180000));
    QFile out(dir.filePath(QStringLiteral("summary.csv")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << soffice.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(out.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const std::vector<QStringList> csv = csvFields(table);
    ASSERT_EQ(static_cast<std::size_t>(lines.size()), csv.size());
    for (std::size_t line = 5; line < csv.size(); ++line) {
        const QStringList got = lines[static_cast<qsizetype>(line)].trimmed().split(u',');
        for (int column = 1; column <= 4; ++column) {
            SCOPED_TRACE(cellRef(column, static_cast<int>(line) + 1).toStdString());
            const QString want = csv[line][column];
            bool wantNumber = false;
            const double w = want.toDouble(&wantNumber);
            bool gotNumber = false;
            const double g = got.value(column).toDouble(&gotNumber);
            ASSERT_EQ(gotNumber, wantNumber) << got.value(column).toStdString() << " vs " << want.toStdString();
            if (wantNumber)
                EXPECT_NEAR(g, w, 1e-12 * std::max(1.0, std::abs(w)));
            else
                EXPECT_EQ(got.value(column), want);
        }
    }
}

TEST(SummaryWorkbook, SameContentSameBytesAndFailuresKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.xlsx"));
    const QString b = dir.filePath(QStringLiteral("b.xlsx"));
    writeSummaryWorkbook(a, sampleTable(), sampleCurves(), 1700000000);
    writeSummaryWorkbook(b, sampleTable(), sampleCurves(), 1700000000);
    QFile fa(a), fb(b);
    ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    EXPECT_EQ(fa.readAll(), fb.readAll());

    // No curves, no rows: still a whole workbook.
    const QString empty = dir.filePath(QStringLiteral("empty.xlsx"));
    writeSummaryWorkbook(empty, SummaryTable({{QStringLiteral("v"), QStringLiteral("V"), ColumnKind::Number}}), {});
    EXPECT_TRUE(QFile::exists(empty));

    EXPECT_THROW(writeSummaryWorkbook(dir.filePath(QStringLiteral("no/such/folder/x.xlsx")), sampleTable(), {}),
                 excel::WorkbookWriteError);
}

// The progress counts the curves; a "stop" leaves nothing behind and an earlier file as it was,
// whether it comes among the curves or after them, before the file is packed.
TEST(SummaryWorkbook, ProgressCountsTheCurvesAndCanStopTheWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.xlsx"));
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    writeSummaryWorkbook(path, sampleTable(), sampleCurves(), 1700000000, [&calls](std::size_t done, std::size_t all) {
        calls.emplace_back(done, all);
        return true;
    });
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 3),
              (std::vector<std::pair<std::size_t, std::size_t>>{{1, 3}, {2, 3}, {3, 3}}));
    for (std::size_t k = 3; k < calls.size(); ++k)
        EXPECT_EQ(calls[k], (std::pair<std::size_t, std::size_t>{3, 3})) << k;
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray before = written.readAll();
    written.close();

    for (std::size_t stopAt : {std::size_t(2), calls.size()}) {
        SCOPED_TRACE(stopAt);
        std::size_t asked = 0;
        EXPECT_THROW(writeSummaryWorkbook(path, sampleTable(), sampleCurves(), std::nullopt,
                                          [&asked, stopAt](std::size_t, std::size_t) { return ++asked < stopAt; }),
                     excel::ExportCancelled);
        EXPECT_EQ(asked, stopAt);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), before);
        written.close();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s.xlsx")});
    }
}

}  // namespace
}  // namespace rz

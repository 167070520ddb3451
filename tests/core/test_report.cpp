// The results report: its lines for every state the window can be in, the number and
// time texts, the bytes on disk, and what "Export Results" does around the write.
#include "WorkbenchTestSupport.h"

#include "core/methods/YieldMethods.h"
#include "core/report/Report.h"
#include "core/text/NumberText.h"
#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

const QDateTime kMorning(QDate(2019, 3, 8), QTime(10, 30, 15));

// The lines of the three methods' report, then the section of the other definitions: an
// empty line, its header and one line per definition.
constexpr std::size_t kMethodLines = 37;
constexpr std::size_t kOtherLines = 7;

const std::vector<std::string> kNotCalculated = {
    "",
    "Other definitions:,YieldLoad,YieldDisp,Ductility,Stiffness,Note",
    "EEEP (ASTM E2126),--,--,--,--,not calculated",
    "Tangent method (EN 12512),--,--,--,--,not calculated",
    "Farthest point,--,--,--,--,not calculated",
    "Bilinear (ASCE 41),--,--,--,--,not calculated",
    "Equal energy (EN 1998-1),--,--,--,--,not calculated",
};

std::vector<std::string> lastLines(const std::vector<std::string>& lines, std::size_t n)
{
    return std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())), lines.end());
}

// The report's lines as text, split at CR LF; the file must end with one.
std::vector<std::string> linesOf(const QByteArray& bytes)
{
    std::vector<std::string> out;
    EXPECT_TRUE(bytes.endsWith("\r\n")) << "the last line ends with CR LF";
    const QList<QByteArray> parts = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        QByteArray line = parts[i];
        EXPECT_TRUE(line.endsWith('\r')) << "line " << i + 1 << " ends with a bare LF";
        line.chop(1);
        out.push_back(line.toStdString());
    }
    return out;
}

QByteArray golden(const char* name, const QString& source)
{
    QByteArray bytes = readFile(QStringLiteral(RZ_TEST_DATA_DIR "/report/") + QString::fromLatin1(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes.replace("@SOURCE@", source.toLocal8Bit());
}

// Everything after line 1, which holds the time of writing.
QByteArray afterFirstLine(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf("\r\n");
    return end < 0 ? QByteArray() : bytes.mid(end + 2);
}

class ReportTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/")};

    void analyse(const QString& path)
    {
        wb.importConfirmed(path);
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
        ui.clear();
    }
};

// ---------------------------------------------------------------------------------------
// Golden reports

TEST_F(ReportTest, WorkedExampleMatchesItsGoldenReport)
{
    const QString source = QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv");
    analyse(source);
    const QByteArray report = wb.reportNow(kMorning);
    EXPECT_EQ(linesOf(report).size(), kMethodLines + kOtherLines);
    EXPECT_TRUE(report.startsWith("Report Time:,"));
    EXPECT_EQ(afterFirstLine(report), afterFirstLine(golden("worked_example_YieldingPoint.csv", source)));
}

TEST_F(ReportTest, NoStiffnessCurveMatchesItsGoldenReport)
{
    const QString source = QStringLiteral(RZ_TEST_DATA_DIR "/report/no_stiffness.csv");
    analyse(source);
    const QByteArray report = wb.reportNow(kMorning);
    EXPECT_EQ(linesOf(report).size(), kMethodLines - 1 + kOtherLines);
    EXPECT_EQ(afterFirstLine(report), afterFirstLine(golden("no_stiffness_YieldingPoint.csv", source)));
}

TEST_F(ReportTest, RightAfterStartUp)
{
    const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
    const std::vector<std::string> want = {
        "Source Data:,",
        "",
        "PeakLoad:,0",
        "PeakDisp:, 0",
        "MaxDisp:, 0",
        "",
        "Ultimate Displacement:",
        "Load Reduction factor:, 0.15",
        "Ultimate Disp is found?, NO",
        "Ultimate Disp:, 0",
        "",
        "Initial Stiffness:",
        "Load Factor for Secant:, 0.1",
        "Initial Stifness:,0",
        "",
        "YieldlingPoint:",
        "Method-1:,Geometric Graphic Method",
        "YieldLoad:,0",
        "YieldDisp:,0",
        "Ductility:,0",
        "",
        "Method-2:,Energy Equivalence Principle Method",
        "YieldLoad:,0",
        "YieldDisp:,0",
        "Ductility:,0",
        "",
        "Method-3:,R.Park Method",
        "Yielding Load Factor:,0.75",
        "YieldLoad:,0",
        "YieldDisp:,0",
        "Ductility:,0",
        "",
        "Mean Value:",
        "YieldLoad:,0",
        "YieldDisp:,0",
        "Ductility:,0",
    };
    ASSERT_EQ(lines.size(), kMethodLines + kOtherLines);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + kMethodLines), want);
    EXPECT_EQ(lastLines(lines, kOtherLines), kNotCalculated);
}

// After an import the stiffness flag is down: the Method-1 block has two dash lines, and
// the other blocks still hold the last calculation (here: of the same curve). The other
// definitions are forgotten, not shown stale.
TEST_F(ReportTest, AfterImportWithoutCalculate)
{
    const QString source = QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv");
    analyse(source);
    wb.importConfirmed(source);
    const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
    ASSERT_EQ(lines.size(), kMethodLines - 1 + kOtherLines);
    const std::vector<std::string> want = {
        "Ultimate Disp is found?, NO", "Ultimate Disp:, 5.5", "", "Initial Stiffness:", "Load Factor for Secant:, 0.1",
        "Initial Stifness:,--", "", "YieldlingPoint:", "Method-1:,Geometric Graphic Method", "YieldLoad:,--",
        "YieldDisp:,--", "", "Method-2:,Energy Equivalence Principle Method", "YieldLoad:,86", "YieldDisp:,2.4",
        "Ductility:,2.29166666666667", "", "Method-3:,R.Park Method", "Yielding Load Factor:,0.75", "YieldLoad:,80",
        "YieldDisp:,2", "Ductility:,2.75", "", "Mean Value:", "YieldLoad:,84.5", "YieldDisp:,2.3",
        "Ductility:,2.41388888888889",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.end() - kOtherLines), want);
    EXPECT_EQ(lastLines(lines, kOtherLines), kNotCalculated);
}

TEST_F(ReportTest, FreshImportWithoutAnyCalculationHasZeroResults)
{
    wb.importConfirmed(QStringLiteral(RZ_TEST_DATA_DIR "/report/no_stiffness.csv"));
    const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
    ASSERT_EQ(lines.size(), kMethodLines - 1 + kOtherLines);
    EXPECT_EQ(lines[3], "PeakLoad:,100");
    EXPECT_EQ(lines[4], "PeakDisp:, 2");
    EXPECT_EQ(lines[5], "MaxDisp:, 3");
    EXPECT_EQ(lines[14], "Initial Stifness:,--");
    EXPECT_EQ(lines[18], "YieldLoad:,--");
    EXPECT_EQ(lines[19], "YieldDisp:,--");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[22], "YieldLoad:,0");
    EXPECT_EQ(lines[35], "Ductility:,0");
}

// A refused factor is reported as it was stored; the other definitions of the earlier
// Calculate are not reported as if they still held.
TEST_F(ReportTest, RejectedFactorIsReported)
{
    analyse(QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv"));
    ASSERT_NE(lastLines(linesOf(wb.reportNow(kMorning)), kOtherLines), kNotCalculated);
    wb.setFieldText(Field::edt1, QStringLiteral("1.5"));
    wb.btn1Click();
    const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
    ASSERT_EQ(lines.size(), kMethodLines + kOtherLines);
    EXPECT_EQ(lines[28], "Yielding Load Factor:,1.5");
    EXPECT_EQ(lastLines(lines, kOtherLines), kNotCalculated);
}

// ---------------------------------------------------------------------------------------
// Number texts

struct NumberCase {
    double value;
    const char* point;  // with a decimal point
    const char* comma;  // with a decimal comma
};

TEST(ReportNumbers, GeneralFormWithFifteenDigits)
{
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {0.0, "0", "0"},
        {2.0, "2", "2"},
        {0.15, "0.15", "0,15"},
        {-2.5, "-2.5", "-2,5"},
        {0.1 + 0.2, "0.3", "0,3"},
        {1.0 / 3.0, "0.333333333333333", "0,333333333333333"},
        {1234567.891, "1234567.891", "1234567,891"},
        {999999999999999.0, "999999999999999", "999999999999999"},
        {1e15, "1E15", "1E15"},
        {9.999999999999999e14, "1E15", "1E15"},  // rounds up into the next decade
        {123456789012345678.0, "1.23456789012346E17", "1,23456789012346E17"},
        {1.5e300, "1.5E300", "1,5E300"},
        {0.0001, "0.0001", "0,0001"},
        {0.00012345, "0.00012345", "0,00012345"},
        {9.999999999999999e-05, "0.0001", "0,0001"},
        {1e-5, "1E-5", "1E-5"},
        {-1.5e-5, "-1.5E-5", "-1,5E-5"},
        {5e-324, "4.94065645841247E-324", "4,94065645841247E-324"},
        {std::nan(""), "NAN", "NAN"},
        {inf, "INF", "INF"},
        {-inf, "-INF", "-INF"},
    };
    for (const NumberCase& c : cases) {
        AnalysisState s;
        s.PeakLoad = c.value;
        s.InitialStiffness = c.value;
        const QStringList point = reportLines(s, QLatin1Char('.'), QString());
        const QStringList comma = reportLines(s, QLatin1Char(','), QString());
        EXPECT_EQ(point[3].toStdString(), std::string("PeakLoad:,") + c.point) << exactText(c.value);
        EXPECT_EQ(point[14].toStdString(), std::string("Initial Stifness:,") + c.point) << exactText(c.value);
        // A decimal comma puts the number in quotes, so it stays one cell.
        const std::string commaText = c.comma;
        const std::string commaField = commaText.find(',') == std::string::npos ? commaText : '"' + commaText + '"';
        EXPECT_EQ(comma[3].toStdString(), "PeakLoad:," + commaField) << exactText(c.value);
    }
}

TEST(ReportNumbers, NegativeAndTinyResultsInEveryBlock)
{
    AnalysisState s;
    s.GeometricResult = {-1e-7, 2e16, -0.0001};
    s.EnergyResult = {1e-5, -123.456, 0.5};
    s.ParkResult = {-80, -2, -0.15};
    s.MeanResult = {1e15, 1e-4, -1e15};
    const QStringList l = reportLines(s, QLatin1Char('.'), QString());
    const std::vector<std::string> want = {
        "YieldLoad:,-1E-7", "YieldDisp:,2E16",     "Ductility:,-0.0001", "",
        "Method-2:,Energy Equivalence Principle Method",
        "YieldLoad:,1E-5",  "YieldDisp:,-123.456", "Ductility:,0.5",     "",
        "Method-3:,R.Park Method", "Yielding Load Factor:,0.75",
        "YieldLoad:,-80",   "YieldDisp:,-2",       "Ductility:,-0.15",   "", "Mean Value:",
        "YieldLoad:,1E15",  "YieldDisp:,0.0001",   "Ductility:,-1E15",
    };
    std::vector<std::string> got;
    for (qsizetype i = 18; i < l.size(); ++i)
        got.push_back(l[i].toStdString());
    EXPECT_EQ(got, want);
}

TEST(ReportDecimalComma, WholeCalculationWithCommas)
{
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb(ui, QLatin1Char(','), QStringLiteral("/opt/rorevadi/"));
    wb.importConfirmed(writeFile(dir, QStringLiteral("komma.csv"),
                                 "Weg Kraft\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n"));
    wb.setFieldText(Field::edt12, QStringLiteral("0,15"));
    wb.setFieldText(Field::edt17, QStringLiteral("0,1"));
    wb.setFieldText(Field::edt1, QStringLiteral("0,75"));
    wb.btn1Click();
    ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());

    // The separator is not forced to a point; a number with a comma is quoted, with the
    // label's blank inside the quotes where the line has one.
    const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
    ASSERT_EQ(lines.size(), kMethodLines + kOtherLines);
    const std::pair<int, const char*> want[] = {
        {9, "Load Reduction factor:,\" 0,15\""},
        {11, "Ultimate Disp:,\" 5,5\""},
        {14, "Load Factor for Secant:,\" 0,1\""},
        {15, "Initial Stifness:,50"},
        {19, "YieldLoad:,\"87,5\""},
        {21, "Ductility:,\"2,2\""},
        {25, "YieldDisp:,\"2,4\""},
        {26, "Ductility:,\"2,29166666666667\""},
        {28, "Method-3:,R.Park Method"},
        {29, "Yielding Load Factor:,\"0,75\""},
        {37, "Ductility:,\"2,41388888888889\""},
        {4, "PeakLoad:,100"},
        {5, "PeakDisp:, 4"},
        {40, "EEEP (ASTM E2126),\"90,2382303659697\",\"1,80476460731939\",\"3,32453328022194\",50,"},
        {44, "Equal energy (EN 1998-1),100,\"2,625\",\"2,0952380952381\",\"38,0952380952381\","},
    };
    for (const auto& [line, text] : want)
        EXPECT_EQ(lines[static_cast<std::size_t>(line - 1)], text) << "line " << line;
}

// A line's fields as a spreadsheet reads them (RFC 4180); nullopt for a stray quote.
std::optional<std::vector<std::string>> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else if (i + 1 < line.size() && line[i + 1] != ',')
                return std::nullopt;  // text after a closing quote
            else
                quoted = false;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '"' && fields.back().empty()) {
            quoted = true;
        } else if (c == '"') {
            return std::nullopt;  // a quote inside an unquoted field
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    return fields;
}

// Under either separator and with a path holding a comma and a quote, every line reads
// back as its label and at most one value, the value being the text the window shows.
TEST(ReportQuoting, EveryLineIsALabelAndOneValueUnderBothSeparators)
{
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        SCOPED_TRACE(std::string("separator ") + char(sep.unicode()));
        QTemporaryDir dir;
        RecordingUi ui;
        Workbench wb(ui, sep, QStringLiteral("/opt/rorevadi/"));
        const QString source = writeFile(dir, QStringLiteral("Probe \"3\", Serie B.csv"),
                                         "d l\n0 0\n1 50\n2 80\n3 95\n4 100\n5 90\n6 80\n");
        wb.importConfirmed(source);
        const QString one = QString(QStringLiteral("0.1")).replace(QLatin1Char('.'), sep);
        wb.setFieldText(Field::edt12, QString(QStringLiteral("0.15")).replace(QLatin1Char('.'), sep));
        wb.setFieldText(Field::edt17, one);
        wb.setFieldText(Field::edt1, QString(QStringLiteral("0.75")).replace(QLatin1Char('.'), sep));
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());

        const std::vector<std::string> lines = linesOf(wb.reportNow(kMorning));
        ASSERT_EQ(lines.size(), kMethodLines + kOtherLines);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto fields = csvFields(lines[i]);
            ASSERT_TRUE(fields.has_value()) << lines[i];
            // The other definitions' section is a table: a label and five columns.
            if (i < kMethodLines + 1)
                EXPECT_LE(fields->size(), 2u) << lines[i];
            else
                EXPECT_EQ(fields->size(), 6u) << lines[i];
        }
        const AnalysisState& s = wb.state();
        const std::pair<std::size_t, std::string> values[] = {
            {2, QDir::toNativeSeparators(source).toLocal8Bit().toStdString()},
            {9, " " + formatGeneral(s.LoadReductionFactor, sep).toStdString()},
            {11, " " + formatGeneral(s.UltimateDisp, sep).toStdString()},
            {21, formatGeneral(s.GeometricResult.Ductility, sep).toStdString()},
            {26, formatGeneral(s.EnergyResult.Ductility, sep).toStdString()},
            {37, formatGeneral(s.MeanResult.Ductility, sep).toStdString()},
        };
        for (const auto& [line, value] : values)
            EXPECT_EQ(csvFields(lines[line - 1]).value_or(std::vector<std::string>{}).back(), value) << "line " << line;

        // Each definition's line reads back as the numbers it holds.
        const std::vector<YieldDefinitionResult>& others = wb.otherDefinitions();
        ASSERT_EQ(others.size(), otherYieldMethods().size());
        for (std::size_t m = 0; m < others.size(); ++m) {
            const YieldDefinitionResult& r = others[m];
            ASSERT_TRUE(r.found) << otherYieldMethods()[m].key << ": " << r.note.toStdString();
            auto text = [sep](double v) { return formatGeneral(v, sep).toStdString(); };
            const std::vector<std::string> want = {otherYieldMethods()[m].title,
                                                   text(r.yieldLoad),
                                                   text(r.yieldDisp),
                                                   text(r.ductility),
                                                   text(r.stiffness),
                                                   r.note.toStdString()};
            EXPECT_EQ(csvFields(lines[kMethodLines + 2 + m]), want);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Bytes

TEST(ReportBytes, LineEndsEncodingAndQuotedSource)
{
    AnalysisState s;
    s.SourceDataPath = QStringLiteral("/data/Prüfkörper 3, Serie B.csv");
    const QByteArray bytes = reportBytes(reportLines(s, QLatin1Char('.'), QStringLiteral("08.03.19 10:30:15")));
    EXPECT_TRUE(bytes.startsWith("Report Time:,08.03.19 10:30:15\r\nSource Data:,"));  // no byte-order mark
    EXPECT_EQ(bytes.count("\r\n"), 37);
    EXPECT_EQ(bytes.count('\n'), 37);
    EXPECT_EQ(bytes.count('\r'), 37);
    EXPECT_TRUE(bytes.endsWith("Ductility:,0\r\n"));
    // The locale's narrow encoding; the path in quotes, as it holds a comma.
    EXPECT_TRUE(bytes.contains("\r\nSource Data:,\"" + s.SourceDataPath.toLocal8Bit() + "\"\r\n\r\nPeakLoad:,0\r\n"));
}

// ---------------------------------------------------------------------------------------
// Time of writing

struct TimeCase {
    const char* locale;
    QTime time;
    const char* pattern;  // the whole text must match
};

TEST(ReportTime, ShortDateAndTimeWithSecondsOrTheDateAloneAtMidnight)
{
    const QDate date(2019, 3, 8);
    const TimeCase cases[] = {
        {"de_DE", QTime(0, 0), R"(08\.03\.19)"},
        {"en_US", QTime(0, 0), R"(3/8/19)"},
        {"de_DE", QTime(0, 0, 0, 1), R"(08\.03\.19 00:00:00)"},
        {"de_DE", QTime(14, 5, 9), R"(08\.03\.19 14:05:09)"},
        {"de_DE", QTime(23, 59, 59, 999), R"(08\.03\.19 23:59:59)"},
        {"en_US", QTime(14, 5, 9), R"(3/8/19 2:05:09\s?PM)"},
        {"en_US", QTime(0, 0, 1), R"(3/8/19 12:00:01\s?AM)"},
        {"en_GB", QTime(9, 7, 3), R"(08/03/2019 09:07:03)"},
        // The seconds take the locale's own separator and words.
        {"fi_FI", QTime(14, 5, 9), R"(8\.3\.2019 14\.05\.09)"},
        {"da_DK", QTime(14, 5, 9), R"(08\.03\.2019 14\.05\.09)"},
        {"fr_CA", QTime(14, 5, 9), R"(2019-03-08 14 h 05 min 09 s)"},
        // The time zone, wherever the locale puts it, is left out.
        {"zh_CN", QTime(14, 5, 9), R"(2019/3/8 14:05:09)"},
        {"es_ES", QTime(14, 5, 9), R"(8/3/19 14:05:09)"},
    };
    for (const TimeCase& c : cases) {
        const QString got = reportTimeText(QDateTime(date, c.time), QLocale(QString::fromLatin1(c.locale)));
        const QRegularExpression re(QStringLiteral("^%1$").arg(QString::fromLatin1(c.pattern)),
                                    QRegularExpression::UseUnicodePropertiesOption);
        EXPECT_TRUE(re.match(got).hasMatch())
            << c.locale << " " << c.time.toString().toStdString() << ": \"" << got.toStdString() << "\"";
    }
}

TEST_F(ReportTest, FirstLineFollowsTheLocale)
{
    wb.setLocale(QLocale(QStringLiteral("de_DE")));
    EXPECT_TRUE(wb.reportNow(QDateTime(QDate(2019, 3, 8), QTime(14, 5, 9))).startsWith("Report Time:,08.03.19 14:05:09\r\n"));
    EXPECT_TRUE(wb.reportNow(QDateTime(QDate(2019, 3, 8), QTime(0, 0))).startsWith("Report Time:,08.03.19\r\n"));
}

// ---------------------------------------------------------------------------------------
// Export Results

TEST_F(ReportTest, ExportWritesTheReportAndMovesTheDialogFolders)
{
    analyse(QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
    const QString folder = dir.path() + QStringLiteral("/out/");
    // The name is used as typed: no extension is added.
    const QString path = writeFile(dir, QStringLiteral("out/worked_YieldingPoint"), "an earlier report\r\n");

    wb.exportReportTo(path, kMorning);

    EXPECT_TRUE(ui.events.empty()) << ::testing::PrintToString(ui.log());
    EXPECT_EQ(readFile(path), wb.reportNow(kMorning));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("worked_YieldingPoint")});
    EXPECT_EQ(wb.openDialogFolder(), folder);
    EXPECT_EQ(wb.reportDialogFolder(), folder);
    EXPECT_EQ(wb.pictureDialogFolder(), folder);
}

TEST_F(ReportTest, FailedExportWarnsAndStillMovesTheDialogFolders)
{
    analyse(QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv"));
    const AnalysisState before = wb.state();
    const QString folder = dir.path() + QStringLiteral("/never/made/");
    const QString path = folder + QStringLiteral("worked_YieldingPoint.csv");

    wb.exportReportTo(path, kMorning);

    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events[0].level, MessageLevel::Warning);
    EXPECT_TRUE(ui.events[0].text.contains(path)) << ui.events[0].text.toStdString();
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_EQ(wb.openDialogFolder(), folder);
    EXPECT_EQ(wb.reportDialogFolder(), folder);
    EXPECT_EQ(wb.pictureDialogFolder(), folder);
    EXPECT_TRUE(sameState(wb.state(), before));
}

}  // namespace
}  // namespace rz

// The batch tool: exit codes, usage errors, the table, the reports and the pictures it
// writes.
#include "CliFixture.h"
#include "CliTestSupport.h"

#include "cli/Cli.h"
#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <clocale>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace rz {
namespace {

using namespace rz::test;

// ---------------------------------------------------------------------------------------
// Usage

TEST_F(CliTest, HelpAndVersion)
{
    for (const char* flag : {"--help", "-h"}) {
        const CliRun r = runCli({QString::fromLatin1(flag)});
        EXPECT_EQ(r.code, 0) << flag;
        EXPECT_TRUE(r.err.isEmpty()) << flag;
        for (const char* option : {"--load-reduction", "--secant", "--park", "--decimal-separator", "--json",
                                   "--report", "--out-dir", "--picture", "--help", "--version"})
            EXPECT_TRUE(r.out.contains(option)) << flag << " lacks " << option;
    }
    const CliRun v = runCli({QStringLiteral("--version")});
    EXPECT_EQ(v.code, 0);
    EXPECT_TRUE(v.out.startsWith("rorevadi-cli ")) << v.out.toStdString();
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndWriteNothing)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString other = put(QStringLiteral("other.csv"), workedExampleFile());
    const QString out = outDir();
    const QString report = dir.filePath(QStringLiteral("r.csv"));
    const std::vector<std::pair<const char*, QStringList>> cases = {
        {"no FILE", {}},
        {"no FILE after options", {QStringLiteral("--json")}},
        {"unknown option", {QStringLiteral("--bogus"), file}},
        {"--load-reduction without its text", {file, QStringLiteral("--load-reduction")}},
        {"--secant without its text", {file, QStringLiteral("--secant")}},
        {"--park without its text", {file, QStringLiteral("--park")}},
        {"two-character separator", {QStringLiteral("--decimal-separator"), QStringLiteral("ab"), file}},
        {"empty separator", {QStringLiteral("--decimal-separator"), QString(), file}},
        {"--report with two files", {QStringLiteral("--report"), report, file, other}},
        {"--report without a path", {file, QStringLiteral("--report")}},
        {"--report - with --json", {QStringLiteral("--json"), QStringLiteral("--report"), QStringLiteral("-"), file}},
        {"--picture without --out-dir", {QStringLiteral("--picture"), QStringLiteral("png"), file}},
        {"unknown picture format",
         {QStringLiteral("--out-dir"), out, QStringLiteral("--picture"), QStringLiteral("gif"), file}},
        {"two files of one stem into --out-dir",
         {QStringLiteral("--out-dir"), out, file, put(QStringLiteral("worked.txt"), workedExampleFile())}},
    };
    for (const auto& [name, args] : cases) {
        SCOPED_TRACE(name);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("rorevadi-cli: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(report));
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(CliTest, ExitCodeSaysWhetherEveryFileWasCalculatedToTheEnd)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = put(QStringLiteral("nostiff.csv"), noStiffnessFile());
    const QString vertical = put(QStringLiteral("vertical.csv"), curveFile({{0, 0}, {0, 50}, {1, 100}}));
    const QString headerOnly = put(QStringLiteral("header.csv"), "displacement,load\n");
    const QString peakFirst = put(QStringLiteral("peakfirst.csv"), curveFile({{0, 100}, {1, 50}, {2, 20}}));
    const QString dashName = put(QStringLiteral("-dash.csv"), workedExampleFile());
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    const std::vector<std::pair<const char*, std::pair<QStringList, int>>> cases = {
        {"worked example", {{worked}, 0}},
        {"no initial stiffness", {{noStiffness}, 0}},
        {"stiffness warning, then the end", {{vertical}, 0}},
        {"several good files", {{worked, noStiffness, kRealCurve}, 0}},
        {"a file name after --", {{QStringLiteral("--"), dashName}, 0}},
        {"no curve", {{headerOnly}, 1}},
        {"unreadable file", {{missing}, 1}},
        {"factor out of range", {{QStringLiteral("--secant"), QStringLiteral("0"), worked}, 1}},
        {"factor not a number", {{QStringLiteral("--park"), QStringLiteral("abc"), worked}, 1}},
        {"arithmetic error", {{peakFirst}, 1}},
        {"one bad file among good ones", {{worked, headerOnly, noStiffness}, 1}},
    };
    for (const auto& [name, c] : cases) {
        SCOPED_TRACE(name);
        const CliRun r = runCli(c.first);
        EXPECT_EQ(r.code, c.second) << r.out.toStdString() << r.err.toStdString();
    }
}

// ---------------------------------------------------------------------------------------
// The table

// The cells of a table row after its label, split at runs of blanks.
QStringList cellsAfter(const QString& table, const QString& label)
{
    for (const QString& line : table.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("  ") + label + QLatin1Char(' ')))
            return line.mid(label.size() + 2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    ADD_FAILURE() << "no row " << label.toStdString() << " in\n" << table.toStdString();
    return {};
}

TEST_F(CliTest, TableShowsTheWindowsFieldsAndMessages)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = put(QStringLiteral("nostiff.csv"), noStiffnessFile());
    const CliRun r = runCli({worked, noStiffness});
    ASSERT_EQ(r.code, 0);
    const QString all = QString::fromUtf8(r.out);
    const qsizetype second = all.indexOf(QStringLiteral("== ") + noStiffness);
    ASSERT_GT(second, 0);
    const QString first = all.left(second);
    const QString rest = all.mid(second);

    EXPECT_TRUE(first.startsWith(QStringLiteral("== ") + worked +
                                 QStringLiteral("\n  [information] 9 Lines of date have been imported!\n")))
        << first.toStdString();
    EXPECT_EQ(
        cellsAfter(first, QStringLiteral("Max. Load")),
        (QStringList{QStringLiteral("100"), QStringLiteral("Max."), QStringLiteral("Disp."), QStringLiteral("6")}));
    EXPECT_EQ(cellsAfter(first, QStringLiteral("Ultimate Displacement")),
              (QStringList{QStringLiteral("5.5"), QStringLiteral("Initial"), QStringLiteral("Secant"),
                           QStringLiteral("Stiffness"), QStringLiteral("50")}));
    const std::pair<const char*, QStringList> rows[] = {
        {"Geometric Graphic Method", {QStringLiteral("87.5"), QStringLiteral("2.5"), QStringLiteral("2.2000")}},
        {"Equivalent Elasto-Plastic Energy Method",
         {QStringLiteral("86"), QStringLiteral("2.4"), QStringLiteral("2.2917")}},
        {"R.Park Method", {QStringLiteral("80"), QStringLiteral("2"), QStringLiteral("2.7500")}},
        {"Mean Value", {QStringLiteral("84.5"), QStringLiteral("2.3"), QStringLiteral("2.4139")}},
    };
    for (const auto& [label, cells] : rows)
        EXPECT_EQ(cellsAfter(first, QString::fromLatin1(label)), cells) << label;
    // Rows in the window's order.
    EXPECT_LT(first.indexOf(QStringLiteral("Geometric Graphic Method")),
              first.indexOf(QStringLiteral("Equivalent Elasto")));
    EXPECT_LT(first.indexOf(QStringLiteral("Equivalent Elasto")), first.indexOf(QStringLiteral("R.Park Method")));
    EXPECT_LT(first.indexOf(QStringLiteral("R.Park Method")), first.indexOf(QStringLiteral("Mean Value")));

    EXPECT_EQ(cellsAfter(rest, QStringLiteral("Geometric Graphic Method")),
              (QStringList{QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("--")}));
    EXPECT_EQ(cellsAfter(rest, QStringLiteral("Mean Value")),
              (QStringList{QStringLiteral("92.5"), QStringLiteral("2.25"), QStringLiteral("1.1250")}));
}

// The other definitions follow the mean, as the window's table shows them; a file whose
// Calculate stopped lists them empty.
TEST_F(CliTest, TableShowsTheOtherDefinitions)
{
    const QString worked =
        put(QStringLiteral("worked.txt"), "d l\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n");
    const CliRun r = runCli({QStringLiteral("--decimal-separator"), QStringLiteral(","), worked});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString first = QString::fromUtf8(r.out);
    EXPECT_EQ(cellsAfter(first, QStringLiteral("Other definitions")),
              (QStringList{QStringLiteral("Load"), QStringLiteral("at"), QStringLiteral("Yield"),
                           QStringLiteral("Disp."), QStringLiteral("at"), QStringLiteral("Yield"),
                           QStringLiteral("Ductility"), QStringLiteral("Stiffness"), QStringLiteral("Note")}));
    EXPECT_LT(first.indexOf(QStringLiteral("Mean Value")), first.indexOf(QStringLiteral("Other definitions")));
    // EEEP on the worked example: Ke = 40 / 0.8, du = 6 (where the load is back at 80),
    // A = 460, Py = (6 - sqrt(36 - 920 / 50)) * 50.
    EXPECT_EQ(cellsAfter(first, QStringLiteral("EEEP (ASTM E2126)")),
              (QStringList{QStringLiteral("90,23823"), QStringLiteral("1,80476"), QStringLiteral("3,3245"),
                           QStringLiteral("50")}));
    EXPECT_EQ(
        cellsAfter(first, QStringLiteral("Farthest point")),
        (QStringList{QStringLiteral("75"), QStringLiteral("1,5"), QStringLiteral("3,6667"), QStringLiteral("50")}));

    // Not found: dashes and the reason.
    const CliRun missing = runCli({put(QStringLiteral("nostiff.csv"), noStiffnessFile())});
    EXPECT_EQ(cellsAfter(QString::fromUtf8(missing.out), QStringLiteral("Tangent method (EN 12512)")).mid(0, 5),
              (QStringList{QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("--"),
                           QStringLiteral("rising")}));

    // A Calculate that stopped leaves the rows empty.
    const CliRun stopped = runCli(
        {QStringLiteral("--park"), QStringLiteral("2"), put(QStringLiteral("refused.csv"), workedExampleFile())});
    EXPECT_EQ(stopped.code, 1);
    EXPECT_TRUE(QString::fromUtf8(stopped.out).split(QLatin1Char('\n')).contains(QStringLiteral("  EEEP (ASTM E2126)")))
        << stopped.out.toStdString();
}

TEST_F(CliTest, TableListsMessagesInTheirOrder)
{
    const QString peakFirst = put(QStringLiteral("peakfirst.csv"), curveFile({{0, 100}, {1, 50}, {2, 20}}));
    const QString trailing = put(QStringLiteral("trailing.csv"), "h\n0,0\n1,1\n\n");
    const CliRun r = runCli({QStringLiteral("--load-reduction"), QStringLiteral("abc"), peakFirst, trailing});
    EXPECT_EQ(r.code, 1);
    const QString out = QString::fromUtf8(r.out);
    const QStringList want = {
        QStringLiteral("== ") + peakFirst,
        QStringLiteral("  [information] 4 Lines of date have been imported!"),
        QStringLiteral("  [warning] 'abc' is not a valid floating point value"),
        QStringLiteral("== ") + trailing,
        QStringLiteral("  [information] This File contains 4 Lines. Only 3 Lines of date have been imported!"),
        QStringLiteral("  [warning] 'abc' is not a valid floating point value"),
    };
    QStringList got;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("== ")) || line.startsWith(QStringLiteral("  [")))
            got << line;
    EXPECT_EQ(got, want);
}

// ---------------------------------------------------------------------------------------
// Reports

TEST_F(CliTest, ReportToStandardOutputIsTheWindowsReport)
{
    struct Case {
        const char* name;
        QString file;
        QStringList options;
        QChar sep;
        QString lr, secant, park;
    };
    const std::vector<Case> cases = {
        {"worked example",
         put(QStringLiteral("worked.csv"), workedExampleFile()),
         {},
         QLatin1Char('.'),
         QStringLiteral("0.15"),
         QStringLiteral("0.1"),
         QStringLiteral("0.75")},
        {"no stiffness",
         put(QStringLiteral("nostiff.csv"), noStiffnessFile()),
         {},
         QLatin1Char('.'),
         QStringLiteral("0.15"),
         QStringLiteral("0.1"),
         QStringLiteral("0.75")},
        {"decimal comma",
         put(QStringLiteral("comma.txt"), "d l\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n"),
         {QStringLiteral("--decimal-separator"), QStringLiteral(","), QStringLiteral("--load-reduction"),
          QStringLiteral("0,12"), QStringLiteral("--secant"), QStringLiteral("0,78"), QStringLiteral("--park"),
          QStringLiteral("0,75")},
         QLatin1Char(','),
         QStringLiteral("0,12"),
         QStringLiteral("0,78"),
         QStringLiteral("0,75")},
        {"refused factor",
         put(QStringLiteral("refused.csv"), workedExampleFile()),
         {QStringLiteral("--park"), QStringLiteral("1.5")},
         QLatin1Char('.'),
         QStringLiteral("0.15"),
         QStringLiteral("0.1"),
         QStringLiteral("1.5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(QStringList(c.options) << QStringLiteral("--report") << QStringLiteral("-") << c.file);
        const Replay replay(c.file, c.sep, c.lr, c.secant, c.park);
        EXPECT_TRUE(r.out.startsWith("Report Time:,")) << r.out.toStdString();
        EXPECT_EQ(afterFirstLine(r.out), afterFirstLine(replay.wb.reportNow(QDateTime::currentDateTime())));
        // The three methods' lines, then the other definitions' section of seven.
        EXPECT_EQ(r.out.count("\r\n"), (replay.wb.state().StiffnessFound ? 37 : 36) + 7);
    }
}

TEST_F(CliTest, ReportToAFile)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString path = dir.filePath(QStringLiteral("mine.csv"));
    const CliRun r = runCli({QStringLiteral("--report"), path, worked});
    EXPECT_EQ(r.code, 0);
    const Replay replay(worked);
    EXPECT_EQ(afterFirstLine(readFile(path)), afterFirstLine(replay.wb.reportNow(QDateTime::currentDateTime())));
    EXPECT_TRUE(r.out.contains(("  wrote " + path + "\n").toUtf8())) << r.out.toStdString();
    // The table is still printed.
    EXPECT_TRUE(r.out.contains("Mean Value"));
}

TEST_F(CliTest, ReportIntoAMissingFolderFailsWithOne)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString path = dir.filePath(QStringLiteral("gone/mine.csv"));
    const CliRun r = runCli({QStringLiteral("--report"), path, worked});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(path)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(CliTest, OutDirGetsOneReportPerFile)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = put(QStringLiteral("nostiff.txt"), noStiffnessFile());
    const QString headerOnly = put(QStringLiteral("header.csv"), "displacement,load\n");
    const QString out = outDir();
    const CliRun r = runCli({QStringLiteral("--out-dir"), out, worked, noStiffness, kRealCurve, headerOnly});
    EXPECT_EQ(r.code, 1);  // the header-only file gives no curve

    const std::pair<QString, QString> expected[] = {
        {worked, QStringLiteral("worked_YieldingPoint.csv")},
        {noStiffness, QStringLiteral("nostiff_YieldingPoint.csv")},
        {kRealCurve, QStringLiteral("cfs_steel_screw_connection_monotonic_01_YieldingPoint.csv")},
        {headerOnly, QStringLiteral("header_YieldingPoint.csv")},
    };
    QStringList names;
    for (const auto& [source, name] : expected) {
        SCOPED_TRACE(name.toStdString());
        names << name;
        const Replay replay(source);
        const QString path = QDir(out).filePath(name);
        EXPECT_EQ(afterFirstLine(readFile(path)), afterFirstLine(replay.wb.reportNow(QDateTime::currentDateTime())));
        EXPECT_TRUE(r.out.contains(("  wrote " + path + "\n").toUtf8())) << r.out.toStdString();
    }
    names.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
}

// ---------------------------------------------------------------------------------------
// Pictures

std::set<QRgb> coloursOf(const QImage& image)
{
    std::set<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y) & 0xFFFFFF);
    return colours;
}

// The curve, the three constructions (all visible, as after a batch Calculate), the
// ultimate marker's fill and the peak marker's fill.
const std::pair<const char*, QRgb> kChartColours[] = {
    {"curve", 0x414141},
    {"Geometric construction", 0x00FF00},
    {"R.Park construction", 0x0000FF},
    {"Energy construction", 0xFF0080},
    {"ultimate marker", 0xFFFF00},
    {"peak marker", 0x00FFFF},
};

void expectChartPicture(const QImage& image, const char* what)
{
    ASSERT_FALSE(image.isNull()) << what;
    EXPECT_EQ(image.size(), QSize(587, 290)) << what;
    const std::set<QRgb> colours = coloursOf(image);
    EXPECT_GT(colours.size(), 50u) << what << ": a blank picture";
    for (const auto& [name, rgb] : kChartColours)
        EXPECT_TRUE(colours.count(rgb)) << what << ": no " << name << " colour";
}

// The first content stream of a PDF, inflated.
QByteArray pdfPageContent(const QByteArray& pdf)
{
    const qsizetype start = pdf.indexOf("stream\n");
    const qsizetype end = pdf.indexOf("endstream", start);
    if (start < 0 || end < 0)
        return {};
    QByteArray deflated = pdf.mid(start + 7, end - start - 7);
    const quint32 hint = static_cast<quint32>(deflated.size()) * 16;
    const char header[4] = {static_cast<char>(hint >> 24), static_cast<char>(hint >> 16), static_cast<char>(hint >> 8),
                            static_cast<char>(hint)};
    return qUncompress(QByteArray(header, 4) + deflated);
}

TEST_F(CliTest, PicturesInEveryFormat)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString out = outDir();
    for (const char* format : {"png", "bmp", "svg", "pdf"}) {
        SCOPED_TRACE(format);
        const CliRun r = runCli(
            {QStringLiteral("--out-dir"), out, QStringLiteral("--picture"), QString::fromLatin1(format), worked});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QString path = QDir(out).filePath(QStringLiteral("worked_YieldingPoint.") + QString::fromLatin1(format));
        EXPECT_TRUE(r.out.contains(("  wrote " + path + "\n").toUtf8())) << r.out.toStdString();
        const QByteArray bytes = readFile(path);
        ASSERT_FALSE(bytes.isEmpty());

        if (QByteArray(format) == "png" || QByteArray(format) == "bmp") {
            EXPECT_TRUE(bytes.startsWith(QByteArray(format) == "png" ? "\x89PNG" : "BM"));
            expectChartPicture(QImage::fromData(bytes, format), format);
        } else if (QByteArray(format) == "svg") {
            QSvgRenderer svg(bytes);
            ASSERT_TRUE(svg.isValid());
            EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, 587, 290));
            // The physical size, in millimetres, is the chart's at 96 pixels per inch.
            const QRegularExpression size(QStringLiteral(R"(<svg width="([0-9.]+)mm" height="([0-9.]+)mm")"));
            const QRegularExpressionMatch mm = size.match(QString::fromUtf8(bytes));
            ASSERT_TRUE(mm.hasMatch());
            EXPECT_NEAR(mm.captured(1).toDouble() * 96 / 25.4, 587, 0.5);
            EXPECT_NEAR(mm.captured(2).toDouble() * 96 / 25.4, 290, 0.5);
            EXPECT_TRUE(bytes.contains("stroke=\"#414141\""));
            QImage image(587, 290, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            svg.render(&painter);
            painter.end();
            expectChartPicture(image, format);
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF-"));
            const QRegularExpression box(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
            const QRegularExpressionMatch m = box.match(QString::fromLatin1(bytes));
            ASSERT_TRUE(m.hasMatch());
            // 587 x 290 pixels at 96 per inch, in points.
            EXPECT_NEAR(m.captured(1).toDouble(), 587 * 0.75, 1.0);
            EXPECT_NEAR(m.captured(2).toDouble(), 290 * 0.75, 1.0);
            const QByteArray page = pdfPageContent(bytes);
            ASSERT_FALSE(page.isEmpty());
            // Vector drawing: the curve is a stroke of its own colour, 3 wide.
            const QRegularExpression stroke(QStringLiteral(R"(([0-9.]+) ([0-9.]+) ([0-9.]+) SCN\s+3 w)"));
            bool curve = false;
            for (auto it = stroke.globalMatch(QString::fromLatin1(page)); it.hasNext();) {
                const QRegularExpressionMatch s = it.next();
                curve = curve || (qRound(s.captured(1).toDouble() * 255) == 0x41 &&
                                  qRound(s.captured(2).toDouble() * 255) == 0x41 &&
                                  qRound(s.captured(3).toDouble() * 255) == 0x41);
            }
            EXPECT_TRUE(curve) << "no 3-wide stroke in #414141";
        }
    }
}

TEST_F(CliTest, OnePicturePerFileEachOfItsOwnCurve)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = put(QStringLiteral("nostiff.csv"), noStiffnessFile());
    const QString out = outDir();
    const CliRun r = runCli(
        {QStringLiteral("--out-dir"), out, QStringLiteral("--picture"), QStringLiteral("png"), worked, noStiffness});
    EXPECT_EQ(r.code, 0);
    const QImage first(QDir(out).filePath(QStringLiteral("worked_YieldingPoint.png")));
    const QImage second(QDir(out).filePath(QStringLiteral("nostiff_YieldingPoint.png")));
    expectChartPicture(first, "worked");
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first, second);
    // Without an initial stiffness there is no Geometric construction to draw.
    EXPECT_FALSE(coloursOf(second).count(0x00FF00));
    EXPECT_TRUE(coloursOf(second).count(0x414141));
}

// Every file's picture is the one it gets when drawn alone: the batch tool reuses one
// chart for all files, which must neither keep an earlier file's series nor scale the
// axes by the earlier file's tick labels.
TEST_F(CliTest, EveryPictureIsTheOneOfItsFileAlone)
{
    const QString worked = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = put(QStringLiteral("nostiff.csv"), noStiffnessFile());
    const QString out = outDir();
    ASSERT_EQ(runCli({QStringLiteral("--out-dir"), out, QStringLiteral("--picture"), QStringLiteral("png"), worked,
                      noStiffness})
                  .code,
              0);
    QDir(dir.path()).mkpath(QStringLiteral("alone"));
    const QString alone = dir.filePath(QStringLiteral("alone"));
    ASSERT_EQ(
        runCli({QStringLiteral("--out-dir"), alone, QStringLiteral("--picture"), QStringLiteral("png"), noStiffness})
            .code,
        0);
    const QImage together(QDir(out).filePath(QStringLiteral("nostiff_YieldingPoint.png")));
    ASSERT_FALSE(together.isNull());
    EXPECT_EQ(together, QImage(QDir(alone).filePath(QStringLiteral("nostiff_YieldingPoint.png"))));
}

}  // namespace
}  // namespace rz

// Pictures need the program's drawing support, without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", runtime->path().toLocal8Bit());
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
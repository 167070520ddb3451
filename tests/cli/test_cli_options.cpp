// The batch tool's options: what each one does with the files and factor texts given.
#include "../core/WorkbenchTestSupport.h"
#include "../excel/ChartSchemaOrder.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

// The worked example with decimal commas, blank-separated.
const QByteArray kCommaFile = "Weg Kraft\n0 0\n1 50\n\"1,5\" 75\n2 80\n3 95\n4 100\n5 90\n6 80\n";

QJsonObject onlyJson(const CliRun& r)
{
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 1) << r.out.toStdString();
    return QJsonDocument::fromJson(lines.value(0)).object();
}

class CliOptions : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString put(const QString& name, const QByteArray& bytes) { return writeFile(dir, name, bytes); }
};

TEST_F(CliOptions, UnderADecimalCommaTheDefaultFactorsAreWrittenWithIt)
{
    const QString file = put(QStringLiteral("komma.csv"), kCommaFile);
    const CliRun r =
        runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QStringLiteral(","), file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject j = onlyJson(r);
    const QJsonObject factors = j[QStringLiteral("factors")].toObject();
    EXPECT_EQ(factors[QStringLiteral("LoadReductionFactor")].toString(), QStringLiteral("0,15"));
    EXPECT_EQ(factors[QStringLiteral("SecantLoadFactor")].toString(), QStringLiteral("0,1"));
    EXPECT_EQ(factors[QStringLiteral("ParkLoadFactor")].toString(), QStringLiteral("0,75"));
    EXPECT_EQ(j[QStringLiteral("state")].toObject()[QStringLiteral("UltimateDisp")].toDouble(), 5.5);
}

TEST_F(CliOptions, AFactorGivenIsTakenAsWrittenUnderADecimalComma)
{
    const QString file = put(QStringLiteral("komma.csv"), kCommaFile);
    const CliRun r = runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QStringLiteral(","),
                             QStringLiteral("--park"), QStringLiteral("0.5"), file});
    EXPECT_EQ(r.code, 1);
    const QJsonObject j = onlyJson(r);
    EXPECT_EQ(j[QStringLiteral("factors")].toObject()[QStringLiteral("ParkLoadFactor")].toString(),
              QStringLiteral("0.5"));
    const QJsonArray messages = j[QStringLiteral("messages")].toArray();
    ASSERT_FALSE(messages.isEmpty());
    const QJsonObject last = messages.last().toObject();
    EXPECT_EQ(last[QStringLiteral("level")].toString(), QStringLiteral("warning"));
    EXPECT_EQ(last[QStringLiteral("text")].toString(), QStringLiteral("'0.5' is not a valid floating point value"));
}

TEST_F(CliOptions, TheSameFileTwiceIntoOneOutDirIsOneReport)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun r = runCli({QStringLiteral("--out-dir"), out, file, file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("worked_YieldingPoint.csv")});
}

TEST_F(CliOptions, OutDirIsCreatedWithItsParents)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString out = dir.filePath(QStringLiteral("results/2024/run 1"));
    const CliRun r = runCli({QStringLiteral("--out-dir"), out, QStringLiteral("--xlsx"), file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("worked_YieldingPoint.csv"), QStringLiteral("worked_YieldingPoint.xlsx")}));
    EXPECT_EQ(excel::test::chartOrderProblems(QDir(out).filePath(QStringLiteral("worked_YieldingPoint.xlsx"))),
              QStringList());
}

TEST_F(CliOptions, OutDirThatCannotBeCreatedIsRefusedWithTheReason)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    const std::pair<const char*, QString> cases[] = {
        {"a file where the folder should be", file},
        {"a folder under a file", file + QStringLiteral("/out")},
    };
    for (const auto& [name, out] : cases) {
        SCOPED_TRACE(name);
        const CliRun r = runCli({QStringLiteral("--out-dir"), out, file});
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(
            r.err.startsWith(QStringLiteral("rorevadi-cli: cannot create the folder \"%1\" for --out-dir: ").arg(out)))
            << r.err.toStdString();
        EXPECT_GT(r.err.trimmed().size(), r.err.indexOf(QStringLiteral("--out-dir: ")) + 11) << "no reason given";
    }
    EXPECT_EQ(readFile(file), workedExampleFile());
}

// Line 2 of the report names the data file by its full, clean path, however the file
// was named on the command line (the window's dialogs give such paths already).
TEST_F(CliOptions, TheReportNamesTheDataFileByItsFullPath)
{
    QDir(dir.path()).mkpath(QStringLiteral("in"));
    const QString file = put(QStringLiteral("in/nostiff.csv"), noStiffnessFile());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    for (const QString& typed : {QStringLiteral("in/nostiff.csv"), QStringLiteral("./in/../in//nostiff.csv")}) {
        SCOPED_TRACE(typed.toStdString());
        const CliRun r = runCli({QStringLiteral("--report"), QStringLiteral("-"), typed});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QList<QByteArray> lines = r.out.split('\n');
        ASSERT_GT(lines.size(), 2);
        EXPECT_EQ(lines[1].toStdString(), "Source Data:," + QDir::cleanPath(file).toStdString() + "\r");
    }
    QDir::setCurrent(previous);
}

// The parser: both spellings of a value, options anywhere, the last of a repeated option,
// a value that begins with a dash, and "--" before files that do.
TEST_F(CliOptions, ArgumentsInEveryAcceptedForm)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    const QString dash = put(QStringLiteral("-dash.csv"), workedExampleFile());
    struct Case {
        const char* name;
        QStringList args;
        const char* park;  // the factor text the run took
        int code;
    };
    const Case cases[] = {
        {"--opt value", {QStringLiteral("--park"), QStringLiteral("0.6"), file}, "0.6", 0},
        {"--opt=value", {QStringLiteral("--park=0.6"), file}, "0.6", 0},
        {"an option after the file", {file, QStringLiteral("--park"), QStringLiteral("0.6")}, "0.6", 0},
        {"the last of a repeated option", {QStringLiteral("--park=0.5"), QStringLiteral("--park=0.6"), file}, "0.6", 0},
        {"a value beginning with a dash", {QStringLiteral("--park"), QStringLiteral("-0.5"), file}, "-0.5", 1},
        {"an empty value", {QStringLiteral("--park="), file}, "", 1},
        {"a file beginning with a dash after --", {QStringLiteral("--"), dash}, "0.75", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(QStringList{QStringLiteral("--json")} + c.args);
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_EQ(onlyJson(r)[QStringLiteral("factors")].toObject()[QStringLiteral("ParkLoadFactor")].toString(),
                  QString::fromLatin1(c.park));
    }
}

TEST_F(CliOptions, UsageErrorsNameWhatIsWrong)
{
    const QString file = put(QStringLiteral("worked.csv"), workedExampleFile());
    const std::pair<QStringList, const char*> cases[] = {
        {{QStringLiteral("--bogus"), file}, "Unknown option 'bogus'."},
        {{file, QStringLiteral("--park")}, "Missing value after '--park'."},
        {{QStringLiteral("--json=yes"), file}, "Unexpected value after '--json'."},
        {{QStringLiteral("--excel-layout=wide"), file}, "--excel-layout takes single or combined, not \"wide\""},
        {{QStringLiteral("--decimal-separator=;;"), file}, "--decimal-separator needs one character"},
        {{QStringLiteral("--xlsx"), file}, "--xlsx needs --out-dir"},
        {{}, "no FILE given"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(message);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(
            r.err.startsWith(QStringLiteral("rorevadi-cli: ") + QString::fromLatin1(message) + QLatin1Char('\n')))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith(cli::usageText()));
    }
}

// The help the README documents: every option, its value and default, and the exit
// status, in this layout.
TEST(CliHelp, HelpTextIsTheDocumentedOne)
{
    const char* const documented =
        "Usage: rorevadi-cli [OPTIONS] FILE...\n"
        "Imports each load-displacement FILE and calculates its characteristic points,\n"
        "exactly as the desktop program does after \"Import\" and \"Calculate\".\n"
        "A FILE may be a folder (its *.csv, *.txt, *.dat and *.xlsx files, by name) or \"-\"\n"
        "(the paths on standard input, one per line).\n"
        "\n"
        "  --load-reduction TEXT   factor text for the \"Load Reduction Factor\" field (default \"0.15\")\n"
        "  --secant TEXT           factor text for the \"Load Factor for Secant\" field (default \"0.1\")\n"
        "  --park TEXT             factor text for the R.Park \"Load Factor\" field (default \"0.75\")\n"
        "  --decimal-separator C   decimal separator for the data files and factor texts (default \".\");\n"
        "                          the default factor texts are written with it; auto detects it in each\n"
        "                          file (an import flag, below) and the factor texts keep \".\"\n"
        "  --json                  one JSON object per FILE, one per line, on standard output\n"
        "  --report PATH           write the results report of the (single) FILE to PATH; \"-\" writes it\n"
        "                          to standard output\n"
        "  --out-dir DIR           for every FILE write DIR/<name>_YieldingPoint.csv; DIR and its parents\n"
        "                          are created when missing\n"
        "  --picture FORMAT        with --out-dir, also write the chart as DIR/<name>_YieldingPoint.FORMAT\n"
        "                          (bmp, png, pdf or svg)\n"
        "  --xlsx                  with --out-dir, also write DIR/<name>_YieldingPoint.xlsx: the chart's\n"
        "                          series and a native scatter chart, as \"Export Excel\" builds it\n"
        "  --test-sheet            with --out-dir, also write DIR/<name>_TestSheet.pdf: the one-page test\n"
        "                          sheet (A4) with the chart, the results and the notes\n"
        "  --excel-layout L        single (default) or combined: the workbook's sheet layout\n"
        "  --summary PATH          write the summary of all FILEs to PATH: one row per file and the count,\n"
        "                          mean, standard deviation, coefficient of variation, minimum and maximum\n"
        "                          of every column; PATH.csv as the report's CSV, PATH.xlsx as a workbook\n"
        "                          whose statistics are formulas, with a sheet of every curve and its chart\n"
        "  -j, --jobs N            analyse N files at once (default: one per processor core); every output\n"
        "                          is the same as with --jobs 1, in the order the FILEs were given\n"
        "  -r, --recursive         a folder FILE also takes the data files of its subfolders\n"
        "  --cyclic                each FILE is a cyclic record: read in file order (implies --keep-order),\n"
        "                          the envelope of each loading direction analysed as a curve; see docs/cyclic.md\n"
        "  --tolerance T           with --cyclic: the dead band as a fraction of the displacement range,\n"
        "                          0 <= T < 0.5 (default 0.01)\n"
        "  --envelope E            with --cyclic: the cycle of each phase that gives the envelope point:\n"
        "                          first (default), last or max\n"
        "  --peak P                with --cyclic: an excursion's peak is its largest load (load, default)\n"
        "                          or its end point (displacement)\n"
        "  --direction D           with --cyclic: positive, negative or both (default): the directions\n"
        "                          printed\n"
        "  -h, --help              show this help\n"
        "  --version               show the version\n"
        "\n"
        "Reading instrument files: any of these flags reads each FILE as \"Import with Options\"\n"
        "does (header, units, separators, columns, .xlsx workbooks); see docs/import.md.\n"
        "  --auto                  detect how each FILE is laid out: encoding, data start, header and units\n"
        "                          lines, separators, columns; the flags below given with it win\n"
        "  --detect                print what detection finds in each FILE, one line of JSON per FILE,\n"
        "                          and calculate nothing\n"
        "  --columns D,L           the displacement and load columns: numbers from 1 or header names\n"
        "  --skip-lines N          the number of lines before the first data line\n"
        "  --separator S           the field separator: auto, comma, semicolon, tab, blank (runs of\n"
        "                          blanks and tabs) or one other character\n"
        "  --encoding E            the text encoding: auto, utf-8, latin-1 or utf-16 (also utf-16le,\n"
        "                          utf-16be)\n"
        "  --scale-displacement F  multiply displacements by F (written with a point), or convert\n"
        "                          with m-mm or in-mm\n"
        "  --scale-load F          multiply loads by F (written with a point), or convert with N-kN,\n"
        "                          lbf-kN or kip-kN\n"
        "  --flip-displacement     change the sign of the displacements (after scaling)\n"
        "  --flip-load             change the sign of the loads (compression tests record them negative)\n"
        "  --from-origin           subtract the first point, so that the curve starts at (0, 0)\n"
        "  --keep-order            keep the samples in the file's order too (for cyclic records); the\n"
        "                          curve analysed is sorted by displacement as always\n"
        "  --sheet NAME            the worksheet of an .xlsx FILE to read (default: the first)\n"
        "\n"
        "Exit status: 0 when every file was calculated to the end; 1 when a file gave no curve,\n"
        "had a factor refused or ended with an error; 2 for a usage error. With --detect: 0, or 1\n"
        "when a FILE cannot be read.\n";
    EXPECT_EQ(cli::usageText().toStdString(), documented);
    for (const char* flag : {"--help", "-h", "--park=0.5 --help"}) {
        const CliRun r = runCli(QString::fromLatin1(flag).split(QLatin1Char(' ')));
        EXPECT_EQ(r.code, 0) << flag;
        EXPECT_EQ(r.out.toStdString(), documented) << flag;
    }
}

}  // namespace
}  // namespace rz

// What the batch tool writes, and what it refuses before writing anything: an output that
// would replace one of its own data files, a summary that has nowhere to go. Outputs are
// named after their files even when a file gave nothing, a failed write names its file,
// and the PDFs carry the run's date.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

const QByteArray kCurve = "displacement,load\n0,0\n1,50\n2,80\n3,95\n4,100\n5,90\n6,80\n";

TEST(CliOutputs, AnOutputThatIsADataFileIsRefusedAndTheFileKept)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("series"));
    const QString a = writeFile(dir, QStringLiteral("series/a.csv"), kCurve);
    // A report of an earlier run, among the data files of this one.
    const QString report = writeFile(dir, QStringLiteral("series/a_YieldingPoint.csv"), kCurve);
    // Any file given is read as data, whatever its name.
    const QString sheet = writeFile(dir, QStringLiteral("series/a_TestSheet.pdf"), kCurve);
    const QString series = dir.filePath(QStringLiteral("series"));
    QFile::link(a, dir.filePath(QStringLiteral("link.csv")));
    struct Case {
        const char* name;
        QStringList args;
        QString kept;  // the data file named in the message
    };
    const Case cases[] = {
        {"summary over a file of the folder", {"--summary", a, series}, a},
        {"summary over a link's target", {"--summary", dir.filePath(QStringLiteral("link.csv")), series}, a},
        {"report over its own file", {"--report", a, a}, a},
        {"out-dir over an earlier report", {"--out-dir", series, series}, report},
        {"a test sheet over a data file", {"--out-dir", series, "--test-sheet", a, sheet}, sheet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.code, cli::kExitUsage) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("would overwrite"))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.kept)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(readFile(a), kCurve);
        EXPECT_EQ(readFile(report), kCurve);
        EXPECT_EQ(readFile(sheet), kCurve);
        EXPECT_EQ(QDir(series).entryList(QDir::Files).size(), 3);
    }
    // Written elsewhere, the same run goes ahead.
    const CliRun elsewhere = runCli({QStringLiteral("--summary"), dir.filePath(QStringLiteral("s.csv")), series});
    EXPECT_EQ(elsewhere.code, cli::kExitOk) << elsewhere.err.toStdString();
}

TEST(CliOutputs, ASummaryWithNowhereToGoIsRefusedBeforeTheAnalysis)
{
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.csv"), kCurve);
    const CliRun missing = runCli({QStringLiteral("--summary"), dir.filePath(QStringLiteral("no/such/s.csv")), a});
    EXPECT_EQ(missing.code, cli::kExitUsage);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("does not exist"))) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());  // no table: nothing was analysed
    QDir(dir.path()).mkpath(QStringLiteral("s.xlsx"));
    const CliRun folder = runCli({QStringLiteral("--summary"), dir.filePath(QStringLiteral("s.xlsx")), a});
    EXPECT_EQ(folder.code, cli::kExitUsage);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("is a folder"))) << folder.err.toStdString();
    EXPECT_TRUE(folder.out.isEmpty());
}

TEST(CliOutputs, FilesThatGaveNothingAreStillNamedAfterThemselves)
{
    QTemporaryDir dir;
    const QStringList files{writeFile(dir, QStringLiteral("empty.csv"), ""),
                            writeFile(dir, QStringLiteral("header_only.csv"), "displacement,load\n"),
                            dir.filePath(QStringLiteral("missing.csv"))};
    const QString out = dir.filePath(QStringLiteral("out"));
    // With options a failed import leaves the model as it was, without a name of its own;
    // the plain import names it all the same.
    for (bool withOptions : {true, false}) {
        SCOPED_TRACE(withOptions ? "--auto" : "plain");
        QDir(out).removeRecursively();
        QStringList args{QStringLiteral("--out-dir"), out, QStringLiteral("--xlsx")};
        if (withOptions)
            args << QStringLiteral("--auto");
        const CliRun run = runCli(args + files);
        EXPECT_EQ(run.code, cli::kExitIncomplete);
        const QStringList written = QDir(out).entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(written, (QStringList{"empty_YieldingPoint.csv", "empty_YieldingPoint.xlsx",
                                        "header_only_YieldingPoint.csv", "header_only_YieldingPoint.xlsx",
                                        "missing_YieldingPoint.csv", "missing_YieldingPoint.xlsx"}));
    }
}

TEST(CliOutputs, AFailedWriteNamesItsFile)
{
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.csv"), kCurve);
    const QString out = dir.filePath(QStringLiteral("out"));
    // A folder where the workbook should go: no user may write a file there.
    QDir(out).mkpath(QStringLiteral("a_YieldingPoint.xlsx"));
    const CliRun run = runCli({QStringLiteral("--out-dir"), out, QStringLiteral("--xlsx"), a});
    EXPECT_EQ(run.code, cli::kExitIncomplete);
    const QString workbook = QDir(out).filePath(QStringLiteral("a_YieldingPoint.xlsx"));
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("rorevadi-cli: cannot write \"%1\": ").arg(workbook)))
        << run.err.toStdString();
    // The other outputs are written all the same.
    EXPECT_TRUE(QFileInfo(QDir(out).filePath(QStringLiteral("a_YieldingPoint.csv"))).isFile());
}

// The PDFs of a run carry its date, SOURCE_DATE_EPOCH when it is set, as its reports and
// workbooks do: the same run gives the same bytes again.
TEST(CliOutputs, PdfsCarryTheRunsDate)
{
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.csv"), kCurve);
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun run = runCli({QStringLiteral("--out-dir"), out, QStringLiteral("--test-sheet"),
                               QStringLiteral("--picture"), QStringLiteral("pdf"), a});
    qunsetenv("SOURCE_DATE_EPOCH");
    ASSERT_EQ(run.code, cli::kExitOk) << run.err.toStdString();
    // In the zone of this machine, as the PDF writer shows dates.
    const QDateTime run1700 =
        QDateTime::fromSecsSinceEpoch(1700000000).toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc());
    const QByteArray date = "/CreationDate (D:" + run1700.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    for (const char* name : {"a_TestSheet.pdf", "a_YieldingPoint.pdf"}) {
        SCOPED_TRACE(name);
        const QByteArray pdf = readFile(QDir(out).filePath(QLatin1StringView(name)));
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_TRUE(pdf.contains(date)) << pdf.mid(pdf.indexOf("/CreationDate"), 40).toStdString();
    }
}

}  // namespace
}  // namespace rz

// The batch tool's --test-sheet: one A4 page per file in --out-dir, each of its own curve.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000) && p.exitCode() == 0) << "pdftotext " << path.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

TEST(CliTestSheet, OnePagePerFileWithItsOwnResultsAndNotes)
{
    QTemporaryDir dir;
    const QString worked = writeFile(dir, QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = writeFile(dir, QStringLiteral("nostiff.csv"), noStiffnessFile());
    const QString out = dir.filePath(QStringLiteral("out/sheets"));
    const CliRun r = runCli({QStringLiteral("--out-dir"), out, QStringLiteral("--test-sheet"), worked, noStiffness});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("wrote " + QDir(out).filePath(QStringLiteral("worked_TestSheet.pdf")).toUtf8()));

    const QString first = pdfText(QDir(out).filePath(QStringLiteral("worked_TestSheet.pdf")));
    const QString second = pdfText(QDir(out).filePath(QStringLiteral("nostiff_TestSheet.pdf")));
    EXPECT_TRUE(first.startsWith(QStringLiteral("worked "))) << first.left(60).toStdString();
    EXPECT_TRUE(second.startsWith(QStringLiteral("nostiff "))) << second.left(60).toStdString();
    // The worked example's stiffness and Geometric yield load; the other file has neither.
    EXPECT_TRUE(first.contains(QStringLiteral("Initial secant stiffness 50"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("Geometric Graphic Method 87.5 2.5 2.2000"))) << first.toStdString();
    EXPECT_FALSE(first.contains(QStringLiteral("Notes")));
    EXPECT_TRUE(
        second.contains(QStringLiteral("Initial stiffness not found: the curve does not rise through 0.1 x 100")))
        << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("Geometric Graphic Method -- -- -- not found: no initial stiffness")))
        << second.toStdString();
}

TEST(CliTestSheet, NeedsAnOutputFolder)
{
    QTemporaryDir dir;
    const QString worked = writeFile(dir, QStringLiteral("worked.csv"), workedExampleFile());
    const CliRun r = runCli({QStringLiteral("--test-sheet"), worked});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--test-sheet needs --out-dir"))) << r.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("worked.csv")});
}

}  // namespace
}  // namespace rz

// The batch tool as a program: rorevadi-cli without the drawing libraries, handing the runs
// that draw over to rorevadi-cli-drawing.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

// A built program run as a process, caught as runCli catches the in-process run.
CliRun runProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    CliRun r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

const QString kProgram = QStringLiteral(RZ_CLI_PROGRAM);

TEST(CliPrograms, DrawingRunsAreHandedOverWithTheirArgumentsAndStreams)
{
    QTemporaryDir dir;
    const QString worked = writeFile(dir, QStringLiteral("worked.csv"), workedExampleFile());
    const QString noStiffness = writeFile(dir, QStringLiteral("nostiff.csv"), noStiffnessFile());
    const QString byProgram = dir.filePath(QStringLiteral("program"));
    const QString inProcess = dir.filePath(QStringLiteral("in-process"));

    const QStringList options = {QStringLiteral("--picture"), QStringLiteral("png"), QStringLiteral("--test-sheet")};
    const CliRun p = runProgram(
        kProgram, QStringList{QStringLiteral("--out-dir"), byProgram} + options + QStringList{worked, noStiffness});
    ASSERT_EQ(p.code, 0) << p.err.toStdString();
    const CliRun r =
        runCli(QStringList{QStringLiteral("--out-dir"), inProcess} + options + QStringList{worked, noStiffness});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    // The same table, every file written, and the pictures drawn the same to the byte.
    EXPECT_EQ(QString::fromUtf8(p.out).replace(byProgram, inProcess), QString::fromUtf8(r.out));
    for (const QString& name :
         {QStringLiteral("worked_YieldingPoint.png"), QStringLiteral("nostiff_YieldingPoint.png")}) {
        const QByteArray drawn = readFile(QDir(byProgram).filePath(name));
        EXPECT_TRUE(drawn.startsWith("\x89PNG")) << name.toStdString();
        EXPECT_EQ(drawn, readFile(QDir(inProcess).filePath(name))) << name.toStdString();
    }
    for (const QString& name : {QStringLiteral("worked_TestSheet.pdf"), QStringLiteral("nostiff_TestSheet.pdf")})
        EXPECT_TRUE(readFile(QDir(byProgram).filePath(name)).startsWith("%PDF")) << name.toStdString();
}

TEST(CliPrograms, RunsThatDrawNothingNeedNoHelperAndDrawingRunsSayWhenItIsMissing)
{
    QTemporaryDir dir;
    const QString worked = writeFile(dir, QStringLiteral("worked.csv"), workedExampleFile());
    // The tool alone, without the drawing program beside it or under its prefix.
    const QString alone = dir.filePath(QStringLiteral("bin/rorevadi-cli"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    ASSERT_TRUE(QFile::copy(kProgram, alone));

    const CliRun table = runProgram(alone, {worked});
    EXPECT_EQ(table.code, 0) << table.err.toStdString();
    EXPECT_EQ(table.out, runCli({worked}).out);

    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun drawing = runProgram(
        alone, {QStringLiteral("--out-dir"), out, QStringLiteral("--picture"), QStringLiteral("svg"), worked});
    EXPECT_EQ(drawing.code, 2);
    EXPECT_TRUE(drawing.err.startsWith(QStringLiteral("rorevadi-cli: pictures and test sheets are drawn by ") +
                                       dir.filePath(QStringLiteral("bin/"))))
        << drawing.err.toStdString();
    EXPECT_TRUE(drawing.err.contains(QStringLiteral("which is not there: reinstall the program")))
        << drawing.err.toStdString();
    EXPECT_TRUE(drawing.out.isEmpty());
    // Nothing was written before the hand-over.
    EXPECT_FALSE(QFileInfo::exists(out));

    // Help and usage errors are answered without it.
    EXPECT_EQ(runProgram(alone, {QStringLiteral("--help")}).code, 0);
    EXPECT_EQ(runProgram(alone, {QStringLiteral("--picture"), QStringLiteral("gif"), worked}).code, 2);
}

}  // namespace
}  // namespace rz

// A workbook that cannot be written whole leaves the earlier file untouched and no
// temporary file behind, and says why.
#include "excel/WorkbookExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rz::excel {
namespace {

class SilentFeedback : public ExportFeedback {
public:
    void showStartFailure(const QString&, const QString&) override {}
    void showNotice(const QString&) override {}
};

ChartModel bigChart()
{
    ChartModel chart;
    for (int i = 0; i < 30000; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i * 0.001, 100.0 * i / 30000.0 + 0.123456789);
    return chart;
}

// Runs the export in a child whose files may not grow past limitBytes; returns the
// child's exit status: 0 written, 1 an error was thrown (as it must be), 2 nothing thrown.
int exportUnderFileSizeLimit(const QString& path, rlim_t limitBytes)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limitBytes, limitBytes};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0)
            ::_exit(3);
        ExcelOp op;
        SilentFeedback feedback;
        WorkbookExport run(QLatin1Char('.'));
        try {
            run.toFile(op, bigChart(), feedback, path);
        } catch (const std::exception& e) {
            ::_exit(QString::fromUtf8(e.what()).isEmpty() ? 4 : 1);
        }
        ::_exit(2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(WorkbookStaysWhole, AFullDiskKeepsTheEarlierWorkbookAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Book1.xlsx"));
    const QByteArray earlier = "an earlier workbook the user still needs";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    EXPECT_EQ(exportUnderFileSizeLimit(path, 16 * 1024), 1);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Book1.xlsx")});
}

TEST(WorkbookStaysWhole, TheSameExportWithRoomWritesTheWorkbook)
{
    // Guards the test above: without the limit the same child writes a whole workbook.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Book1.xlsx"));
    EXPECT_EQ(exportUnderFileSizeLimit(path, RLIM_INFINITY), 2);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("PK"));
    EXPECT_GT(f.size(), 16 * 1024);
}

TEST(WorkbookStaysWhole, AMissingFolderIsNamedInTheError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/Book1.xlsx"));
    ExcelOp op;
    SilentFeedback feedback;
    WorkbookExport run(QLatin1Char('.'));
    try {
        run.toFile(op, bigChart(), feedback, path);
        FAIL() << "a workbook was written into a missing folder";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("gone"))) << e.what();
    }
    EXPECT_TRUE(run.savedPath().isEmpty());
}

}  // namespace
}  // namespace rz::excel

// A workbook that cannot be written whole leaves the earlier file untouched and no
// temporary file behind, and says why.
#include "ChartSchemaOrder.h"

#include "excel/CapturedStderr.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookExport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

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
    EXPECT_EQ(test::chartOrderProblems(path), QStringList());
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

// The disk fills up while the workbook is packed: a 64 KB file system of its own, in a
// child with its own mount namespace (skipped where the system does not allow that).
// The failure is one message in the program's words, and nothing reaches standard error.
TEST(WorkbookStaysWhole, AFullDiskIsOneMessageAndNothingOnStandardError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString small = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(small));
    const QString stderrPath = dir.filePath(QStringLiteral("stderr.txt"));
    const QString messagePath = dir.filePath(QStringLiteral("message.txt"));
    const QString workbook = small + QStringLiteral("/Book1.xlsx");

    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(3);
        const int err = ::open(QFile::encodeName(stderrPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        ExcelOp op;
        SilentFeedback feedback;
        WorkbookExport run(QLatin1Char('.'));
        QString message = QStringLiteral("no error");
        try {
            run.toFile(op, bigChart(), feedback, workbook);
        } catch (const std::exception& e) {
            message = QString::fromUtf8(e.what());
        }
        QFile out(messagePath);
        if (!out.open(QIODevice::WriteOnly))
            ::_exit(4);
        out.write(message.toUtf8());
        out.close();
        const bool empty = QDir(small).entryList(QDir::Files | QDir::Hidden).isEmpty();
        ::_exit(empty ? 0 : 5);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "no mount namespace for a small file system here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the full file system kept a file";
    QFile message(messagePath);
    ASSERT_TRUE(message.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(message.readAll()),
              QStringLiteral("Cannot write the workbook %1: No space left on device").arg(workbook));
    QFile err(stderrPath);
    ASSERT_TRUE(err.open(QIODevice::ReadOnly));
    EXPECT_EQ(err.readAll().toStdString(), "");
}

TEST(WorkbookStaysWhole, AReplacedWorkbookKeepsItsMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Book1.xlsx"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("an earlier workbook");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    ExcelOp op;
    SilentFeedback feedback;
    WorkbookExport run(QLatin1Char('.'));
    run.toFile(op, bigChart(), feedback, path);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// A cancel answered at any of the questions the save asks (between rows, before packing,
// before the read-back, before the rename) keeps nothing, not even a temporary file.
TEST(WorkbookStaysWhole, ACancelWhileSavingKeepsNothing)
{
    class CancelAt : public SilentFeedback {
    public:
        explicit CancelAt(int n) : n_(n) {}
        void saving(const SaveFunction& save) override
        {
            save([this] { return ++asked >= n_; });
        }
        int asked = 0;

    private:
        int n_;
    };
    ExcelOp op;
    ChartModel chart;  // rows enough for two questions between them
    for (int i = 0; i < 5000; ++i)
        chart[SeriesId::lnsrsSeries4].data.add(i * 0.001, 100.0 * i / 5000.0);
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        QTemporaryDir dir;
        CancelAt feedback(n);
        WorkbookExport run(QLatin1Char('.'));
        try {
            run.toFolder(op, chart, feedback, dir.path());
        } catch (const ExportCancelled&) {
            EXPECT_TRUE(run.savedPath().isEmpty());
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            continue;
        }
        // Past the last question the workbook is saved; every question before it was tried.
        EXPECT_GT(n, 3);
        EXPECT_TRUE(QFile::exists(run.savedPath()));
        break;
    }
}

TEST(CapturedStderr, TheLibrarysLinesAreHandedOverAndOthersPassOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stderr.txt"));
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, STDERR_FILENO);
    QStringList library;
    {
        CapturedStderr captured;
        std::fprintf(stderr, "[ERROR][./src/packager.c:1532]: Error in writing member in the zipfile\n");
        std::fprintf(stderr, "a line of someone else's\n");
        std::fprintf(stderr,
                     "[ERROR] workbook_close(): Zip ZIP_ERRNO error while creating xlsx file 'x'. "
                     "System error = No space left on device\n");
        std::fprintf(stderr, "[WARNING]: worksheet_write_number(): row out of range\n");
        library = captured.finish();
        EXPECT_TRUE(captured.finish().isEmpty());
    }
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    ::close(file);

    EXPECT_EQ(library.size(), 3);
    EXPECT_EQ(CapturedStderr::systemReason(library), QStringLiteral("No space left on device"));
    EXPECT_EQ(CapturedStderr::systemReason({}), QString());
    QFile passed(path);
    ASSERT_TRUE(passed.open(QIODevice::ReadOnly));
    EXPECT_EQ(passed.readAll(), "a line of someone else's\n");
}

}  // namespace
}  // namespace rz::excel

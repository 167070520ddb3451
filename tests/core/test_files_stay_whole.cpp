// Exports that fail (full disk, missing or vanished folder, a folder in the way, a
// read-only folder) keep any earlier file whole, leave no partial or temporary file
// behind, and tell the user which file and why.
#include "core/report/Report.h"
#include "core/workbench/Workbench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace rz {
namespace {

using ::testing::HasSubstr;

struct Recorder : UserInterface {
    std::vector<std::pair<MessageLevel, QString>> messages;
    void showMessage(MessageLevel level, const QString& text) override { messages.emplace_back(level, text); }
    void focusField(Field) override {}
};

const QByteArray kEarlier = "an earlier report\r\nthat must survive\r\n";
const QDateTime kNow(QDate(2019, 3, 8), QTime(10, 30, 15));

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A workbench with a calculated curve, so the report holds every line.
struct Calculated {
    Recorder ui;
    Workbench wb{ui, u'.', QStringLiteral("/")};
    explicit Calculated(const QString& folder)
    {
        const QString data = folder + QStringLiteral("/curve.txt");
        writeBytes(data, "Disp,Load\n0,0\n1,50\n1.5,75\n2,80\n3,95\n4,100\n5,90\n6,80\n");
        wb.importConfirmed(data);
        wb.btn1Click();
        QFile::remove(data);
        ui.messages.clear();
    }
};

void expectWarningNaming(const Recorder& ui, const QString& path, const char* reason)
{
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, MessageLevel::Warning);
    const std::string text = ui.messages[0].second.toStdString();
    EXPECT_THAT(text, HasSubstr(QDir::toNativeSeparators(path).toStdString()));
    EXPECT_THAT(text, HasSubstr(reason));
}

// --- Full disk: a file-size limit in a child process ---

struct ChildOutcome {
    bool exited = false;
    int status = -1;
    QString message;
};

// Runs job in a child whose files may not grow beyond limit bytes; writes past it fail
// with EFBIG instead of killing the child. job returns the message the user would see.
template <typename Job>
ChildOutcome runWithFileSizeLimit(rlim_t limit, Job job)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0)
            ::_exit(2);
        const QByteArray message = job().toUtf8();
        const bool sent = ::write(pipeFds[1], message.constData(), static_cast<std::size_t>(message.size())) == message.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(pipeFds[1]);
    ChildOutcome outcome;
    QByteArray received;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof(buffer))) > 0;)
        received.append(buffer, got);
    ::close(pipeFds[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
        outcome.exited = WIFEXITED(status);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    outcome.message = QString::fromUtf8(received);
    return outcome;
}

TEST(FilesStayWhole, ReportToAFullDiskKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Calculated calc(dir.path());
    const QString path = dir.filePath(QStringLiteral("report.csv"));
    const QByteArray full = calc.wb.reportNow(kNow);
    ASSERT_GT(full.size(), 600);

    for (const bool earlierFile : {true, false}) {
        SCOPED_TRACE(earlierFile ? "over an earlier report" : "a new report");
        QFile::remove(path);
        if (earlierFile)
            writeBytes(path, kEarlier);

        const ChildOutcome child = runWithFileSizeLimit(200, [&] {
            calc.wb.exportReportTo(path, kNow);
            return calc.ui.messages.empty() ? QString() : calc.ui.messages.back().second;
        });
        ASSERT_TRUE(child.exited);
        ASSERT_EQ(child.status, 0);
        EXPECT_THAT(child.message.toStdString(), HasSubstr(QDir::toNativeSeparators(path).toStdString()));
        EXPECT_THAT(child.message.toStdString(), HasSubstr("File too large"));

        if (earlierFile) {
            EXPECT_EQ(readBytes(path), kEarlier);
            EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("report.csv")});
        } else {
            EXPECT_EQ(entriesOf(dir.path()), QStringList{});
        }
    }

    // Without the limit the same export writes the whole report.
    calc.wb.exportReportTo(path, kNow);
    EXPECT_TRUE(calc.ui.messages.empty());
    EXPECT_EQ(readBytes(path), full);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("report.csv")});
}

// A picture-sized write gets part of the way before the disk fills up.
TEST(FilesStayWhole, LargeWriteCutShortLeavesNoPartialFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    writeBytes(path, kEarlier);
    const QByteArray big(4 * 1024 * 1024, 'p');

    const ChildOutcome child = runWithFileSizeLimit(256 * 1024, [&] {
        try {
            writeFileAtomically(path, big);
        } catch (const FileWriteError& e) {
            return QString::fromUtf8(e.what());
        }
        return QStringLiteral("no error");
    });
    ASSERT_TRUE(child.exited);
    ASSERT_EQ(child.status, 0);
    EXPECT_THAT(child.message.toStdString(), HasSubstr(QDir::toNativeSeparators(path).toStdString()));
    EXPECT_THAT(child.message.toStdString(), HasSubstr("File too large"));
    EXPECT_EQ(readBytes(path), kEarlier);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("chart.png")});
}

// --- Places that cannot take the file ---

TEST(FilesStayWhole, ReportToPlacesThatCannotTakeIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Calculated calc(dir.path());
    const QString root = dir.path();

    // A regular file where a folder should be.
    const QString blocker = root + QStringLiteral("/notes.txt");
    writeBytes(blocker, kEarlier);
    // A folder where the report should be, holding a file of its own.
    const QString folderInTheWay = root + QStringLiteral("/report.csv");
    ASSERT_TRUE(QDir().mkdir(folderInTheWay));
    writeBytes(folderInTheWay + QStringLiteral("/inside.txt"), kEarlier);
    // A folder the user chose, removed before the export.
    const QString vanished = root + QStringLiteral("/session");
    ASSERT_TRUE(QDir().mkdir(vanished));
    ASSERT_TRUE(QDir().rmdir(vanished));

    struct Case {
        const char* what;
        QString path;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"a missing folder", root + QStringLiteral("/missing/report.csv"), "The folder does not exist."},
        {"a vanished folder", vanished + QStringLiteral("/report.csv"), "The folder does not exist."},
        {"a path under a regular file", blocker + QStringLiteral("/report.csv"), "The folder does not exist."},
        {"a path that is a folder", folderInTheWay, "It is a folder."},
    };
    const QStringList before = entriesOf(root);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calc.ui.messages.clear();
        calc.wb.exportReportTo(c.path, kNow);
        expectWarningNaming(calc.ui, c.path, c.reason);
        EXPECT_EQ(entriesOf(root), before);
        EXPECT_EQ(readBytes(blocker), kEarlier);
        EXPECT_EQ(entriesOf(folderInTheWay), QStringList{QStringLiteral("inside.txt")});
        EXPECT_EQ(readBytes(folderInTheWay + QStringLiteral("/inside.txt")), kEarlier);
    }
}

TEST(FilesStayWhole, ReportToAReadOnlyFolder)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, which may write into any folder";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Calculated calc(dir.path());
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/report.csv");
    writeBytes(path, kEarlier);
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    calc.wb.exportReportTo(path, kNow);
    expectWarningNaming(calc.ui, path, "Permission denied");
    EXPECT_EQ(readBytes(path), kEarlier);
    EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("report.csv")});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
}  // namespace rz

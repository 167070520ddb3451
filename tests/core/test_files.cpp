// Whole-file reads with their size cap, and the one policy for replacing an output.
#include "core/io/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

namespace rz {
namespace {

using ::testing::HasSubstr;

QString put(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string readRefusal(const QString& path, qint64 maxBytes)
{
    try {
        readWholeFile(path, maxBytes);
    } catch (const FileReadError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ReadWholeFileCap, ReadsUpToTheCapAndRefusesPastItWithTheSizes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = put(dir, QStringLiteral("curve.csv"), QByteArray(1000, 'x'));
    EXPECT_EQ(readWholeFile(path, 1000).size(), 1000);
    const std::string refusal = readRefusal(path, 999);
    EXPECT_THAT(refusal, HasSubstr("\"" + QDir::toNativeSeparators(path).toStdString() + "\""));
    EXPECT_THAT(refusal, HasSubstr("files over 999 bytes are not read"));
}

// A file that announces no size and never ends is cut off at the cap, not read forever.
TEST(ReadWholeFileCap, EndlessFileWithoutASizeStopsAtTheCap)
{
    const std::string refusal = readRefusal(QStringLiteral("/dev/zero"), 300'000);
    EXPECT_THAT(refusal, HasSubstr("Cannot read file \"/dev/zero\""));
    EXPECT_THAT(refusal, HasSubstr("are not read"));
}

// A multi-gigabyte file (sparse, so it costs no disk) is refused before any of it is read.
TEST(ReadWholeFileCap, DefaultCapRefusesAHugeFileByItsSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile huge(dir.filePath(QStringLiteral("huge.csv")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    if (!huge.resize(3 * kMaxReadBytes))
        GTEST_SKIP() << "no sparse files here";
    huge.close();
    try {
        readWholeFile(huge.fileName());
        FAIL() << "a 3 GB file was read";
    } catch (const FileReadError& e) {
        EXPECT_THAT(e.what(), HasSubstr("It holds 3072 MB; files over 1024 MB are not read."));
    }
}

// Every writer keeps the mode of the file it replaces and gives a new file the mode any
// new file of the user's gets.
TEST(WriterPolicy, ReplacedFilesKeepTheirModeNewFilesGetTheUsersDefault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString report = put(dir, QStringLiteral("report.csv"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(report).constData(), 0600), 0);
    writeFileAtomically(report, "new");
    EXPECT_EQ(modeOf(report), 0600u);

    const QString workbook = put(dir, QStringLiteral("Book1.xlsx"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(workbook).constData(), 0640), 0);
    const QString finished = put(dir, QStringLiteral(".Book1.xlsx.tmp"), "new");
    ASSERT_EQ(::chmod(QFile::encodeName(finished).constData(), 0600), 0);
    replaceFileWith(finished, workbook);
    EXPECT_EQ(modeOf(workbook), 0640u);
    EXPECT_FALSE(QFile::exists(finished));
    QFile read(workbook);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.readAll(), "new");

    const QString fresh = put(dir, QStringLiteral(".fresh.tmp"), "new");
    ASSERT_EQ(::chmod(QFile::encodeName(fresh).constData(), 0600), 0);
    replaceFileWith(fresh, dir.filePath(QStringLiteral("Book2.xlsx")));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("Book2.xlsx"))), newFileMode());
    writeFileAtomically(dir.filePath(QStringLiteral("new.csv")), "new");
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("new.csv"))), newFileMode());
}

TEST(WriterPolicy, AFailedReplaceNamesTheTargetAndKeepsIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = put(dir, QStringLiteral("Book1.xlsx"), "old");
    try {
        replaceFileWith(dir.filePath(QStringLiteral("gone.tmp")), target);
        FAIL() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_THAT(e.what(), HasSubstr(QDir::toNativeSeparators(target).toStdString()));
        EXPECT_THAT(e.what(), HasSubstr("No such file or directory"));
    }
    QFile read(target);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.readAll(), "old");
}

}  // namespace
}  // namespace rz

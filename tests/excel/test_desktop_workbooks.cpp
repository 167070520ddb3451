// The workbooks "Export Excel" leaves on the desktop: what opens them, what the user is
// told when nothing does, and how many the cache folder keeps.
#include "excel/DesktopWorkbooks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace rz::excel {
namespace {

using ::testing::HasSubstr;

// Runs findSpreadsheetOpener with only the given stand-in tools on PATH.
SpreadsheetOpener openerWith(const std::vector<std::pair<const char*, QByteArray>>& tools)
{
    QTemporaryDir bin;
    for (const auto& [name, script] : tools) {
        QFile tool(bin.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n" + script + "\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    // /bin stays for the scripts' shell; it holds neither tool on the systems we run on,
    // and the stand-ins come first.
    qputenv("PATH", bin.path().toLocal8Bit() + ":/nonexistent-for-test");
    const SpreadsheetOpener opener = findSpreadsheetOpener();
    qputenv("PATH", path);
    return opener;
}

TEST(SpreadsheetOpenerTest, SaysWhatIsMissing)
{
    const QByteArray names =
        "[ \"$3\" = application/vnd.openxmlformats-officedocument.spreadsheetml.sheet ] && echo "
        "libreoffice-calc.desktop";
    const std::pair<const char*, std::pair<std::vector<std::pair<const char*, QByteArray>>, SpreadsheetOpener>>
        cases[] = {
            {"a program registered for .xlsx",
             {{{"xdg-open", "exit 0"}, {"xdg-mime", names}}, SpreadsheetOpener::Ready}},
            {"none registered", {{{"xdg-open", "exit 0"}, {"xdg-mime", "exit 0"}}, SpreadsheetOpener::NoXlsxProgram}},
            {"the query failed", {{{"xdg-open", "exit 0"}, {"xdg-mime", "exit 4"}}, SpreadsheetOpener::NoXlsxProgram}},
            {"no xdg-open, though a program is registered", {{{"xdg-mime", names}}, SpreadsheetOpener::NoOpenCommand}},
            {"no xdg-utils at all", {{}, SpreadsheetOpener::NoOpenCommand}},
        };
    for (const auto& [name, c] : cases)
        EXPECT_EQ(openerWith(c.first), c.second) << name;
}

TEST(WorkbookNotOpened, SaysWhereTheTemporaryCopyIsAndWhatIsMissing)
{
    const QString path = QStringLiteral("/home/user/.cache/rorevadi/workbooks/Book7.xlsx");
    const std::pair<SpreadsheetOpener, const char*> cases[] = {
        {SpreadsheetOpener::NoOpenCommand, "no xdg-open"},
        {SpreadsheetOpener::NoXlsxProgram, "no program on this desktop is registered for .xlsx files"},
        {SpreadsheetOpener::OpenFailed, "the desktop did not start the program registered for .xlsx files"},
    };
    for (const auto& [why, missing] : cases) {
        const std::string text = workbookNotOpenedMessage(path, why).toStdString();
        EXPECT_THAT(text, HasSubstr("Book7.xlsx is a temporary copy in /home/user/.cache/rorevadi/workbooks"));
        EXPECT_THAT(text, HasSubstr(missing));
        EXPECT_THAT(text, HasSubstr("save it where you keep your work"));
    }
    EXPECT_THAT(workbookNotOpenedMessage(path, SpreadsheetOpener::NoOpenCommand).toStdString(), HasSubstr("xdg-utils"));
}

// ---------------------------------------------------------------------------------------
// The cache folder

struct Aged {
    QString name;
    int daysOld;
};

// What is left, as one text: a failure then prints readably.
std::string pruned(const std::vector<Aged>& files, int wantRemoved)
{
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    for (const Aged& f : files) {
        QFile file(dir.filePath(f.name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.flush();  // before the time is set, or the write would set it again
        // A minute apart within a day, so that the order by time is the order given.
        const QDateTime when = now.addDays(-f.daysOld).addSecs(-60 * static_cast<int>(&f - files.data()));
        EXPECT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(pruneWorkbookFolder(dir.path(), now), wantRemoved);
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(QLatin1Char(' ')).toStdString();
}

std::vector<Aged> workbooks(int first, int count, int daysOld)
{
    std::vector<Aged> out;
    for (int i = first; i < first + count; ++i)
        out.push_back({QStringLiteral("Book%1.xlsx").arg(i), daysOld});
    return out;
}

std::string names(const std::vector<Aged>& files, QStringList more = {})
{
    for (const Aged& f : files)
        more << f.name;
    more.sort();
    return more.join(QLatin1Char(' ')).toStdString();
}

TEST(PruneWorkbookFolder, KeepsTheLastTwentyOrThoseOfTheLastFortnightWhicheverAreMore)
{
    {
        SCOPED_TRACE("old workbooks: the twenty newest stay");
        const std::vector<Aged> newest = workbooks(31, 20, 30);  // given first: newer
        std::vector<Aged> all = newest;
        const std::vector<Aged> oldest = workbooks(1, 10, 40);
        all.insert(all.end(), oldest.begin(), oldest.end());
        EXPECT_EQ(pruned(all, 10), names(newest));
    }
    {
        SCOPED_TRACE("a busy fortnight: all of it stays, more than twenty");
        const std::vector<Aged> recent = workbooks(100, 25, 3);
        std::vector<Aged> all = recent;
        const std::vector<Aged> old = workbooks(1, 5, 20);
        all.insert(all.end(), old.begin(), old.end());
        EXPECT_EQ(pruned(all, 5), names(recent));
    }
    {
        SCOPED_TRACE("only our workbooks and stale temporary files are touched");
        std::vector<Aged> all = workbooks(1, 21, 30);
        const std::vector<Aged> others = {{QStringLiteral("notes.txt"), 90},
                                          {QStringLiteral("Book3.xlsx.bak"), 90},
                                          {QStringLiteral("MyBook9.xlsx"), 90},
                                          {QStringLiteral(".Book5.xlsx.AbC123"), 0},
                                          {QStringLiteral(".Book4.xlsx.XyZ789"), 2}};
        all.insert(all.end(), others.begin(), others.end());
        EXPECT_EQ(pruned(all, 2),
                  names(workbooks(1, 20, 30), {QStringLiteral("notes.txt"), QStringLiteral("Book3.xlsx.bak"),
                                               QStringLiteral("MyBook9.xlsx"), QStringLiteral(".Book5.xlsx.AbC123")}));
    }
    EXPECT_EQ(pruneWorkbookFolder(QStringLiteral("/nonexistent-folder-for-test"), QDateTime::currentDateTime()), 0);
}

}  // namespace
}  // namespace rz::excel

#include "excel/DesktopWorkbooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

namespace rz::excel {

SpreadsheetOpener findSpreadsheetOpener()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return SpreadsheetOpener::Ready;
#else
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return SpreadsheetOpener::NoOpenCommand;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return SpreadsheetOpener::NoXlsxProgram;
    return query.readAllStandardOutput().trimmed().isEmpty() ? SpreadsheetOpener::NoXlsxProgram
                                                             : SpreadsheetOpener::Ready;
#endif
}

QString workbookNotOpenedMessage(const QString& path, SpreadsheetOpener why)
{
    QString missing;
    switch (why) {
        case SpreadsheetOpener::NoOpenCommand:
            missing = QStringLiteral(
                "It could not be opened: this desktop has no xdg-open, the command that opens "
                "files in their programs (install the package xdg-utils).");
            break;
        case SpreadsheetOpener::NoXlsxProgram:
            missing = QStringLiteral(
                "It could not be opened: no program on this desktop is registered for .xlsx "
                "files.");
            break;
        case SpreadsheetOpener::OpenFailed:
        case SpreadsheetOpener::Ready:
            missing = QStringLiteral(
                "It could not be opened: the desktop did not start the program registered for "
                ".xlsx files.");
            break;
    }
    const QFileInfo file(path);
    return QStringLiteral(
               "The workbook %1 is a temporary copy in %2, which keeps the last %3 workbooks or those "
               "of the last %4 days. %5 Open it with your spreadsheet program and save it where you "
               "keep your work.")
        .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()))
        .arg(kKeptWorkbooks)
        .arg(kKeptDays)
        .arg(missing);
}

int pruneWorkbookFolder(const QString& folder, const QDateTime& now)
{
    static const QRegularExpression workbook(QStringLiteral("^Book\\d{1,9}\\.xlsx$"),
                                             QRegularExpression::CaseInsensitiveOption);
    // Left behind by a write that was killed: ".BookN.xlsx.XXXXXX".
    static const QRegularExpression temporary(QStringLiteral("^\\.Book\\d{1,9}\\.xlsx\\.\\w+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Time);  // newest first
    std::vector<QFileInfo> workbooks;
    int removed = 0;
    for (const QFileInfo& entry : entries) {
        if (workbook.match(entry.fileName()).hasMatch())
            workbooks.push_back(entry);
        else if (temporary.match(entry.fileName()).hasMatch() && entry.lastModified().addDays(1) < now &&
                 QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    const QDateTime recent = now.addDays(-kKeptDays);
    for (std::size_t i = kKeptWorkbooks; i < workbooks.size(); ++i) {
        if (workbooks[i].lastModified() < recent && QFile::remove(workbooks[i].absoluteFilePath()))
            ++removed;
    }
    return removed;
}

}  // namespace rz::excel

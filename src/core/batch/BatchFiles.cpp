// The batch tool's FILE arguments: files, folders and a list on standard input.
#include "core/batch/BatchAnalysis.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

namespace rz {

namespace {

const QStringList& dataFilePatterns()
{
    static const QStringList kPatterns = {QStringLiteral("*.csv"), QStringLiteral("*.txt"), QStringLiteral("*.dat"),
                                          QStringLiteral("*.xlsx")};
    return kPatterns;
}

[[noreturn]] void cannotRead(const QString& folder)
{
    throw std::runtime_error(
        QStringLiteral("cannot read the folder \"%1\": permission denied").arg(folder).toStdString());
}

// Adds the data files of folder to found, and with recursive those of its subfolders,
// taken by name; a subfolder reached twice (through a link) is read once, where it is met
// first, so the same paths come out on every machine. visited: the folders read, as the
// file system names them.
void collectFolder(const QString& folder, bool recursive, std::set<QString>& visited,
                   std::vector<std::pair<QByteArray, QString>>& found)
{
    const QDir dir(folder);
    // An empty listing is also what a folder that cannot be read gives: say so instead.
    if (const QFileInfo info(folder); !info.isReadable() || !info.isExecutable())
        cannotRead(folder);
    for (const QFileInfo& file : dir.entryInfoList(dataFilePatterns(), QDir::Files, QDir::Unsorted)) {
        QString path = dir.filePath(file.fileName());
        found.emplace_back(path.toUtf8(), std::move(path));
    }
    if (!recursive)
        return;
    std::vector<std::pair<QByteArray, QString>> subfolders;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted))
        subfolders.emplace_back(name.toUtf8(), name);
    std::sort(subfolders.begin(), subfolders.end());
    for (const auto& [bytes, name] : subfolders) {
        const QString sub = dir.filePath(name);
        if (visited.insert(QFileInfo(sub).canonicalFilePath()).second)
            collectFolder(sub, recursive, visited, found);
    }
}

// The data files of a folder by name (byte order of the path, the same on every machine);
// with recursive, a subfolder's files come where its name sorts.
QStringList folderFiles(const QString& folder, bool recursive)
{
    // Each path with its bytes, made once rather than at every comparison of the sort.
    std::vector<std::pair<QByteArray, QString>> found;
    std::set<QString> visited{QFileInfo(folder).canonicalFilePath()};
    collectFolder(folder, recursive, visited, found);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList files;
    files.reserve(static_cast<qsizetype>(found.size()));
    for (auto& [bytes, path] : found)
        files << std::move(path);
    return files;
}

}  // namespace

QStringList expandBatchArguments(const QStringList& arguments, bool recursive, QTextStream* standardInput)
{
    QStringList paths;
    auto add = [&](const QString& argument) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            paths += folderFiles(argument, recursive);
        } else if (info.exists()) {
            paths << argument;
        } else {
            throw std::runtime_error(
                QStringLiteral("cannot find \"%1\": no such file or folder").arg(argument).toStdString());
        }
    };
    for (const QString& argument : arguments) {
        if (argument != QLatin1String("-")) {
            add(argument);
            continue;
        }
        if (!standardInput)
            throw std::runtime_error("\"-\" stands for a list of files on standard input, which is not open");
        for (const QString& listed : listedPaths(*standardInput))
            add(listed);
    }
    return paths;
}

QString noDataFilesText(const QString& folder, bool recursive)
{
    const QString shown = QDir::toNativeSeparators(folder);
    return recursive ? QStringLiteral("%1 and its subfolders hold no .csv, .txt, .dat or .xlsx file").arg(shown)
                     : QStringLiteral("%1 holds no .csv, .txt, .dat or .xlsx file").arg(shown);
}

QStringList listedPaths(QTextStream& list)
{
    QStringList paths;
    QString line;
    while (list.readLineInto(&line)) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            paths << line;
    }
    return paths;
}

}  // namespace rz

// The batch tool's FILE arguments: files, folders and a list on standard input.
#include "core/batch/BatchAnalysis.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
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

// The data files of a folder by name (byte order of the path, the same on every machine);
// with recursive, a subfolder's files come where its name sorts.
QStringList folderFiles(const QString& folder, bool recursive)
{
    // Each path with its bytes, made once rather than at every comparison of the sort.
    std::vector<std::pair<QByteArray, QString>> found;
    QDirIterator it(
        folder, dataFilePatterns(), QDir::Files,
        recursive ? QDirIterator::Subdirectories | QDirIterator::FollowSymlinks : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        QString path = it.next();
        found.emplace_back(path.toUtf8(), std::move(path));
    }
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

// How the specimens of a batch are named in its summary, legends and curves.
#include "core/batch/BatchAnalysis.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

namespace rz {

namespace {

QString absolutePath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The last `count` parts of an absolute path's parts, joined by '/'.
QString lastParts(const QStringList& parts, qsizetype count)
{
    return parts.mid(parts.size() - count).join(u'/');
}

// The names of paths that share one file name: each the fewest of its last folders and the
// file name that no other file of them ends in; its whole path when that takes every folder.
// Each length of ending is counted for all at once, so a thousand "data.csv" in a thousand
// folders take a thousand lookups per length, not a million comparisons.
void nameApart(const QStringList& paths, const std::vector<qsizetype>& tied, QStringList& names)
{
    QStringList absolute;
    std::vector<QStringList> parts;
    for (const qsizetype i : tied) {
        absolute.push_back(absolutePath(paths[i]));
        parts.push_back(absolute.back().split(u'/', Qt::SkipEmptyParts));
    }
    std::vector<std::size_t> pending(tied.size());
    std::iota(pending.begin(), pending.end(), std::size_t{0});
    for (qsizetype count = 2; !pending.empty(); ++count) {
        QHash<QString, QSet<QString>> filesEndingIn;
        for (std::size_t a = 0; a < tied.size(); ++a)
            if (parts[a].size() >= count)
                filesEndingIn[lastParts(parts[a], count)].insert(absolute[a]);
        std::vector<std::size_t> still;
        for (const std::size_t a : pending) {
            const qsizetype size = parts[a].size();
            if (size < count)
                names[tied[a]] = absolute[a];
            else if (const QString ending = lastParts(parts[a], count); filesEndingIn.value(ending).size() == 1)
                names[tied[a]] = count < size ? ending : absolute[a];
            else
                still.push_back(a);
        }
        pending = std::move(still);
    }
}

}  // namespace

QStringList specimenNames(const QStringList& paths)
{
    QStringList names;
    names.reserve(paths.size());
    QHash<QString, std::vector<qsizetype>> byName;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        names.push_back(QFileInfo(paths[i]).fileName());
        byName[names.back()].push_back(i);
    }
    for (const std::vector<qsizetype>& tied : std::as_const(byName)) {
        if (tied.size() < 2)
            continue;
        // The same file given twice is one specimen's name twice, not a tie.
        const QString first = absolutePath(paths[tied.front()]);
        bool oneFile = true;
        for (const qsizetype i : tied)
            oneFile = oneFile && absolutePath(paths[i]) == first;
        if (!oneFile)
            nameApart(paths, tied, names);
    }
    return names;
}

QString specimenFileStem(const QString& name)
{
    const qsizetype cut = name.lastIndexOf(u'/');
    QString folders = name.left(std::max<qsizetype>(cut, 0));
    folders.replace(u'/', u'_');
    while (folders.startsWith(u'_'))
        folders.remove(0, 1);
    const QString base = baseNameOf(name);
    return folders.isEmpty() ? base : folders + u'_' + base;
}

QString specimenName(const SpecimenAnalysis& specimen)
{
    return specimen.name.isEmpty() ? QFileInfo(specimen.path).fileName() : specimen.name;
}

}  // namespace rz

#include "cli/OutputPaths.h"

#include "core/batch/BatchAnalysis.h"
#include "core/sheet/TestSheetContent.h"
#include "core/workbench/Workbench.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace rz::cli {

namespace {

// A path as the file system sees it: the target of links when it exists, else cleaned.
QString samePlace(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

}  // namespace

QString outputStem(const Options& o, const QString& name)
{
    return QDir(o.outDir).filePath(specimenFileStem(name) + QStringLiteral("_YieldingPoint."));
}

QString testSheetPath(const Options& o, const QString& name)
{
    return QDir(o.outDir).filePath(testSheetFileName(specimenFileStem(name)));
}

QStringList outDirOutputs(const Options& o, const QString& name)
{
    if (o.outDir.isEmpty())
        return {};
    const QString stem = outputStem(o, name);
    QStringList paths{stem + QStringLiteral("csv")};
    if (o.xlsx)
        paths << stem + QStringLiteral("xlsx");
    if (o.picture)
        paths << stem + pictureFormatExtension(*o.picture);
    if (o.sheet)
        paths << testSheetPath(o, name);
    return paths;
}

QString outputNameClash(const QStringList& files, const QStringList& names)
{
    // Outputs are named after the specimen: two of different names (so different files) and
    // one stem, "a.csv" and "a.txt", would overwrite each other's.
    QHash<QString, qsizetype> byStem;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString stem = specimenFileStem(names[i]);
        const qsizetype first = byStem.value(stem, -1);
        if (first < 0)
            byStem.insert(stem, i);
        else if (names[first] != names[i])
            return QStringLiteral("\"%1\" and \"%2\" would both write %3_YieldingPoint.* in --out-dir")
                .arg(files[first], files[i], stem);
    }
    return {};
}

QString outputOverInput(const Options& o, const QStringList& files, const QStringList& names)
{
    const bool reportFile = !o.reportPath.isEmpty() && o.reportPath != QLatin1String("-");
    if (!reportFile && o.summaryPath.isEmpty() && o.outDir.isEmpty())
        return {};  // writes no file: a batch that only prints asks nothing of the file system
    QHash<QString, QString> inputs;
    for (const QString& file : files)
        inputs.insert(samePlace(file), file);
    auto overwrites = [&](const QString& output, const QString& what) -> QString {
        const auto input = inputs.constFind(samePlace(output));
        if (input == inputs.constEnd())
            return {};
        return QStringLiteral("%1 \"%2\" is the data file \"%3\" and would overwrite it: write it elsewhere")
            .arg(what, output, *input);
    };
    if (reportFile) {
        if (QString problem = overwrites(o.reportPath, QStringLiteral("--report")); !problem.isEmpty())
            return problem;
    }
    if (!o.summaryPath.isEmpty()) {
        if (QString problem = overwrites(o.summaryPath, QStringLiteral("--summary")); !problem.isEmpty())
            return problem;
    }
    if (o.outDir.isEmpty() || inputs.isEmpty())
        return {};
    for (const QString& name : names) {
        for (const QString& output : outDirOutputs(o, name)) {
            if (QString problem = overwrites(output, QStringLiteral("the output")); !problem.isEmpty())
                return problem;
        }
    }
    return {};
}

}  // namespace rz::cli

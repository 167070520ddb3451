// How a batch names its specimens: by file name, with as many folders as it takes when
// files of different folders share a name, in the summary and the comparison's legend.
#include "WorkbenchTestSupport.h"

#include "core/batch/BatchAnalysis.h"
#include "core/compare/Comparison.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace rz {
namespace {

using test::writeFile;

const QByteArray kCurve = "displacement,load\n0,0\n1,50\n2,80\n3,95\n4,100\n5,90\n6,80\n";

TEST(SpecimenNames, FileNamesUnlessFilesOfOtherFoldersShareThem)
{
    const QString root = QStringLiteral("/data/programme");
    const auto at = [&](const char* relative) { return root + u'/' + QLatin1StringView(relative); };
    struct Case {
        const char* name;
        QStringList paths;
        QStringList expected;
    };
    const Case cases[] = {
        {"names of their own", {at("a/r1.csv"), at("b/r2.csv")}, {"r1.csv", "r2.csv"}},
        {"one folder tells them apart",
         {at("specA/coupon.csv"), at("lone.csv"), at("specB/coupon.csv")},
         {"specA/coupon.csv", "lone.csv", "specB/coupon.csv"}},
        {"folders of one name: the ones above them",
         {at("x/raw/t.csv"), at("y/raw/t.csv"), at("y/t.csv")},
         {"x/raw/t.csv", "y/raw/t.csv", "y/t.csv"}},
        {"one path the end of another", {at("q/r.csv"), at("p/q/r.csv")}, {"programme/q/r.csv", "p/q/r.csv"}},
        {"the same file twice is no tie",
         {at("a/r.csv"), at("a/./r.csv"), at("b/../a/r.csv")},
         {"r.csv", "r.csv", "r.csv"}},
        {"the same file twice beside another of its name",
         {at("a/r.csv"), at("b/r.csv"), at("a/r.csv")},
         {"a/r.csv", "b/r.csv", "a/r.csv"}},
        {"no folder left to tell: the whole path", {"/r.csv", "/x/r.csv"}, {"/r.csv", "/x/r.csv"}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(specimenNames(c.paths), c.expected);
    }
    // A relative path is told apart by where it is, as an absolute one.
    const QString here = QFileInfo(QDir::currentPath()).fileName();
    EXPECT_EQ(specimenNames({QStringLiteral("r.csv"), QDir::currentPath() + QStringLiteral("/sub/r.csv")}),
              QStringList({here + QStringLiteral("/r.csv"), QStringLiteral("sub/r.csv")}));
}

TEST(SpecimenNames, SummaryRowsAndLegendsAreNamedApart)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("specA"));
    QDir(dir.path()).mkpath(QStringLiteral("specB"));
    const QStringList paths = {writeFile(dir, QStringLiteral("specA/coupon.csv"), kCurve),
                               writeFile(dir, QStringLiteral("specB/coupon.csv"), kCurve),
                               writeFile(dir, QStringLiteral("other.csv"), kCurve),
                               dir.filePath(QStringLiteral("specC/coupon.csv"))};  // missing: fails
    for (int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        const BatchResult result = analyseAll(paths, defaultBatchSettings(), jobs);
        ASSERT_EQ(result.specimens.size(), 4u);
        const SummaryTable table = summaryOf(result.specimens);
        const std::size_t file = *table.columnIndex(QStringLiteral("file"));
        QStringList rows;
        for (std::size_t r = 0; r < table.rowCount(); ++r)
            rows << std::get<QString>(table.cell(r, file));
        EXPECT_EQ(rows, QStringList({"specA/coupon.csv", "specB/coupon.csv", "other.csv", "specC/coupon.csv"}));
        EXPECT_FALSE(result.specimens[3].failure.isEmpty());
        QStringList legend;
        for (const SpecimenAnalysis& s : result.specimens)
            if (const std::optional<ComparedSpecimen> row = comparedRow(s, std::nullopt))
                legend << row->name;
        EXPECT_EQ(legend, QStringList({"specA/coupon", "specB/coupon", "other"}));
    }
    // A name that is a whole path (no folder was left to tell it apart) loses only its extension.
    BatchResult alone = analyseAll({paths[2]}, defaultBatchSettings(), 1);
    alone.specimens[0].name = QStringLiteral("/other.v2.csv");
    EXPECT_EQ(comparedRow(alone.specimens[0], std::nullopt)->name, QStringLiteral("/other.v2"));
    // One file on its own, or a specimen made elsewhere, goes by its file name.
    EXPECT_EQ(specimenName(analyseSpecimen(paths[0], defaultBatchSettings())), QStringLiteral("coupon.csv"));
    SpecimenAnalysis bare;
    bare.path = paths[1];
    EXPECT_EQ(specimenName(bare), QStringLiteral("coupon.csv"));
}

}  // namespace
}  // namespace rz

// Many files analysed as the window analyses one: rows equal to a model driven by hand,
// failures kept in their rows, order independent of the threads, cancel, FILE arguments.
#include "WorkbenchTestSupport.h"

#include "core/batch/BatchAnalysis.h"
#include "core/batch/SummaryCsv.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/CyclicSession.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <atomic>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace rz {
namespace {

using test::writeFile;

// A rising then falling curve whose shape depends on k, with n points.
QByteArray generatedCurve(int k, int n)
{
    QByteArray bytes = "displacement,load\n";
    const double peakAt = 0.45 + 0.01 * (k % 20);
    for (int i = 0; i < n; ++i) {
        const double x = 10.0 * i / (n - 1);
        const double t = x / 10.0;
        const double y = (100.0 + k) * (t < peakAt ? std::sin(1.5707963 * t / peakAt) : 1.0 - 0.9 * (t - peakAt));
        bytes +=
            QByteArray::fromStdString(test::exactText(x)) + ',' + QByteArray::fromStdString(test::exactText(y)) + '\n';
    }
    return bytes;
}

std::optional<double> number(const SummaryTable& t, std::size_t row, const char* key)
{
    const SummaryCell& c = t.cell(row, *t.columnIndex(QLatin1StringView(key)));
    if (const auto* d = std::get_if<double>(&c))
        return *d;
    return std::nullopt;
}

SummaryCell cellAt(const SummaryTable& t, std::size_t row, const char* key)
{
    return t.cell(row, *t.columnIndex(QLatin1StringView(key)));
}

// The same file through a model driven by hand, as the window does it.
struct Reference {
    test::RecordingUi ui;
    Workbench wb{ui, u'.', QString()};
    explicit Reference(const QString& path)
    {
        wb.importConfirmed(path);
        wb.btn1Click();
    }
};

TEST(BatchSummary, RowsEqualTheModelsOwnResults)
{
    QTemporaryDir dir;
    const QStringList paths = {
        QStringLiteral(RZ_TEST_DATA_DIR "/real/cfs_steel_screw_connection_monotonic_01.csv"),
        QStringLiteral(RZ_TEST_DATA_DIR "/report/worked_example.csv"),
        QStringLiteral(RZ_TEST_DATA_DIR "/report/no_stiffness.csv"),
        writeFile(dir, QStringLiteral("gen7.csv"), generatedCurve(7, 500)),
        writeFile(dir, QStringLiteral("gen13.csv"), generatedCurve(13, 2000)),
    };
    const BatchResult batch = analyseAll(paths, defaultBatchSettings(), 2);
    ASSERT_EQ(batch.specimens.size(), static_cast<std::size_t>(paths.size()));
    const SummaryTable table = summaryOf(batch.specimens);
    ASSERT_EQ(table.rowCount(), static_cast<std::size_t>(paths.size()));

    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        const auto row = static_cast<std::size_t>(i);
        const Reference ref(paths[i]);
        const AnalysisState& s = ref.wb.state();
        ASSERT_TRUE(ref.wb.lastCalculationCompleted());
        EXPECT_TRUE(batch.specimens[row].calculated);
        EXPECT_TRUE(test::sameState(batch.specimens[row].workbench->state(), s));
        EXPECT_EQ(std::get<QString>(cellAt(table, row, "file")), QFileInfo(paths[i]).fileName());
        EXPECT_EQ(number(table, row, "points"), ref.wb.chart()[SeriesId::lnsrsSeries4].data.count());
        EXPECT_EQ(number(table, row, "peak_load"), s.PeakLoad);
        EXPECT_EQ(number(table, row, "peak_disp"), s.PeakDisp);
        EXPECT_EQ(number(table, row, "ultimate_disp"), s.UltimateDisp);
        EXPECT_EQ(std::get<bool>(cellAt(table, row, "ultimate_found")), s.UltimateFound);
        EXPECT_EQ(std::get<bool>(cellAt(table, row, "stiffness_found")), s.StiffnessFound);
        if (s.StiffnessFound) {
            EXPECT_EQ(number(table, row, "initial_stiffness"), s.InitialStiffness);
            EXPECT_EQ(number(table, row, "geometric_yield_load"), s.GeometricResult.YieldLoad);
            EXPECT_EQ(number(table, row, "geometric_ductility"), s.GeometricResult.Ductility);
        } else {
            EXPECT_FALSE(number(table, row, "initial_stiffness"));
            EXPECT_FALSE(number(table, row, "geometric_yield_disp"));
            EXPECT_THAT(std::get<QString>(cellAt(table, row, "notes")).toStdString(),
                        ::testing::HasSubstr("initial stiffness not found"));
        }
        EXPECT_EQ(number(table, row, "park_yield_disp"), s.ParkResult.YieldDisp);
        EXPECT_EQ(number(table, row, "energy_yield_load"), s.EnergyResult.YieldLoad);
        EXPECT_EQ(number(table, row, "mean_ductility"), s.MeanResult.Ductility);
        const auto methods = otherYieldMethods();
        for (std::size_t m = 0; m < methods.size(); ++m) {
            const YieldDefinitionResult& r = ref.wb.otherDefinitions()[m];
            const std::string key = methods[m].key;
            const auto load = number(table, row, (key + "_yield_load").c_str());
            const auto ductility = number(table, row, (key + "_ductility").c_str());
            EXPECT_EQ(load.has_value(), r.found) << key;
            if (r.found) {
                EXPECT_EQ(*load, r.yieldLoad) << key;
                EXPECT_EQ(ductility, r.ductility) << key;
            }
        }
    }
    // The worked example's peak, from its file: 100 at displacement 4.
    EXPECT_EQ(number(table, 1, "peak_load"), 100.0);
    EXPECT_EQ(number(table, 1, "peak_disp"), 4.0);
}

TEST(BatchSummary, FailedFilesKeepTheirNameAndWhyInTheirRow)
{
    QTemporaryDir dir;
    const QString good = writeFile(dir, QStringLiteral("good.csv"), generatedCurve(1, 200));
    const QString empty = writeFile(dir, QStringLiteral("empty.csv"), "displacement,load\n");
    const QString missing = dir.filePath(QStringLiteral("gone.csv"));

    struct Case {
        const char* name;
        QString path;
        QString loadReduction;
        const char* why;  // part of the failure
    };
    const std::vector<Case> cases = {
        {"missing file", missing, QStringLiteral("0.15"), "gone.csv"},
        {"no points", empty, QStringLiteral("0.15"), "Import Data first!"},
        {"factor not a number", good, QStringLiteral("abc"), "abc"},
        {"factor out of range", good, QStringLiteral("1.5"), "Load Reduction Factor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BatchSettings settings = defaultBatchSettings();
        settings.loadReduction = c.loadReduction;
        std::vector<SpecimenAnalysis> specimens;
        specimens.push_back(analyseSpecimen(c.path, settings));
        const SpecimenAnalysis& s = specimens.front();
        EXPECT_FALSE(s.calculated);
        EXPECT_THAT(s.failure.toStdString(), ::testing::HasSubstr(c.why));
        ASSERT_FALSE(s.messages.empty());
        // The failure is what the window said, not a text of the batch's own.
        EXPECT_TRUE(std::any_of(s.messages.begin(), s.messages.end(),
                                [&](const BatchMessage& m) { return m.text == s.failure; }));

        const SummaryTable table = summaryOf(specimens);
        EXPECT_EQ(std::get<QString>(cellAt(table, 0, "file")), QFileInfo(c.path).fileName());
        EXPECT_EQ(std::get<QString>(cellAt(table, 0, "notes")), s.failure);
        for (const auto& st : table.statistics()) {
            if (st) {
                EXPECT_EQ(st->count, 0);
            }
        }
        EXPECT_TRUE(std::holds_alternative<std::monostate>(cellAt(table, 0, "ultimate_found")));
    }
    // The factor refused after the import: the curve was stored all the same.
    BatchSettings bad = defaultBatchSettings();
    bad.park = QStringLiteral("2");
    const SpecimenAnalysis refused = analyseSpecimen(good, bad);
    EXPECT_TRUE(refused.imported);
    EXPECT_FALSE(refused.calculated);
}

TEST(BatchAnalysis, ResultsComeInTheOrderGivenWhateverTheThreads)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int k = 0; k < 30; ++k) {
        // Sizes vary so that files finish out of order; every seventh fails.
        const QString name = QStringLiteral("s%1.csv").arg(k, 2, 10, QLatin1Char('0'));
        if (k % 7 == 3)
            paths << dir.filePath(QStringLiteral("missing_") + name);
        else
            paths << writeFile(dir, name, generatedCurve(k, 100 + (29 - k) * 150));
    }
    const QByteArray one = summaryCsvBytes(summaryOf(analyseAll(paths, defaultBatchSettings(), 1).specimens), u'.');
    for (int jobs : {2, 3, 8, 0}) {
        SCOPED_TRACE(jobs);
        const BatchResult result = analyseAll(paths, defaultBatchSettings(), jobs);
        EXPECT_FALSE(result.cancelled);
        ASSERT_EQ(result.specimens.size(), 30u);
        for (int k = 0; k < 30; ++k)
            EXPECT_EQ(result.specimens[static_cast<std::size_t>(k)].path, paths[k]);
        EXPECT_EQ(summaryCsvBytes(summaryOf(result.specimens), u'.'), one);
    }
    EXPECT_TRUE(analyseAll({}, defaultBatchSettings(), 2).specimens.empty());
}

// The batch tool's way: results handed over as they come, the consumer woken for a few at
// a time. Counts around that group's size, with files failing and finishing out of order.
TEST(BatchAnalysis, ConsumedOneByOneInOrderForAnyCountAndThreads)
{
    QTemporaryDir dir;
    QStringList all;
    for (int k = 0; k < 23; ++k) {
        const QString name = QStringLiteral("o%1.csv").arg(k, 2, 10, QLatin1Char('0'));
        if (k % 5 == 2)
            all << dir.filePath(QStringLiteral("missing_") + name);
        else
            all << writeFile(dir, name, generatedCurve(k, 100 + (k % 4) * 900));
    }
    for (int count : {1, 2, 3, 4, 5, 9, 23}) {
        const QStringList paths = all.first(count);
        for (int jobs : {1, 2, 3, 8}) {
            SCOPED_TRACE(testing::Message() << count << " files, " << jobs << " jobs");
            std::vector<int> order;
            std::vector<int> progress;
            const bool complete = analyseInOrder(
                paths, defaultBatchSettings(), jobs,
                [&](SpecimenAnalysis&& specimen, int index) {
                    EXPECT_EQ(specimen.path, paths[index]);
                    EXPECT_EQ(specimen.calculated, index % 5 != 2);
                    order.push_back(index);
                    return true;
                },
                [&](int done, int total) {
                    EXPECT_EQ(total, count);
                    progress.push_back(done);
                    return true;
                });
            EXPECT_TRUE(complete);
            std::vector<int> expected(static_cast<std::size_t>(count));
            std::iota(expected.begin(), expected.end(), 0);
            EXPECT_EQ(order, expected);
            std::iota(expected.begin(), expected.end(), 1);
            EXPECT_EQ(progress, expected);
        }
    }
    // A consumer that stops the batch is handed nothing more.
    std::vector<int> order;
    EXPECT_FALSE(analyseInOrder(all, defaultBatchSettings(), 2, [&](SpecimenAnalysis&&, int index) {
        order.push_back(index);
        return index < 6;
    }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(BatchAnalysis, CancelReturnsOnlyFinishedFilesInOrder)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int k = 0; k < 60; ++k)
        paths << writeFile(dir, QStringLiteral("c%1.csv").arg(k), generatedCurve(k, 3000));
    for (int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        std::vector<int> seen;
        const BatchResult result = analyseAll(paths, defaultBatchSettings(), jobs, [&](int done, int total) {
            EXPECT_EQ(total, 60);
            seen.push_back(done);
            return done < 5;
        });
        EXPECT_TRUE(result.cancelled);
        EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
        // Those running when it was cancelled finish; those not started never do.
        ASSERT_GE(result.specimens.size(), 5u);
        EXPECT_LE(result.specimens.size(), 5u + 4u * static_cast<std::size_t>(jobs));
        for (std::size_t i = 0; i < result.specimens.size(); ++i) {
            EXPECT_EQ(result.specimens[i].path, paths[static_cast<qsizetype>(i)]);
            EXPECT_TRUE(result.specimens[i].calculated);
        }
    }
}

TEST(BatchFiles, FoldersListsAndMissingPaths)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath(QStringLiteral("series/sub"));
    for (const char* name : {"series/b.csv", "series/a.txt", "series/c.dat", "series/d.xlsx", "series/notes.md",
                             "series/e.CSV.bak", "series/sub/z.csv", "series/sub/a.csv", "single.dat"})
        writeFile(dir, QString::fromLatin1(name), "x,y\n0,0\n");
    const QString series = root + QStringLiteral("/series");
    auto rel = [&](const QStringList& paths) {
        QStringList out;
        for (const QString& p : paths)
            out << QDir(root).relativeFilePath(p);
        return out;
    };

    EXPECT_EQ(rel(expandBatchArguments({series}, false, nullptr)),
              (QStringList{"series/a.txt", "series/b.csv", "series/c.dat", "series/d.xlsx"}));
    EXPECT_EQ(rel(expandBatchArguments({series}, true, nullptr)),
              (QStringList{"series/a.txt", "series/b.csv", "series/c.dat", "series/d.xlsx", "series/sub/a.csv",
                           "series/sub/z.csv"}));
    // A file named twice is analysed twice; the order given is kept.
    EXPECT_EQ(
        rel(expandBatchArguments({root + "/single.dat", series + "/b.csv", root + "/single.dat"}, false, nullptr)),
        (QStringList{"single.dat", "series/b.csv", "single.dat"}));

    QString listText = root + "/single.dat\r\n\n" + series + "/sub\n";
    QTextStream list(&listText);
    EXPECT_EQ(rel(expandBatchArguments({series + "/c.dat", "-"}, false, &list)),
              (QStringList{"series/c.dat", "single.dat", "series/sub/a.csv", "series/sub/z.csv"}));

    try {
        expandBatchArguments({series, root + "/nothing.csv"}, false, nullptr);
        ADD_FAILURE() << "a missing path was accepted";
    } catch (const std::runtime_error& e) {
        const std::string what = e.what();
        EXPECT_THAT(what, ::testing::HasSubstr("nothing.csv"));
        EXPECT_EQ(what.find('\n'), std::string::npos);
    }
    EXPECT_THROW(expandBatchArguments({"-"}, false, nullptr), std::runtime_error);

    // By the bytes of the names: capitals before small letters, and a character beyond the
    // 16-bit range after one near its top, the other way round from the order of UTF-16.
    QDir(root).mkpath(QStringLiteral("named"));
    const QString fullwidthZ = QString(QChar(0xFF3A)) + QStringLiteral(".csv");
    const QString emoji = QString::fromUcs4(U"\U0001F600") + QStringLiteral(".csv");
    for (const QString& name : {emoji, fullwidthZ, QStringLiteral("b.csv"), QStringLiteral("B.csv")})
        writeFile(dir, QStringLiteral("named/") + name, "x,y\n0,0\n");
    EXPECT_EQ(rel(expandBatchArguments({root + QStringLiteral("/named")}, false, nullptr)),
              (QStringList{"named/B.csv", "named/b.csv", "named/" + fullwidthZ, "named/" + emoji}));
}

// A folder reached through several links is read once, under the first of its names in
// byte order, whatever order the file system lists them in; a link back up the tree ends.
TEST(BatchFiles, LinkedFoldersOnceUnderTheirFirstName)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath(QStringLiteral("tree/inner"));
    writeFile(dir, QStringLiteral("tree/inner/m.csv"), "x,y\n0,0\n");
    writeFile(dir, QStringLiteral("tree/top.csv"), "x,y\n0,0\n");
    const QString tree = root + QStringLiteral("/tree");
    for (const char* link : {"zz", "b", "_x"})
        ASSERT_TRUE(QFile::link(tree + QStringLiteral("/inner"), tree + QLatin1Char('/') + QLatin1String(link)));
    ASSERT_TRUE(QFile::link(tree, tree + QStringLiteral("/inner/up")));
    QStringList found;
    for (const QString& p : expandBatchArguments({tree}, true, nullptr))
        found << QDir(tree).relativeFilePath(p);
    EXPECT_EQ(found, (QStringList{"_x/m.csv", "top.csv"}));
}

// A folder that cannot be read is said, not left out.
TEST(BatchFiles, FoldersThatCannotBeReadAreSaid)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath(QStringLiteral("locked"));
    const QString locked = root + QStringLiteral("/locked");
    QFile::setPermissions(locked, QFileDevice::Permissions{});
    if (QFileInfo(locked).isReadable()) {
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "permissions do not hold for this user (root)";
    }
    for (bool recursive : {false, true}) {
        try {
            expandBatchArguments({recursive ? root : locked}, recursive, nullptr);
            ADD_FAILURE() << "a folder that cannot be read was passed over";
        } catch (const std::runtime_error& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr("cannot read the folder"));
        }
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace
}  // namespace rz

namespace rz {
namespace {

// A cyclic record gives a row per direction, each the analysis of that direction's
// envelope: its peak is the envelope's largest load (a magnitude for the negative side).
TEST(BatchSummary, CyclicRecordsGiveARowPerDirection)
{
    BatchSettings settings = defaultBatchSettings();
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    settings.import = options;
    const QString path = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv");
    const BatchResult batch = analyseAll({path, path}, settings, 2);
    ASSERT_EQ(batch.specimens.size(), 2u);
    const SpecimenAnalysis& record = batch.specimens[0];
    ASSERT_TRUE(record.imported);
    ASSERT_NE(record.workbench->cyclic(), nullptr);
    const CyclicSession& session = *record.workbench->cyclic();

    const SummaryTable table = summaryOf(batch.specimens);
    ASSERT_EQ(table.rowCount(), 4u) << "two directions of each of the two files";
    const Direction directions[] = {Direction::Positive, Direction::Negative};
    for (std::size_t row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(std::get<QString>(cellAt(table, row, "file")),
                  QStringLiteral("cfs_stud_to_osb_connection_cyclic_01.csv"));
        EXPECT_EQ(std::get<QString>(cellAt(table, row, "direction")),
                  row == 0 ? QStringLiteral("positive") : QStringLiteral("negative"));
        const std::vector<Point>& envelope = session.envelopes().of(directions[row]).points;
        ASSERT_FALSE(envelope.empty());
        double largest = 0.0;
        for (const Point& p : envelope)
            largest = std::max(largest, std::fabs(p.y));
        EXPECT_EQ(number(table, row, "peak_load"), largest);
        EXPECT_GT(*number(table, row, "mean_yield_disp"), 0.0) << "results of a direction are magnitudes";
        EXPECT_EQ(number(table, row, "mean_yield_load"),
                  session.analysis(directions[row]).state().MeanResult.YieldLoad);
    }
    EXPECT_EQ(std::get<QString>(cellAt(table, 2, "direction")), QStringLiteral("positive"));
    EXPECT_EQ(table.statistics()[*table.columnIndex(QStringLiteral("peak_load"))]->count, 4);
}

// Envelopes too thin to analyse say so, in the import's message and in the notes of their
// rows: a monotonic curve read as a cyclic test (it never turns back), and a record of one
// cycle (each envelope the origin and one point). A usual record says neither.
TEST(BatchSummary, ThinEnvelopesSaySoInTheMessageAndTheirRows)
{
    QTemporaryDir dir;
    QByteArray oneCycle = "displacement,load\n";
    for (int i = 0; i <= 40; ++i) {
        // 0 -> 10 -> -10 -> 0, loads following the displacement.
        const double x = i <= 10 ? i : (i <= 30 ? 20 - i : i - 40);
        oneCycle += QByteArray::number(x) + ',' + QByteArray::number(5.0 * x) + '\n';
    }
    const QString monotonic = writeFile(dir, QStringLiteral("monotonic.csv"), generatedCurve(3, 200));
    const QString cycle = writeFile(dir, QStringLiteral("one_cycle.csv"), oneCycle);
    const QString record = QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/cfs_stud_to_osb_connection_cyclic_01.csv");

    BatchSettings settings = defaultBatchSettings();
    ImportOptions options = ImportOptions::detectEverything();
    options.cyclic = CyclicOptions{};
    settings.import = options;
    const BatchResult batch = analyseAll({monotonic, cycle, record}, settings, 2);
    ASSERT_EQ(batch.specimens.size(), 3u);
    auto said = [&](std::size_t k) {
        QStringList texts;
        for (const BatchMessage& m : batch.specimens[k].messages)
            texts << m.text;
        return texts.join(u'\n');
    };
    const QString neverTurns = QStringLiteral("The record never turns back");
    const QString singlePhase = QStringLiteral("envelope: a single phase");
    const QString onePoint = QStringLiteral("envelope of one point besides the origin (a single phase)");

    EXPECT_TRUE(said(0).contains(neverTurns)) << said(0).toStdString();
    EXPECT_FALSE(said(0).contains(singlePhase)) << "one reason is enough";
    EXPECT_TRUE(said(1).contains(QStringLiteral("Positive envelope: a single phase"))) << said(1).toStdString();
    EXPECT_TRUE(said(1).contains(QStringLiteral("Negative envelope: a single phase"))) << said(1).toStdString();
    EXPECT_FALSE(said(1).contains(neverTurns));
    EXPECT_FALSE(said(2).contains(neverTurns) || said(2).contains(singlePhase)) << said(2).toStdString();

    const SummaryTable table = summaryOf(batch.specimens);
    ASSERT_EQ(table.rowCount(), 6u);
    auto notes = [&](std::size_t row) { return std::get<QString>(cellAt(table, row, "notes")); };
    EXPECT_TRUE(notes(0).startsWith(onePoint)) << notes(0).toStdString();
    EXPECT_EQ(notes(1), QStringLiteral("no envelope in this direction"));
    for (std::size_t row : {2u, 3u}) {
        EXPECT_TRUE(notes(row).startsWith(onePoint)) << notes(row).toStdString();
        // The row keeps its results: the note explains them, it does not remove them.
        EXPECT_EQ(number(table, row, "peak_load"), 50.0);
    }
    for (std::size_t row : {4u, 5u})
        EXPECT_FALSE(notes(row).contains(onePoint)) << notes(row).toStdString();
}

}  // namespace
}  // namespace rz

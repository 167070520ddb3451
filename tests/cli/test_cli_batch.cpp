// Many files at once: every output the same for one job and for two, in the order the
// files were given; the summary's values those of each file's JSON; folders, "-" and the
// usage errors of the batch options; the progress line's text.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include "cli/Cli.h"
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <map>

namespace rz {
namespace {

using namespace rz::test;

// A rising then softening curve whose shape depends on k.
QByteArray specimenCurve(int k, int n)
{
    QByteArray bytes = "displacement,load\n";
    const double peakAt = 0.4 + 0.015 * (k % 25);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / (n - 1);
        const double y =
            (50.0 + k % 37) * (t < peakAt ? std::sin(1.5707963267948966 * t / peakAt) : 1.0 - 0.8 * (t - peakAt));
        bytes += QByteArray::fromStdString(exactText(12.5 * t)) + ',' + QByteArray::fromStdString(exactText(y)) + '\n';
    }
    return bytes;
}

// 200 FILE arguments: good curves, and among them files that fail in each way a file can.
QStringList specimenFiles(const QTemporaryDir& dir, int count)
{
    QStringList files;
    for (int k = 0; k < count; ++k) {
        const QString name = QStringLiteral("sp%1.csv").arg(k, 3, 10, QLatin1Char('0'));
        switch (k % 23) {
            case 5:
                files << dir.filePath(QStringLiteral("missing_") + name);  // never written
                break;
            case 11:
                files << writeFile(dir, name, "displacement,load\nnot,numbers\n");
                break;
            case 17:
                // Falls from its first point: no initial stiffness, the other methods go on.
                files << writeFile(dir, name, "d,l\n0,50\n1,40\n2,30\n3,20\n");
                break;
            default:
                files << writeFile(dir, name, specimenCurve(k, 200 + 37 * (k % 11)));
        }
    }
    return files;
}

// Every file under folder by its relative path, with its bytes.
std::map<QString, QByteArray> filesUnder(const QString& folder)
{
    std::map<QString, QByteArray> all;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        all[QDir(folder).relativeFilePath(path)] = readFile(path);
    }
    return all;
}

class FixedDate : public ::testing::Test {
protected:
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1700000000"); }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }
};

using CliJobs = FixedDate;

TEST_F(CliJobs, EveryOutputIsTheSameForOneJobAndForTwo)
{
    QTemporaryDir data;
    const QStringList files = specimenFiles(data, 200);
    struct Mode {
        const char* name;
        QStringList args;
        bool outputs;  // writes an --out-dir and summaries
    };
    const Mode modes[] = {
        {"table", {}, false},
        {"json", {QStringLiteral("--json")}, false},
        {"outputs", {QStringLiteral("--json"), QStringLiteral("--xlsx")}, true},
    };
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        std::map<QString, QByteArray> written[2];
        CliRun runs[2];
        for (int j = 0; j < 2; ++j) {
            QTemporaryDir out;
            QStringList args = mode.args;
            args << QStringLiteral("--jobs") << QString::number(j + 1);
            if (mode.outputs)
                args << QStringLiteral("--out-dir") << out.filePath(QStringLiteral("each"))
                     << QStringLiteral("--summary") << out.filePath(QStringLiteral("summary.csv"));
            runs[j] = runCli(args + files);
            if (mode.outputs) {
                // The workbook summary in a second run, so that both kinds are compared.
                const CliRun xlsx =
                    runCli(QStringList{QStringLiteral("--jobs"), QString::number(j + 1), QStringLiteral("--summary"),
                                       out.filePath(QStringLiteral("summary.xlsx"))} +
                           files);
                EXPECT_EQ(xlsx.code, 1);
            }
            written[j] = filesUnder(out.path());
        }
        EXPECT_EQ(runs[0].code, 1);  // some files failed
        EXPECT_EQ(runs[1].code, runs[0].code);
        EXPECT_EQ(runs[1].out, runs[0].out);
        EXPECT_EQ(runs[1].err, runs[0].err);
        // Every file's result is there, in the order given.
        qsizetype from = 0;
        for (const QString& file : files) {
            const qsizetype at = runs[0].out.indexOf(file.toUtf8(), from);
            ASSERT_GE(at, from) << file.toStdString();
            from = at;
        }
        if (mode.outputs) {
            EXPECT_EQ(written[0].count(QStringLiteral("summary.csv")), 1u);
            EXPECT_EQ(written[0].count(QStringLiteral("summary.xlsx")), 1u);
            EXPECT_GE(written[0].size(), 2u + 2u * 180u);  // a report and a workbook per good file
            ASSERT_EQ(written[0].size(), written[1].size());
            for (const auto& [name, bytes] : written[0]) {
                SCOPED_TRACE(name.toStdString());
                EXPECT_TRUE(bytes == written[1][name]);
            }
        }
    }
}

TEST_F(CliJobs, PicturesTooAreTheSame)
{
    QTemporaryDir data;
    const QStringList files = specimenFiles(data, 24);
    std::map<QString, QByteArray> written[2];
    for (int j = 0; j < 2; ++j) {
        QTemporaryDir out;
        const CliRun run =
            runCli(QStringList{QStringLiteral("--jobs"), QString::number(2 * j + 1), QStringLiteral("--out-dir"),
                               out.path(), QStringLiteral("--picture"), QStringLiteral("png")} +
                   files);
        EXPECT_EQ(run.code, 1);
        written[j] = filesUnder(out.path());
    }
    EXPECT_EQ(written[0].count(QStringLiteral("sp000_YieldingPoint.png")), 1u);
    EXPECT_TRUE(written[0] == written[1]);
}

TEST_F(CliJobs, SummaryRowsCarryEachFilesJsonValues)
{
    QTemporaryDir data;
    const QStringList files = specimenFiles(data, 24);
    const QString summary = data.filePath(QStringLiteral("summary.csv"));
    const CliRun run = runCli(QStringList{QStringLiteral("--json"), QStringLiteral("--summary"), summary} + files);
    const QList<QByteArray> json = run.out.trimmed().split('\n');
    ASSERT_EQ(json.size(), files.size());
    const QStringList lines = QString::fromUtf8(readFile(summary)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + files.size() + 6);
    const QStringList titles = lines[0].split(u',');
    auto column = [&](const char* title) { return titles.indexOf(QLatin1StringView(title)); };
    ASSERT_GE(column("Peak load"), 0);

    int failed = 0;
    for (int i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const QJsonObject j = QJsonDocument::fromJson(json[i]).object();
        const QJsonObject state = j["state"].toObject();
        // The sample's names hold no comma or quote, nor do the numbers with a point.
        const QStringList row = lines[i + 1].split(u',');
        EXPECT_EQ(row[0], QFileInfo(files[i]).fileName());
        // The missing file, the one without numbers, the one whose Calculate ends in an error.
        if (i % 23 == 5 || i % 23 == 11 || i % 23 == 17) {
            ++failed;
            EXPECT_FALSE(row.last().isEmpty());  // why, in the notes
            EXPECT_EQ(row[column("Peak load")], QStringLiteral("--"));
            continue;
        }
        const struct {
            const char* title;
            double want;
        } numbers[] = {
            {"Points", static_cast<double>(j["points"].toInt())},
            {"Peak load", state["PeakLoad"].toDouble()},
            {"Displacement at peak load", state["PeakDisp"].toDouble()},
            {"Ultimate displacement", state["UltimateDisp"].toDouble()},
            {"R.Park Method: yield load", state["ParkResult"].toObject()["YieldLoad"].toDouble()},
            {"Mean Value: ductility", state["MeanResult"].toObject()["Ductility"].toDouble()},
            {"EEEP (ASTM E2126): yield displacement",
             j["methods"].toObject()["EEEP_ASTM_E2126"].toObject()["YieldDisp"].toDouble()},
        };
        for (const auto& n : numbers) {
            SCOPED_TRACE(n.title);
            ASSERT_GE(column(n.title), 0);
            const double got = row[column(n.title)].toDouble();
            // The CSV keeps 15 significant digits.
            EXPECT_NEAR(got, n.want, 1e-14 * std::max(1.0, std::abs(n.want)));
        }
        EXPECT_EQ(row[column("Stiffness found")], state["StiffnessFound"].toBool() ? "YES" : "NO");
        if (!state["StiffnessFound"].toBool()) {
            EXPECT_EQ(row[column("Initial stiffness")], QStringLiteral("--"));
        }
    }
    EXPECT_EQ(failed, 3);
    EXPECT_TRUE(lines[1 + files.size()].startsWith(QStringLiteral("Count,,21,")))
        << lines[1 + files.size()].toStdString();
}

TEST(CliFiles, FoldersAndListsOnStandardInput)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("series/deeper"));
    const QByteArray curve = specimenCurve(3, 100);
    for (const char* name : {"series/b.csv", "series/a.txt", "series/readme.md", "series/deeper/c.dat", "other.csv"})
        writeFile(dir, QString::fromLatin1(name), curve);
    const QString series = dir.filePath(QStringLiteral("series"));

    auto sources = [](const CliRun& run) {
        QStringList names;
        for (const QByteArray& line : run.out.trimmed().split('\n'))
            names << QFileInfo(QJsonDocument::fromJson(line).object()["source"].toString()).fileName();
        return names;
    };
    EXPECT_EQ(sources(runCli({QStringLiteral("--json"), series})), (QStringList{"a.txt", "b.csv"}));
    EXPECT_EQ(sources(runCli({QStringLiteral("--json"), QStringLiteral("--recursive"), series})),
              (QStringList{"a.txt", "b.csv", "c.dat"}));

    QString list = dir.filePath(QStringLiteral("other.csv")) + QStringLiteral("\n\n") + series + QStringLiteral("\n");
    QTextStream in(&list);
    CliRun listed;
    {
        QBuffer device(&listed.out);
        device.open(QIODevice::WriteOnly);
        QTextStream out(&device);
        QTextStream err(&listed.err);
        listed.code = cli::run(QStringList{QStringLiteral("--json"), QStringLiteral("-")}, out, err, &in);
    }
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(sources(listed), (QStringList{"other.csv", "a.txt", "b.csv"}));
    // Not a terminal: no progress line.
    EXPECT_EQ(listed.err, QString());

    // A missing FILE stays a failing file, as before.
    const CliRun missing = runCli({QStringLiteral("--json"), series, dir.filePath(QStringLiteral("nothing.csv"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(sources(missing), (QStringList{"a.txt", "b.csv", "nothing.csv"}));
}

// A folder that lists no data file is said, and the rest of the batch goes on: a mistyped
// or wrong folder must not pass for a smaller batch.
TEST(CliFiles, FoldersWithoutDataFilesAreSaid)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("notes/deeper"));
    writeFile(dir, QStringLiteral("notes/readme.md"), "not a curve\n");
    writeFile(dir, QStringLiteral("notes/deeper/d.csv"), specimenCurve(2, 80));
    const QString good = writeFile(dir, QStringLiteral("good.csv"), specimenCurve(1, 80));
    const QString notes = dir.filePath(QStringLiteral("notes"));
    const QString said = QStringLiteral("rorevadi-cli: %1 holds no .csv, .txt, .dat or .xlsx file\n").arg(notes);

    const CliRun beside = runCli({notes, good});
    EXPECT_EQ(beside.code, 0);
    EXPECT_EQ(beside.err, said);
    EXPECT_TRUE(beside.out.startsWith("== " + good.toUtf8() + '\n')) << beside.out.left(200).toStdString();
    EXPECT_EQ(beside.out.count("== "), 1);

    // Alone, the usage error follows what was said of it.
    const CliRun alone = runCli({notes});
    EXPECT_EQ(alone.code, cli::kExitUsage);
    EXPECT_TRUE(alone.err.startsWith(said)) << alone.err.toStdString();
    EXPECT_TRUE(alone.err.contains(QStringLiteral("hold no data file")));

    // With --recursive the subfolder's file counts; an empty tree is said as one.
    const CliRun recursive = runCli({QStringLiteral("--recursive"), notes});
    EXPECT_EQ(recursive.code, 0);
    EXPECT_EQ(recursive.err, QString());
    QDir(dir.path()).mkpath(QStringLiteral("bare/empty"));
    const QString bare = dir.filePath(QStringLiteral("bare"));
    EXPECT_EQ(runCli({QStringLiteral("--recursive"), bare, good}).err,
              QStringLiteral("rorevadi-cli: %1 and its subfolders hold no .csv, .txt, .dat or .xlsx file\n").arg(bare));
}

// Instruments often write one file name into every specimen's folder: the summary's rows,
// its curves and the files written for each carry as many folders as tell the files apart.
TEST(CliFiles, FilesOfOneNameAreToldApartInSummaryAndOutputs)
{
    QTemporaryDir dir;
    for (const char* name : {"programme/specA/data.csv", "programme/specB/data.csv", "programme/lone.csv"}) {
        QDir(dir.path()).mkpath(QFileInfo(QString::fromLatin1(name)).path());
        writeFile(dir, QString::fromLatin1(name), specimenCurve(5, 100));
    }
    const QString programme = dir.filePath(QStringLiteral("programme"));
    const QString csv = dir.filePath(QStringLiteral("s.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("s.xlsx"));
    for (const QString& summary : {csv, xlsx}) {
        const CliRun run = runCli({QStringLiteral("-r"), QStringLiteral("--summary"), summary, programme});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        // The tables on standard output keep the paths as found.
        EXPECT_TRUE(run.out.contains(QDir(programme).filePath(QStringLiteral("specA/data.csv")).toUtf8()));
    }
    QStringList rows;
    for (const QString& line : QString::fromUtf8(readFile(csv)).split(QStringLiteral("\r\n")).mid(1, 3))
        rows << line.section(u',', 0, 0);
    EXPECT_EQ(rows, (QStringList{"lone.csv", "specA/data.csv", "specB/data.csv"}));
    // Their outputs in --out-dir are kept apart the same way.
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun written =
        runCli({QStringLiteral("-r"), QStringLiteral("--out-dir"), out, QStringLiteral("--test-sheet"), programme});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    EXPECT_EQ(
        QDir(out).entryList(QDir::Files),
        (QStringList{"lone_TestSheet.pdf", "lone_YieldingPoint.csv", "specA_data_TestSheet.pdf",
                     "specA_data_YieldingPoint.csv", "specB_data_TestSheet.pdf", "specB_data_YieldingPoint.csv"}));
    EXPECT_EQ(summaryCurveNames(sheetRows(xlsx, QStringLiteral("Curves"))),
              (QStringList{"lone.csv", "specA/data.csv", "specB/data.csv"}));
}

TEST(CliFiles, UsageErrorsOfTheBatchOptions)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("x/y"));
    writeFile(dir, QStringLiteral("x/s.csv"), specimenCurve(1, 50));
    writeFile(dir, QStringLiteral("x/s.txt"), specimenCurve(2, 50));
    QDir(dir.path()).mkpath(QStringLiteral("empty"));
    const QString x = dir.filePath(QStringLiteral("x"));
    struct Case {
        const char* name;
        QStringList args;
        const char* error;
    };
    const Case cases[] = {
        {"jobs zero", {"--jobs", "0", x}, "--jobs takes a whole number"},
        {"jobs text", {"-j", "two", x}, "--jobs takes a whole number"},
        {"summary kind", {"--summary", "s.txt", x}, "--summary writes a .csv or an .xlsx"},
        {"one name, two kinds", {"--out-dir", dir.filePath("out"), x}, "would both write s_Yield"},
        {"report of a folder",
         {"--report", dir.filePath("r.csv"), x, "--recursive"},
         "--report takes exactly one FILE"},
        {"empty folder", {dir.filePath("empty")}, "hold no data file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.code, cli::kExitUsage);
        EXPECT_TRUE(run.err.contains(QLatin1StringView(c.error))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(CliProgress, LineSaysDoneTotalRateAndTimeLeft)
{
    struct Case {
        int done, total;
        qint64 ms;
        const char* text;
    };
    const Case cases[] = {
        {0, 5, 0, "0/5 files"},
        {3, 10, 2000, "3/10 files, 1.5 files/s, 0:05 left"},
        {37, 1000, 3000, "37/1000 files, 12 files/s, 1:19 left"},
        {1, 10000, 1000, "1/10000 files, 1.0 files/s, 2:46:39 left"},
        {10, 10, 500, "10/10 files, 20 files/s, 0:00 left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cli::ProgressLine::text(c.done, c.total, c.ms), QLatin1StringView(c.text));

    QString shown;
    QTextStream err(&shown);
    {
        cli::ProgressLine line(err, 3, true);
        line.update(1);
        line.update(3);
    }
    // Drawn over itself and wiped at the end: nothing but the carriage returns remains visible.
    EXPECT_TRUE(shown.startsWith(u'\r'));
    EXPECT_TRUE(shown.endsWith(u'\r'));
    EXPECT_TRUE(shown.contains(QStringLiteral("3/3 files")));
    EXPECT_FALSE(cli::ProgressLine::isTerminal(err));

    // Wiped for the results written under it, and shown again at once after them, however
    // soon: a file's table starts at the left of the screen, the line stays below it.
    shown.clear();
    {
        cli::ProgressLine line(err, 3, true);
        line.update(1);
        err.flush();
        const qsizetype drawn = shown.size();  // "\r" and the line
        line.wipe();
        err.flush();
        EXPECT_EQ(shown.mid(drawn), QLatin1Char('\r') + QString(drawn - 1, QLatin1Char(' ')) + QLatin1Char('\r'));
        const qsizetype wiped = shown.size();
        line.update(2);
        err.flush();
        EXPECT_TRUE(shown.mid(wiped).startsWith(QStringLiteral("\r2/3 files"))) << shown.toStdString();
    }
    cli::ProgressLine hidden(err, 3, false);
    shown.clear();
    hidden.update(1);
    hidden.wipe();
    err.flush();
    EXPECT_TRUE(shown.isEmpty());
}

}  // namespace
}  // namespace rz

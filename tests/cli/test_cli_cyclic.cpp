// The batch tool on cyclic records: one JSON object per file and direction whose results
// are exactly those of a monotonic file holding that direction's envelope, the added keys
// in their place and order, the tables per direction and their mean, and the flags'
// usage errors.
#include "../core/CyclicRecords.h"
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include "cli/Cli.h"
#include "core/import/CellRow.h"
#include "core/import/XlsxReader.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>

namespace rz {
namespace {

using namespace rz::test;

QByteArray fileOf(const std::vector<Point>& points)
{
    std::string s = "displacement,load\n";
    for (const Point& p : points)
        s += exactText(p.x) + "," + exactText(p.y) + "\n";
    return QByteArray::fromStdString(s);
}

QList<QJsonObject> jsonLines(const CliRun& r)
{
    QList<QJsonObject> out;
    for (const QByteArray& line : r.out.trimmed().split('\n'))
        out << QJsonDocument::fromJson(line).object();
    return out;
}

// What the analysis gave, without what names the file.
QJsonObject results(const QJsonObject& json)
{
    QJsonObject state = json[QStringLiteral("state")].toObject();
    state.remove(QStringLiteral("ResultBaseName"));
    state.remove(QStringLiteral("SourceDataPath"));
    return {{QStringLiteral("state"), state},
            {QStringLiteral("methods"), json[QStringLiteral("methods")]},
            {QStringLiteral("series"), json[QStringLiteral("series")]},
            {QStringLiteral("points"), json[QStringLiteral("points")]}};
}

// The keys of a JSON line in their written order (QJsonObject sorts them).
QStringList topKeys(const QByteArray& line)
{
    QStringList keys;
    int depth = 0;
    bool inString = false;
    QString current;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            else if (depth == 1)
                current += QLatin1Char(c);
            continue;
        }
        if (c == '"') {
            inString = true;
            current.clear();
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ':' && depth == 1) {
            keys << current;
        }
    }
    return keys;
}

CyclicShape shape()
{
    CyclicShape s{test::exponential(50.0, 30.0),
                  test::piecewiseLinear({{3, 25}, {10, 50}, {25, 55}, {30, 20}}),
                  {2, 4, 8, 12, 16, 20, 26},
                  {1, 2, 3, 3, 3, 3, 3}};
    s.cycleFactors = {1.0, 0.9, 0.85};
    return s;
}

TEST(CliCyclic, EachDirectionIsTheMonotonicAnalysisOfItsEnvelope)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("record.csv"), fileOf(makeCyclicRecord(shape()).samples));
    for (const char* envelope : {"first", "last", "max"}) {
        SCOPED_TRACE(envelope);
        const CliRun r = runCli({QStringLiteral("--cyclic"), QStringLiteral("--envelope"),
                                 QString::fromLatin1(envelope), QStringLiteral("--json"), path});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QList<QJsonObject> lines = jsonLines(r);
        ASSERT_EQ(lines.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QJsonObject& json = lines[i];
            EXPECT_EQ(json[QStringLiteral("direction")].toString(), QLatin1String(i == 0 ? "positive" : "negative"));
            std::vector<Point> points;
            for (const QJsonValue& p : json[QStringLiteral("envelope")].toArray())
                points.push_back({p.toArray()[0].toDouble(), p.toArray()[1].toDouble()});
            ASSERT_FALSE(points.empty());
            EXPECT_EQ(points.front(), (Point{0.0, 0.0}));
            // Both envelopes are rising curves with positive loads, the negative one mirrored.
            EXPECT_GT(points.back().y, 0.0);
            const QString monotonic = writeFile(dir, QStringLiteral("envelope.csv"), fileOf(points));
            const CliRun m = runCli({QStringLiteral("--json"), monotonic});
            ASSERT_EQ(m.code, 0);
            EXPECT_EQ(results(json), results(jsonLines(m).front()));
        }
    }
}

TEST(CliCyclic, AddedKeysComeAfterPointsAndImport)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("record.csv"), fileOf(makeCyclicRecord(shape()).samples));
    const CliRun r = runCli({QStringLiteral("--cyclic"), QStringLiteral("--tolerance"), QStringLiteral("0.02"),
                             QStringLiteral("--peak"), QStringLiteral("displacement"), QStringLiteral("--direction"),
                             QStringLiteral("negative"), QStringLiteral("--json"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(topKeys(lines[0]), (QStringList{"source", "lines", "points", "import", "direction", "samples", "cyclic",
                                              "envelope", "messages", "factors", "state", "methods", "series"}));
    const QJsonObject json = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(json[QStringLiteral("direction")].toString(), QStringLiteral("negative"));
    EXPECT_EQ(json[QStringLiteral("samples")].toInt(), static_cast<int>(makeCyclicRecord(shape()).samples.size()));
    const QJsonObject cyclic = json[QStringLiteral("cyclic")].toObject();
    EXPECT_EQ(cyclic[QStringLiteral("tolerance")].toDouble(), 0.02);
    EXPECT_EQ(cyclic[QStringLiteral("envelope")].toString(), QStringLiteral("first"));
    EXPECT_EQ(cyclic[QStringLiteral("peak")].toString(), QStringLiteral("displacement"));
    EXPECT_EQ(cyclic[QStringLiteral("phases")].toInt(), 7);
    EXPECT_EQ(cyclic[QStringLiteral("excursions")].toInt(), 18);  // 1 + 2 + 5 × 3 cycles
    EXPECT_EQ(cyclic[QStringLiteral("reversals")].toInt(), 18);
    // Peak by displacement: the tips, mirrored; the first cycle's tip lies on the backbone.
    const QJsonArray envelope = json[QStringLiteral("envelope")].toArray();
    ASSERT_EQ(envelope.size(), 8);
    EXPECT_EQ(envelope[1].toArray()[0].toDouble(), 2.0);
    EXPECT_EQ(envelope[7].toArray()[0].toDouble(), 26.0);
    EXPECT_EQ(envelope[7].toArray()[1].toDouble(), shape().negative(26.0));
}

TEST(CliCyclic, TablesPerDirectionAndTheirMean)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("record.csv"), fileOf(makeCyclicRecord(shape()).samples));
    const CliRun r = runCli({QStringLiteral("--cyclic"), path});
    ASSERT_EQ(r.code, 0);
    const QString out = QString::fromUtf8(r.out);
    const qsizetype p = out.indexOf(QStringLiteral("== ") + path + QStringLiteral(" (positive)"));
    const qsizetype n = out.indexOf(QStringLiteral("== ") + path + QStringLiteral(" (negative)"));
    const qsizetype a = out.indexOf(QStringLiteral("== ") + path + QStringLiteral(" (average)"));
    EXPECT_TRUE(p >= 0 && p < n && n < a) << out.toStdString();
    // The negative backbone at the amplitude 20: 50 + 10 * 5 / 15; the mean is another load.
    EXPECT_TRUE(out.mid(n, a - n).contains(QStringLiteral("Max. Load                53.33333 "))) << out.toStdString();
    EXPECT_FALSE(out.mid(a).contains(QStringLiteral("Max. Load                53.33333 "))) << out.toStdString();
}

// The summary workbook's curves: one per row, named as the row, each direction's envelope
// in its own quadrant; the same workbook whatever the run prints.
TEST(CliCyclic, TheSummaryWorkbookHasACurvePerRowWhateverIsPrinted)
{
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    QTemporaryDir dir;
    const QString record = writeFile(dir, QStringLiteral("record.csv"), fileOf(makeCyclicRecord(shape()).samples));
    const QString rising = writeFile(dir, QStringLiteral("rising.csv"), "d,l\n0,0\n1,50\n2,80\n3,95\n4,100\n");
    QByteArray workbooks[2];
    QList<QJsonObject> lines;
    for (int json = 0; json < 2; ++json) {
        const QString summary = dir.filePath(QStringLiteral("s%1.xlsx").arg(json));
        QStringList args{QStringLiteral("--cyclic"), QStringLiteral("--summary"), summary, record, rising};
        if (json)
            args.prepend(QStringLiteral("--json"));
        const CliRun r = runCli(args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        workbooks[json] = readFile(summary);
        if (json)
            lines = jsonLines(r);
    }
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(workbooks[0], workbooks[1]);

    const std::vector<CellRow> rows = sheetRows(dir.filePath(QStringLiteral("s0.xlsx")), QStringLiteral("Curves"));
    ASSERT_GT(rows.size(), 34u);
    EXPECT_EQ(summaryCurveNames(rows),
              (QStringList{"record.csv (positive)", "record.csv (negative)", "rising.csv (positive)"}));

    // The negative curve is the JSON's negative envelope (given as magnitudes) turned back.
    ASSERT_EQ(lines.size(), 4);  // rising.csv's empty negative direction is printed too
    const QJsonArray envelope = lines[1][QStringLiteral("envelope")].toArray();
    ASSERT_FALSE(envelope.isEmpty());
    for (qsizetype k = 0; k < envelope.size(); ++k) {
        SCOPED_TRACE(k);
        const CellRow& row = rows[static_cast<std::size_t>(34 + k)];
        ASSERT_GE(row.size(), 4u);
        // The workbook stores 16 significant digits.
        const double x = 0.0 - envelope[k].toArray()[0].toDouble();
        const double y = 0.0 - envelope[k].toArray()[1].toDouble();
        EXPECT_NEAR(cellNumber(row[2], u'.').value_or(1.0), x, 1e-14 * std::abs(x));
        EXPECT_NEAR(cellNumber(row[3], u'.').value_or(1.0), y, 1e-14 * std::abs(y));
    }
}

// A direction asked for that the record does not have is not calculated: the run says so.
TEST(CliCyclic, ADirectionWithoutEnvelopeEndsInOne)
{
    QTemporaryDir dir;
    const QString rising = writeFile(dir, QStringLiteral("rising.csv"), "d,l\n0,0\n1,50\n2,80\n3,95\n4,100\n");
    EXPECT_EQ(runCli({QStringLiteral("--cyclic"), rising}).code, cli::kExitOk);
    EXPECT_EQ(
        runCli({QStringLiteral("--cyclic"), QStringLiteral("--direction"), QStringLiteral("positive"), rising}).code,
        cli::kExitOk);
    EXPECT_EQ(
        runCli({QStringLiteral("--cyclic"), QStringLiteral("--direction"), QStringLiteral("negative"), rising}).code,
        cli::kExitIncomplete);
}

TEST(CliCyclic, UsageErrors)
{
    struct Case {
        QStringList args;
        const char* error;
    };
    const Case cases[] = {
        {{"--tolerance", "0.1", "f.csv"}, "--tolerance needs --cyclic"},
        {{"--direction", "both", "f.csv"}, "--direction needs --cyclic"},
        {{"--cyclic", "--tolerance", "0.5", "f.csv"}, "--tolerance takes a number at least 0 and less than 0.5"},
        {{"--cyclic", "--tolerance", "0,1", "f.csv"}, "--tolerance takes"},
        {{"--cyclic", "--envelope", "middle", "f.csv"}, "--envelope takes first, last or max"},
        {{"--cyclic", "--peak", "force", "f.csv"}, "--peak takes load or displacement"},
        {{"--cyclic", "--direction", "up", "f.csv"}, "--direction takes positive, negative or both"},
        {{"--cyclic", "--detect", "f.csv"}, "--detect calculates nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.code, cli::kExitUsage);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.error))) << r.err.toStdString();
    }
}

}  // namespace
}  // namespace rz

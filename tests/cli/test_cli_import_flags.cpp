// The batch tool's import flags: the real exports read into exactly their twins' results,
// every flag does what it says, --auto and --detect, bad values are usage errors, and
// without a flag nothing changes.
#include "../core/WorkbenchTestSupport.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace rz {
namespace {

using namespace rz::test;

QString fixture(const char* name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/import_options/") + QString::fromLatin1(name);
}

QJsonObject onlyJson(const CliRun& r)
{
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 1) << r.out.toStdString();
    return QJsonDocument::fromJson(lines.value(0)).object();
}

QStringList args(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

// The results of a file, without what names the file.
QJsonObject results(QJsonObject json)
{
    QJsonObject state = json[QStringLiteral("state")].toObject();
    state.remove(QStringLiteral("ResultBaseName"));
    state.remove(QStringLiteral("SourceDataPath"));
    QJsonObject kept;
    kept.insert(QStringLiteral("state"), state);
    kept.insert(QStringLiteral("series"), json[QStringLiteral("series")]);
    kept.insert(QStringLiteral("points"), json[QStringLiteral("points")]);
    return kept;
}

struct RealFile {
    const char* raw;
    const char* twin;
    QStringList flags;  // what a user types for it
    int firstDataLine;
    QJsonValue stopLine;
    const char* stopReason;
};

TEST(CliImportFlags, RealExportsGiveTheirTwinsResults)
{
    const RealFile files[] = {
        {"metal_round_bar_tensile_instron_01_raw.csv", "metal_round_bar_tensile_instron_01.csv",
         args({"--encoding", "utf-8", "--separator", "tab", "--decimal-separator", ".", "--skip-lines", "2",
               "--columns", "1,2"}),
         3, QJsonValue(), "end-of-file"},
        {"polymer_film_tensile_zwick_01_raw.csv", "polymer_film_tensile_zwick_01.csv",
         args({"--encoding", "latin-1", "--separator", "tab", "--skip-lines", "18", "--columns", "2,3"}), 19,
         QJsonValue(), "end-of-file"},
        {"concrete_cylinder_compression_mts_01_raw.csv", "concrete_cylinder_compression_mts_01.csv",
         args({"--separator", "tab", "--decimal-separator", ",", "--skip-lines", "15", "--columns", "5,4"}), 16,
         QJsonValue(947), "blank-line"},
    };
    for (const RealFile& f : files) {
        const CliRun twin = runCli({QStringLiteral("--json"), fixture(f.twin)});
        ASSERT_EQ(twin.code, 0) << twin.err.toStdString();
        const QJsonObject expected = results(onlyJson(twin));
        ASSERT_GT(expected[QStringLiteral("points")].toInt(), 700);
        for (const QStringList& flags : {QStringList{QStringLiteral("--auto")}, f.flags}) {
            SCOPED_TRACE(std::string(f.raw) + " " + flags.join(u' ').toStdString());
            const CliRun r = runCli(QStringList{QStringLiteral("--json")} + flags + QStringList{fixture(f.raw)});
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
            const QJsonObject json = onlyJson(r);
            EXPECT_EQ(results(json), expected);
            // "import" right after "points".
            EXPECT_TRUE(r.out.contains(",\"import\":{\"columnNames\":[")) << r.out.left(300).toStdString();
            EXPECT_LT(r.out.indexOf("\"points\":"), r.out.indexOf("\"import\":"));
            EXPECT_LT(r.out.indexOf("\"import\":"), r.out.indexOf("\"messages\":"));
            const QJsonObject import = json[QStringLiteral("import")].toObject();
            EXPECT_EQ(import[QStringLiteral("firstDataLine")].toInt(), f.firstDataLine);
            EXPECT_EQ(import[QStringLiteral("stopLine")], f.stopLine);
            EXPECT_EQ(import[QStringLiteral("stopReason")].toString().toStdString(), f.stopReason);
            EXPECT_EQ(import[QStringLiteral("displacementUnit")].toString(), QStringLiteral("mm"));
        }
    }
}

class CliImportFlag : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // Load before displacement, in N, with a units line; displacements go back once.
    QString loadFirst()
    {
        return writeFile(dir, QStringLiteral("load_first.txt"),
                         "Kraft;Weg;Zeit\nN;m;s\n100;0,002;0\n1000;0,001;1\n3000;0,004;2\n2500;0,005;3\n"
                         "2000;0,006;4\n");
    }
    QJsonObject run(const QStringList& flags, const QString& file)
    {
        const CliRun r = runCli(QStringList{QStringLiteral("--json")} + flags + QStringList{file});
        EXPECT_NE(r.code, 2) << r.err.toStdString();
        return onlyJson(r);
    }
    static std::vector<Point> curve(const QJsonObject& json)
    {
        std::vector<Point> points;
        for (const QJsonValue& p : json[QStringLiteral("series")].toObject()[QStringLiteral("lnsrsSeries4")].toArray())
            points.push_back({p.toArray()[0].toDouble(), p.toArray()[1].toDouble()});
        return points;
    }
    static QJsonObject optionsOf(const QJsonObject& json)
    {
        return json[QStringLiteral("import")].toObject()[QStringLiteral("options")].toObject();
    }
};

TEST_F(CliImportFlag, EachFlagDoesWhatItSays)
{
    const QString file = loadFirst();
    const QStringList base = args({"--auto"});
    // Detected: columns 2 and 1, decimal comma, two lines skipped; sorted by displacement.
    const QJsonObject plain = run(base, file);
    ASSERT_TRUE(
        nearlySamePoints(curve(plain), {{0.001, 1000}, {0.002, 100}, {0.004, 3000}, {0.005, 2500}, {0.006, 2000}}));
    EXPECT_EQ(optionsOf(plain)[QStringLiteral("loadColumn")].toInt(), 1);

    const struct {
        QStringList flags;
        const char* key;
        QJsonValue value;
        std::initializer_list<Pt> points;
    } cases[] = {
        {args({"--scale-displacement", "m-mm"}),
         "scaleDisplacement",
         QStringLiteral("m-to-mm"),
         {{1, 1000}, {2, 100}, {4, 3000}, {5, 2500}, {6, 2000}}},
        {args({"--scale-displacement", "1000"}),
         "scaleDisplacement",
         1000.0,
         {{1, 1000}, {2, 100}, {4, 3000}, {5, 2500}, {6, 2000}}},
        {args({"--scale-load", "N-kN"}),
         "scaleLoad",
         QStringLiteral("n-to-kn"),
         {{0.001, 1}, {0.002, 0.1}, {0.004, 3}, {0.005, 2.5}, {0.006, 2}}},
        {args({"--scale-load", "kip-kN"}),
         "scaleLoad",
         QStringLiteral("kip-to-kn"),
         {{0.001, 4448.2216152605},
          {0.002, 444.82216152605},
          {0.004, 13344.6648457815},
          {0.005, 11120.55403815125},
          {0.006, 8896.443230521}}},
        {args({"--flip-load"}),
         "flipLoad",
         true,
         {{0.001, -1000}, {0.002, -100}, {0.004, -3000}, {0.005, -2500}, {0.006, -2000}}},
        {args({"--flip-displacement"}),
         "flipDisplacement",
         true,
         {{-0.006, 2000}, {-0.005, 2500}, {-0.004, 3000}, {-0.002, 100}, {-0.001, 1000}}},
        {args({"--from-origin"}),
         "fromOrigin",
         true,
         {{-0.001, 900}, {0, 0}, {0.002, 2900}, {0.003, 2400}, {0.004, 1900}}},
        // The curve stays sorted; the file's order is kept beside it (for cyclic records).
        {args({"--keep-order"}),
         "order",
         QStringLiteral("file-order"),
         {{0.001, 1000}, {0.002, 100}, {0.004, 3000}, {0.005, 2500}, {0.006, 2000}}},
        // Given with --auto, a flag wins over detection.
        {args({"--columns", "2,3"}), "loadColumn", 3, {{0.001, 1}, {0.002, 0}, {0.004, 2}, {0.005, 3}, {0.006, 4}}},
        // Names are matched against the header; the options used name the column's number.
        {args({"--columns", "Weg,Kraft"}),
         "loadColumn",
         1,
         {{0.001, 1000}, {0.002, 100}, {0.004, 3000}, {0.005, 2500}, {0.006, 2000}}},
        // Line 3 above the data is not a header: the columns must be given too.
        {args({"--skip-lines", "3", "--columns", "2,1"}),
         "skipLines",
         3,
         {{0.001, 1000}, {0.004, 3000}, {0.005, 2500}, {0.006, 2000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags.join(u' ').toStdString());
        const QJsonObject json = run(base + c.flags, file);
        EXPECT_EQ(optionsOf(json)[QString::fromLatin1(c.key)], c.value);
        EXPECT_TRUE(nearlySamePoints(curve(json), c.points));
    }
    // Units follow the presets.
    const QJsonObject kn = run(base + args({"--scale-load", "N-kN"}), file)[QStringLiteral("import")].toObject();
    EXPECT_EQ(kn[QStringLiteral("loadUnit")].toString(), QStringLiteral("kN"));
    EXPECT_EQ(kn[QStringLiteral("displacementUnit")].toString(), QStringLiteral("m"));
}

TEST_F(CliImportFlag, TextOptionsWithoutAutoAndWorkbookSheets)
{
    // Without --auto the flags start from the plain layout: line 1 skipped, columns 1 and 2.
    const QString semicolons = writeFile(dir, QStringLiteral("s.csv"), "d;l\n0;0\n1;5\n2;9\n3;12\n");
    EXPECT_TRUE(nearlySamePoints(curve(run(args({"--separator", "semicolon"}), semicolons)),
                                 {{0, 0}, {1, 5}, {2, 9}, {3, 12}}));
    const QString pipes = writeFile(dir, QStringLiteral("p.txt"), "d|l\n0|0\n1|5,5\n");
    const QJsonObject piped = run(args({"--separator", "|", "--decimal-separator", "auto"}), pipes);
    EXPECT_TRUE(nearlySamePoints(curve(piped), {{0, 0}, {1, 5.5}}));
    EXPECT_EQ(optionsOf(piped)[QStringLiteral("separator")].toString(), QStringLiteral("|"));
    EXPECT_EQ(optionsOf(piped)[QStringLiteral("decimalSeparator")].toString(), QStringLiteral("comma"));
    // --decimal-separator auto leaves the factor texts with a point.
    EXPECT_EQ(piped[QStringLiteral("factors")].toObject()[QStringLiteral("ParkLoadFactor")].toString(),
              QStringLiteral("0.75"));

    QByteArray latin1 = "Weg\tKraft\xe4\n0\t0\n1\t5\n";
    const QString latin = writeFile(dir, QStringLiteral("l.txt"), latin1);
    const QJsonObject read = run(args({"--encoding", "latin-1", "--separator", "tab"}), latin);
    EXPECT_EQ(optionsOf(read)[QStringLiteral("encoding")].toString(), QStringLiteral("latin-1"));
    EXPECT_EQ(read[QStringLiteral("import")].toObject()[QStringLiteral("columnNames")].toArray()[1].toString(),
              QStringLiteral("Kraft\u00e4"));

    const QJsonObject sheet = run(args({"--auto", "--sheet", "Second test"}), fixture("openpyxl_curve.xlsx"));
    EXPECT_EQ(optionsOf(sheet)[QStringLiteral("sheet")].toString(), QStringLiteral("Second test"));
    EXPECT_EQ(sheet[QStringLiteral("points")].toInt(), 6);
}

TEST_F(CliImportFlag, FailuresAreReportedInTheImportObject)
{
    const CliRun r = runCli(args({"--json", "--auto", "--columns", "7,2"}) + QStringList{loadFirst()});
    EXPECT_EQ(r.code, 1);
    const QJsonObject json = onlyJson(r);
    EXPECT_EQ(json[QStringLiteral("points")].toInt(), 0);
    EXPECT_TRUE(json[QStringLiteral("import")].toObject()[QStringLiteral("message")].toString().startsWith(
        QStringLiteral("Column 7 does not exist")));
    const QJsonArray messages = json[QStringLiteral("messages")].toArray();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].toObject()[QStringLiteral("level")].toString(), QStringLiteral("warning"));
    EXPECT_EQ(messages[1].toObject()[QStringLiteral("text")].toString(), QStringLiteral("Import Data first!"));
}

TEST_F(CliImportFlag, DetectPrintsOneLinePerFile)
{
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    const CliRun r =
        runCli(args({"--detect"}) + QStringList{fixture("german_semicolon.csv"), fixture("no_numbers.txt"), missing});
    EXPECT_EQ(r.code, 1);  // the missing file
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("{\"source\":\"" + fixture("german_semicolon.csv").toUtf8() + "\","))
        << lines[0].toStdString();
    const QJsonObject german = QJsonDocument::fromJson(lines[0]).object();
    const QJsonObject options = german[QStringLiteral("options")].toObject();
    EXPECT_EQ(options[QStringLiteral("separator")].toString(), QStringLiteral("semicolon"));
    EXPECT_EQ(options[QStringLiteral("decimalSeparator")].toString(), QStringLiteral("comma"));
    EXPECT_EQ(options[QStringLiteral("skipLines")].toInt(), 6);
    EXPECT_EQ(german[QStringLiteral("columnUnits")].toArray()[1].toString(), QStringLiteral("kN"));
    EXPECT_FALSE(german.contains(QStringLiteral("failure")));
    EXPECT_TRUE(QJsonDocument::fromJson(lines[1]).object()[QStringLiteral("failure")].toString().startsWith(
        QStringLiteral("No data found")));
    EXPECT_TRUE(QJsonDocument::fromJson(lines[2]).object()[QStringLiteral("failure")].toString().contains(missing));
    EXPECT_TRUE(r.err.contains(missing));

    // Flags given with it are kept; files that can be read exit 0.
    const CliRun given = runCli(args({"--detect", "--columns", "2,1"}) + QStringList{fixture("german_semicolon.csv")});
    EXPECT_EQ(given.code, 0);
    EXPECT_EQ(
        QJsonDocument::fromJson(given.out).object()[QStringLiteral("options")].toObject()[QStringLiteral("loadColumn")],
        QJsonValue(1));
}

TEST_F(CliImportFlag, BadValuesAreUsageErrors)
{
    const QString file = loadFirst();
    const std::pair<QStringList, const char*> cases[] = {
        {args({"--columns", "1"}), "--columns takes two columns"},
        {args({"--columns", "0,2"}), "--columns takes two columns"},
        {args({"--columns", "1,"}), "--columns takes two columns"},
        {args({"--skip-lines", "-1"}), "--skip-lines takes a number of lines"},
        {args({"--skip-lines", "two"}), "--skip-lines takes a number of lines"},
        {args({"--separator", "7"}), "--separator takes auto, comma"},
        {args({"--separator", "colon"}), "--separator takes auto, comma"},
        {args({"--encoding", "ebcdic"}), "--encoding takes auto, utf-8"},
        {args({"--scale-displacement", "0"}), "--scale-displacement takes a number other than 0"},
        {args({"--scale-displacement", "nan"}), "--scale-displacement takes a number other than 0"},
        {args({"--scale-displacement", "N-kN"}), "--scale-displacement takes a number other than 0"},
        {args({"--scale-load", "inf"}), "--scale-load takes a number other than 0"},
        {args({"--scale-load", "m-mm"}), "--scale-load takes a number other than 0"},
        {args({"--sheet", ""}), "--sheet needs the name of a worksheet"},
        {args({"--sheet", "--out-dir", "out"}),
         "--sheet needs the name of a worksheet, not \"--out-dir\" (the one-page test sheet is --test-sheet)"},
        {args({"--auto", "--decimal-separator", ";"}), "with the import flags --decimal-separator takes auto, . or ,"},
        {args({"--detect", "--report", "r.csv"}), "--detect calculates nothing"},
    };
    for (const auto& [flags, message] : cases) {
        SCOPED_TRACE(message);
        const CliRun r = runCli(flags + QStringList{file});
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("rorevadi-cli: ") + QString::fromLatin1(message)))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(CliImportFlag, WithoutAFlagNothingChanges)
{
    // The plain reader (line 1 skipped, commas and blanks) and no "import" object.
    const QString file = writeFile(dir, QStringLiteral("worked.csv"), workedExampleFile());
    const CliRun plain = runCli({QStringLiteral("--json"), file});
    EXPECT_FALSE(plain.out.contains("\"import\""));
    EXPECT_EQ(onlyJson(plain)[QStringLiteral("lines")].toInt(), 9);
    // A decimal separator alone is no import flag: the plain reader with a comma.
    const CliRun comma = runCli({QStringLiteral("--json"), QStringLiteral("--decimal-separator"), QStringLiteral(","),
                                 writeFile(dir, QStringLiteral("c.csv"), "d l\n0 0\n\"1,5\" 2\n")});
    EXPECT_FALSE(comma.out.contains("\"import\""));
    EXPECT_EQ(onlyJson(comma)[QStringLiteral("points")].toInt(), 2);
}

TEST_F(CliImportFlag, PicturesCarryTheUnits)
{
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun r = runCli(args({"--auto", "--scale-load", "N-kN", "--out-dir"}) +
                            QStringList{out, QStringLiteral("--picture"), QStringLiteral("svg"), loadFirst()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray svg = readFile(QDir(out).filePath(QStringLiteral("load_first_YieldingPoint.svg")));
    EXPECT_TRUE(svg.contains("Displacement (m)")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("Force (kN)"));
}

}  // namespace
}  // namespace rz

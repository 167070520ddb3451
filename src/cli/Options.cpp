#include "cli/Options.h"

#include "cli/OptionRow.h"
#include "cli/OutputPaths.h"
#include "core/batch/BatchAnalysis.h"
#include "core/text/NumberText.h"
#include "core/workbench/Workbench.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <initializer_list>
#include <vector>

namespace rz::cli {

namespace {

// Adding an option is adding a row here; the parser and the help text follow.
const OptionRow kOptions[] = {
    {{"load-reduction"},
     "TEXT",
     {"factor text for the \"Load Reduction Factor\" field (default \"0.15\")"},
     [](ParsedArguments& p, const QString& v) {
         p.options.loadReduction = v;
         return QString();
     }},
    {{"secant"},
     "TEXT",
     {"factor text for the \"Load Factor for Secant\" field (default \"0.1\")"},
     [](ParsedArguments& p, const QString& v) {
         p.options.secant = v;
         return QString();
     }},
    {{"park"},
     "TEXT",
     {"factor text for the R.Park \"Load Factor\" field (default \"0.75\")"},
     [](ParsedArguments& p, const QString& v) {
         p.options.park = v;
         return QString();
     }},
    {{"decimal-separator"},
     "C",
     {"decimal separator for the data files and factor texts (default \".\");",
      "the default factor texts are written with it; auto detects it in each",
      "file (an import flag, below) and the factor texts keep \".\""},
     [](ParsedArguments& p, const QString& v) {
         if (v == QLatin1String("auto")) {
             p.options.import.given = true;
             p.options.import.decimalAuto = true;
             return QString();
         }
         if (v.size() != 1)
             return QStringLiteral("--decimal-separator needs one character");
         p.options.separator = v.at(0);
         return QString();
     }},
    {{"json"},
     nullptr,
     {"one JSON object per FILE, one per line, on standard output"},
     [](ParsedArguments& p, const QString&) {
         p.options.json = true;
         return QString();
     }},
    {{"report"},
     "PATH",
     {"write the results report of the (single) FILE to PATH; \"-\" writes it", "to standard output"},
     [](ParsedArguments& p, const QString& v) {
         p.options.reportPath = v;
         return QString();
     }},
    {{"out-dir"},
     "DIR",
     {"for every FILE write DIR/<name>_YieldingPoint.csv; DIR and its parents", "are created when missing"},
     [](ParsedArguments& p, const QString& v) {
         p.options.outDir = v;
         return QString();
     }},
    {{"picture"},
     "FORMAT",
     {"with --out-dir, also write the chart as DIR/<name>_YieldingPoint.FORMAT", "(bmp, png, pdf or svg)"},
     [](ParsedArguments& p, const QString& v) {
         p.options.picture = pictureFormatFromPath(QLatin1Char('.') + v);
         if (!p.options.picture)
             return QStringLiteral("--picture takes bmp, png, pdf or svg, not \"%1\"").arg(v);
         return QString();
     }},
    {{"xlsx"},
     nullptr,
     {"with --out-dir, also write DIR/<name>_YieldingPoint.xlsx: the chart's",
      "series and a native scatter chart, as \"Export Excel\" builds it"},
     [](ParsedArguments& p, const QString&) {
         p.options.xlsx = true;
         return QString();
     }},
    {{"test-sheet"},
     nullptr,
     {"with --out-dir, also write DIR/<name>_TestSheet.pdf: the one-page test",
      "sheet (A4) with the chart, the results and the notes"},
     [](ParsedArguments& p, const QString&) {
         p.options.sheet = true;
         return QString();
     }},
    {{"excel-layout"},
     "L",
     {"single (default) or combined: the workbook's sheet layout"},
     [](ParsedArguments& p, const QString& v) {
         if (v == QLatin1String("single"))
             p.options.excelLayout = 0;
         else if (v == QLatin1String("combined"))
             p.options.excelLayout = 1;
         else
             return QStringLiteral("--excel-layout takes single or combined, not \"%1\"").arg(v);
         return QString();
     }},
    {{"summary"},
     "PATH",
     {"write the summary of all FILEs to PATH: one row per file and the count,",
      "mean, standard deviation, coefficient of variation, minimum and maximum",
      "of every column; PATH.csv as the report's CSV, PATH.xlsx as a workbook",
      "whose statistics are formulas, with a sheet of every curve and its chart"},
     [](ParsedArguments& p, const QString& v) {
         const QString suffix = QFileInfo(v).suffix().toLower();
         if (suffix != QLatin1String("csv") && suffix != QLatin1String("xlsx"))
             return QStringLiteral("--summary writes a .csv or an .xlsx file, not \"%1\"").arg(v);
         p.options.summaryPath = v;
         return QString();
     }},
    {{"j", "jobs"},
     "N",
     {"analyse N files at once (default: one per processor core); every output",
      "is the same as with --jobs 1, in the order the FILEs were given"},
     [](ParsedArguments& p, const QString& v) {
         bool ok = false;
         const int jobs = v.toInt(&ok);
         if (!ok || jobs < 1 || jobs > 1024)
             return QStringLiteral("--jobs takes a whole number from 1 to 1024, not \"%1\"").arg(v);
         p.options.jobs = jobs;
         return QString();
     }},
    {{"r", "recursive"},
     nullptr,
     {"a folder FILE also takes the data files of its subfolders"},
     [](ParsedArguments& p, const QString&) {
         p.options.recursive = true;
         return QString();
     }},
    {{"cyclic"},
     nullptr,
     {"each FILE is a cyclic record: read in file order (implies --keep-order),",
      "the envelope of each loading direction analysed as a curve; see docs/cyclic.md"},
     [](ParsedArguments& p, const QString&) {
         p.options.cyclic = true;
         return QString();
     }},
    {{"tolerance"},
     "T",
     {"with --cyclic: the dead band as a fraction of the displacement range,", "0 <= T < 0.5 (default 0.01)"},
     [](ParsedArguments& p, const QString& v) {
         const std::optional<double> t = parseDecimal(v, u'.');
         if (!t || !toleranceIsValid(*t))
             return QStringLiteral("--tolerance takes a number at least 0 and less than 0.5, not \"%1\"").arg(v);
         p.options.cyclicOptions.tolerance = *t;
         return QString();
     }},
    {{"envelope"},
     "E",
     {"with --cyclic: the cycle of each phase that gives the envelope point:", "first (default), last or max"},
     [](ParsedArguments& p, const QString& v) {
         const auto e = choiceFromKey(kEnvelopeChoiceNames, v.toStdString());
         if (!e)
             return QStringLiteral("--envelope takes first, last or max, not \"%1\"").arg(v);
         p.options.cyclicOptions.envelope = *e;
         return QString();
     }},
    {{"peak"},
     "P",
     {"with --cyclic: an excursion's peak is its largest load (load, default)", "or its end point (displacement)"},
     [](ParsedArguments& p, const QString& v) {
         const auto peak = choiceFromKey(kPeakChoiceNames, v.toStdString());
         if (!peak)
             return QStringLiteral("--peak takes load or displacement, not \"%1\"").arg(v);
         p.options.cyclicOptions.peak = *peak;
         return QString();
     }},
    {{"direction"},
     "D",
     {"with --cyclic: positive, negative or both (default): the directions", "printed"},
     [](ParsedArguments& p, const QString& v) {
         if (v == QLatin1String("both")) {
             p.options.direction.reset();
             return QString();
         }
         const auto d = choiceFromKey(kDirectionNames, v.toStdString());
         if (!d)
             return QStringLiteral("--direction takes positive, negative or both, not \"%1\"").arg(v);
         p.options.direction = *d;
         return QString();
     }},
    {{"h", "help"},
     nullptr,
     {"show this help"},
     [](ParsedArguments& p, const QString&) {
         p.help = true;
         return QString();
     }},
    {{"version"},
     nullptr,
     {"show the version"},
     [](ParsedArguments& p, const QString&) {
         p.version = true;
         return QString();
     }},
};

// The table above, then the import flags.
std::vector<const OptionRow*> allRows()
{
    std::vector<const OptionRow*> rows;
    for (const OptionRow& row : kOptions)
        rows.push_back(&row);
    for (const OptionRow& row : importOptionRows())
        rows.push_back(&row);
    return rows;
}

QStringList namesOf(const OptionRow& row)
{
    QStringList names;
    for (const char* name : row.names)
        names << QString::fromLatin1(name);
    return names;
}

// "-h, --help" or "--park TEXT".
QString synopsis(const OptionRow& row)
{
    QStringList shown;
    for (const char* name : row.names)
        shown << (qstrlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--")) + QString::fromLatin1(name);
    QString text = shown.join(QStringLiteral(", "));
    if (row.valueName)
        text += QLatin1Char(' ') + QString::fromLatin1(row.valueName);
    return text;
}

// The checks that need every option at once.
QString checkTogether(Options& o, const QCommandLineParser& parser)
{
    // Defaults not given are written with the chosen separator, as the window shows them.
    const std::pair<const char*, QString*> factors[] = {
        {"load-reduction", &o.loadReduction}, {"secant", &o.secant}, {"park", &o.park}};
    for (const auto& [name, text] : factors) {
        if (!parser.isSet(QString::fromLatin1(name)))
            text->replace(QLatin1Char('.'), o.separator);
    }
    if (o.files.isEmpty())
        return QStringLiteral("no FILE given");
    for (const char* name : {"tolerance", "envelope", "peak", "direction"}) {
        if (!o.cyclic && parser.isSet(QString::fromLatin1(name)))
            return QStringLiteral("--%1 needs --cyclic").arg(QString::fromLatin1(name));
    }
    if (o.cyclic) {
        if (o.import.detectOnly)
            return QStringLiteral("--detect calculates nothing: it takes no --cyclic");
        o.import.given = true;
        o.import.cyclic = o.cyclicOptions;
    }
    if (const QString problem =
            finishImportFlags(o.import, o.separator, parser.isSet(QStringLiteral("decimal-separator")));
        !problem.isEmpty())
        return problem;
    if (o.import.detectOnly && (!o.reportPath.isEmpty() || !o.outDir.isEmpty()))
        return QStringLiteral("--detect calculates nothing: it takes no --report or --out-dir");
    if (!o.reportPath.isEmpty() && o.files.size() != 1)
        return QStringLiteral("--report takes exactly one FILE");
    if (o.reportPath == QLatin1String("-") && o.json)
        return QStringLiteral("--report - and --json both write to standard output");
    if (o.picture && o.outDir.isEmpty())
        return QStringLiteral("--picture needs --out-dir");
    if (o.xlsx && o.outDir.isEmpty())
        return QStringLiteral("--xlsx needs --out-dir");
    if (o.sheet && o.outDir.isEmpty())
        return QStringLiteral("--test-sheet needs --out-dir");
    if (o.import.detectOnly && !o.summaryPath.isEmpty())
        return QStringLiteral("--detect calculates nothing: it takes no --summary");
    if (!o.outDir.isEmpty())
        return outputNameClash(o.files, specimenNames(o.files));
    return {};
}

}  // namespace

ParsedArguments parseArguments(const QStringList& args)
{
    QCommandLineParser parser;
    std::vector<QCommandLineOption> options;
    const std::vector<const OptionRow*> rows = allRows();
    for (const OptionRow* row : rows) {
        options.emplace_back(namesOf(*row), QString(),
                             row->valueName ? QString::fromLatin1(row->valueName) : QString());
        parser.addOption(options.back());
    }
    ParsedArguments parsed;
    // The first argument is taken for the program's name.
    if (!parser.parse(QStringList(QStringLiteral("rorevadi-cli")) + args)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!parser.isSet(options[i]))
            continue;
        // Given more than once, the last one counts.
        const QString value = rows[i]->valueName ? parser.values(options[i]).constLast() : QString();
        const QString problem = rows[i]->apply(parsed, value);
        if (!problem.isEmpty() && parsed.error.isEmpty())
            parsed.error = problem;
    }
    if (parsed.help || parsed.version) {
        parsed.error.clear();
        return parsed;
    }
    parsed.options.files = parser.positionalArguments();
    if (parsed.error.isEmpty())
        parsed.error = checkTogether(parsed.options, parser);
    return parsed;
}

QString usageText()
{
    QString text = QStringLiteral(
        "Usage: rorevadi-cli [OPTIONS] FILE...\n"
        "Imports each load-displacement FILE and calculates its characteristic points,\n"
        "exactly as the desktop program does after \"Import\" and \"Calculate\".\n"
        "A FILE may be a folder (its *.csv, *.txt, *.dat and *.xlsx files, by name) or \"-\"\n"
        "(the paths on standard input, one per line).\n"
        "\n");
    constexpr int kColumn = 24;  // where the help begins, after two blanks
    const auto describe = [&text](const OptionRow& row) {
        bool first = true;
        for (const char* line : row.help) {
            text += QStringLiteral("  ") + (first ? synopsis(row) : QString()).leftJustified(kColumn) +
                    QString::fromLatin1(line) + QLatin1Char('\n');
            first = false;
        }
    };
    for (const OptionRow& row : kOptions)
        describe(row);
    text += QStringLiteral(
        "\n"
        "Reading instrument files: any of these flags reads each FILE as \"Import with Options\"\n"
        "does (header, units, separators, columns, .xlsx workbooks); see docs/import.md.\n");
    for (const OptionRow& row : importOptionRows())
        describe(row);
    text += QStringLiteral(
        "\n"
        "Exit status: 0 when every file was calculated to the end; 1 when a file gave no curve,\n"
        "had a factor refused or ended with an error; 2 for a usage error. With --detect: 0, or 1\n"
        "when a FILE cannot be read.\n");
    return text;
}

}  // namespace rz::cli

#include "cli/Cli.h"

#include "cli/JsonText.h"
#include "cli/MethodsOutput.h"
#include "cli/OutputPaths.h"
#include "cli/ProgressLine.h"
#include "cli/TableLine.h"
#include "core/batch/BatchAnalysis.h"
#include "core/batch/SummaryCsv.h"
#include "core/import/ImportResult.h"
#include "core/report/Report.h"
#include "core/sheet/TestSheetContent.h"
#include "core/text/NumberText.h"
#include "core/workbench/CyclicSession.h"
#include "core/workbench/Workbench.h"
#include "excel/ExcelExport.h"
#include "excel/SummaryWorkbook.h"
#include "excel/WorkbookExport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

namespace rz::cli {

namespace {

using Message = BatchMessage;

// The workbook export's notices become messages like the window's.
class RecordingFeedback : public excel::ExportFeedback {
public:
    explicit RecordingFeedback(std::vector<Message>& messages) : messages_(messages) {}
    void showStartFailure(const QString& text, const QString&) override
    {
        messages_.push_back({MessageLevel::Information, text});
        failed = true;
    }
    void showNotice(const QString& text) override
    {
        messages_.push_back({MessageLevel::Information, text});
        failed = true;
    }
    bool failed = false;

private:
    std::vector<Message>& messages_;
};

QString jsonYield(const YieldResult& r)
{
    return QStringLiteral("{\"YieldLoad\":%1,\"YieldDisp\":%2,\"Ductility\":%3}")
        .arg(jsonNumber(r.YieldLoad), jsonNumber(r.YieldDisp), jsonNumber(r.Ductility));
}

// The keys a cyclic record's object adds after "points" (and "import"): the direction
// shown, the samples read, the envelope's settings and counts, and its points.
QString cyclicJson(const Workbench& wb, Direction d)
{
    const CyclicSession& session = *wb.cyclic();
    const DirectionEnvelope& env = session.envelopes().of(d);
    const CyclicOptions& options = session.options();
    QString j = QStringLiteral(",\"direction\":\"%1\"").arg(QLatin1String(keyOf(d)));
    j += QStringLiteral(",\"samples\":%1").arg(session.envelopes().sampleCount);
    j += QStringLiteral(",\"cyclic\":{\"tolerance\":") + jsonNumber(options.tolerance);
    j += QStringLiteral(",\"envelope\":\"%1\",\"peak\":\"%2\"")
             .arg(QLatin1String(keyOf(options.envelope)), QLatin1String(keyOf(options.peak)));
    j += QStringLiteral(",\"reversals\":%1,\"phases\":%2,\"excursions\":%3}")
             .arg(env.reversalCount)
             .arg(env.phases.size())
             .arg(env.excursions.size());
    j += QStringLiteral(",\"envelope\":[");
    for (std::size_t k = 0; k < env.points.size(); ++k) {
        if (k)
            j += QLatin1Char(',');
        j += QLatin1Char('[') + jsonNumber(env.points[k].x) + QLatin1Char(',') + jsonNumber(env.points[k].y) +
             QLatin1Char(']');
    }
    return j + QLatin1Char(']');
}

// imported: what the import with options read (with an import flag only); cyclic: the
// keys cyclicJson adds, or nothing.
QString toJson(const QString& source, const Workbench& wb, const std::vector<Message>& messages, const Options& o,
               const std::optional<ImportResult>& imported, const QString& cyclic = {})
{
    const AnalysisState& s = wb.state();
    QString j = QStringLiteral("{\"source\":") + jsonString(source);
    j += QStringLiteral(",\"lines\":") +
         (wb.lastImportLineCount() < 0 ? QStringLiteral("null") : QString::number(wb.lastImportLineCount()));
    j += QStringLiteral(",\"points\":") + QString::number(wb.chart()[SeriesId::lnsrsSeries4].data.count());
    if (imported)
        j += QStringLiteral(",\"import\":") +
             QString::fromUtf8(QJsonDocument(importToJson(*imported)).toJson(QJsonDocument::Compact));
    j += cyclic;
    j += QStringLiteral(",\"messages\":[");
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (i)
            j += QLatin1Char(',');
        j += QStringLiteral("{\"level\":\"%1\",\"text\":%2}")
                 .arg(QLatin1String(messageLevelName(messages[i].level)), jsonString(messages[i].text));
    }
    j += QStringLiteral("],\"factors\":{\"LoadReductionFactor\":%1,\"SecantLoadFactor\":%2,\"ParkLoadFactor\":%3}")
             .arg(jsonString(o.loadReduction), jsonString(o.secant), jsonString(o.park));
    j += QStringLiteral(",\"state\":{");
    j += QStringLiteral("\"DisplayMethod\":%1").arg(s.DisplayMethod);
    j += QStringLiteral(",\"PeakLoad\":") + jsonNumber(s.PeakLoad);
    j += QStringLiteral(",\"PeakDisp\":") + jsonNumber(s.PeakDisp);
    j += QStringLiteral(",\"PeakIndex\":%1").arg(s.PeakIndex);
    j += QStringLiteral(",\"MaxDisp\":") + jsonNumber(s.MaxDisp);
    j += QStringLiteral(",\"MaxDispIndex\":") + jsonNumber(s.MaxDispIndex);
    j += QStringLiteral(",\"ParkLoadFactor\":") + jsonNumber(s.ParkLoadFactor);
    j += QStringLiteral(",\"GeometricResult\":") + jsonYield(s.GeometricResult);
    j += QStringLiteral(",\"ParkResult\":") + jsonYield(s.ParkResult);
    j += QStringLiteral(",\"EnergyResult\":") + jsonYield(s.EnergyResult);
    j += QStringLiteral(",\"MeanResult\":") + jsonYield(s.MeanResult);
    j += QStringLiteral(",\"LoadReductionFactor\":") + jsonNumber(s.LoadReductionFactor);
    j += QStringLiteral(",\"UltimateDisp\":") + jsonNumber(s.UltimateDisp);
    j += QStringLiteral(",\"UltimateFound\":") + jsonBool(s.UltimateFound);
    j += QStringLiteral(",\"SecantLoadFactor\":") + jsonNumber(s.SecantLoadFactor);
    j += QStringLiteral(",\"InitialStiffness\":") + jsonNumber(s.InitialStiffness);
    j += QStringLiteral(",\"StiffnessFound\":") + jsonBool(s.StiffnessFound);
    j += QStringLiteral(",\"ResultBaseName\":") + jsonString(s.ResultBaseName);
    j += QStringLiteral(",\"SourceDataPath\":") + jsonString(s.SourceDataPath);
    j += QStringLiteral("},\"methods\":") + methodsJson(wb);
    j += QStringLiteral(",\"series\":{");
    for (int i = 0; i < kSeriesCount; ++i) {
        const SeriesId id = static_cast<SeriesId>(i);
        if (i)
            j += QLatin1Char(',');
        j += QLatin1Char('"') + QLatin1String(seriesStyle(id).name) + QStringLiteral("\":[");
        const Series& data = wb.chart()[id].data;
        QString pts;
        pts.reserve(data.count() * 24);
        for (int k = 0; k < data.count(); ++k) {
            if (k)
                pts += QLatin1Char(',');
            pts += QLatin1Char('[') + jsonNumber(data.x(k)) + QLatin1Char(',') + jsonNumber(data.y(k)) + QLatin1Char(']');
        }
        j += pts + QLatin1Char(']');
    }
    j += QStringLiteral("}}");
    return j;
}

// title: the file, with the direction of a cyclic record; messages printed with the first table only.
// The table is made in one string and written at once: a batch of small files writes one per file.
void printTable(QTextStream& out, const QString& title, const Workbench& wb, const std::vector<Message>* messages)
{
    auto f = [&wb](Field field) { return wb.fieldText(field); };
    QString text;
    text.reserve(2048);
    text += u"== ";
    text += title;
    text += u'\n';
    if (messages) {
        for (const Message& m : *messages) {
            text += u"  [";
            text += QLatin1String(messageLevelName(m.level));
            text += u"] ";
            text += m.text;
            text += u'\n';
        }
    }
    appendTableLine(text, u"  %1 %2   %3 %4\n",
                    {{u"Max. Load", 24}, {f(Field::edt18), 14}, {u"Max. Disp.", 26}, {f(Field::edt19)}});
    appendTableLine(text, u"  %1 %2   %3 %4\n", {{u"Ultimate Displacement", 24},
                                                  {f(Field::edt15), 14},
                                                  {u"Initial Secant Stiffness", 26},
                                                  {f(Field::edt16)}});
    appendTableLine(text, u"  %1 %2 %3 %4\n",
                    {{u"", 40}, {u"Load at Yield", 15}, {u"Disp. at Yield", 15}, {u"Ductility"}});
    auto row = [&](QStringView name, Field a, Field b, Field c) {
        appendTableLine(text, u"  %1 %2 %3 %4\n", {{name, 40}, {f(a), 15}, {f(b), 15}, {f(c)}});
    };
    row(u"Geometric Graphic Method", Field::edt2, Field::edt3, Field::edt8);
    row(u"Equivalent Elasto-Plastic Energy Method", Field::edt4, Field::edt5, Field::edt9);
    row(u"R.Park Method", Field::edt6, Field::edt7, Field::edt13);
    row(u"Mean Value", Field::edt10, Field::edt11, Field::edt14);
    appendMethodsTable(text, wb);
    out << text;
}

}  // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err, QTextStream* in, Drawing* drawing)
{
    const ParsedArguments parsed = parseArguments(args);
    if (const std::optional<int> status = answerWithoutRunning(parsed, out, err))
        return *status;
    return run(parsed.options, out, err, in, drawing);
}

std::optional<int> answerWithoutRunning(const ParsedArguments& parsed, QTextStream& out, QTextStream& err)
{
    if (parsed.help) {
        out << usageText();
        return kExitOk;
    }
    if (parsed.version) {
        out << "rorevadi-cli 2019.03.08\n";
        return kExitOk;
    }
    if (!parsed.error.isEmpty()) {
        err << "rorevadi-cli: " << parsed.error << "\n" << usageText();
        return kExitUsage;
    }
    return std::nullopt;
}

namespace {

// The FILE arguments: a folder and "-" stand for the files they list; any other path is
// taken as given, so that a missing file fails as a file, with its message. A folder that
// lists no file is said on err: a mistyped folder must not look like a smaller batch.
QStringList expandFiles(const QStringList& arguments, bool recursive, QTextStream* in, QTextStream& err)
{
    std::unique_ptr<QTextStream> standardInput;
    QStringList files;
    auto take = [&](const QString& path) {
        if (!QFileInfo(path).isDir()) {
            files << path;
            return;
        }
        const QStringList found = expandBatchArguments({path}, recursive, nullptr);
        if (found.isEmpty())
            err << "rorevadi-cli: " << noDataFilesText(path, recursive) << "\n";
        files += found;
    };
    for (const QString& argument : arguments) {
        if (argument != QLatin1String("-")) {
            take(argument);
            continue;
        }
        if (!in) {
            standardInput = std::make_unique<QTextStream>(stdin, QIODevice::ReadOnly);
            in = standardInput.get();
        }
        for (const QString& listed : listedPaths(*in))
            take(listed);
    }
    return files;
}

// The date of the analysis, in every report and workbook of the run: now, or
// SOURCE_DATE_EPOCH (seconds since 1970) for outputs that depend on their inputs only.
QDateTime analysisTime()
{
    bool ok = false;
    const qint64 fixed = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(fixed) : QDateTime::currentDateTime();
}

BatchSettings settingsOf(const Options& o)
{
    BatchSettings settings;
    if (o.import.given)
        settings.import = o.import.options;
    settings.loadReduction = o.loadReduction;
    settings.secant = o.secant;
    settings.park = o.park;
    settings.decimalSeparator = o.separator;
    return settings;
}

}  // namespace

int run(const Options& o, QTextStream& out, QTextStream& err, QTextStream* in, Drawing* drawing)
{
    QStringList files;
    try {
        files = expandFiles(o.files, o.recursive, in, err);
    } catch (const std::exception& e) {
        err << "rorevadi-cli: " << QString::fromUtf8(e.what()) << "\n";
        return kExitUsage;
    }
    if (o.import.detectOnly)
        return printDetection(files, o.import, out, err);
    // What the outputs in --out-dir are named after; a plain batch names none.
    const QStringList names = o.outDir.isEmpty() ? QStringList() : specimenNames(files);
    QString usage;
    if (files.isEmpty())
        usage = QStringLiteral("the FILEs given hold no data file");
    else if (!o.reportPath.isEmpty() && files.size() != 1)
        usage = QStringLiteral("--report takes exactly one FILE");
    else if (!o.outDir.isEmpty())
        usage = outputNameClash(files, names);
    if (usage.isEmpty())
        usage = outputOverInput(o, files, names);
    if (usage.isEmpty() && !o.summaryPath.isEmpty()) {
        // Found out now, not after a long batch.
        const QFileInfo summary(o.summaryPath);
        if (summary.isDir())
            usage = QStringLiteral("--summary \"%1\" is a folder: give the file to write, ending in .csv or .xlsx")
                        .arg(o.summaryPath);
        else if (!summary.absoluteDir().exists())
            usage = QStringLiteral("the folder of --summary \"%1\" does not exist").arg(o.summaryPath);
    }
    if (!usage.isEmpty()) {
        err << "rorevadi-cli: " << usage << "\n";
        return kExitUsage;
    }

    if ((o.picture || o.sheet) && !drawing) {
        err << "rorevadi-cli: pictures and test sheets need the program's drawing support, which did not start\n";
        return kExitUsage;
    }

    if (!o.outDir.isEmpty()) {
        // Created with its parents, as -o style options do; only what cannot be made is refused.
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(o.outDir).toStdString()), error);
        if (error || !QFileInfo(o.outDir).isDir()) {
            const QString reason =
                error ? QString::fromLocal8Bit(error.message()) : QStringLiteral("it is not a folder");
            err << "rorevadi-cli: cannot create the folder \"" << o.outDir << "\" for --out-dir: " << reason << "\n";
            return kExitUsage;
        }
    }

    const QDateTime now = analysisTime();
    const bool summaryXlsx = o.summaryPath.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    SummaryTable summary(summaryColumns());
    std::vector<CurveForSummary> curves;
    ProgressLine progress(err, static_cast<int>(files.size()), files.size() > 1 && ProgressLine::isTerminal(err));
    // Both on one screen: the line steps aside while a file's results are written.
    const bool resultsUnderProgress = progress.active() && ProgressLine::isTerminal(out);

    int status = kExitOk;
    // Called on this thread in the order of the files, whatever order they were analysed in:
    // every output below comes out the same for any number of jobs.
    auto emitFile = [&](SpecimenAnalysis&& specimen, int index) {
        const QString& file = files[index];
        Workbench& wb = *specimen.workbench;
        std::vector<Message>& messages = specimen.messages;
        if (resultsUnderProgress)
            progress.wipe();
        if (!wb.lastCalculationCompleted())
            status = kExitIncomplete;
        // The directions printed; the outputs show the first of them.
        std::vector<CyclicView> views;
        if (wb.cyclic()) {
            if (!o.direction || *o.direction == Direction::Positive)
                views.push_back(CyclicView::Positive);
            if (!o.direction || *o.direction == Direction::Negative)
                views.push_back(CyclicView::Negative);
            wb.setCyclicView(views.front());
            // The direction asked for, or both, without an envelope: nothing was calculated.
            const CyclicSession& cyclic = *wb.cyclic();
            if ((o.direction && !cyclic.hasEnvelope(*o.direction)) ||
                (!cyclic.hasEnvelope(Direction::Positive) && !cyclic.hasEnvelope(Direction::Negative)))
                status = kExitIncomplete;
        }

        QStringList written;
        auto writeOutput = [&](const QString& path, auto&& writer) {
            try {
                writer(path);
                written << path;
            } catch (const std::exception& e) {
                err << "rorevadi-cli: cannot write \"" << path << "\": " << QString::fromUtf8(e.what()) << "\n";
                status = kExitIncomplete;
            }
        };
        bool reportToStdout = false;
        if (o.reportPath == QLatin1String("-")) {
            reportToStdout = true;
        } else if (!o.reportPath.isEmpty()) {
            writeOutput(o.reportPath, [&](const QString& p) { writeFileAtomically(p, wb.reportNow(now)); });
        }
        // Made only for the outputs that name a file: a QDir for each file of a batch that only
        // prints its tables costs as much as a table line.
        auto stem = [&] { return outputStem(o, specimenName(specimen)); };
        if (!o.outDir.isEmpty())
            writeOutput(stem() + QStringLiteral("csv"),
                        [&](const QString& p) { writeFileAtomically(p, wb.reportNow(now)); });
        if (o.xlsx) {
            writeOutput(stem() + QStringLiteral("xlsx"), [&](const QString& p) {
                excel::ExcelOp options;
                options.ExportMode = o.excelLayout;
                excel::WorkbookExport run(o.separator);
                run.setCreated(now.toSecsSinceEpoch());
                RecordingFeedback feedback(messages);
                try {
                    run.toFile(options, wb.chart().asDrawn(), feedback, p);
                } catch (const std::exception& e) {
                    messages.push_back({MessageLevel::Error, QString::fromUtf8(e.what())});
                    throw;
                }
                if (feedback.failed)
                    throw std::runtime_error("the workbook was not written");
            });
        }
        if (o.picture) {
            writeOutput(stem() + pictureFormatExtension(*o.picture), [&](const QString& p) {
                drawing->savePicture(p, *o.picture, wb.chart(), wb.axisTitles(), o.separator, now);
            });
        }

        if (o.sheet) {
            writeOutput(testSheetPath(o, specimenName(specimen)), [&](const QString& p) {
                drawing->writeTestSheet(p, testSheetContent(specimen, now), wb.chart(), wb.axisTitles(), o.separator,
                                        now);
            });
        }

        if (reportToStdout) {
            // The report's own bytes (encoding, CR LF), not re-encoded text.
            out.flush();
            if (QIODevice* device = out.device()) {
                device->write(wb.reportNow(now));
            } else {
                out << QString::fromLocal8Bit(wb.reportNow(now));
            }
        } else if (o.json && !views.empty()) {
            for (CyclicView shown : views) {
                wb.setCyclicView(shown);
                const Direction d = shown == CyclicView::Negative ? Direction::Negative : Direction::Positive;
                out << toJson(file, wb, messages, o, specimen.importResult, cyclicJson(wb, d)) << "\n";
            }
        } else if (o.json) {
            out << toJson(file, wb, messages, o, specimen.importResult) << "\n";
        } else if (!views.empty()) {
            if (views.size() == 2)
                views.push_back(CyclicView::Average);
            for (CyclicView shown : views) {
                wb.setCyclicView(shown);
                printTable(out,
                           file + QStringLiteral(" (%1)").arg(QLatin1String(choiceName(kCyclicViewNames, shown).key)),
                           wb, shown == views.front() ? &messages : nullptr);
            }
            for (const QString& w : written)
                out << "  wrote " << w << "\n";
        } else {
            printTable(out, file, wb, &messages);
            for (const QString& w : written)
                out << "  wrote " << w << "\n";
        }

        if (!o.summaryPath.isEmpty()) {
            for (std::vector<SummaryCell>& row : summaryRowsOf(specimen))
                summary.addRow(std::move(row));
            // Only the workbook draws the curves, as many as its sheet holds (the others by name
            // only, for its note); a CSV summary holds no curve in memory.
            if (summaryXlsx) {
                for (CurveForSummary& curve : summaryCurvesOf(specimen)) {
                    if (curves.size() >= kSummaryCurvesMax)
                        curve.points = {};
                    curves.push_back(std::move(curve));
                }
            }
        }
        if (resultsUnderProgress)
            out.flush();
        return true;
    };
    analyseInOrder(files, settingsOf(o), o.jobs, emitFile, [&progress](int done, int) {
        progress.update(done);
        return true;
    });
    progress.finish();

    if (!o.summaryPath.isEmpty()) {
        try {
            if (summaryXlsx)
                writeSummaryWorkbook(o.summaryPath, summary, curves, now.toSecsSinceEpoch());
            else
                writeSummaryCsv(o.summaryPath, summary, o.separator);
            if (!o.json && o.reportPath != QLatin1String("-"))
                out << "wrote " << o.summaryPath << "\n";
        } catch (const std::exception& e) {
            err << "rorevadi-cli: cannot write \"" << o.summaryPath << "\": " << QString::fromUtf8(e.what()) << "\n";
            status = kExitIncomplete;
        }
    }
    out.flush();
    return status;
}

}  // namespace rz::cli

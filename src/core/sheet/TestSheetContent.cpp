#include "core/sheet/TestSheetContent.h"

#include "core/batch/BatchAnalysis.h"
#include "core/methods/YieldMethods.h"
#include "core/report/ImportReport.h"
#include "core/text/NumberText.h"
#include "core/workbench/CyclicSession.h"
#include "core/workbench/OtherDefinitions.h"
#include "core/workbench/ResultNotes.h"

#include <QFileInfo>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QString kDash = u"--"_s;

// A field as the window shows it; an empty one (never computed) as "--".
QString shown(const Workbench& wb, Field f)
{
    const QString text = wb.fieldText(f);
    return text.isEmpty() ? kDash : text;
}

QString withUnit(const QString& label, const QString& unit)
{
    return unit.isEmpty() ? label : u"%1 (%2)"_s.arg(label, unit);
}

QString stiffnessUnit(const QString& load, const QString& disp)
{
    return load.isEmpty() || disp.isEmpty() ? QString() : load + u'/' + disp;
}

std::vector<SheetEntry> importEntries(const Workbench& wb)
{
    std::vector<SheetEntry> entries;
    const std::vector<ImportReportEntry> section = importReportEntries(wb.importedCurve(), wb.decimalSeparator());
    if (section.empty()) {
        entries.push_back({u"Import"_s,
                           u"Import Load-Displacement Data (first line skipped, displacement and load "
                           u"in fields 1 and 2, split at commas and blanks)"_s});
        const std::int64_t lines = wb.lastImportLineCount();
        entries.push_back({u"Lines"_s, lines < 0 ? kDash : QString::number(lines)});
        return entries;
    }
    entries.push_back({u"Import"_s, u"Import with Options"_s});
    for (const ImportReportEntry& e : section) {
        QString label = e.label;
        if (label.endsWith(u':'))
            label.chop(1);
        entries.push_back({label, e.value.isEmpty() ? kDash : e.value});
    }
    return entries;
}

// A cyclic record's page says which curve its results are of (the window shows one
// direction, or the mean of both) and how the envelopes were taken.
void addCyclicEntries(const Workbench& wb, TestSheetContent& c)
{
    const CyclicSession* cyclic = wb.cyclic();
    if (!cyclic)
        return;
    const CyclicOptions& o = cyclic->options();
    const CyclicEnvelopes& env = cyclic->envelopes();
    const QChar sep = wb.decimalSeparator();
    QString curve;
    switch (wb.cyclicView()) {
        case CyclicView::Positive:
            curve = u"Positive envelope"_s;
            break;
        case CyclicView::Negative:
            curve = u"Negative envelope (values as magnitudes)"_s;
            break;
        case CyclicView::Average:
            curve = u"Mean of the positive and negative envelopes' results"_s;
            break;
    }
    c.characteristics.insert(c.characteristics.begin(), {u"Curve analysed"_s, curve});
    c.import.push_back(
        {u"Cyclic envelope"_s, u"%1, peak: %2, tolerance %3 (dead band %4)"_s.arg(
                                   QLatin1StringView(choiceName(kEnvelopeChoiceNames, o.envelope).title),
                                   QString::fromLatin1(choiceName(kPeakChoiceNames, o.peak).title).toLower(),
                                   formatGeneral(o.tolerance, sep), formatGeneral(env.deadBand, sep))});
    c.import.push_back({u"Phases"_s, u"positive %1, negative %2 (%3 reversals)"_s.arg(env.positive.phases.size())
                                         .arg(env.negative.phases.size())
                                         .arg(env.reversals.size())});
}

// Whether a Calculate ran to its end on the curve shown: the flag alone outlives an import,
// the other definitions do not.
bool calculatedSinceImport(const Workbench& wb)
{
    return wb.lastCalculationCompleted() && !wb.otherDefinitions().empty();
}

// The reason a Calculate gave for the stiffness, when it showed one.
QString stiffnessMessage(const QStringList& messages)
{
    for (const QString& m : messages)
        if (m.contains(u"Initial Stiffness"_s))
            return m;
    return {};
}

void addResultNotes(const Workbench& wb, const QStringList& messages, TestSheetContent& c)
{
    const AnalysisState& s = wb.state();
    const QChar sep = wb.decimalSeparator();
    if (s.PeakIndex < 0) {
        c.notes << u"No curve: nothing was imported."_s;
        return;
    }
    if (!calculatedSinceImport(wb)) {
        c.notes << u"Calculate did not run to its end since the import: results may be missing or left from an earlier"
                   u" Calculate."_s;
        for (const QString& m : messages)
            c.notes << m;
        return;
    }
    if (!s.UltimateFound) {
        c.notes << u"Ultimate displacement not reached: after the peak the load does not fall to (1 - %1) x %2 = %3;"
                   u" the largest displacement, %4, is used instead."_s.arg(
                       formatGeneral(s.LoadReductionFactor, sep), formatPattern5(s.PeakLoad, sep),
                       formatPattern5((1.0 - s.LoadReductionFactor) * s.PeakLoad, sep), formatPattern5(s.MaxDisp, sep));
    }
    if (!s.StiffnessFound) {
        QString why = stiffnessMessage(messages);
        if (why.isEmpty()) {
            why = u"the curve does not rise through %1 x %2 = %3 before the peak."_s.arg(
                formatGeneral(s.SecantLoadFactor, sep), formatPattern5(s.PeakLoad, sep),
                formatPattern5(s.SecantLoadFactor * s.PeakLoad, sep));
        }
        c.notes << u"Initial stiffness not found: "_s + why;
        c.notes << u"Geometric Graphic Method not found: it needs the initial stiffness. The mean is that of the"
                   u" other two methods."_s;
    }
    // The summary's clause, as a sentence.
    if (QString negative = negativeStiffnessNote(wb); !negative.isEmpty()) {
        negative[0] = negative[0].toUpper();
        c.notes << negative + u"."_s;
    }
    const std::vector<YieldDefinitionResult>& others = wb.otherDefinitions();
    const auto methods = otherYieldMethods();
    for (std::size_t m = 0; m < others.size() && m < methods.size(); ++m) {
        if (!others[m].found)
            c.notes << u"%1 not found: %2."_s.arg(QString::fromUtf8(methods[m].title), others[m].note);
    }
    // Messages that the notes above do not already explain.
    const QString explained = stiffnessMessage(messages);
    for (const QString& m : messages)
        if (m != explained)
            c.notes << m;
}

}  // namespace

QString sheetTimeText(const QDateTime& time)
{
    // A batch keeps its times in UTC; the page shows the reader's clock.
    return time.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s);
}

QString testSheetFileName(const QString& baseName)
{
    return baseName + u"_TestSheet.pdf"_s;
}

TestSheetContent testSheetContent(const Workbench& wb, const QDateTime& analysisTime, const QStringList& messages)
{
    const AnalysisState& s = wb.state();
    const QChar sep = wb.decimalSeparator();
    TestSheetContent c;
    c.title = s.ResultBaseName;
    c.dataPath = s.SourceDataPath;
    const QFileInfo file(s.SourceDataPath);
    c.dataModified = file.exists() ? sheetTimeText(file.lastModified()) : u"unknown: the file is no longer there"_s;
    c.analysisTime = sheetTimeText(analysisTime);
    c.displacementUnit = wb.importedCurve().displacementUnit();
    c.loadUnit = wb.importedCurve().loadUnit();
    const QString& du = c.displacementUnit;
    const QString& lu = c.loadUnit;

    c.import = importEntries(wb);
    c.factors = {
        {u"Load reduction factor (ultimate)"_s, wb.fieldText(Field::edt12)},
        {u"Load factor for secant (stiffness)"_s, wb.fieldText(Field::edt17)},
        {u"Load factor (R.Park)"_s, wb.fieldText(Field::edt1)},
    };

    const bool hasCurve = s.PeakIndex >= 0;
    c.characteristics = {
        {u"Points"_s, QString::number(wb.chart()[SeriesId::lnsrsSeries4].data.count())},
        {withUnit(u"Peak load"_s, lu), shown(wb, Field::edt18)},
        {withUnit(u"Displacement at peak"_s, du), hasCurve ? formatPattern5(s.PeakDisp, sep) : kDash},
        {withUnit(u"Largest displacement"_s, du), shown(wb, Field::edt19)},
        {withUnit(u"Ultimate displacement"_s, du), shown(wb, Field::edt15)},
        {withUnit(u"Initial secant stiffness"_s, stiffnessUnit(lu, du)), shown(wb, Field::edt16)},
    };

    const bool done = calculatedSinceImport(wb);
    c.methods = {
        {u"Geometric Graphic Method"_s, shown(wb, Field::edt2), shown(wb, Field::edt3), shown(wb, Field::edt8),
         done && !s.StiffnessFound ? u"not found: no initial stiffness"_s : QString()},
        {u"Equivalent Elasto-Plastic Energy Method"_s, shown(wb, Field::edt4), shown(wb, Field::edt5),
         shown(wb, Field::edt9), QString()},
        {u"R.Park Method"_s, shown(wb, Field::edt6), shown(wb, Field::edt7), shown(wb, Field::edt13), QString()},
        {u"Mean Value"_s, shown(wb, Field::edt10), shown(wb, Field::edt11), shown(wb, Field::edt14),
         done && !s.StiffnessFound ? u"of the Energy and R.Park methods"_s : QString()},
    };

    const auto methods = otherYieldMethods();
    const std::vector<YieldDefinitionResult>& others = wb.otherDefinitions();
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const QString title = QString::fromUtf8(methods[m].title);
        if (m < others.size()) {
            const OtherDefinitionTexts t = otherDefinitionTexts(others[m], sep);
            c.otherDefinitions.push_back({title, t.yieldLoad, t.yieldDisp, t.ductility, t.note});
        } else {
            c.otherDefinitions.push_back({title, kDash, kDash, kDash, u"not calculated"_s});
        }
    }

    addCyclicEntries(wb, c);
    addResultNotes(wb, messages, c);
    return c;
}

TestSheetContent testSheetContent(const SpecimenAnalysis& specimen, const QDateTime& analysisTime)
{
    // An import that stores a curve shows exactly one message (how much it read); what
    // follows came from Calculate.
    QStringList messages;
    for (std::size_t i = specimen.imported ? 1 : 0; i < specimen.messages.size(); ++i)
        messages << specimen.messages[i].text;
    return testSheetContent(*specimen.workbench, analysisTime, messages);
}

}  // namespace rz

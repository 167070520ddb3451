// The summary's columns and one row per analysed specimen.
#include "core/batch/BatchAnalysis.h"

#include "core/methods/YieldMethods.h"
#include "core/workbench/CyclicSession.h"
#include "core/workbench/ResultNotes.h"

namespace rz {

namespace {

// The three methods and their mean, in the window's order of rows.
struct MethodColumns {
    const char* key;
    const char* title;
    YieldResult AnalysisState::*result;
};
constexpr MethodColumns kMethods[] = {
    {"geometric", "Geometric Graphic Method", &AnalysisState::GeometricResult},
    {"energy", "Equivalent Elasto-Plastic Energy Method", &AnalysisState::EnergyResult},
    {"park", "R.Park Method", &AnalysisState::ParkResult},
    {"mean", "Mean Value", &AnalysisState::MeanResult},
};

void addYieldColumns(std::vector<SummaryColumn>& columns, const QString& key, const QString& title)
{
    columns.push_back(
        {key + QStringLiteral("_yield_load"), title + QStringLiteral(": yield load"), ColumnKind::Number});
    columns.push_back(
        {key + QStringLiteral("_yield_disp"), title + QStringLiteral(": yield displacement"), ColumnKind::Number});
    columns.push_back({key + QStringLiteral("_ductility"), title + QStringLiteral(": ductility"), ColumnKind::Number});
}

}  // namespace

std::vector<SummaryColumn> summaryColumns()
{
    std::vector<SummaryColumn> columns = {
        {QStringLiteral("file"), QStringLiteral("File"), ColumnKind::Text},
        {QStringLiteral("direction"), QStringLiteral("Direction"), ColumnKind::Text},
        {QStringLiteral("points"), QStringLiteral("Points"), ColumnKind::Number},
        {QStringLiteral("peak_load"), QStringLiteral("Peak load"), ColumnKind::Number},
        {QStringLiteral("peak_disp"), QStringLiteral("Displacement at peak load"), ColumnKind::Number},
        {QStringLiteral("ultimate_disp"), QStringLiteral("Ultimate displacement"), ColumnKind::Number},
        {QStringLiteral("initial_stiffness"), QStringLiteral("Initial stiffness"), ColumnKind::Number},
    };
    for (const MethodColumns& method : kMethods)
        addYieldColumns(columns, QLatin1StringView(method.key), QLatin1StringView(method.title));
    for (const YieldMethod& method : otherYieldMethods())
        addYieldColumns(columns, QLatin1StringView(method.key), QString::fromUtf8(method.title));
    columns.push_back({QStringLiteral("ultimate_found"), QStringLiteral("Ultimate found"), ColumnKind::Flag});
    columns.push_back({QStringLiteral("stiffness_found"), QStringLiteral("Stiffness found"), ColumnKind::Flag});
    columns.push_back({QStringLiteral("notes"), QStringLiteral("Notes"), ColumnKind::Text});
    return columns;
}

namespace {

// The name and direction cells, then every other cell empty but the notes.
std::vector<SummaryCell> emptyRow(const QString& file, const QString& direction, const QString& notes)
{
    const std::size_t width = summaryColumns().size();
    std::vector<SummaryCell> row;
    row.reserve(width);
    row.emplace_back(file);
    row.emplace_back(direction);
    row.resize(width - 1);
    row.emplace_back(notes);
    return row;
}

// The results of one analysed curve: a monotonic file's, or one direction's envelope of a
// cyclic record. caveat, when given, leads the notes.
std::vector<SummaryCell> resultRow(const QString& file, const QString& direction, const Workbench& analysis,
                                   const QString& caveat = QString())
{
    const Workbench* wb = &analysis;
    std::vector<SummaryCell> row;
    row.reserve(summaryColumns().size());
    row.emplace_back(file);
    row.emplace_back(direction);
    const AnalysisState& s = wb->state();
    row.emplace_back(static_cast<double>(wb->chart()[SeriesId::lnsrsSeries4].data.count()));
    row.emplace_back(s.PeakLoad);
    row.emplace_back(s.PeakDisp);
    row.emplace_back(s.UltimateDisp);
    row.emplace_back(s.StiffnessFound ? SummaryCell(s.InitialStiffness) : SummaryCell());
    for (const MethodColumns& method : kMethods) {
        // Without the initial stiffness the geometric method has nothing to draw from.
        const bool exists = s.StiffnessFound || method.result != &AnalysisState::GeometricResult;
        const YieldResult& r = s.*method.result;
        for (double value : {r.YieldLoad, r.YieldDisp, r.Ductility})
            row.emplace_back(exists ? SummaryCell(value) : SummaryCell());
    }

    QStringList notes;
    if (!caveat.isEmpty())
        notes << caveat;
    if (!s.UltimateFound)
        notes << QStringLiteral("ultimate load not reached: the largest displacement is taken");
    if (!s.StiffnessFound)
        notes << QStringLiteral("initial stiffness not found");
    if (const QString negative = negativeStiffnessNote(*wb); !negative.isEmpty())
        notes << negative;
    const std::vector<YieldDefinitionResult>& others = wb->otherDefinitions();
    const auto methods = otherYieldMethods();
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const YieldDefinitionResult* r = m < others.size() ? &others[m] : nullptr;
        const bool found = r && r->found;
        for (double value : {found ? r->yieldLoad : 0.0, found ? r->yieldDisp : 0.0, found ? r->ductility : 0.0})
            row.emplace_back(found ? SummaryCell(value) : SummaryCell());
        if (r && !r->note.isEmpty())
            notes << QString::fromUtf8(methods[m].title) + QStringLiteral(": ") + r->note;
    }
    row.emplace_back(s.UltimateFound);
    row.emplace_back(s.StiffnessFound);
    row.emplace_back(notes.join(QStringLiteral("; ")));
    return row;
}

}  // namespace

std::vector<std::vector<SummaryCell>> summaryRowsOf(const SpecimenAnalysis& specimen)
{
    const QString file = specimenName(specimen);
    const Workbench* wb = specimen.workbench.get();
    const CyclicSession* cyclic = wb && specimen.imported ? wb->cyclic() : nullptr;
    if (!cyclic) {
        if (!specimen.failure.isEmpty() || !wb || !specimen.calculated)
            return {emptyRow(file, QString(), specimen.failure)};
        return {resultRow(file, QString(), *wb)};
    }
    // A cyclic record: a row per loading direction, each the analysis of its envelope; a
    // direction that could not be analysed says why in its own row.
    std::vector<std::vector<SummaryCell>> rows;
    for (const Direction d : {Direction::Positive, Direction::Negative}) {
        const QString direction = QLatin1String(d == Direction::Positive ? "positive" : "negative");
        const Workbench& analysis = cyclic->analysis(d);
        const QString caveat = cyclic->envelopeOfOnePoint(d)
                                   ? QStringLiteral("envelope of one point besides the origin (a single phase)")
                                   : QString();
        if (!cyclic->hasEnvelope(d))
            rows.push_back(emptyRow(file, direction, QStringLiteral("no envelope in this direction")));
        else if (!analysis.lastCalculationCompleted())
            rows.push_back(emptyRow(file, direction,
                                    (caveat.isEmpty() ? QString() : caveat + QStringLiteral("; ")) +
                                        QStringLiteral("Calculate did not run to its end")));
        else
            rows.push_back(resultRow(file, direction, analysis, caveat));
    }
    return rows;
}

std::vector<std::optional<Direction>> summaryRowDirections(const SpecimenAnalysis& specimen)
{
    const Workbench* wb = specimen.workbench.get();
    if (wb && specimen.imported && wb->cyclic())
        return {Direction::Positive, Direction::Negative};
    return {std::nullopt};
}

std::vector<SummaryCell> summaryRowOf(const SpecimenAnalysis& specimen)
{
    return summaryRowsOf(specimen).front();
}

SummaryTable summaryOf(const std::vector<SpecimenAnalysis>& specimens)
{
    SummaryTable table(summaryColumns());
    for (const SpecimenAnalysis& specimen : specimens) {
        for (std::vector<SummaryCell>& row : summaryRowsOf(specimen))
            table.addRow(std::move(row));
    }
    return table;
}

}  // namespace rz

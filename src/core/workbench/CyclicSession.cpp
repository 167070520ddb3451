#include "core/workbench/CyclicSession.h"

#include "core/analysis/Arithmetic.h"

namespace rz {

namespace {

using namespace Qt::StringLiterals;

#define RZ_STATE_REF(member) [](AnalysisState& s) -> double& { return s.member; }

const std::array<CyclicResultRow, 17> kRows{{
    {"PeakLoad", Field::edt18, RZ_STATE_REF(PeakLoad), false},
    {"PeakDisp", Field::edt18, RZ_STATE_REF(PeakDisp), false},
    {"MaxDisp", Field::edt19, RZ_STATE_REF(MaxDisp), false},
    {"Ultimate Disp", Field::edt15, RZ_STATE_REF(UltimateDisp), false},
    {"Initial Stiffness", Field::edt16, RZ_STATE_REF(InitialStiffness), false},
    {"Geometric YieldLoad", Field::edt2, RZ_STATE_REF(GeometricResult.YieldLoad), false},
    {"Geometric YieldDisp", Field::edt3, RZ_STATE_REF(GeometricResult.YieldDisp), false},
    {"Geometric Ductility", Field::edt8, RZ_STATE_REF(GeometricResult.Ductility), true},
    {"Energy YieldLoad", Field::edt4, RZ_STATE_REF(EnergyResult.YieldLoad), false},
    {"Energy YieldDisp", Field::edt5, RZ_STATE_REF(EnergyResult.YieldDisp), false},
    {"Energy Ductility", Field::edt9, RZ_STATE_REF(EnergyResult.Ductility), true},
    {"R.Park YieldLoad", Field::edt6, RZ_STATE_REF(ParkResult.YieldLoad), false},
    {"R.Park YieldDisp", Field::edt7, RZ_STATE_REF(ParkResult.YieldDisp), false},
    {"R.Park Ductility", Field::edt13, RZ_STATE_REF(ParkResult.Ductility), true},
    {"Mean YieldLoad", Field::edt10, RZ_STATE_REF(MeanResult.YieldLoad), false},
    {"Mean YieldDisp", Field::edt11, RZ_STATE_REF(MeanResult.YieldDisp), false},
    {"Mean Ductility", Field::edt14, RZ_STATE_REF(MeanResult.Ductility), true},
}};

#undef RZ_STATE_REF

QString directionTitle(Direction d)
{
    return QString::fromLatin1(choiceName(kDirectionNames, d).title);
}

}  // namespace

const std::array<CyclicResultRow, 17>& cyclicResultRows()
{
    return kRows;
}

std::optional<double> cyclicResult(const Workbench& wb, const CyclicResultRow& row)
{
    const QString text = wb.fieldText(row.field);
    if (text.isEmpty() || text == "--"_L1)
        return std::nullopt;
    // The row only reads; the state is the workbench's own copy.
    AnalysisState state = wb.state();
    return row.value(state);
}

std::optional<double> meanOfBoth(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return std::nullopt;
    try {
        return checkedDiv(checkedAdd(*a, *b), 2.0);
    } catch (const ArithmeticError&) {
        return std::nullopt;
    }
}

CyclicSession::CyclicSession(QChar sep, const QString& path, std::vector<Point> samples, const CyclicOptions& options,
                             const ImportedCurve& imported, std::int64_t lineCount)
    : samples_(std::move(samples)),
      options_(options),
      envelopes_(extractEnvelopes(samples_, options)),
      positive_(positiveUi_, sep, folderOf(path)),
      negative_(negativeUi_, sep, folderOf(path))
{
    for (Direction d : {Direction::Positive, Direction::Negative}) {
        if (hasEnvelope(d))
            mutableAnalysis(d).storeCurve(path, envelopes_.of(d).points, imported, lineCount);
    }
}

std::vector<RecordedUi::Said> CyclicSession::calculate(const QString& loadReduction, const QString& secant,
                                                       const QString& park)
{
    focus_.reset();
    std::array<std::vector<RecordedUi::Said>, 2> said;
    for (Direction d : {Direction::Positive, Direction::Negative}) {
        RecordedUi& ui = d == Direction::Positive ? positiveUi_ : negativeUi_;
        ui.said.clear();
        ui.focus.reset();
        Workbench& wb = mutableAnalysis(d);
        wb.setFieldText(Field::edt12, loadReduction);
        wb.setFieldText(Field::edt17, secant);
        wb.setFieldText(Field::edt1, park);
        if (!hasEnvelope(d))
            continue;
        wb.btn1Click();
        said[d == Direction::Positive ? 0 : 1] = ui.said;
        if (ui.focus && !focus_)
            focus_ = ui.focus;
    }
    std::vector<RecordedUi::Said> merged;
    const std::size_t n = std::max(said[0].size(), said[1].size());
    for (std::size_t i = 0; i < n; ++i) {
        const bool both = i < said[0].size() && i < said[1].size();
        if (both && said[0][i] == said[1][i]) {
            merged.push_back(said[0][i]);
            continue;
        }
        for (int side = 0; side < 2; ++side) {
            if (i >= said[side].size())
                continue;
            const Direction d = side == 0 ? Direction::Positive : Direction::Negative;
            merged.push_back({said[side][i].level, directionTitle(d) + u" direction: "_s + said[side][i].text});
        }
    }
    return merged;
}

bool CyclicSession::calculationCompleted() const
{
    bool any = false;
    for (Direction d : {Direction::Positive, Direction::Negative}) {
        if (!hasEnvelope(d))
            continue;
        if (!analysis(d).lastCalculationCompleted())
            return false;
        any = true;
    }
    return any;
}

void CyclicSession::displayMethodSelected(int method)
{
    positive_.displayMethodSelected(method);
    negative_.displayMethodSelected(method);
}

void CyclicSession::setOtherDefinitionShown(int method, bool shown)
{
    positive_.setOtherDefinitionShown(method, shown);
    negative_.setOtherDefinitionShown(method, shown);
}

QString CyclicSession::summary() const
{
    auto phases = [this](Direction d) {
        return hasEnvelope(d) ? QString::number(envelopes_.of(d).phases.size()) : u"none"_s;
    };
    return u"Samples: %1  Reversals: %2  Phases: positive %3, negative %4"_s.arg(envelopes_.sampleCount)
        .arg(envelopes_.reversals.size())
        .arg(phases(Direction::Positive), phases(Direction::Negative));
}

QStringList CyclicSession::caveats() const
{
    // Both would be said of the same record: the first says why and what to do instead.
    if (envelopes_.reversals.empty() && (hasEnvelope(Direction::Positive) || hasEnvelope(Direction::Negative))) {
        return {
            u"The record never turns back, so read as a cyclic test each envelope is its largest load "
            u"alone. Read it as a monotonic curve to analyse all its points."_s};
    }
    QStringList said;
    for (Direction d : {Direction::Positive, Direction::Negative}) {
        if (envelopeOfOnePoint(d)) {
            said << directionTitle(d) +
                        u" envelope: a single phase, so the envelope is the origin and one point, too few for "
                        u"a yield point to mean much."_s;
        }
    }
    return said;
}

}  // namespace rz

// The workbench on a cyclic record: the session with one hidden Workbench per direction
// (CyclicSession.h), this Workbench mirroring the direction the user looks at, and the
// record and envelopes as overlays behind the curve.
#include "core/methods/YieldMethods.h"
#include "core/text/NumberText.h"
#include "core/workbench/CyclicSession.h"
#include "core/workbench/Workbench.h"

#include <QDir>
#include <QFileInfo>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QString kCyclicPrefix = u"cyclic."_s;
const QString kRecordKey = u"cyclic.record"_s;

QString envelopeKey(Direction d)
{
    return kCyclicPrefix + u"envelope."_s + QLatin1StringView(keyOf(d));
}

// The negative direction's constructions, drawn beside the positive ones in the Average view.
constexpr SeriesId kConstructionSeries[] = {
    SeriesId::lnsrsSeries1,  SeriesId::lnsrsSeries2,  SeriesId::lnsrsSeries3,  SeriesId::pntsrsSeries1,
    SeriesId::pntsrsSeries2, SeriesId::pntsrsSeries3, SeriesId::pntsrsSeries4, SeriesId::pntsrsSeries5,
};

QString negativeConstructionKey(SeriesId id)
{
    return kCyclicPrefix + u"negative."_s + QLatin1StringView(seriesStyle(id).name);
}

MarkerShape markerOf(PointerStyle p)
{
    switch (p) {
        case PointerStyle::Circle:
            return MarkerShape::Circle;
        case PointerStyle::Triangle:
            return MarkerShape::Triangle;
        case PointerStyle::Diamond:
            return MarkerShape::Diamond;
        case PointerStyle::None:
            break;
    }
    return MarkerShape::None;
}

// The series' own colour, width and pointer, as an overlay.
OverlayStyle overlayStyleOf(SeriesId id)
{
    const SeriesStyle& s = seriesStyle(id);
    if (s.isLine)
        return {s.colorRgb, static_cast<double>(s.lineWidth), DashPattern::Solid, MarkerShape::None, 0.0, false};
    const double size = s.pointerWidth > 0 ? 2.0 * s.pointerWidth + 1.0 : 9.0;
    return {s.colorRgb, 0.0, DashPattern::Solid, markerOf(s.pointer), size, false};
}

std::vector<Point> negated(const std::vector<Point>& points)
{
    std::vector<Point> out;
    out.reserve(points.size());
    // 0 - v rather than -v: a zero stays +0, as the envelope's mirroring writes it.
    for (const Point& p : points)
        out.push_back({0.0 - p.x, 0.0 - p.y});
    return out;
}

void setPointsIfChanged(ChartModel& chart, int index, std::vector<Point> points)
{
    if (chart.overlay(index).points != points)
        chart.setOverlayPoints(index, std::move(points));
}

YieldDefinitionResult meanDefinition(const YieldDefinitionResult& a, const YieldDefinitionResult& b)
{
    YieldDefinitionResult r;
    const auto mean = [](double x, double y) { return meanOfBoth(x, y); };
    if (a.found && b.found) {
        const auto load = mean(a.yieldLoad, b.yieldLoad);
        const auto disp = mean(a.yieldDisp, b.yieldDisp);
        const auto ductility = mean(a.ductility, b.ductility);
        const auto stiffness = mean(a.stiffness, b.stiffness);
        const auto ultimate = mean(a.ultimateDisp, b.ultimateDisp);
        if (load && disp && ductility && stiffness && ultimate) {
            r.found = true;
            r.yieldLoad = *load;
            r.yieldDisp = *disp;
            r.ductility = *ductility;
            r.stiffness = *stiffness;
            r.ultimateDisp = *ultimate;
            if (a.postYieldStiffness && b.postYieldStiffness)
                r.postYieldStiffness = meanOfBoth(*a.postYieldStiffness, *b.postYieldStiffness);
            return r;
        }
        r.note = u"the mean overflows"_s;
        return r;
    }
    QStringList notes;
    if (!a.found)
        notes << u"positive: "_s + a.note;
    if (!b.found)
        notes << u"negative: "_s + b.note;
    r.note = notes.join(u"; "_s);
    return r;
}

}  // namespace

void Workbench::startCyclic(const QString& path, ImportedCurve imported, std::int64_t lineCount,
                            const CyclicOptions& options, QString message)
{
    std::vector<Point> samples = std::move(imported.fileOrder);
    imported.fileOrder.clear();
    // Made before anything is reset: a record the envelopes cannot be taken of leaves
    // the window as it was.
    auto session = std::make_unique<CyclicSession>(sep_, path, std::move(samples), options, imported, lineCount);

    resetForImportedFile(path, std::move(imported), lineCount);
    cyclic_ = std::move(session);
    cyclic_->displayMethodSelected(state_.DisplayMethod);
    view_ = cyclic_->hasEnvelope(Direction::Positive) || !cyclic_->hasEnvelope(Direction::Negative)
                ? CyclicView::Positive
                : CyclicView::Negative;
    addCyclicOverlays();
    showCyclicView();

    message += u"\n"_s + cyclic_->summary();
    for (Direction d : {Direction::Positive, Direction::Negative}) {
        if (!cyclic_->hasEnvelope(d))
            message += u"\n"_s + cyclic_->envelopes().of(d).message;
    }
    for (const QString& caveat : cyclic_->caveats())
        message += u"\n"_s + caveat;
    ui_.showMessage(MessageLevel::Information, message);
}

void Workbench::addCyclicOverlays()
{
    // Thin and light, behind everything: the loops are the background of the envelopes.
    const int record =
        chart_.addOverlay(kRecordKey, u"Record"_s, {0xC0C0C0, 1.0, DashPattern::Solid, MarkerShape::None, 0.0, true});
    chart_.setOverlayPoints(record, cyclic_->samples());
    chart_.setOverlayVisible(record, true);

    struct Look {
        Direction direction;
        const char* title;
        std::uint32_t color;
    };
    for (const Look& look : {Look{Direction::Positive, "Positive envelope", 0x1F5FAF},
                             Look{Direction::Negative, "Negative envelope", 0xB2182B}}) {
        const OverlayStyle style{look.color, 2.5, DashPattern::Solid, MarkerShape::Circle, 7.0, true};
        const int index = chart_.addOverlay(envelopeKey(look.direction), QString::fromLatin1(look.title), style);
        // The curve store's order: the analysed curve, drawn back into its quadrant.
        const std::vector<Point>& analysed =
            cyclic_->analysis(look.direction).chart()[SeriesId::lnsrsSeries4].data.points();
        chart_.setOverlayPoints(index, look.direction == Direction::Negative ? negated(analysed) : analysed);
        chart_.setOverlayVisible(index, cyclic_->hasEnvelope(look.direction));
    }
    for (SeriesId id : kConstructionSeries) {
        chart_.addOverlay(negativeConstructionKey(id), u"Negative "_s + QLatin1StringView(seriesStyle(id).title),
                          overlayStyleOf(id));
    }
}

void Workbench::leaveCyclic()
{
    if (!cyclic_)
        return;
    cyclic_.reset();
    for (int i = chart_.overlayCount() - 1; i >= 0; --i) {
        if (chart_.overlay(i).key.startsWith(kCyclicPrefix))
            chart_.removeOverlay(i);
    }
    chart_.setSeriesMirrored(false);
    view_ = CyclicView::Positive;
}

void Workbench::setCyclicView(CyclicView view)
{
    if (!cyclic_)
        return;
    view_ = view;
    showCyclicView();
}

void Workbench::calculateCyclic()
{
    const std::vector<RecordedUi::Said> said =
        cyclic_->calculate(fieldText(Field::edt12), fieldText(Field::edt17), fieldText(Field::edt1));
    showCyclicView();
    if (cyclic_->focus())
        ui_.focusField(*cyclic_->focus());
    for (const RecordedUi::Said& s : said)
        ui_.showMessage(s.level, s.text);
    if (!cyclic_->hasEnvelope(Direction::Positive) && !cyclic_->hasEnvelope(Direction::Negative)) {
        ui_.showMessage(MessageLevel::Information,
                        cyclic_->envelopes().positive.message + u"\n"_s + cyclic_->envelopes().negative.message);
    }
}

void Workbench::showCyclicView()
{
    const bool negative = view_ == CyclicView::Negative;
    const Workbench& shown = cyclic_->analysis(negative ? Direction::Negative : Direction::Positive);

    for (int i = 0; i < kSeriesCount; ++i)
        chart_.at(i) = shown.chart_.at(i);
    chart_.setSeriesMirrored(negative);
    for (int m = 0; m < static_cast<int>(otherYieldMethods().size()); ++m) {
        for (const QString& key : {constructionOverlayKey(m), yieldPointOverlayKey(m)}) {
            const int to = chart_.overlayIndex(key);
            const int from = shown.chart_.overlayIndex(key);
            if (to < 0 || from < 0)
                continue;
            const std::vector<Point>& points = shown.chart_.overlay(from).points;
            setPointsIfChanged(chart_, to, negative ? negated(points) : points);
        }
    }
    others_.setResults(shown.others_.results());
    const int displayMethod = state_.DisplayMethod;
    state_ = shown.state_;
    state_.DisplayMethod = displayMethod;
    for (int f = 0; f < kFieldCount; ++f) {
        const Field field = static_cast<Field>(f);
        // What the user typed stays: it is what the next Calculate reads.
        if (field != Field::edt1 && field != Field::edt12 && field != Field::edt17)
            setField(field, shown.fieldText(field));
    }
    calculationCompleted_ = cyclic_->calculationCompleted();
    if (view_ == CyclicView::Average)
        showCyclicAverage();

    const Workbench& other = cyclic_->analysis(Direction::Negative);
    for (SeriesId id : kConstructionSeries) {
        const int index = chart_.overlayIndex(negativeConstructionKey(id));
        if (index < 0)
            continue;
        setPointsIfChanged(chart_, index, negated(other.chart_[id].data.points()));
        chart_.setOverlayVisible(index, view_ == CyclicView::Average && other.chart_[id].visible);
    }
}

void Workbench::showCyclicAverage()
{
    const Workbench& positive = cyclic_->analysis(Direction::Positive);
    const Workbench& negative = cyclic_->analysis(Direction::Negative);
    AnalysisState mean = state_;
    mean.UltimateFound = positive.state_.UltimateFound && negative.state_.UltimateFound;
    mean.StiffnessFound = positive.state_.StiffnessFound && negative.state_.StiffnessFound;
    Field lastField = Field::edt1;
    for (const CyclicResultRow& row : cyclicResultRows()) {
        const std::optional<double> value = meanOfBoth(cyclicResult(positive, row), cyclicResult(negative, row));
        row.value(mean) = value.value_or(0.0);
        // The peak's displacement has no field of its own: it shares the peak load's.
        if (row.field == lastField)
            continue;
        lastField = row.field;
        QString text;
        if (value) {
            if (row.ductility)
                text = formatPattern4(*value, sep_);
            else if (row.field == Field::edt15 && mean.UltimateFound)
                text = formatGeneral(*value, sep_);
            else
                text = formatPattern5(*value, sep_);
        } else if (!positive.fieldText(row.field).isEmpty() || !negative.fieldText(row.field).isEmpty()) {
            text = u"--"_s;
        }
        setField(row.field, text);
    }
    state_ = mean;

    const auto& a = positive.others_.results();
    const auto& b = negative.others_.results();
    std::vector<YieldDefinitionResult> means;
    if (a.size() == b.size()) {
        for (std::size_t i = 0; i < a.size(); ++i)
            means.push_back(meanDefinition(a[i], b[i]));
    }
    others_.setResults(std::move(means));
}

}  // namespace rz

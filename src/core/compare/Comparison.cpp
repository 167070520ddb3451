#include "core/compare/Comparison.h"

#include "core/batch/BatchAnalysis.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/CyclicSession.h"

#include <array>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

constexpr int kThreeAndMean = 4;

// Dark enough to read on white and apart in grey; the periods 8, 5 and 7 share no
// factor, so no two of the first 280 specimens look alike.
constexpr std::array<std::uint32_t, 8> kColours = {0x000000, 0xD55E00, 0x0072B2, 0x009E73,
                                                   0xCC79A7, 0xB8860B, 0x56B4E9, 0x7F3C8D};
constexpr std::array<DashPattern, 5> kDashes = {DashPattern::Solid, DashPattern::Dash, DashPattern::Dot,
                                                DashPattern::DashDot, DashPattern::LongDash};
constexpr std::array<MarkerShape, 7> kMarkers = {MarkerShape::Circle,   MarkerShape::Square,       MarkerShape::Diamond,
                                                 MarkerShape::Triangle, MarkerShape::TriangleDown, MarkerShape::Cross,
                                                 MarkerShape::Star};

template <typename T, std::size_t N>
const T& cycle(const std::array<T, N>& values, int index)
{
    return values[static_cast<std::size_t>(index < 0 ? 0 : index) % N];
}

// A calculated specimen has its other definitions; they are empty after a Calculate that
// stopped early and after an import.
bool calculated(const Workbench& wb)
{
    return wb.lastCalculationCompleted() && !wb.otherDefinitions().empty();
}

std::vector<Point> curveOf(const Workbench& wb)
{
    const std::vector<Point>& fileOrder = wb.importedCurve().fileOrder;
    return fileOrder.empty() ? wb.chart()[SeriesId::lnsrsSeries4].data.points() : fileOrder;
}

// A negative direction is analysed on its mirrored envelope; drawn back as the window
// draws it. 0 - v rather than -v: a zero stays +0.
Point intoQuadrant(const Point& p, std::optional<Direction> direction)
{
    return direction == Direction::Negative ? Point{0.0 - p.x, 0.0 - p.y} : p;
}

// The workbench that analysed what the specimen compares: a direction's own for a cyclic record.
const Workbench& analysisOf(const ComparedSpecimen& s)
{
    const CyclicSession* cyclic = s.workbench->cyclic();
    return s.direction && cyclic ? cyclic->analysis(*s.direction) : *s.workbench;
}

}  // namespace

std::optional<ComparedSpecimen> comparedRow(const SpecimenAnalysis& specimen, std::optional<Direction> direction)
{
    if (!specimen.imported || !specimen.workbench)
        return std::nullopt;
    // The specimen's name without its extension ("specA/coupon" when its folder tells it apart).
    const QString name = specimenName(specimen);
    const QString base = name.left(name.lastIndexOf(u'/') + 1) + baseNameOf(name);
    const CyclicSession* cyclic = specimen.workbench->cyclic();
    if (!cyclic || !direction)
        return ComparedSpecimen{base, specimen.workbench.get()};
    if (!cyclic->hasEnvelope(*direction))
        return std::nullopt;
    return ComparedSpecimen{base + u" ("_s + QLatin1StringView(keyOf(*direction)) + u')', specimen.workbench.get(),
                            direction};
}

std::vector<Point> comparedCurve(const ComparedSpecimen& specimen)
{
    if (!specimen.direction || !specimen.workbench->cyclic())
        return curveOf(*specimen.workbench);
    // The analysed envelope in the curve store's order, as the window's envelope overlay.
    std::vector<Point> points = analysisOf(specimen).chart()[SeriesId::lnsrsSeries4].data.points();
    for (Point& p : points)
        p = intoQuadrant(p, specimen.direction);
    return points;
}

std::optional<Point> comparedYieldPoint(const ComparedSpecimen& specimen, int method)
{
    const std::optional<Point> p = comparisonYieldPoint(analysisOf(specimen), method);
    if (!p || !specimen.workbench->cyclic())
        return p;
    return intoQuadrant(*p, specimen.direction);
}

const std::vector<ComparisonMethod>& comparisonMethods()
{
    static const std::vector<ComparisonMethod> methods = [] {
        std::vector<ComparisonMethod> m = {
            {u"geometric"_s, u"Geometric Graphic Method"_s},
            {u"energy"_s, u"Equivalent Elasto-Plastic Energy Method"_s},
            {u"park"_s, u"R.Park Method"_s},
            {u"mean"_s, u"Mean Value"_s},
        };
        for (const YieldMethod& other : otherYieldMethods())
            m.push_back({QString::fromLatin1(other.key), QString::fromUtf8(other.title)});
        return m;
    }();
    return methods;
}

std::optional<int> comparisonMethodIndex(const QString& key)
{
    const std::vector<ComparisonMethod>& methods = comparisonMethods();
    for (std::size_t i = 0; i < methods.size(); ++i)
        if (methods[i].key == key)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<Point> comparisonYieldPoint(const Workbench& wb, int method)
{
    if (!calculated(wb) || method < 0)
        return std::nullopt;
    const AnalysisState& s = wb.state();
    auto point = [](const YieldResult& r) { return Point{r.YieldDisp, r.YieldLoad}; };
    switch (method) {
        case 0:
            if (!s.StiffnessFound)
                return std::nullopt;
            return point(s.GeometricResult);
        case 1:
            return point(s.EnergyResult);
        case 2:
            return point(s.ParkResult);
        case 3:
            return point(s.MeanResult);
        default:
            break;
    }
    const auto other = static_cast<std::size_t>(method - kThreeAndMean);
    const std::vector<YieldDefinitionResult>& others = wb.otherDefinitions();
    if (other >= others.size() || !others[other].found)
        return std::nullopt;
    return others[other].yieldPoint;
}

OverlayStyle comparisonCurveStyle(int index)
{
    OverlayStyle style;
    style.colorRgb = cycle(kColours, index);
    style.lineWidth = 1.5;
    style.dash = cycle(kDashes, index);
    return style;
}

OverlayStyle comparisonYieldStyle(int index)
{
    OverlayStyle style;
    style.colorRgb = cycle(kColours, index);
    style.lineWidth = 0.0;
    style.marker = cycle(kMarkers, index);
    style.markerSize = 9.0;
    return style;
}

QString comparisonCurveKey(int index)
{
    return QString::number(index) + u".curve"_s;
}

QString comparisonYieldKey(int index)
{
    return QString::number(index) + u".yield"_s;
}

void setComparison(ChartModel& model, const std::vector<ComparedSpecimen>& specimens, int method)
{
    while (model.overlayCount() > 0)
        model.removeOverlay(model.overlayCount() - 1);
    const QString methodTitle = method >= 0 && method < static_cast<int>(comparisonMethods().size())
                                    ? comparisonMethods()[static_cast<std::size_t>(method)].title
                                    : QString();
    // Every curve first, then every yield point, so that no curve hides a point.
    for (std::size_t i = 0; i < specimens.size(); ++i) {
        const int k = static_cast<int>(i);
        const int curve = model.addOverlay(comparisonCurveKey(k), specimens[i].name, comparisonCurveStyle(k));
        model.setOverlayPoints(curve, comparedCurve(specimens[i]));
        model.setOverlayVisible(curve, true);
    }
    for (std::size_t i = 0; i < specimens.size(); ++i) {
        const int k = static_cast<int>(i);
        const ComparedSpecimen& s = specimens[i];
        const int yield = model.addOverlay(comparisonYieldKey(k), s.name + u" yield ("_s + methodTitle + u')',
                                           comparisonYieldStyle(k));
        if (const std::optional<Point> p = comparedYieldPoint(s, method))
            model.setOverlayPoints(yield, {*p});
        model.setOverlayVisible(yield, true);
    }
}

AxisTitles comparisonAxisTitles(const std::vector<ComparedSpecimen>& specimens)
{
    std::vector<const ImportedCurve*> curves;
    for (const ComparedSpecimen& specimen : specimens)
        curves.push_back(&specimen.workbench->importedCurve());
    return axisTitles(curves);
}

}  // namespace rz

#pragma once

#include "core/chart/ChartModel.h"
#include "core/cyclic/CyclicOptions.h"
#include "core/workbench/Workbench.h"

#include <QString>
#include <optional>
#include <vector>

// The comparison chart of a batch: the curves of several specimens overlaid, each with
// its yield point by one chosen definition. Everything is drawn as overlays of a chart
// model whose nine series stay empty, so the window's chart view draws it as it is.
namespace rz {

// The yield definitions to compare by: the three methods, their mean, then
// otherYieldMethods() in their order.
struct ComparisonMethod {
    QString key;    // stable, for the settings: "geometric", "energy", "park", "mean", or the other's key
    QString title;  // for the combo box
};
const std::vector<ComparisonMethod>& comparisonMethods();
// Index into comparisonMethods() of a key; nothing for an unknown one.
std::optional<int> comparisonMethodIndex(const QString& key);

// The yield point (displacement, load) of a specimen by comparisonMethods()[method];
// nothing when its last Calculate did not run to its end or the definition was not found
// (the Geometric Graphic Method without an initial stiffness).
std::optional<Point> comparisonYieldPoint(const Workbench& workbench, int method);

// The look of the index-th specimen: colours, dash patterns and marker shapes combined so
// that neighbours differ in each, also in grey print.
OverlayStyle comparisonCurveStyle(int index);
OverlayStyle comparisonYieldStyle(int index);

struct ComparedSpecimen {
    QString name;                // the legend's text
    const Workbench* workbench;  // its analysed curve
    // For a cyclic record, the loading direction compared: that direction's analysed
    // envelope and yield point, the negative one drawn back in the negative quadrant as
    // the window draws it. None for a monotonic curve.
    std::optional<Direction> direction = std::nullopt;
};

// A summary row as compared: "<base>" for a monotonic file, "<base> (positive)" or
// "<base> (negative)" for a cyclic record's direction; nothing when the row has no curve
// to draw (the file was not imported, or the record has no envelope in that direction).
struct SpecimenAnalysis;
std::optional<ComparedSpecimen> comparedRow(const SpecimenAnalysis& specimen, std::optional<Direction> direction);

// What a compared specimen draws: its curve and its yield point by `method`, both in the
// record's quadrant.
std::vector<Point> comparedCurve(const ComparedSpecimen& specimen);
std::optional<Point> comparedYieldPoint(const ComparedSpecimen& specimen, int method);

// Replaces the model's overlays by two per specimen, all visible: first every "<i>.curve"
// (the curve in the file's order when the import kept it, else by displacement), titled
// with the name; then every "<i>.yield" (the yield point by `method`, empty when there is
// none), so that the points are drawn over all curves.
// The model's revisions go on increasing, so a view of it redraws exactly what changed.
void setComparison(ChartModel& model, const std::vector<ComparedSpecimen>& specimens, int method);

// The chart's axis titles: the window's when the compared curves share their units, else
// the units that differ (axisTitles of several curves).
AxisTitles comparisonAxisTitles(const std::vector<ComparedSpecimen>& specimens);

// Overlay keys of the index-th specimen.
QString comparisonCurveKey(int index);
QString comparisonYieldKey(int index);

}  // namespace rz

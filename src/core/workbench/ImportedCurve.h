#pragma once

#include "core/chart/Series.h"
#include "core/import/ImportResult.h"

#include <QString>

#include <optional>
#include <vector>

// What the window knows about how its curve was read, beyond the points in the curve
// series: kept by "Import with Options…", cleared by the plain import (which reads one
// layout and knows no units).
namespace rz {

struct ImportedCurve {
    // The last import with options as it read the file: the options used, column names
    // and units, where the data started and stopped. Its points are moved into the curve
    // series, so `read->points` is empty. nullopt after the plain import.
    std::optional<ImportResult> read;
    // The samples in the file's order, kept when the import asked for it
    // (PointOrder::FileOrder): a cyclic record's history, which the curve series loses
    // by sorting on displacement. Empty otherwise.
    std::vector<Point> fileOrder;

    // After scaling: "mm", "kN", or empty when unknown.
    QString displacementUnit() const { return read ? read->displacementUnit : QString(); }
    QString loadUnit() const { return read ? read->loadUnit : QString(); }
};

// The chart's axis titles: "Displacement" and "Force", with the unit in brackets when
// it is known ("Displacement (mm)", "Force (kN)").
struct AxisTitles {
    QString displacement;
    QString load;
    friend bool operator==(const AxisTitles&, const AxisTitles&) = default;
};
AxisTitles axisTitles(const QString& displacementUnit, const QString& loadUnit);
AxisTitles axisTitles(const ImportedCurve& curve);
// The titles of one chart holding several curves: on each axis, the titles above when every
// curve has the same unit there (or none), else the quantity with the units in the curves'
// order, "none given" for a curve without one: "Displacement (units differ: mm, in)".
AxisTitles axisTitles(const std::vector<const ImportedCurve*>& curves);

}  // namespace rz

#include "core/workbench/ImportedCurve.h"

namespace rz {

namespace {

QString titled(const QString& quantity, const QString& unit)
{
    return unit.isEmpty() ? quantity : QStringLiteral("%1 (%2)").arg(quantity, unit);
}

}  // namespace

AxisTitles axisTitles(const QString& displacementUnit, const QString& loadUnit)
{
    return {titled(QStringLiteral("Displacement"), displacementUnit), titled(QStringLiteral("Force"), loadUnit)};
}

AxisTitles axisTitles(const ImportedCurve& curve)
{
    return axisTitles(curve.displacementUnit(), curve.loadUnit());
}

}  // namespace rz

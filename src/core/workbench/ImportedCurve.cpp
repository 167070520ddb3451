#include "core/workbench/ImportedCurve.h"

#include <QStringList>

namespace rz {

namespace {

const QString kDisplacement = QStringLiteral("Displacement");
const QString kForce = QStringLiteral("Force");

QString titled(const QString& quantity, const QString& unit)
{
    return unit.isEmpty() ? quantity : QStringLiteral("%1 (%2)").arg(quantity, unit);
}

// One axis of a chart of several curves: a unit that is not everyone's must not label them all.
QString sharedTitle(const QString& quantity, const QStringList& units)
{
    QStringList distinct;
    for (const QString& unit : units) {
        if (!distinct.contains(unit))
            distinct << unit;
    }
    if (distinct.size() <= 1)
        return titled(quantity, distinct.value(0));
    for (QString& unit : distinct) {
        if (unit.isEmpty())
            unit = QStringLiteral("none given");
    }
    return QStringLiteral("%1 (units differ: %2)").arg(quantity, distinct.join(QStringLiteral(", ")));
}

}  // namespace

AxisTitles axisTitles(const QString& displacementUnit, const QString& loadUnit)
{
    return {titled(kDisplacement, displacementUnit), titled(kForce, loadUnit)};
}

AxisTitles axisTitles(const ImportedCurve& curve)
{
    return axisTitles(curve.displacementUnit(), curve.loadUnit());
}

AxisTitles axisTitles(const std::vector<const ImportedCurve*>& curves)
{
    QStringList displacementUnits;
    QStringList loadUnits;
    for (const ImportedCurve* curve : curves) {
        displacementUnits << curve->displacementUnit();
        loadUnits << curve->loadUnit();
    }
    return {sharedTitle(kDisplacement, displacementUnits), sharedTitle(kForce, loadUnits)};
}

}  // namespace rz

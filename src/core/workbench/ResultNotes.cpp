#include "core/workbench/ResultNotes.h"

#include "core/text/NumberText.h"

namespace rz {

QString negativeStiffnessNote(const Workbench& wb)
{
    const AnalysisState& s = wb.state();
    const Series& curve = wb.chart()[SeriesId::lnsrsSeries4].data;
    if (!s.StiffnessFound || !(s.InitialStiffness < 0.0) || curve.empty())
        return {};
    const QChar sep = wb.decimalSeparator();
    return QStringLiteral("initial stiffness negative: the first point's load (%1) is above the secant load (%2)")
        .arg(formatPattern5(curve.y(0), sep), formatPattern5(s.SecantLoadFactor * s.PeakLoad, sep));
}

}  // namespace rz

#include "core/report/OtherDefinitionsReport.h"

#include "core/methods/YieldMethods.h"
#include "core/report/Report.h"
#include "core/text/NumberText.h"

namespace rz {

QStringList otherDefinitionReportLines(const std::vector<YieldDefinitionResult>& results, QChar sep)
{
    const QString comma = QStringLiteral(",");
    auto num = [sep](double v) { return csvField(formatGeneral(v, sep)); };
    QStringList lines;
    lines << QString();
    lines << QStringLiteral("Other definitions:,YieldLoad,YieldDisp,Ductility,Stiffness,Note");
    const std::span<const YieldMethod> methods = otherYieldMethods();
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const QString title = csvField(QString::fromUtf8(methods[m].title));
        if (m >= results.size()) {
            lines << title + QStringLiteral(",--,--,--,--,not calculated");
            continue;
        }
        const YieldDefinitionResult& r = results[m];
        if (!r.found) {
            lines << title + QStringLiteral(",--,--,--,--,") + csvField(r.note);
            continue;
        }
        lines << title + comma + num(r.yieldLoad) + comma + num(r.yieldDisp) + comma + num(r.ductility) + comma +
                     num(r.stiffness) + comma + csvField(r.note);
    }
    return lines;
}

}  // namespace rz

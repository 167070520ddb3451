#include "cli/MethodsOutput.h"

#include "cli/JsonText.h"
#include "cli/TableLine.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/OtherDefinitions.h"

namespace rz::cli {

QString methodsJson(const Workbench& wb)
{
    const std::vector<YieldDefinitionResult>& results = wb.otherDefinitions();
    const std::span<const YieldMethod> methods = otherYieldMethods();
    QString j = QStringLiteral("{");
    for (std::size_t m = 0; m < methods.size(); ++m) {
        if (m)
            j += QLatin1Char(',');
        j += jsonString(QString::fromLatin1(methods[m].key)) + QLatin1Char(':');
        const bool calculated = m < results.size();
        const YieldDefinitionResult none;
        const YieldDefinitionResult& r = calculated ? results[m] : none;
        auto number = [&r](double v) { return r.found ? jsonNumber(v) : QStringLiteral("null"); };
        j += QStringLiteral("{\"Found\":") + jsonBool(r.found);
        j += QStringLiteral(",\"YieldLoad\":") + number(r.yieldLoad);
        j += QStringLiteral(",\"YieldDisp\":") + number(r.yieldDisp);
        j += QStringLiteral(",\"Ductility\":") + number(r.ductility);
        j += QStringLiteral(",\"Stiffness\":") + number(r.stiffness);
        j += QStringLiteral(",\"UltimateDisp\":") + number(r.ultimateDisp);
        j += QStringLiteral(",\"Note\":") + jsonString(calculated ? r.note : QStringLiteral("not calculated"));
        j += QLatin1Char('}');
    }
    j += QLatin1Char('}');
    return j;
}

void appendMethodsTable(QString& text, const Workbench& wb)
{
    auto row = [&text](QStringView name, QStringView load, QStringView disp, QStringView ductility,
                       QStringView stiffness, QStringView note) {
        appendTableLine(text, u"  %1 %2 %3 %4 %5 %6",
                        {{name, 40}, {load, 15}, {disp, 15}, {ductility, 15}, {stiffness, 15}, {note}});
        // Without the blanks of the cells after the last text.
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == u' ')
            --end;
        text.truncate(end);
        text += u'\n';
    };
    row(u"Other definitions", u"Load at Yield", u"Disp. at Yield", u"Ductility", u"Stiffness", u"Note");
    // Made once: the batch tool writes these rows for every file.
    static const std::vector<QString> titles = [] {
        std::vector<QString> all;
        for (const YieldMethod& method : otherYieldMethods())
            all.push_back(QString::fromUtf8(method.title));
        return all;
    }();
    const std::vector<YieldDefinitionResult>& results = wb.otherDefinitions();
    for (std::size_t m = 0; m < titles.size(); ++m) {
        if (m >= results.size()) {
            row(titles[m], {}, {}, {}, {}, {});
            continue;
        }
        // The numbers as the window's table shows them, without a string for each.
        const OtherDefinitionNumbers n = otherDefinitionNumbers(results[m], wb.decimalSeparator());
        row(titles[m], n.yieldLoad.view(), n.yieldDisp.view(), n.ductility.view(), n.stiffness.view(),
            results[m].note);
    }
}

}  // namespace rz::cli

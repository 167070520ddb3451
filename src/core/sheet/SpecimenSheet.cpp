#include "core/sheet/SpecimenSheet.h"

#include "core/batch/BatchAnalysis.h"
#include "core/workbench/CyclicSession.h"

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Shows a cyclic record in one direction for as long as it lives, then as it was.
class ViewedAs {
public:
    ViewedAs(Workbench& wb, Direction d) : wb_(wb), before_(wb.cyclicView())
    {
        wb_.setCyclicView(d == Direction::Negative ? CyclicView::Negative : CyclicView::Positive);
    }
    ~ViewedAs() { wb_.setCyclicView(before_); }
    ViewedAs(const ViewedAs&) = delete;
    ViewedAs& operator=(const ViewedAs&) = delete;

private:
    Workbench& wb_;
    CyclicView before_;
};

}  // namespace

SpecimenSheet specimenSheet(SpecimenAnalysis& specimen, std::optional<Direction> direction)
{
    SpecimenSheet sheet;
    Workbench* wb = specimen.workbench.get();
    if (!specimen.imported || !wb) {
        sheet.missing = specimen.failure.isEmpty() ? u"No curve was imported."_s : specimen.failure;
        return sheet;
    }
    const CyclicSession* cyclic = wb->cyclic();
    if (cyclic && direction && !cyclic->hasEnvelope(*direction)) {
        sheet.missing = u"no envelope in the %1 direction"_s.arg(QLatin1StringView(keyOf(*direction)));
        return sheet;
    }
    std::optional<ViewedAs> viewed;
    if (cyclic && direction)
        viewed.emplace(*wb, *direction);
    const QDateTime analysed = specimen.analysedAt.isValid() ? specimen.analysedAt : QDateTime::currentDateTime();
    sheet.content = testSheetContent(specimen, analysed);
    sheet.chart = wb->chart();
    sheet.titles = wb->axisTitles();
    return sheet;
}

QString specimenSheetFileName(const SpecimenAnalysis& specimen, std::optional<Direction> direction)
{
    // Files of one name in different folders keep their sheets apart by the folders that
    // name them apart: "specA/data.csv" gives "specA_data.pdf".
    const QString base = specimenFileStem(specimenName(specimen));
    const bool cyclic = specimen.imported && specimen.workbench && specimen.workbench->cyclic();
    if (!cyclic || !direction)
        return base + u".pdf"_s;
    return base + u'-' + QLatin1StringView(keyOf(*direction)) + u".pdf"_s;
}

}  // namespace rz

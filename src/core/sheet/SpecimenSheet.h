#pragma once

#include "core/chart/ChartModel.h"
#include "core/cyclic/CyclicOptions.h"
#include "core/sheet/TestSheetContent.h"
#include "core/workbench/ImportedCurve.h"

#include <QString>
#include <optional>

// The test sheet of one row of a batch: the page File > "Export Test Sheet…" writes for
// that specimen once it is opened in the window and calculated, unzoomed; for a cyclic
// record, the page of the row's loading direction. The page is drawn by
// chartview/TestSheetPdf.h from what this returns.
//
//   SpecimenSheet sheet = specimenSheet(specimen, Direction::Negative);
//   if (sheet.missing.isEmpty())
//       writeTestSheetPdf(path, sheet.content, {&sheet.chart, sheet.titles, sep});
namespace rz {

struct SpecimenAnalysis;

struct SpecimenSheet {
    QString missing;  // why the row has no sheet; empty when it has one
    TestSheetContent content;
    ChartModel chart;  // the window's chart of the specimen in that direction
    AxisTitles titles;
};

// The sheet of specimen (in direction, for a cyclic record), analysed when its batch
// Calculate ran. A cyclic record's workbench is shown in that direction while the sheet is
// taken and then in the direction it showed before, so what else reads it is unchanged.
SpecimenSheet specimenSheet(SpecimenAnalysis& specimen, std::optional<Direction> direction);

// "<base>.pdf", or "<base>-positive.pdf" / "<base>-negative.pdf" for a cyclic record's
// direction: names that keep the sheets of one folder apart.
QString specimenSheetFileName(const SpecimenAnalysis& specimen, std::optional<Direction> direction);

}  // namespace rz

#pragma once

#include "core/chart/ChartModel.h"
#include "core/sheet/TestSheetContent.h"
#include "core/workbench/ImportedCurve.h"

#include <qcustomplot.h>

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QString>
#include <optional>

// The one-page test sheet as a vector PDF on A4: the content's texts in tables with
// lines, and the chart drawn as vectors with the series and constructions the chart
// shows. Every text is black; the constructions and yield points differ by dash pattern
// and marker shape as well as by colour, so that the page reads the same printed in grey.
// Needs a QApplication (the chart is a widget drawn offscreen).
namespace rz {

class ChartView;

// The chart to draw: the model's visible series and overlays, its axis titles, and the
// ranges the user zoomed to (none: scaled to the visible series, as after a Calculate).
struct SheetChart {
    const ChartModel* model = nullptr;
    AxisTitles titles;
    QChar decimalSeparator = u'.';
    std::optional<QCPRange> xRange;
    std::optional<QCPRange> yRange;
};

// The chart of a window's ChartView as it is shown now, zoom included.
SheetChart sheetChartAsShown(const ChartModel& model, const AxisTitles& titles, QChar decimalSeparator,
                             const ChartView& shown);

QByteArray renderTestSheetPdf(const TestSheetContent& content, const SheetChart& chart);

// Renders and writes under the policy of writeFileAtomically; throws FileWriteError, and
// an earlier file at path is then left as it was. created, when valid: the date the PDF
// carries instead of the time of writing (core/io/PdfDate.h).
void writeTestSheetPdf(const QString& path, const TestSheetContent& content, const SheetChart& chart,
                       const QDateTime& created = {});

}  // namespace rz

#include "cli/ChartDrawing.h"

#include "chartview/ChartView.h"
#include "chartview/TestSheetPdf.h"

namespace rz::cli {

ChartDrawing::ChartDrawing() = default;
ChartDrawing::~ChartDrawing() = default;

void ChartDrawing::savePicture(const QString& path, PictureFormat format, const ChartModel& chart,
                               const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created)
{
    if (!view_) {
        view_ = std::make_unique<ChartView>();
        // The chart's size in the window's design.
        view_->resize(587, 290);
    }
    // Set only when it changes: the view redraws itself for it.
    if (view_->locale().decimalPoint() != QString(decimalSeparator))
        view_->setDecimalSeparator(decimalSeparator);
    view_->setAxisTitles(titles);
    view_->sync(chart);
    view_->savePicture(path, format, created);
}

void ChartDrawing::writeTestSheet(const QString& path, const TestSheetContent& content, const ChartModel& chart,
                                  const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created)
{
    SheetChart sheet;
    sheet.model = &chart;
    sheet.titles = titles;
    sheet.decimalSeparator = decimalSeparator;
    writeTestSheetPdf(path, content, sheet, created);
}

}  // namespace rz::cli

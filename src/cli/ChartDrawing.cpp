#include "cli/ChartDrawing.h"

#include "chartview/ChartView.h"
#include "chartview/TestSheetPdf.h"
#include "core/io/Files.h"
#include "core/io/PdfDate.h"

namespace rz::cli {

ChartDrawing::ChartDrawing() = default;
ChartDrawing::~ChartDrawing() = default;

namespace {

void writeDrawn(const QString& path, QByteArray bytes, bool pdf, const QDateTime& created, const char* what)
{
    if (bytes.isEmpty())
        throw FileWriteError(
            QStringLiteral("Cannot draw the %1 for \"%2\".").arg(QLatin1StringView(what), path).toStdString());
    if (pdf)
        stampPdfCreationDate(bytes, created);
    writeFileAtomically(path, bytes);
}

}  // namespace

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
    writeDrawn(path, view_->renderPicture(format), format == PictureFormat::Pdf, created, "chart");
}

void ChartDrawing::writeTestSheet(const QString& path, const TestSheetContent& content, const ChartModel& chart,
                                  const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created)
{
    SheetChart sheet;
    sheet.model = &chart;
    sheet.titles = titles;
    sheet.decimalSeparator = decimalSeparator;
    writeDrawn(path, renderTestSheetPdf(content, sheet), true, created, "test sheet");
}

}  // namespace rz::cli

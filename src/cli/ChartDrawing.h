#pragma once

#include "cli/Drawing.h"

#include <memory>

namespace rz {
class ChartView;
}

namespace rz::cli {

// The batch tool's drawing with the window's own chart and test sheet. Needs a QApplication.
class ChartDrawing final : public Drawing {
public:
    ChartDrawing();
    ~ChartDrawing() override;

    void savePicture(const QString& path, PictureFormat format, const ChartModel& chart, const AxisTitles& titles,
                     QChar decimalSeparator, const QDateTime& created) override;
    void writeTestSheet(const QString& path, const TestSheetContent& content, const ChartModel& chart,
                        const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created) override;

private:
    std::unique_ptr<ChartView> view_;  // made for the first picture, kept for the others
};

}  // namespace rz::cli

#pragma once

#include "core/chart/PictureFormat.h"

#include <QChar>
#include <QString>

namespace rz {
class ChartModel;
struct AxisTitles;
struct TestSheetContent;
}  // namespace rz

namespace rz::cli {

// Pictures of the chart and test sheets. The batch tool draws through this only, so that
// the program that runs it loads the drawing libraries (widgets, fonts, PDF) only when a
// picture or a test sheet is asked for: without them it starts in about half the time.
class Drawing {
public:
    virtual ~Drawing() = default;
    // Both throw what writeFileAtomically throws; an earlier file at path is then left as it was.
    virtual void savePicture(const QString& path, PictureFormat format, const ChartModel& chart,
                             const AxisTitles& titles, QChar decimalSeparator) = 0;
    virtual void writeTestSheet(const QString& path, const TestSheetContent& content, const ChartModel& chart,
                                const AxisTitles& titles, QChar decimalSeparator) = 0;
};

}  // namespace rz::cli

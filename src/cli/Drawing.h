#pragma once

#include "core/chart/PictureFormat.h"

#include <QChar>
#include <QDateTime>
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
    // created: the date a PDF carries (the run's, so that a run gives the same bytes again).
    virtual void savePicture(const QString& path, PictureFormat format, const ChartModel& chart,
                             const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created) = 0;
    virtual void writeTestSheet(const QString& path, const TestSheetContent& content, const ChartModel& chart,
                                const AxisTitles& titles, QChar decimalSeparator, const QDateTime& created) = 0;
};

}  // namespace rz::cli

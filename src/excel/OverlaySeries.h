#pragma once

#include "core/chart/ChartModel.h"
#include "excel/Automation.h"

#include <QChar>
#include <cstdint>
#include <functional>
#include <vector>

// The chart's overlays in a workbook: every overlay the chart draws (shown, with points)
// becomes one more series after the nine, in the chart's order, with its own title,
// colour, dash pattern and marker. With none drawn the workbook is the nine series' alone.
//
//   "Single Output":   overlay k takes the two columns after those of series 8 + k,
//                      laid out as the nine are ("X", title; points from row 2).
//   "Combined Output": the overlays' rows follow the nine's, after the empty row where
//                      the nine's ranges end: each overlay's title in column A beside its
//                      first point, its points in B and C, then one empty row where its
//                      own ranges end. Each is its own series, named by its title cell.
namespace rz::excel {

// The overlays the chart draws, in the chart's order.
std::vector<const Overlay*> drawnOverlays(const ChartModel& chart);

// Cell writes of the overlays in a layout (0 "Single Output", 1 "Combined Output").
std::int64_t overlayCellWrites(std::int32_t exportMode, const std::vector<const Overlay*>& overlays);
// Rows the overlays take in "Combined Output", their empty rows included.
std::int64_t overlayRows(const std::vector<const Overlay*>& overlays);

using Advance = std::function<void()>;  // called after every cell written

// firstSeries: the chart position of the first overlay's columns (9 after the nine).
void writeOverlayColumns(const AutomationObject& sheet, const std::vector<const Overlay*>& overlays, int firstSeries,
                         QChar decimalSeparator, const Advance& advance);
void addOverlayColumnSeries(const AutomationObject& collection, const std::vector<const Overlay*>& overlays,
                            int firstSeries);

// firstRow: the row of the first overlay's first point.
void writeOverlayRows(const AutomationObject& sheet, const std::vector<const Overlay*>& overlays, std::int32_t firstRow,
                      QChar decimalSeparator, const Advance& advance);
void addOverlayRowSeries(const AutomationObject& collection, const std::vector<const Overlay*>& overlays,
                         std::int32_t firstRow);

// The overlay's look on an Excel series: straight segments (never smoothed, a
// construction's corners are its point), its line colour, weight and dash or no line,
// its marker or none.
void FormatOverlaySeries(const AutomationObject& series, const OverlayStyle& style);

}  // namespace rz::excel

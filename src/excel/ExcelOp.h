#pragma once

#include "excel/Automation.h"

#include <QString>
#include <cstdint>

namespace rz::excel {

// The Excel export's options, edited by the options dialog and read by the export,
// together with the application that the last export started. One lives in the main
// window for the whole run; every run starts from these defaults.
struct ExcelOp {
    ExcelOp();

    AutomationObject ExcelApp;  // replaced by every export; never asked to quit
    std::int32_t ChartWidth = 300;   // points
    std::int32_t ChartHeight = 450;  // points
    bool ShowLegend = true;
    bool LegendIncludeInLayout = false;
    bool ShowGraphTitle = false;
    QString GraphTitle = QStringLiteral("Graph Title");
    bool ShowAxisLine = true;
    QString XAxisPosition = QStringLiteral("-10000");  // empty: leave the chart's own crossing
    QString YAxisPosition = QStringLiteral("-10000");
    bool ShowAxisTitle = true;
    QString XAxisTitle = QStringLiteral("X Axis");
    QString YAxisTitle = QStringLiteral("Y Axis");
    std::int32_t TickLabelFontSize = 10;
    std::int32_t AxisTitleFontSize = 10;
    std::int32_t LegendFontSize = 10;
    bool ShowPlotAreaLine = true;
    float LineWeight = 0.5f;  // points
    std::int32_t LineColorMode = 0;    // 0 "Auto", 1 "Same as Plot Panel"
    std::int32_t MarkerColorMode = 0;  // the same choice for the marker fill
    bool ShowMarker = true;
    std::int32_t MarkerSize = 4;   // points
    std::int32_t MarkerStyle = 8;  // passed to Excel unchanged
    std::int32_t ExportMode = 0;   // 0 "Single Output", 1 "Combined Output"
    std::int32_t TitleFontSize = 10;  // the chart title's font size
};

}  // namespace rz::excel

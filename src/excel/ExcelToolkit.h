#pragma once

#include "excel/Automation.h"
#include "excel/ExcelOp.h"

#include <QString>
#include <cstdint>

// The Excel operations the export is built from: one per object-model path, each
// sending fixed members, argument kinds and values in a fixed order. Apart from
// StartExcel none catches anything: a refused call ends the caller's work.
namespace rz::excel {

// What the export needs from whoever runs it.
class ExcelEnvironment {
public:
    virtual ~ExcelEnvironment() = default;
    // A new application object ("Excel.Application"); throws on failure.
    virtual AutomationObject createApplication() = 0;
    // The start failure: information icon, an OK button.
    virtual void showStartFailure(const QString& text, const QString& caption) = 0;
    // A refusal of the program's own (information icon).
    virtual void showNotice(const QString& text) = 0;
    // Cell writes done so far out of total; false when the user cancelled.
    virtual bool progress(std::int64_t done, std::int64_t total)
    {
        (void)done;
        (void)total;
        return true;
    }
};

extern const char* const kStartFailureText;
extern const char* const kStartFailureCaption;

// Numbers the operations pass, by their names in Excel's enumerations.
inline constexpr std::int32_t kChartStyle240 = 240;
inline constexpr std::int32_t xlXYScatterSmooth = 72;
inline constexpr std::int32_t xlCategory = 1;
inline constexpr std::int32_t xlValue = 2;
inline constexpr std::int32_t xlPrimary = 1;
inline constexpr std::int32_t msoElementLegendRight = 101;
inline constexpr std::int32_t msoElementPrimaryCategoryAxisTitleAdjacentToAxis = 301;
inline constexpr std::int32_t msoElementPrimaryValueAxisTitleRotated = 307;
inline constexpr std::int32_t xlTickMarkInside = 2;
inline constexpr std::int32_t msoThemeColorText1 = 13;
inline constexpr std::int32_t xlMarkerStyleNone = -4142;

// A new application in op.ExcelApp (the previous one is released); on failure the
// start message is shown once and ExcelApp is left empty. Returns a copy of ExcelApp.
AutomationObject StartExcel(ExcelOp& op, ExcelEnvironment& env);
void ShowExcel(const AutomationObject& app);
AutomationObject AddScatterChart(const AutomationObject& sheet, std::int32_t left, std::int32_t top,
                                 std::int32_t width, std::int32_t height);
// The row travels as a 16-bit integer while it fits and as a 32-bit one beyond, so the
// layout can use every row of a sheet; the column always as a 16-bit integer.
void SetCellText(const AutomationObject& sheet, std::int32_t row, std::int32_t column, const QString& text);
std::int32_t CellLeft(const AutomationObject& sheet, std::int32_t row, std::int32_t column);
std::int32_t CellTop(const AutomationObject& sheet, std::int32_t row, std::int32_t column);
void SetSeriesSource(const AutomationObject& series, const QString& name, const QString& xFormula,
                     const QString& yFormula);
void SetSeriesLineColor(const AutomationObject& series, int red, int green, int blue);
void SetSeriesFillColor(const AutomationObject& series, int red, int green, int blue);
void SetSeriesLineWeight(const AutomationObject& series, float weight);
void SetSeriesMarker(const AutomationObject& series, std::int32_t style, std::int32_t size);
void SetXAxisTitle(const AutomationObject& chart, const QString& text);
void SetYAxisTitle(const AutomationObject& chart, const QString& text);
void SetXAxisCrossing(const AutomationObject& chart, std::int32_t value);
void SetYAxisCrossing(const AutomationObject& chart, std::int32_t value);
void FormatXAxisLine(const AutomationObject& chart, bool show);
void FormatYAxisLine(const AutomationObject& chart, bool show);
void SetMajorTickMark(const AutomationObject& chart, std::int32_t axisType, std::int32_t mark);
void FormatPlotAreaLine(const AutomationObject& chart, bool show);
void SetHasTitle(const AutomationObject& chart, bool flag);
void SetChartTitleText(const AutomationObject& chart, const QString& text);

// marker + column letters + marker + row digits: (2, 2, "$") gives $B$2, (5, 3, "") C5.
QString CellReference(std::int32_t row, std::int32_t column, const QString& marker);

// The colour value Excel's RGB properties take: red + 256 green + 65536 blue.
std::uint32_t ExcelRgb(int red, int green, int blue);

}  // namespace rz::excel

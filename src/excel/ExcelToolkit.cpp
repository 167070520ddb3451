#include "excel/ExcelToolkit.h"

#include <limits>

namespace rz::excel {

const char* const kStartFailureText = "创建Excel文件出错, 请确认本机是否安装了MS-EXCEL.";
const char* const kStartFailureCaption = "错误";

namespace {

Variant i16(std::int32_t v)
{
    return Variant::int16(static_cast<std::int16_t>(v));
}

Variant i32(std::int32_t v)
{
    return Variant::int32(v);
}

Variant row16or32(std::int32_t row)
{
    if (row >= std::numeric_limits<std::int16_t>::min() && row <= std::numeric_limits<std::int16_t>::max())
        return i16(row);
    return i32(row);
}

AutomationObject lineOf(const AutomationObject& owner)
{
    return owner.getObject("Format").getObject("Line");
}

AutomationObject axis(const AutomationObject& chart, std::int32_t type)
{
    return chart.callObject("Axes", {i32(type), i32(xlPrimary)});
}

void formatAxisLine(const AutomationObject& chart, std::int32_t type, bool show)
{
    const AutomationObject line = lineOf(axis(chart, type));
    line.put("Visible", Variant::boolean(show));
    if (show)
        line.getObject("ForeColor").put("ObjectThemeColor", i32(msoThemeColorText1));
}

}  // namespace

AutomationObject StartExcel(ExcelOp& op, ExcelEnvironment& env)
{
    try {
        op.ExcelApp = env.createApplication();
    } catch (...) {
        op.ExcelApp.clear();
        env.showStartFailure(QString::fromUtf8(kStartFailureText), QString::fromUtf8(kStartFailureCaption));
    }
    return op.ExcelApp;
}

void ShowExcel(const AutomationObject& app)
{
    app.getObject("Application").put("Visible", Variant::boolean(true));
}

AutomationObject AddScatterChart(const AutomationObject& sheet, std::int32_t left, std::int32_t top,
                                 std::int32_t width, std::int32_t height)
{
    const AutomationObject shape =
        sheet.getObject("Shapes").callObject("AddChart2", {i32(kChartStyle240), i32(xlXYScatterSmooth)});
    shape.put("Left", i32(left));
    shape.put("Top", i32(top));
    shape.put("Width", i32(width));
    shape.put("Height", i32(height));
    return shape;
}

void SetCellText(const AutomationObject& sheet, std::int32_t row, std::int32_t column, const QString& text)
{
    sheet.getObject("Cells", {row16or32(row), i16(column)}).put("Value", Variant::text(text));
}

std::int32_t CellLeft(const AutomationObject& sheet, std::int32_t row, std::int32_t column)
{
    return sheet.getObject("Cells", {i32(row), i32(column)}).get("Left").toInt32();
}

std::int32_t CellTop(const AutomationObject& sheet, std::int32_t row, std::int32_t column)
{
    return sheet.getObject("Cells", {i32(row), i32(column)}).get("Top").toInt32();
}

void SetSeriesSource(const AutomationObject& series, const QString& name, const QString& xFormula,
                     const QString& yFormula)
{
    series.put("Name", Variant::text(name));
    series.put("XValues", Variant::text(xFormula));
    series.put("Values", Variant::text(yFormula));
}

std::uint32_t ExcelRgb(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red) + 256u * static_cast<std::uint32_t>(green) +
           65536u * static_cast<std::uint32_t>(blue);
}

void SetSeriesLineColor(const AutomationObject& series, int red, int green, int blue)
{
    const AutomationObject line = lineOf(series);
    line.put("Visible", Variant::boolean(true));
    line.getObject("ForeColor").put("RGB", Variant::uint32(ExcelRgb(red, green, blue)));
}

void SetSeriesFillColor(const AutomationObject& series, int red, int green, int blue)
{
    const AutomationObject fill = series.getObject("Format").getObject("Fill");
    fill.put("Visible", Variant::boolean(true));
    fill.getObject("ForeColor").put("RGB", Variant::uint32(ExcelRgb(red, green, blue)));
}

void SetSeriesLineWeight(const AutomationObject& series, float weight)
{
    const AutomationObject line = lineOf(series);
    line.put("Visible", Variant::boolean(true));
    line.put("Weight", Variant::float32(weight));
}

void SetSeriesMarker(const AutomationObject& series, std::int32_t style, std::int32_t size)
{
    series.put("MarkerStyle", i32(style));
    if (style != xlMarkerStyleNone)
        series.put("MarkerSize", i32(size));
}

void SetXAxisTitle(const AutomationObject& chart, const QString& text)
{
    chart.call("SetElement", {i32(msoElementPrimaryCategoryAxisTitleAdjacentToAxis)});
    axis(chart, xlCategory).getObject("AxisTitle").put("Text", Variant::text(text));
}

void SetYAxisTitle(const AutomationObject& chart, const QString& text)
{
    chart.call("SetElement", {i32(msoElementPrimaryValueAxisTitleRotated)});
    axis(chart, xlValue).getObject("AxisTitle").put("Text", Variant::text(text));
}

void SetXAxisCrossing(const AutomationObject& chart, std::int32_t value)
{
    axis(chart, xlCategory).put("CrossesAt", i32(value));
}

void SetYAxisCrossing(const AutomationObject& chart, std::int32_t value)
{
    axis(chart, xlValue).put("CrossesAt", i32(value));
}

void FormatXAxisLine(const AutomationObject& chart, bool show)
{
    formatAxisLine(chart, xlCategory, show);
}

void FormatYAxisLine(const AutomationObject& chart, bool show)
{
    formatAxisLine(chart, xlValue, show);
}

void SetMajorTickMark(const AutomationObject& chart, std::int32_t axisType, std::int32_t mark)
{
    axis(chart, axisType).put("MajorTickMark", i32(mark));
}

void FormatPlotAreaLine(const AutomationObject& chart, bool show)
{
    const AutomationObject line = lineOf(chart.getObject("PlotArea"));
    line.put("Visible", Variant::boolean(show));
    if (show)
        line.getObject("ForeColor").put("ObjectThemeColor", i32(msoThemeColorText1));
}

void SetHasTitle(const AutomationObject& chart, bool flag)
{
    chart.put("HasTitle", Variant::boolean(flag));
}

void SetChartTitleText(const AutomationObject& chart, const QString& text)
{
    if (chart.get("HasTitle").asBool())
        chart.getObject("ChartTitle").put("Text", Variant::text(text));
}

QString CellReference(std::int32_t row, std::int32_t column, const QString& marker)
{
    // Bijective base 26: there is no zero digit, Z stands where a remainder is 0.
    QString letters;
    for (std::int64_t n = column; n > 0; n = (n - 1) / 26) {
        const auto r = static_cast<int>(n % 26);
        letters.prepend(r == 0 ? QChar(u'Z') : QChar(u'A' + r - 1));
    }
    return marker + letters + marker + QString::number(row);
}

}  // namespace rz::excel

#include "excel/ExcelExport.h"

#include "core/text/NumberText.h"
#include "excel/OverlaySeries.h"

#include <cmath>
#include <limits>

namespace rz::excel {

ExportCancelled::ExportCancelled() : std::runtime_error("The export was cancelled") {}

namespace {

const QString kSheetPrefix = QStringLiteral("=Sheet1!");

QString rangeFormula(std::int64_t lastRow, std::int32_t column)
{
    const QString marker = QStringLiteral("$");
    return kSheetPrefix + CellReference(2, column, marker) + u':' +
           CellReference(static_cast<std::int32_t>(lastRow), column, marker);
}

std::int64_t totalPoints(const ChartModel& chart)
{
    std::int64_t total = 0;
    for (int i = 0; i < chart.count(); ++i)
        total += chart.at(i).data.count();
    return total;
}

std::int64_t cellWrites(const ExcelOp& op, const ChartModel& chart)
{
    const std::int64_t points = totalPoints(chart);
    const std::int64_t overlays = overlayCellWrites(op.ExportMode, drawnOverlays(chart));
    if (op.ExportMode == 0)
        return 2 * points + 2 * chart.count() + overlays;
    return 2 * points + chart.count() + 3 + overlays;
}

// Reports the cell writes to the environment now and then; the user's cancel ends the
// export at the next report.
class ProgressCounter {
public:
    ProgressCounter(ExcelEnvironment& env, std::int64_t total) : env_(env), total_(total) { report(); }

    void advance()
    {
        if (++done_ % kStride == 0)
            report();
    }
    void report()
    {
        if (!env_.progress(done_, total_))
            throw ExportCancelled();
    }

private:
    static constexpr std::int64_t kStride = 8192;
    ExcelEnvironment& env_;
    std::int64_t total_;
    std::int64_t done_ = 0;
};

// The axis position as the number Excel receives: blanks around it are ignored as the
// platform's conversion does, the value is cut toward zero, and one beyond the 32-bit
// range is held at its end (both lie far outside any axis, which is what they mean).
std::int32_t axisCrossing(const QString& text, QChar decimalSeparator)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    const std::optional<double> value = parseDecimal(QStringView(text).sliced(begin, end - begin), decimalSeparator);
    if (!value)
        throw std::runtime_error(invalidFloatMessage(text).toStdString());
    const double cut = std::trunc(*value);
    if (cut <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (cut >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(cut);
}

void writeSingleOutput(const AutomationObject& sheet, const ChartModel& chart, QChar sep, ProgressCounter& progress)
{
    const QString xHeader = QStringLiteral("X");
    for (int i = 0; i < chart.count(); ++i) {
        const Series& data = chart.at(i).data;
        const std::int32_t xColumn = 2 * i + 1;
        const std::int32_t yColumn = 2 * i + 2;
        SetCellText(sheet, 1, xColumn, xHeader);
        progress.advance();
        SetCellText(sheet, 1, yColumn, QString::fromUtf8(seriesStyle(static_cast<SeriesId>(i)).title));
        progress.advance();
        for (int s = 0; s < data.count(); ++s) {
            SetCellText(sheet, s + 2, xColumn, formatGeneral(data.x(s), sep));
            progress.advance();
            SetCellText(sheet, s + 2, yColumn, formatGeneral(data.y(s), sep));
            progress.advance();
        }
    }
}

void writeCombinedOutput(const AutomationObject& sheet, const ChartModel& chart, QChar sep, ProgressCounter& progress)
{
    SetCellText(sheet, 1, 1, QStringLiteral("Serie Name"));
    SetCellText(sheet, 1, 2, QStringLiteral("X"));
    SetCellText(sheet, 1, 3, QStringLiteral("Y"));
    for (int k = 0; k < 3; ++k)
        progress.advance();
    std::int32_t row = 2;
    for (int i = 0; i < chart.count(); ++i) {
        const Series& data = chart.at(i).data;
        SetCellText(sheet, row, 1, QString::fromUtf8(seriesStyle(static_cast<SeriesId>(i)).title));
        progress.advance();
        for (int s = 0; s < data.count(); ++s) {
            SetCellText(sheet, row, 2, formatGeneral(data.x(s), sep));
            progress.advance();
            SetCellText(sheet, row, 3, formatGeneral(data.y(s), sep));
            progress.advance();
            ++row;
        }
    }
}

std::uint32_t chartSeriesColor(int i)
{
    return toLowRedColor(seriesStyle(static_cast<SeriesId>(i)).colorRgb);
}

void styleChart(const ExcelOp& op, const AutomationObject& chart, QChar sep)
{
    if (op.ShowAxisTitle) {
        SetXAxisTitle(chart, op.XAxisTitle);
        chart.callObject("Axes", {Variant::int32(xlCategory), Variant::int32(xlPrimary)})
            .getObject("AxisTitle")
            .getObject("Font")
            .put("Size", Variant::int32(op.AxisTitleFontSize));
    }
    FormatXAxisLine(chart, op.ShowAxisLine);
    if (!op.XAxisPosition.isEmpty())
        SetXAxisCrossing(chart, axisCrossing(op.XAxisPosition, sep));
    SetMajorTickMark(chart, xlCategory, xlTickMarkInside);

    if (op.ShowAxisTitle) {
        SetYAxisTitle(chart, op.YAxisTitle);
        chart.callObject("Axes", {Variant::int32(xlValue), Variant::int32(xlPrimary)})
            .getObject("AxisTitle")
            .getObject("Font")
            .put("Size", Variant::int32(op.AxisTitleFontSize));
    }
    FormatYAxisLine(chart, op.ShowAxisLine);
    if (!op.YAxisPosition.isEmpty())
        SetYAxisCrossing(chart, axisCrossing(op.YAxisPosition, sep));
    SetMajorTickMark(chart, xlValue, xlTickMarkInside);

    if (op.ShowLegend) {
        chart.call("SetElement", {Variant::int32(msoElementLegendRight)});
        chart.getObject("Legend").put("IncludeInLayout", Variant::boolean(op.LegendIncludeInLayout));
        chart.getObject("Legend").getObject("Font").put("Size", Variant::int32(op.LegendFontSize));
    }
    FormatPlotAreaLine(chart, op.ShowPlotAreaLine);
    SetHasTitle(chart, op.ShowGraphTitle);
    if (op.ShowGraphTitle)
        SetChartTitleText(chart, op.GraphTitle);

    // Our own additions, after the fixed sequence above so that it stays as it is: the
    // tick-label font size, and the title's font size when there is a title.
    for (const std::int32_t type : {xlCategory, xlValue}) {
        chart.callObject("Axes", {Variant::int32(type), Variant::int32(xlPrimary)})
            .getObject("TickLabels")
            .getObject("Font")
            .put("Size", Variant::int32(op.TickLabelFontSize));
    }
    if (op.ShowGraphTitle && chart.get("HasTitle").asBool())
        chart.getObject("ChartTitle").getObject("Font").put("Size", Variant::int32(op.TitleFontSize));
}

}  // namespace

std::optional<QString> LayoutRefusal(const ExcelOp& op, const ChartModel& chart)
{
    // Data from row 2, and every range ends one row past its data.
    const std::int64_t maxPoints = kExcelLastRow - 2;
    const std::vector<const Overlay*> overlays = drawnOverlays(chart);
    if (op.ExportMode == 0) {
        auto refuse = [&](const QString& title, std::int64_t n) -> std::optional<QString> {
            if (n <= maxPoints)
                return std::nullopt;
            return QStringLiteral(
                       "The series \"%1\" has %2 points, more than the %3 points per series "
                       "that an Excel worksheet can hold (%4 rows). Nothing was exported.")
                .arg(title)
                .arg(n)
                .arg(maxPoints)
                .arg(kExcelLastRow);
        };
        for (int i = 0; i < chart.count(); ++i) {
            if (auto refusal =
                    refuse(QString::fromUtf8(seriesStyle(static_cast<SeriesId>(i)).title), chart.at(i).data.count()))
                return refusal;
        }
        for (const Overlay* o : overlays) {
            if (auto refusal = refuse(o->title, static_cast<std::int64_t>(o->points.size())))
                return refusal;
        }
        return std::nullopt;
    }
    // The overlays' rows, each with its empty row, follow the nine's empty row.
    const std::int64_t total = totalPoints(chart) + overlayRows(overlays);
    if (total > maxPoints) {
        return QStringLiteral("The chart has %1 points in all, more than the %2 points that the combined "
                              "layout can hold in one Excel worksheet (%3 rows). Nothing was exported.")
            .arg(total)
            .arg(maxPoints)
            .arg(kExcelLastRow);
    }
    return std::nullopt;
}

void FormatSeries(const ExcelOp& op, const AutomationObject& series, std::uint32_t lowRedColor)
{
    const int red = static_cast<int>(lowRedColor & 0xFF);
    const int green = static_cast<int>((lowRedColor >> 8) & 0xFF);
    const int blue = static_cast<int>((lowRedColor >> 16) & 0xFF);
    if (op.LineColorMode == 1)
        SetSeriesLineColor(series, red, green, blue);
    if (op.ShowMarker) {
        SetSeriesMarker(series, op.MarkerStyle, op.MarkerSize);
        if (op.MarkerColorMode == 1)
            SetSeriesFillColor(series, red, green, blue);
    } else {
        SetSeriesMarker(series, xlMarkerStyleNone, 2);
    }
    SetSeriesLineWeight(series, op.LineWeight);
}

void ExportToExcel(ExcelOp& op, const ChartModel& chart, QChar decimalSeparator, ExcelEnvironment& env)
{
    if (const std::optional<QString> refusal = LayoutRefusal(op, chart)) {
        env.showNotice(*refusal);
        return;
    }
    const AutomationObject app = StartExcel(op, env);
    if (app.isEmpty())
        return;
    ShowExcel(app);
    const AutomationObject workbook = app.getObject("Workbooks").callObject("Add");
    const AutomationObject sheet = workbook.getObject("Sheets", {Variant::text(QStringLiteral("Sheet1"))});
    const std::int32_t left = CellLeft(sheet, 5, 3);
    const std::int32_t top = CellTop(sheet, 5, 3);
    const AutomationObject shape = AddScatterChart(sheet, left, top, op.ChartWidth, op.ChartHeight);

    ProgressCounter progress(env, cellWrites(op, chart));
    const Advance advance = [&progress] { progress.advance(); };
    const std::vector<const Overlay*> overlays = drawnOverlays(chart);
    AutomationObject excelChart;
    if (op.ExportMode == 0) {
        writeSingleOutput(sheet, chart, decimalSeparator, progress);
        writeOverlayColumns(sheet, overlays, chart.count(), decimalSeparator, advance);
        progress.report();
        shape.call("Select");
        excelChart = app.getObject("ActiveChart");
        const AutomationObject collection = excelChart.callObject("SeriesCollection");
        for (int i = 0; i < chart.count(); ++i) {
            const AutomationObject series = collection.callObject("NewSeries");
            const std::int64_t lastRow = chart.at(i).data.count() + 2;
            SetSeriesSource(series, kSheetPrefix + CellReference(1, 2 * i + 2, QStringLiteral("$")),
                            rangeFormula(lastRow, 2 * i + 1), rangeFormula(lastRow, 2 * i + 2));
            FormatSeries(op, series, chartSeriesColor(i));
        }
        addOverlayColumnSeries(collection, overlays, chart.count());
    } else {
        const std::int64_t lastRow = totalPoints(chart) + 2;
        const auto overlayRow = static_cast<std::int32_t>(lastRow + 1);
        writeCombinedOutput(sheet, chart, decimalSeparator, progress);
        writeOverlayRows(sheet, overlays, overlayRow, decimalSeparator, advance);
        progress.report();
        shape.call("Select");
        excelChart = app.getObject("ActiveChart");
        const AutomationObject collection = excelChart.callObject("SeriesCollection");
        const AutomationObject series = collection.callObject("NewSeries");
        SetSeriesSource(series, QStringLiteral("X-Y"), rangeFormula(lastRow, 2), rangeFormula(lastRow, 3));
        FormatSeries(op, series, chartSeriesColor(0));
        addOverlayRowSeries(collection, overlays, overlayRow);
    }
    styleChart(op, excelChart, decimalSeparator);
}

}  // namespace rz::excel

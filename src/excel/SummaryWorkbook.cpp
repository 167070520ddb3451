#include "excel/SummaryWorkbook.h"

#include "core/batch/SummaryCsv.h"
#include "core/compare/Comparison.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"
#include "excel/WorkbookWriter.h"

#include <xlsxwriter.h>

#include <cmath>
#include <deque>
#include <string>

namespace rz {

namespace {

using excel::WorkbookWriteError;

[[noreturn]] void fail(const QString& what)
{
    throw WorkbookWriteError(what.toStdString());
}

void check(lxw_error error, const char* what)
{
    if (error != LXW_NO_ERROR)
        fail(QStringLiteral("%1: %2").arg(QLatin1StringView(what), QString::fromUtf8(lxw_strerror(error))));
}

// The library keeps some of the texts it is given until the file is closed.
class Texts {
public:
    const char* operator()(const QString& text)
    {
        texts_.push_back(text.toStdString());
        return texts_.back().c_str();
    }

private:
    std::deque<std::string> texts_;
};

// "A", ..., "Z", "AA", ... of a column counted from 0.
QString columnName(int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

// The flags as the report writes them.
QString flagText(bool flag)
{
    return flag ? QStringLiteral("YES") : QStringLiteral("NO");
}

// Formulas under a numeric column; a value that does not exist shows "--" as in the CSV.
struct StatisticFormula {
    const char* pattern;  // %1: the column's cells, e.g. D2:D31
    std::optional<double> ColumnStatistics::*value;
};
const StatisticFormula kFormulas[] = {
    {"IFERROR(AVERAGE(%1),\"--\")", &ColumnStatistics::mean},
    {"IFERROR(_xlfn.STDEV.S(%1),\"--\")", &ColumnStatistics::standardDeviation},
    {"IFERROR(_xlfn.STDEV.S(%1)/AVERAGE(%1),\"--\")", &ColumnStatistics::coefficientOfVariation},
    {"IF(COUNT(%1)=0,\"--\",MIN(%1))", &ColumnStatistics::minimum},
    {"IF(COUNT(%1)=0,\"--\",MAX(%1))", &ColumnStatistics::maximum},
};

void writeResults(lxw_workbook* wb, const SummaryTable& table, Texts& texts)
{
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Results");
    if (!ws)
        fail(QStringLiteral("Adding the sheet Results"));
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    // Long titles wrap over a few lines rather than widen every column.
    lxw_format* title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_text_wrap(title);
    format_set_align(title, LXW_ALIGN_VERTICAL_BOTTOM);

    const std::vector<SummaryColumn>& columns = table.columns();
    // The statistics' labels take the first column, unless it holds numbers itself.
    const int shift = !columns.empty() && columns.front().kind == ColumnKind::Number ? 1 : 0;
    const auto rows = static_cast<lxw_row_t>(table.rowCount());
    for (std::size_t c = 0; c < columns.size(); ++c)
        check(worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c + shift), texts(columns[c].title), title),
              "Writing a title");
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c + shift);
            const SummaryCell& cell = table.cell(r, c);
            if (const auto* text = std::get_if<QString>(&cell)) {
                if (!text->isEmpty())
                    check(worksheet_write_string(ws, row, col, texts(*text), nullptr), "Writing a cell");
            } else if (const auto* number = std::get_if<double>(&cell)) {
                // A value the file format cannot hold is left out, as the statistics leave it.
                if (std::isfinite(*number))
                    check(worksheet_write_number(ws, row, col, *number, nullptr), "Writing a cell");
            } else if (const auto* flag = std::get_if<bool>(&cell)) {
                check(worksheet_write_string(ws, row, col, texts(flagText(*flag)), nullptr), "Writing a cell");
            }
        }
    }

    const QStringList labels = statisticsLabels();
    const std::vector<std::optional<ColumnStatistics>> statistics = table.statistics();
    for (int s = 0; s < labels.size(); ++s)
        check(worksheet_write_string(ws, static_cast<lxw_row_t>(rows + 1 + s), 0, texts(labels[s]), bold),
              "Writing a label");
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!statistics[c])
            continue;
        const ColumnStatistics& st = *statistics[c];
        const auto col = static_cast<lxw_col_t>(c + shift);
        const QString name = columnName(col);
        if (rows == 0) {
            // No cells to range over: the values themselves.
            check(worksheet_write_number(ws, 1, col, 0.0, nullptr), "Writing a statistic");
            for (std::size_t f = 0; f < std::size(kFormulas); ++f)
                check(worksheet_write_string(ws, static_cast<lxw_row_t>(2 + f), col, "--", nullptr),
                      "Writing a statistic");
            continue;
        }
        const QString cells = QStringLiteral("%1%2:%1%3").arg(name).arg(2).arg(rows + 1);
        check(worksheet_write_formula_num(ws, rows + 1, col, texts(QStringLiteral("=COUNT(%1)").arg(cells)), nullptr,
                                          st.count),
              "Writing a formula");
        for (std::size_t f = 0; f < std::size(kFormulas); ++f) {
            const auto row = static_cast<lxw_row_t>(rows + 2 + f);
            const char* formula = texts(QStringLiteral("=") + QString::fromLatin1(kFormulas[f].pattern).arg(cells));
            if (const std::optional<double>& value = st.*kFormulas[f].value)
                check(worksheet_write_formula_num(ws, row, col, formula, nullptr, *value), "Writing a formula");
            else
                check(worksheet_write_formula_str(ws, row, col, formula, nullptr, "--"), "Writing a formula");
        }
    }
    worksheet_freeze_panes(ws, 1, static_cast<lxw_col_t>(1 + shift));
    worksheet_set_row(ws, 0, 60.0, nullptr);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto col = static_cast<lxw_col_t>(c + shift);
        const bool text = columns[c].kind == ColumnKind::Text;
        // The labels of the statistics stand in the first column.
        const double width = col == 0 ? 28.0 : text && c + 1 == columns.size() ? 60.0 : 13.0;
        worksheet_set_column(ws, col, col, width, nullptr);
    }
}

// Spreadsheet programs draw at most 255 series in one chart.
constexpr std::size_t kChartSeriesMax = 255;

// The chart on top, where the sheet opens; the curves under it.
constexpr lxw_row_t kChartRow = 1;
constexpr lxw_row_t kNameRow = 32;

void writeCurves(lxw_workbook* wb, const std::vector<CurveForSummary>& curves, Texts& texts,
                 const SummaryWriteProgress& progress)
{
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Curves");
    if (!ws)
        fail(QStringLiteral("Adding the sheet Curves"));
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);

    const std::size_t kept = std::min(curves.size(), kSummaryCurvesMax);
    std::size_t drawn = 0;
    bool cut = false;
    lxw_chart* chart = kept == 0 ? nullptr : workbook_add_chart(wb, LXW_CHART_SCATTER_STRAIGHT);
    for (std::size_t i = 0; i < kept; ++i) {
        const CurveForSummary& curve = curves[i];
        const auto x = static_cast<lxw_col_t>(2 * i);
        const auto y = static_cast<lxw_col_t>(2 * i + 1);
        // The name over both columns, what each holds under it.
        check(worksheet_write_string(ws, kNameRow, x, texts(curve.name), bold), "Writing a curve's name");
        check(worksheet_write_string(ws, kNameRow + 1, x, "Displacement", nullptr), "Writing a curve's title");
        check(worksheet_write_string(ws, kNameRow + 1, y, "Load", nullptr), "Writing a curve's title");
        const lxw_row_t first = kNameRow + 2;
        lxw_row_t row = first;
        for (const QPointF& p : curve.points) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            if (row >= LXW_ROW_MAX) {
                cut = true;
                break;
            }
            check(worksheet_write_number(ws, row, x, p.x(), nullptr), "Writing a point");
            check(worksheet_write_number(ws, row, y, p.y(), nullptr), "Writing a point");
            ++row;
        }
        if (progress && !progress(i + 1, kept))
            throw excel::ExportCancelled();
        if (row == first || drawn == kChartSeriesMax)
            continue;  // nothing to draw, or no room left in the chart
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        if (!series)
            fail(QStringLiteral("Adding a chart series"));
        chart_series_set_categories(series, "Curves", first, x, row - 1, x);
        chart_series_set_values(series, "Curves", first, y, row - 1, y);
        chart_series_set_name_range(series, "Curves", kNameRow, x);
        chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
        lxw_chart_line line{};
        line.width = 1.5f;
        chart_series_set_line(series, &line);
        ++drawn;
    }
    // Say what did not fit, above the chart, rather than lose it silently.
    QStringList left;
    if (curves.size() > kept)
        left << QStringLiteral("the sheet holds the first %1 of %2 curves").arg(kept).arg(curves.size());
    if (cut)
        left << QStringLiteral("curves longer than the sheet are cut at its last row");
    if (drawn == kChartSeriesMax && kept > drawn)
        left << QStringLiteral("the chart draws the first %1 curves, as many as a chart holds").arg(drawn);
    if (!left.isEmpty())
        check(worksheet_write_string(ws, 0, 0, texts(QStringLiteral("Note: ") + left.join(QStringLiteral("; "))),
                                     nullptr),
              "Writing a note");
    if (!chart || chart->series_list == nullptr || STAILQ_EMPTY(chart->series_list))
        return;
    chart_title_set_name(chart, "Load-displacement curves");
    chart_axis_set_name(chart->x_axis, "Displacement");
    chart_axis_set_name(chart->y_axis, "Load");
    chart_axis_major_gridlines_set_visible(chart->x_axis, LXW_TRUE);
    chart_axis_major_gridlines_set_visible(chart->y_axis, LXW_TRUE);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_RIGHT);
    lxw_chart_options placement{};
    placement.x_scale = 2.0;
    placement.y_scale = 2.0;
    check(worksheet_insert_chart_opt(ws, kChartRow, 1, chart, &placement), "Placing the chart");
}

}  // namespace

std::vector<CurveForSummary> summaryCurvesOf(const SpecimenAnalysis& specimen)
{
    if (!specimen.workbench || !specimen.imported)
        return {};
    const QString file = specimenName(specimen);
    if (!specimen.workbench->cyclic()) {
        CurveForSummary curve{file, {}};
        const Series& data = specimen.workbench->chart()[SeriesId::lnsrsSeries4].data;
        curve.points.reserve(static_cast<std::size_t>(data.count()));
        for (int k = 0; k < data.count(); ++k)
            curve.points.emplace_back(data.x(k), data.y(k));
        return {curve};
    }
    std::vector<CurveForSummary> curves;
    for (const Direction d : {Direction::Positive, Direction::Negative}) {
        const std::optional<ComparedSpecimen> row = comparedRow(specimen, d);
        if (!row)
            continue;  // no envelope that way
        CurveForSummary curve{file + QStringLiteral(" (%1)").arg(QLatin1StringView(keyOf(d))), {}};
        for (const Point& p : comparedCurve(*row))
            curve.points.emplace_back(p.x, p.y);
        curves.push_back(std::move(curve));
    }
    return curves;
}

void writeSummaryWorkbook(const QString& path, const SummaryTable& table, const std::vector<CurveForSummary>& curves,
                          std::optional<std::int64_t> created, const SummaryWriteProgress& progress)
{
    Texts texts;
    excel::XlsxFileOptions options;
    options.created = created;
    const std::size_t all = std::min(curves.size(), kSummaryCurvesMax);
    std::function<bool()> cancelled;
    if (progress)
        cancelled = [&progress, all] { return !progress(all, all); };
    excel::writeXlsxFile(
        path, options,
        [&](lxw_workbook* wb) {
            writeResults(wb, table, texts);
            writeCurves(wb, curves, texts, progress);
        },
        cancelled);
}

}  // namespace rz

#include "excel/WorkbookWriter.h"

#include "core/io/Files.h"
#include "core/io/ZipArchive.h"
#include "excel/CapturedStderr.h"
#include "excel/ChartXmlOrder.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"
#include "excel/XmlPartCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#ifndef _WIN32
#include <locale.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace rz::excel {

namespace {

using namespace model;

// libxlsxwriter prints numbers with the C library, which follows the user's numeric
// locale once a QApplication exists: a decimal comma would corrupt the file.
class CNumericLocale {
public:
    CNumericLocale()
    {
#ifdef _WIN32
        previousMode_ = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        previous_ = previous ? previous : "C";
        std::setlocale(LC_NUMERIC, "C");
#else
        c_ = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
        if (c_)
            previous_ = uselocale(c_);
#endif
    }
    ~CNumericLocale()
    {
#ifdef _WIN32
        std::setlocale(LC_NUMERIC, previous_.c_str());
        _configthreadlocale(previousMode_);
#else
        if (c_) {
            uselocale(previous_);
            freelocale(c_);
        }
#endif
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
#ifdef _WIN32
    int previousMode_ = 0;
    std::string previous_;
#else
    locale_t c_ = nullptr;
    locale_t previous_ = nullptr;
#endif
};

// The writer keeps pointers to some of the texts it is given until the file is closed.
class TextArena {
public:
    char* operator()(const QString& text)
    {
        texts_.push_back(text.toStdString());
        return texts_.back().data();
    }

private:
    std::deque<std::string> texts_;
};

// libxlsxwriter reads a colour of 0 as "not set"; black has its own value.
lxw_color_t lxwColor(std::uint32_t lowRed)
{
    const std::uint32_t rgb = ((lowRed & 0xFF) << 16) | (lowRed & 0xFF00) | ((lowRed >> 16) & 0xFF);
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

[[noreturn]] void fail(const QString& what)
{
    throw WorkbookWriteError(what.toStdString());
}

void check(lxw_error error, const QString& what)
{
    if (error != LXW_NO_ERROR)
        fail(what + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(error)));
}

void writeCells(lxw_worksheet* ws, const Sheet& sheet, const std::function<bool()>& cancelled)
{
    std::size_t rows = 0;
    for (const auto& column : sheet.columns)
        rows = std::max(rows, column.size());
    // Row by row: the order the constant-memory mode needs.
    for (std::size_t r = 0; r < rows; ++r) {
        if (r % 4096 == 0 && cancelled && cancelled())
            throw ExportCancelled();
        for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
            const std::vector<Cell>& column = sheet.columns[c];
            if (r >= column.size())
                continue;
            const Cell& cell = column[r];
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (cell.kind == Cell::Kind::Number) {
                check(worksheet_write_number(ws, row, col, cell.number, nullptr), QStringLiteral("Writing a cell"));
            } else if (cell.kind == Cell::Kind::Text) {
                const std::string utf8 = sheet.texts[cell.text].toStdString();
                check(worksheet_write_string(ws, row, col, utf8.c_str(), nullptr), QStringLiteral("Writing a cell"));
            }
        }
    }
}

std::optional<std::uint8_t> markerType(std::int32_t style)
{
    switch (style) {
    case 1: return LXW_CHART_MARKER_SQUARE;
    case 2: return LXW_CHART_MARKER_DIAMOND;
    case 3: return LXW_CHART_MARKER_TRIANGLE;
    case 5: return LXW_CHART_MARKER_STAR;
    case 8: return LXW_CHART_MARKER_CIRCLE;
    case 9: return LXW_CHART_MARKER_PLUS;
    case -4168: return LXW_CHART_MARKER_X;
    case -4115: return LXW_CHART_MARKER_LONG_DASH;
    case -4118: return LXW_CHART_MARKER_SHORT_DASH;
    case -4142: return LXW_CHART_MARKER_NONE;
    default: return LXW_CHART_MARKER_AUTOMATIC;  // -4105, and the unnamed 4, 6 and 7
    }
}

std::uint8_t dashType(std::int32_t style)
{
    switch (style) {
        case 2:
            return LXW_CHART_LINE_DASH_SQUARE_DOT;
        case 3:
            return LXW_CHART_LINE_DASH_ROUND_DOT;
        case 4:
            return LXW_CHART_LINE_DASH_DASH;
        case 5:
            return LXW_CHART_LINE_DASH_DASH_DOT;
        case 6:
            return LXW_CHART_LINE_DASH_LONG_DASH_DOT_DOT;  // the writer has no short dash-dot-dot
        case 7:
            return LXW_CHART_LINE_DASH_LONG_DASH;
        case 8:
            return LXW_CHART_LINE_DASH_LONG_DASH_DOT;
        case 9:
            return LXW_CHART_LINE_DASH_LONG_DASH_DOT_DOT;
        case 10:
            return LXW_CHART_LINE_DASH_DASH;
        case 11:
            return LXW_CHART_LINE_DASH_SQUARE_DOT;
        case 12:
            return LXW_CHART_LINE_DASH_SYSTEM_DASH_DOT;
        default:
            return LXW_CHART_LINE_DASH_SOLID;
    }
}

void setLine(lxw_chart_line& line, const LineFormat& format)
{
    if (format.visible == false) {
        line.none = LXW_TRUE;
        return;
    }
    if (format.color.rgb)
        line.color = lxwColor(*format.color.rgb);
    if (format.weight)
        // 0 is "not set" to the writer; Excel draws a weight of 0 as the thinnest line.
        line.width = static_cast<float>(std::max(*format.weight, 0.25));
    if (format.dashStyle)
        line.dash_type = dashType(*format.dashStyle);
}

bool lineSet(const LineFormat& format)
{
    return format.visible.has_value() || format.weight.has_value() || format.color.rgb.has_value() ||
           format.dashStyle.has_value();
}

// False for a series without values, which draws nothing and is left out.
bool writeSeries(lxw_chart* chart, const Series& s, const Workbook& book, TextArena& arena)
{
    const std::optional<RangeRef> values = parseRangeReference(s.values, book);
    if (!values)
        return false;
    const std::optional<RangeRef> xValues = parseRangeReference(s.xValues, book);
    lxw_chart_series* series = chart_add_series(chart, xValues ? arena(s.xValues) : nullptr, arena(s.values));
    if (!series)
        fail(QStringLiteral("Adding a chart series"));
    if (!s.name.isEmpty())
        chart_series_set_name(series, arena(s.name));

    if (lineSet(s.format.line)) {
        lxw_chart_line line{};
        setLine(line, s.format.line);
        chart_series_set_line(series, &line);
    }

    if (s.smooth)
        chart_series_set_smooth(series, *s.smooth ? LXW_TRUE : LXW_FALSE);
    if (s.markerStyle)
        chart_series_set_marker_type(series, *markerType(*s.markerStyle));
    if (s.markerSize)
        chart_series_set_marker_size(series, static_cast<std::uint8_t>(*s.markerSize));
    // Excel draws a marker's border in the series' line colour and its inside in the
    // fill colour; where only one is given, both take it, since LibreOffice paints
    // markers in their fill colour alone.
    const bool hasLine = s.format.line.visible != false && s.format.line.color.rgb.has_value();
    const bool hasFill = s.format.fill.visible != false && s.format.fill.color.rgb.has_value();
    const std::uint32_t lineColor = s.format.line.color.rgb.value_or(0);
    const std::uint32_t fillColor = s.format.fill.color.rgb.value_or(0);
    if (s.format.fill.visible == false) {
        lxw_chart_fill fill{};
        fill.none = LXW_TRUE;
        chart_series_set_marker_fill(series, &fill);
    } else if (hasFill || hasLine) {
        lxw_chart_fill fill{};
        fill.color = lxwColor(hasFill ? fillColor : lineColor);
        chart_series_set_marker_fill(series, &fill);
    }
    if (hasFill || hasLine) {
        lxw_chart_line border{};
        border.color = lxwColor(hasLine ? lineColor : fillColor);
        chart_series_set_marker_line(series, &border);
    }
    return true;
}

void setFont(lxw_chart_font& font, const Font& model, double unset)
{
    font.size = model.size.value_or(unset);
}

void writeAxis(lxw_chart_axis* axis, const Axis& model, TextArena& arena)
{
    if (model.hasTitle) {
        chart_axis_set_name(axis, arena(model.titleText));
        lxw_chart_font font{};
        setFont(font, model.titleFont, 10.0);
        chart_axis_set_name_font(axis, &font);
    }
    // A crossing point outside the axis' own scale is drawn at the axis' end, by Excel
    // and by LibreOffice alike, so the value goes in as it was set.
    if (model.crossesAt)
        chart_axis_set_crossing(axis, *model.crossesAt);
    if (model.majorTickMark) {
        switch (*model.majorTickMark) {
        case 2: chart_axis_set_major_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_INSIDE); break;
        case 3: chart_axis_set_major_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_OUTSIDE); break;
        case 4: chart_axis_set_major_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_CROSSING); break;
        default: chart_axis_set_major_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_NONE); break;
        }
    }
    if (lineSet(model.format.line)) {
        lxw_chart_line line{};
        setLine(line, model.format.line);
        chart_axis_set_line(axis, &line);
    }
    lxw_chart_font tickFont{};
    setFont(tickFont, model.tickLabelFont, 9.0);
    chart_axis_set_num_font(axis, &tickFont);

    // The light major grid of Excel's default chart style, on both axes.
    chart_axis_major_gridlines_set_visible(axis, LXW_TRUE);
    lxw_chart_line grid{};
    grid.color = 0xD9D9D9;
    grid.width = 0.75f;
    chart_axis_major_gridlines_set_line(axis, &grid);
}

std::uint8_t legendPosition(const Legend& legend)
{
    const bool overlay = !legend.includeInLayout;
    switch (legend.position) {
    case LegendPosition::Right: return overlay ? LXW_CHART_LEGEND_OVERLAY_RIGHT : LXW_CHART_LEGEND_RIGHT;
    case LegendPosition::Left: return overlay ? LXW_CHART_LEGEND_OVERLAY_LEFT : LXW_CHART_LEGEND_LEFT;
    case LegendPosition::Corner: return overlay ? LXW_CHART_LEGEND_OVERLAY_TOP_RIGHT : LXW_CHART_LEGEND_TOP_RIGHT;
    case LegendPosition::Top: return LXW_CHART_LEGEND_TOP;
    case LegendPosition::Bottom: return LXW_CHART_LEGEND_BOTTOM;
    }
    return LXW_CHART_LEGEND_RIGHT;
}

std::uint8_t chartType(std::int32_t excelType)
{
    switch (excelType) {
    case 73: return LXW_CHART_SCATTER_SMOOTH;
    case 74: return LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS;
    case 75: return LXW_CHART_SCATTER_STRAIGHT;
    case -4169: return LXW_CHART_SCATTER;
    default: return LXW_CHART_SCATTER_SMOOTH_WITH_MARKERS;
    }
}

void writeChart(lxw_workbook* wb, lxw_worksheet* ws, const Shape& shape, const Workbook& book, TextArena& arena)
{
    const Chart& model = *shape.chart;
    lxw_chart* chart = workbook_add_chart(wb, chartType(model.type));
    if (!chart)
        fail(QStringLiteral("Adding a chart"));

    int written = 0;
    for (const auto& s : model.series)
        if (writeSeries(chart, *s, book, arena))
            ++written;

    // Excel's Axes(1).CrossesAt places the other axis on the X axis, which the writer
    // calls the X axis' crossing too.
    writeAxis(chart->x_axis, model.axes[0], arena);
    writeAxis(chart->y_axis, model.axes[1], arena);

    if (model.hasLegend) {
        chart_legend_set_position(chart, legendPosition(model.legend));
        lxw_chart_font font{};
        setFont(font, model.legend.font, 9.0);
        chart_legend_set_font(chart, &font);
    } else {
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    }

    if (lineSet(model.plotArea.line)) {
        lxw_chart_line line{};
        setLine(line, model.plotArea.line);
        chart_plotarea_set_line(chart, &line);
    }

    if (model.hasTitle) {
        chart_title_set_name(chart, arena(model.titleText));
        lxw_chart_font font{};
        setFont(font, model.titleFont, 14.0);
        chart_title_set_name_font(chart, &font);
    } else {
        chart_title_off(chart);
    }

    // Points to pixels at 96 dpi; the writer places a chart by cell and pixel offset
    // and sizes it by scaling its default 480 x 288 pixels. Excel's default column is
    // 64 pixels wide and its default row 20 pixels high.
    constexpr double pxPerPt = 96.0 / 72.0;
    const double leftPx = std::max(shape.left, 0.0) * pxPerPt;
    const double topPx = std::max(shape.top, 0.0) * pxPerPt;
    const double colPx = kColumnWidthPt * pxPerPt;
    const double rowPx = kRowHeightPt * pxPerPt;
    const auto col = static_cast<lxw_col_t>(std::floor(leftPx / colPx));
    const auto row = static_cast<lxw_row_t>(std::floor(topPx / rowPx));
    lxw_chart_options options{};
    options.x_offset = static_cast<std::int32_t>(std::lround(leftPx - col * colPx));
    options.y_offset = static_cast<std::int32_t>(std::lround(topPx - row * rowPx));
    // A zero scale means "unscaled" to the writer; one pixel is the smallest size.
    options.x_scale = std::max(shape.width * pxPerPt, 1.0) / 480.0;
    options.y_scale = std::max(shape.height * pxPerPt, 1.0) / 288.0;
    // A chart without any series cannot be written; Excel would show an empty frame.
    if (written == 0)
        return;
    check(worksheet_insert_chart_opt(ws, row, col, chart, &options), QStringLiteral("Placing the chart"));
}

}  // namespace

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a failed close of the library means, in the program's words; the system's reason
// when the library quoted one.
QString closeFailure(lxw_error error, const QStringList& libraryLines)
{
    const QString reason = CapturedStderr::systemReason(libraryLines);
    if (!reason.isEmpty())
        return reason;
    switch (error) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return QStringLiteral("out of memory");
        case LXW_ERROR_CREATING_XLSX_FILE:
            return QStringLiteral("the file could not be created");
        case LXW_ERROR_CREATING_TMPFILE:
            return QStringLiteral("no temporary file could be created");
        default:
            return QStringLiteral("the file could not be written (is the disk full?)");
    }
}

void checkCancel(const std::function<bool()>& cancelled)
{
    if (cancelled && cancelled())
        throw ExportCancelled();
}

bool isXmlPart(const QString& name)
{
    return name.endsWith(QLatin1String(".xml")) || name.endsWith(QLatin1String(".rels"));
}

bool isChartPart(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^xl/charts/chart\\d+\\.xml$"));
    return pattern.match(name).hasMatch();
}

// The writer underneath ignores some failed writes (a full disk, a file-size limit), of
// the zip and of the temporary files its parts are built in, so a cut-off workbook could
// pass for a whole one. Every part must read back with its CRC, and every XML part must
// be whole.
bool workbookIsWhole(const QString& path, const std::function<bool()>& cancelled)
{
    try {
        const ZipReader zip = ZipReader::openFile(path);
        const QStringList names = zip.entryNames();
        if (names.isEmpty())
            return false;
        for (const QString& name : names) {
            checkCancel(cancelled);
            XmlPartCheck xml;
            const bool isXml = isXmlPart(name);
            zip.readChunks(name, [&](QByteArrayView piece) {
                if (isXml)
                    xml.feed(piece);
            });
            if (isXml && !xml.whole())
                return false;
        }
    } catch (const ZipError&) {
        return false;
    }
    return true;
}

// Puts every chart part in schema order, rewriting those that were not.
void putChartsInSchemaOrder(const QString& path, const QString& target)
{
    std::vector<std::pair<QString, QByteArray>> mended;
    try {
        const ZipReader zip = ZipReader::openFile(path);
        for (const QString& name : zip.entryNames()) {
            if (!isChartPart(name))
                continue;
            if (std::optional<QByteArray> ordered = chartXmlInSchemaOrder(zip.read(name)))
                mended.emplace_back(name, std::move(*ordered));
        }
        if (!mended.empty())
            replaceZipEntries(path, mended);
    } catch (const std::exception&) {
        // A damaged part or a failed rewrite: the workbook is not whole.
        fail(QStringLiteral("Cannot write the workbook %1: the file could not be written whole (is the disk "
                            "full?); an earlier file of that name is kept")
                 .arg(shown(target)));
    }
}

// At the end of a write: the library holds every cell of a workbook until it is closed
// (about 100 bytes each), and glibc keeps the pages it freed for the process; after a
// summary of a thousand long curves the window would go on holding over a gigabyte.
class GiveBackFreedMemory {
public:
    GiveBackFreedMemory() = default;
    GiveBackFreedMemory(const GiveBackFreedMemory&) = delete;
    GiveBackFreedMemory& operator=(const GiveBackFreedMemory&) = delete;
    ~GiveBackFreedMemory()
    {
#ifdef __GLIBC__
        malloc_trim(0);
#endif
    }
};

}  // namespace

void writeXlsxFile(const QString& path, const XlsxFileOptions& fileOptions, const XlsxContent& fill,
                   const std::function<bool()>& cancelled)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        fail(QStringLiteral("The folder %1 does not exist").arg(shown(folder)));

    QTemporaryFile temporary(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        fail(QStringLiteral("Cannot create a file in %1: %2").arg(shown(folder), temporary.errorString()));
    const QString temporaryPath = temporary.fileName();
    temporary.close();

    {
        const GiveBackFreedMemory giveBack;
        const CNumericLocale cLocale;
        CapturedStderr libraryMessages;
        lxw_workbook_options options{};
        options.constant_memory = fileOptions.constantMemory ? LXW_TRUE : LXW_FALSE;
        const QByteArray fileName = QFile::encodeName(temporaryPath);
        lxw_workbook* wb = workbook_new_opt(fileName.constData(), &options);
        if (!wb)
            fail(QStringLiteral("Cannot write the workbook %1: %2")
                     .arg(shown(path), closeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, libraryMessages.finish())));
        try {
            if (fileOptions.created) {
                // The same content then gives the same bytes, whenever it is written.
                lxw_doc_properties properties{};
                properties.created = static_cast<time_t>(*fileOptions.created);
                check(workbook_set_properties(wb, &properties), QStringLiteral("Setting the document's date"));
            }
            fill(wb);
            checkCancel(cancelled);
        } catch (...) {
            // Nothing of it is kept, so nothing is packed.
            lxw_workbook_free(wb);
            throw;
        }
        const lxw_error closed = workbook_close(wb);
        const QStringList lines = libraryMessages.finish();
        if (closed != LXW_NO_ERROR)
            fail(QStringLiteral("Cannot write the workbook %1: %2").arg(shown(path), closeFailure(closed, lines)));
    }
    checkCancel(cancelled);
    putChartsInSchemaOrder(temporaryPath, path);
    if (!workbookIsWhole(temporaryPath, cancelled)) {
        fail(QStringLiteral("Cannot write the workbook %1: the file could not be written whole (is the disk full?); "
                            "an earlier file of that name is kept")
                 .arg(shown(path)));
    }
    checkCancel(cancelled);
    try {
        replaceFileWith(temporaryPath, path);
    } catch (const FileWriteError& e) {
        fail(QString::fromUtf8(e.what()));
    }
    temporary.setAutoRemove(false);
}

void writeWorkbook(const Workbook& book, const QString& path, bool constantMemory,
                   const std::function<bool()>& cancelled, std::optional<std::int64_t> created)
{
    TextArena arena;
    XlsxFileOptions options;
    options.constantMemory = constantMemory;
    options.created = created;
    writeXlsxFile(
        path, options,
        [&](lxw_workbook* wb) {
            for (const auto& sheet : book.sheets) {
                lxw_worksheet* ws = workbook_add_worksheet(wb, arena(sheet->name));
                if (!ws)
                    fail(QStringLiteral("Adding the sheet %1").arg(sheet->name));
                writeCells(ws, *sheet, cancelled);
                for (const auto& shape : sheet->shapes)
                    if (shape->chart)
                        writeChart(wb, ws, *shape, book, arena);
            }
        },
        cancelled);
}

}  // namespace rz::excel

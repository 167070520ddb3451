#include "excel/OverlaySeries.h"

#include "core/text/NumberText.h"
#include "excel/ExcelToolkit.h"

#include <algorithm>
#include <cmath>

namespace rz::excel {

namespace {

const QString kSheetPrefix = QStringLiteral("=Sheet1!");
const QString kAbsolute = QStringLiteral("$");

// MsoLineDashStyle.
constexpr std::int32_t msoLineSolid = 1;
constexpr std::int32_t msoLineSquareDot = 2;
constexpr std::int32_t msoLineDash = 4;
constexpr std::int32_t msoLineDashDot = 5;
constexpr std::int32_t msoLineLongDash = 7;
constexpr std::int32_t msoLineLongDashDot = 8;

// XlMarkerStyle.
constexpr std::int32_t xlMarkerStyleSquare = 1;
constexpr std::int32_t xlMarkerStyleDiamond = 2;
constexpr std::int32_t xlMarkerStyleTriangle = 3;
constexpr std::int32_t xlMarkerStyleStar = 5;
constexpr std::int32_t xlMarkerStyleCircle = 8;
constexpr std::int32_t xlMarkerStylePlus = 9;
constexpr std::int32_t xlMarkerStyleX = -4168;

constexpr double kPointsPerPixel = 0.75;

std::int32_t dashStyle(DashPattern dash)
{
    switch (dash) {
        case DashPattern::Solid:
            return msoLineSolid;
        case DashPattern::Dash:
            return msoLineDash;
        case DashPattern::Dot:
            return msoLineSquareDot;
        case DashPattern::DashDot:
            return msoLineDashDot;
        case DashPattern::LongDash:
            return msoLineLongDash;
        case DashPattern::LongDashDot:
            return msoLineLongDashDot;
    }
    return msoLineSolid;
}

std::int32_t markerStyle(MarkerShape marker)
{
    switch (marker) {
        case MarkerShape::None:
            return xlMarkerStyleNone;
        case MarkerShape::Circle:
            return xlMarkerStyleCircle;
        case MarkerShape::Square:
            return xlMarkerStyleSquare;
        case MarkerShape::Diamond:
            return xlMarkerStyleDiamond;
        case MarkerShape::Triangle:
        case MarkerShape::TriangleDown:  // Excel has no triangle pointing down
            return xlMarkerStyleTriangle;
        case MarkerShape::Cross:
            return xlMarkerStyleX;
        case MarkerShape::Plus:
            return xlMarkerStylePlus;
        case MarkerShape::Star:
            return xlMarkerStyleStar;
    }
    return xlMarkerStyleNone;
}

QString range(std::int32_t firstRow, std::int32_t lastRow, std::int32_t column)
{
    return kSheetPrefix + CellReference(firstRow, column, kAbsolute) + u':' + CellReference(lastRow, column, kAbsolute);
}

std::int32_t pointCount(const Overlay& o)
{
    return static_cast<std::int32_t>(o.points.size());
}

}  // namespace

std::vector<const Overlay*> drawnOverlays(const ChartModel& chart)
{
    std::vector<const Overlay*> out;
    for (const Overlay& o : chart.overlays())
        if (o.visible && !o.points.empty())
            out.push_back(&o);
    return out;
}

std::int64_t overlayCellWrites(std::int32_t exportMode, const std::vector<const Overlay*>& overlays)
{
    std::int64_t writes = 0;
    for (const Overlay* o : overlays)
        writes += 2 * static_cast<std::int64_t>(o->points.size()) + (exportMode == 0 ? 2 : 1);
    return writes;
}

std::int64_t overlayRows(const std::vector<const Overlay*>& overlays)
{
    std::int64_t rows = 0;
    for (const Overlay* o : overlays)
        rows += static_cast<std::int64_t>(o->points.size()) + 1;
    return rows;
}

void writeOverlayColumns(const AutomationObject& sheet, const std::vector<const Overlay*>& overlays, int firstSeries,
                         QChar sep, const Advance& advance)
{
    const QString xHeader = QStringLiteral("X");
    for (std::size_t k = 0; k < overlays.size(); ++k) {
        const Overlay& o = *overlays[k];
        const auto xColumn = static_cast<std::int32_t>(2 * (firstSeries + static_cast<int>(k)) + 1);
        SetCellText(sheet, 1, xColumn, xHeader);
        advance();
        SetCellText(sheet, 1, xColumn + 1, o.title);
        advance();
        for (std::int32_t s = 0; s < pointCount(o); ++s) {
            const Point& p = o.points[static_cast<std::size_t>(s)];
            SetCellText(sheet, s + 2, xColumn, formatGeneral(p.x, sep));
            advance();
            SetCellText(sheet, s + 2, xColumn + 1, formatGeneral(p.y, sep));
            advance();
        }
    }
}

void addOverlayColumnSeries(const AutomationObject& collection, const std::vector<const Overlay*>& overlays,
                            int firstSeries)
{
    for (std::size_t k = 0; k < overlays.size(); ++k) {
        const Overlay& o = *overlays[k];
        const auto xColumn = static_cast<std::int32_t>(2 * (firstSeries + static_cast<int>(k)) + 1);
        // As for the nine, the ranges end one row past the data.
        const std::int32_t lastRow = pointCount(o) + 2;
        const AutomationObject series = collection.callObject("NewSeries");
        SetSeriesSource(series, kSheetPrefix + CellReference(1, xColumn + 1, kAbsolute), range(2, lastRow, xColumn),
                        range(2, lastRow, xColumn + 1));
        FormatOverlaySeries(series, o.style);
    }
}

void writeOverlayRows(const AutomationObject& sheet, const std::vector<const Overlay*>& overlays, std::int32_t firstRow,
                      QChar sep, const Advance& advance)
{
    std::int32_t row = firstRow;
    for (const Overlay* o : overlays) {
        SetCellText(sheet, row, 1, o->title);
        advance();
        for (const Point& p : o->points) {
            SetCellText(sheet, row, 2, formatGeneral(p.x, sep));
            advance();
            SetCellText(sheet, row, 3, formatGeneral(p.y, sep));
            advance();
            ++row;
        }
        ++row;  // the empty row where its ranges end
    }
}

void addOverlayRowSeries(const AutomationObject& collection, const std::vector<const Overlay*>& overlays,
                         std::int32_t firstRow)
{
    std::int32_t row = firstRow;
    for (const Overlay* o : overlays) {
        const std::int32_t end = row + pointCount(*o);
        const AutomationObject series = collection.callObject("NewSeries");
        SetSeriesSource(series, kSheetPrefix + CellReference(row, 1, kAbsolute), range(row, end, 2),
                        range(row, end, 3));
        FormatOverlaySeries(series, o->style);
        row = end + 1;
    }
}

void FormatOverlaySeries(const AutomationObject& series, const OverlayStyle& style)
{
    const auto red = static_cast<int>((style.colorRgb >> 16) & 0xFF);
    const auto green = static_cast<int>((style.colorRgb >> 8) & 0xFF);
    const auto blue = static_cast<int>(style.colorRgb & 0xFF);
    series.put("Smooth", Variant::boolean(false));
    if (style.lineWidth > 0.0) {
        SetSeriesLineColor(series, red, green, blue);
        SetSeriesLineWeight(series, static_cast<float>(style.lineWidth * kPointsPerPixel));
        series.getObject("Format").getObject("Line").put("DashStyle", Variant::int32(dashStyle(style.dash)));
    } else {
        series.getObject("Format").getObject("Line").put("Visible", Variant::boolean(false));
    }
    if (style.marker == MarkerShape::None) {
        SetSeriesMarker(series, xlMarkerStyleNone, 2);
        return;
    }
    const auto size = static_cast<std::int32_t>(std::max(2.0, std::round(style.markerSize * kPointsPerPixel)));
    SetSeriesMarker(series, markerStyle(style.marker), size);
    SetSeriesFillColor(series, red, green, blue);
}

}  // namespace rz::excel

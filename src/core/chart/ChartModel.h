#pragma once

#include "core/chart/Series.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace rz {

// The nine series of the main window's chart, in the chart's own order.
enum class SeriesId : int {
    lnsrsSeries4 = 0,  // the imported curve
    lnsrsSeries1,      // Geometric Graphic construction
    lnsrsSeries2,      // R.Park construction
    lnsrsSeries3,      // Energy construction
    pntsrsSeries1,     // Geometric yield point
    pntsrsSeries2,     // R.Park yield point
    pntsrsSeries3,     // Energy yield point
    pntsrsSeries4,     // peak marker
    pntsrsSeries5,     // ultimate marker
};
constexpr int kSeriesCount = 9;

enum class PointerStyle { None, Circle, Triangle, Diamond };

struct SeriesStyle {
    const char* name;          // the series' own name, e.g. "lnsrsSeries4"
    const char* title;         // "Line4", ...
    bool isLine;
    std::uint32_t colorRgb;    // 0xRRGGBB
    int lineWidth;             // pixels, line series only
    PointerStyle pointer;
    std::uint32_t pointerFill; // 0xRRGGBB
    int pointerWidth;          // 0 = the chart's default size
    int pointerHeight;
};

const SeriesStyle& seriesStyle(SeriesId id);

// Colour as the Excel export reads it: red in the lowest byte.
inline std::uint32_t toLowRedColor(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

struct ChartSeries {
    Series data;
    bool visible = true;
};

// Drawings beside the nine series: constructions of further yield definitions, loops of
// a cyclic record. Their points keep the order they are drawn in (a construction may go
// back in X), and they live in their own list so that everything that walks the nine
// series sees exactly the nine.
enum class DashPattern { Solid, Dash, Dot, DashDot, LongDash, LongDashDot };
enum class MarkerShape { None, Circle, Square, Diamond, Triangle, TriangleDown, Cross, Plus, Star };

struct OverlayStyle {
    std::uint32_t colorRgb = 0x000000;  // 0xRRGGBB
    double lineWidth = 1.0;             // pixels; 0 draws the markers alone
    DashPattern dash = DashPattern::Solid;
    MarkerShape marker = MarkerShape::None;
    double markerSize = 0.0;   // pixels across
    bool behindCurve = false;  // drawn under the nine series instead of over them
    friend bool operator==(const OverlayStyle&, const OverlayStyle&) = default;
};

struct Overlay {
    QString key;                // stable name, e.g. "EEEP_ASTM_E2126.construction"
    QString title;              // for people, e.g. the workbook series' title
    std::vector<Point> points;  // in drawing order
    OverlayStyle style;
    bool visible = false;
    // Changes whenever points, title or style change, never repeating within a chart,
    // so views copy only what changed.
    std::uint64_t revision = 0;
};

class ChartModel {
public:
    ChartSeries& operator[](SeriesId id) { return series_[static_cast<std::size_t>(id)]; }
    const ChartSeries& operator[](SeriesId id) const { return series_[static_cast<std::size_t>(id)]; }
    ChartSeries& at(int i) { return series_[static_cast<std::size_t>(i)]; }
    const ChartSeries& at(int i) const { return series_[static_cast<std::size_t>(i)]; }
    static constexpr int count() { return kSeriesCount; }

    // --- overlays, drawn after the nine series in list order -----------------------
    int overlayCount() const { return static_cast<int>(overlays_.size()); }
    const Overlay& overlay(int index) const { return overlays_[static_cast<std::size_t>(index)]; }
    const std::vector<Overlay>& overlays() const { return overlays_; }
    // -1 when no overlay has this key.
    int overlayIndex(const QString& key) const;
    // Appends an empty, hidden overlay, or retitles and restyles the one with this key
    // (keeping its points and visibility). Returns its index.
    int addOverlay(const QString& key, const QString& title, const OverlayStyle& style);
    void removeOverlay(int index);
    void setOverlayPoints(int index, std::vector<Point> points);
    void setOverlayVisible(int index, bool visible);

    // --- the nine series drawn mirrored ----------------------------------------------
    // A negative loading direction is analysed on its mirrored envelope (-d, -f); the
    // nine series keep what was analysed, and views draw them negated, back in the
    // record's quadrant. Overlays are always drawn as they are.
    bool seriesMirrored() const { return seriesMirrored_; }
    void setSeriesMirrored(bool mirrored) { seriesMirrored_ = mirrored; }
    // This chart as it is drawn: with seriesMirrored, the nine series hold their mirrored
    // paths (mirroredPath) and the flag is off. For outputs that draw the series as they
    // find them (the workbook).
    ChartModel asDrawn() const;

private:
    Overlay& mutableOverlay(int index) { return overlays_[static_cast<std::size_t>(index)]; }

    std::array<ChartSeries, kSeriesCount> series_;
    std::vector<Overlay> overlays_;
    std::uint64_t nextOverlayRevision_ = 1;
    bool seriesMirrored_ = false;
};

// The points negated and in reverse order: for a series sorted by X this is again sorted,
// and the exact mirrored path, equal-X runs (vertical segments) included.
std::vector<Point> mirroredPath(const std::vector<Point>& points);

}  // namespace rz

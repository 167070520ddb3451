#pragma once

#include "core/chart/Series.h"

#include <QString>
#include <array>
#include <cstdint>

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

class ChartModel {
public:
    ChartSeries& operator[](SeriesId id) { return series_[static_cast<std::size_t>(id)]; }
    const ChartSeries& operator[](SeriesId id) const { return series_[static_cast<std::size_t>(id)]; }
    ChartSeries& at(int i) { return series_[static_cast<std::size_t>(i)]; }
    const ChartSeries& at(int i) const { return series_[static_cast<std::size_t>(i)]; }
    static constexpr int count() { return kSeriesCount; }

private:
    std::array<ChartSeries, kSeriesCount> series_;
};

}  // namespace rz

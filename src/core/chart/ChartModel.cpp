#include "core/chart/ChartModel.h"

namespace rz {

namespace {
// pntsrsSeries2 has no colour of its own: it takes the chart's default series pen, blue.
constexpr SeriesStyle kStyles[kSeriesCount] = {
    {"lnsrsSeries4", "Line4", true, 0x414141, 3, PointerStyle::None, 0, 0, 0},
    {"lnsrsSeries1", "Line1", true, 0x00FF00, 1, PointerStyle::None, 0, 0, 0},
    {"lnsrsSeries2", "Line2", true, 0x0000FF, 1, PointerStyle::None, 0, 0, 0},
    {"lnsrsSeries3", "Line3", true, 0xFF0080, 1, PointerStyle::None, 0, 0, 0},
    {"pntsrsSeries1", "Point1", false, 0x00FF00, 0, PointerStyle::Circle, 0x00FF00, 0, 0},
    {"pntsrsSeries2", "Point2", false, 0x0000FF, 0, PointerStyle::Circle, 0x0000FF, 0, 0},
    {"pntsrsSeries3", "Point3", false, 0x000000, 0, PointerStyle::Circle, 0xFF0080, 0, 0},
    {"pntsrsSeries4", "Point4", false, 0x0000FF, 0, PointerStyle::Triangle, 0x00FFFF, 5, 0},
    {"pntsrsSeries5", "Point5", false, 0x00FFFF, 0, PointerStyle::Diamond, 0xFFFF00, 5, 5},
};
}  // namespace

const SeriesStyle& seriesStyle(SeriesId id)
{
    return kStyles[static_cast<int>(id)];
}

int ChartModel::overlayIndex(const QString& key) const
{
    for (std::size_t i = 0; i < overlays_.size(); ++i)
        if (overlays_[i].key == key)
            return static_cast<int>(i);
    return -1;
}

int ChartModel::addOverlay(const QString& key, const QString& title, const OverlayStyle& style)
{
    int index = overlayIndex(key);
    if (index < 0) {
        Overlay added;
        added.key = key;
        overlays_.push_back(std::move(added));
        index = overlayCount() - 1;
    }
    Overlay& o = mutableOverlay(index);
    o.title = title;
    o.style = style;
    o.revision = nextOverlayRevision_++;
    return index;
}

void ChartModel::removeOverlay(int index)
{
    overlays_.erase(overlays_.begin() + index);
}

void ChartModel::setOverlayPoints(int index, std::vector<Point> points)
{
    Overlay& o = mutableOverlay(index);
    o.points = std::move(points);
    o.revision = nextOverlayRevision_++;
}

std::vector<Point> mirroredPath(const std::vector<Point>& points)
{
    std::vector<Point> out;
    out.reserve(points.size());
    // 0 - v rather than -v: a zero stays +0.
    for (auto it = points.rbegin(); it != points.rend(); ++it)
        out.push_back({0.0 - it->x, 0.0 - it->y});
    return out;
}

ChartModel ChartModel::asDrawn() const
{
    ChartModel drawn = *this;
    if (!seriesMirrored_)
        return drawn;
    for (ChartSeries& s : drawn.series_)
        s.data.assignStableSorted(mirroredPath(s.data.points()));
    drawn.seriesMirrored_ = false;
    return drawn;
}

void ChartModel::setOverlayVisible(int index, bool visible)
{
    mutableOverlay(index).visible = visible;
}

}  // namespace rz

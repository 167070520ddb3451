#include "chartview/ChartView.h"

#include "core/io/Files.h"
#include "core/io/PdfDate.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <limits>

namespace rz {

namespace {
QColor rgb(std::uint32_t c)
{
    return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

constexpr double kDefaultPointerSize = 9.0;  // pixels across

QCPScatterStyle::ScatterShape shapeOf(PointerStyle p)
{
    switch (p) {
    case PointerStyle::Circle:
        return QCPScatterStyle::ssCircle;
    case PointerStyle::Triangle:
        return QCPScatterStyle::ssTriangle;
    case PointerStyle::Diamond:
        return QCPScatterStyle::ssDiamond;
    case PointerStyle::None:
        break;
    }
    return QCPScatterStyle::ssNone;
}

// Pixels of room kept at each end of an axis so pointers on the data's edge are whole.
constexpr double kPointerRoom = 8.0;

QCPScatterStyle::ScatterShape shapeOf(MarkerShape m)
{
    switch (m) {
        case MarkerShape::None:
            break;
        case MarkerShape::Circle:
            return QCPScatterStyle::ssCircle;
        case MarkerShape::Square:
            return QCPScatterStyle::ssSquare;
        case MarkerShape::Diamond:
            return QCPScatterStyle::ssDiamond;
        case MarkerShape::Triangle:
            return QCPScatterStyle::ssTriangle;
        case MarkerShape::TriangleDown:
            return QCPScatterStyle::ssTriangleInverted;
        case MarkerShape::Cross:
            return QCPScatterStyle::ssCross;
        case MarkerShape::Plus:
            return QCPScatterStyle::ssPlus;
        case MarkerShape::Star:
            return QCPScatterStyle::ssStar;
    }
    return QCPScatterStyle::ssNone;
}

const QString kBehindLayer = QStringLiteral("behindCurve");
}  // namespace

QPen overlayPen(const OverlayStyle& style)
{
    if (style.lineWidth <= 0.0)
        return QPen(Qt::NoPen);
    QPen pen(rgb(style.colorRgb), style.lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    // Dash lengths are in line widths.
    switch (style.dash) {
        case DashPattern::Solid:
            pen.setStyle(Qt::SolidLine);
            break;
        case DashPattern::Dash:
            pen.setDashPattern({4.0, 2.5});
            break;
        case DashPattern::Dot:
            pen.setDashPattern({1.0, 2.0});
            break;
        case DashPattern::DashDot:
            pen.setDashPattern({4.0, 2.0, 1.0, 2.0});
            break;
        case DashPattern::LongDash:
            pen.setDashPattern({8.0, 3.0});
            break;
        case DashPattern::LongDashDot:
            pen.setDashPattern({8.0, 2.5, 1.0, 2.5});
            break;
    }
    return pen;
}

QCPScatterStyle overlayScatter(const OverlayStyle& style)
{
    const QCPScatterStyle::ScatterShape shape = shapeOf(style.marker);
    if (shape == QCPScatterStyle::ssNone)
        return QCPScatterStyle(QCPScatterStyle::ssNone);
    // Closed shapes are filled white, so the line under a yield point does not hide it.
    const bool closed = shape == QCPScatterStyle::ssSquare || shape == QCPScatterStyle::ssCircle ||
                        shape == QCPScatterStyle::ssDiamond || shape == QCPScatterStyle::ssTriangle ||
                        shape == QCPScatterStyle::ssTriangleInverted;
    QPen pen(rgb(style.colorRgb), 2.0);
    pen.setCapStyle(Qt::FlatCap);
    return QCPScatterStyle(shape, pen, closed ? QBrush(Qt::white) : QBrush(Qt::NoBrush), style.markerSize);
}

ChartView::ChartView(QWidget* parent) : QCustomPlot(parent)
{
    setDecimalSeparator(QLatin1Char('.'));
    setAntialiasedElements(QCP::aeAll);
    setNoAntialiasingOnDrag(true);
    legend->setVisible(false);

    xAxis->setLabel(QStringLiteral("Displacement"));
    yAxis->setLabel(QStringLiteral("Force"));
    const QPen gridPen(QColor(0x80, 0x80, 0x80), 0, Qt::DotLine);
    const QPen tickPen(QColor(0xA9, 0xA9, 0xA9));
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->grid()->setPen(gridPen);
        axis->setTickPen(tickPen);
        axis->setSubTickPen(tickPen);
        axis->setTickLengthIn(5);
        axis->setTickLengthOut(0);
        axis->setSubTickLengthIn(2);
        axis->setSubTickLengthOut(0);
    }

    // Dragging a rectangle zooms; a double click shows everything again.
    setSelectionRectMode(QCP::srmZoom);
    selectionRect()->setPen(QPen(Qt::black, 0, Qt::DotLine));
    selectionRect()->setBrush(Qt::NoBrush);
    connect(this, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) {
        rescaleToVisible();
        replot();
    });

    for (int i = 0; i < kSeriesCount; ++i) {
        const SeriesStyle& st = seriesStyle(static_cast<SeriesId>(i));
        QCPGraph* g = addGraph();
        g->setName(QString::fromLatin1(st.title));
        g->setAdaptiveSampling(true);
        if (st.isLine) {
            g->setPen(QPen(rgb(st.colorRgb), st.lineWidth));
            g->setLineStyle(QCPGraph::lsLine);
            g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
        } else {
            g->setPen(QPen(rgb(st.colorRgb)));
            g->setLineStyle(QCPGraph::lsNone);
            const double size = st.pointerWidth > 0 ? 2.0 * st.pointerWidth + 1.0 : kDefaultPointerSize;
            g->setScatterStyle(QCPScatterStyle(shapeOf(st.pointer), QPen(rgb(st.colorRgb)),
                                               QBrush(rgb(st.pointerFill)), size));
        }
        graphs_[static_cast<std::size_t>(i)] = g;
    }
    addLayer(kBehindLayer, layer(QStringLiteral("main")), QCustomPlot::limBelow);
    behindLayer_ = layer(kBehindLayer);
    connect(this, &QCustomPlot::beforeReplot, this, &ChartView::thinOverlays);
    replot();
}

void ChartView::setDecimalSeparator(QChar separator)
{
    // A locale that writes numbers as the fields do: ASCII digits, a hyphen for the minus
    // sign (some locales have their own), no group separators (12000 is not "12.000" on
    // an axis), and the given decimal separator.
    QLocale locale = separator == QLatin1Char(',') ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    setLocale(locale);
    replot();
}

void ChartView::setAxisTitles(const AxisTitles& titles)
{
    if (xAxis->label() == titles.displacement && yAxis->label() == titles.load)
        return;
    xAxis->setLabel(titles.displacement);
    yAxis->setLabel(titles.load);
    replot();
}

void ChartView::sync(const ChartModel& model)
{
    bool changed = false;
    const bool remirror = mirrored_ != model.seriesMirrored();
    mirrored_ = model.seriesMirrored();
    for (int i = 0; i < kSeriesCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const ChartSeries& s = model.at(i);
        QCPGraph* g = graphs_[k];
        if (!synced_[k] || remirror || revisions_[k] != s.data.revision()) {
            QVector<QCPGraphData> points;
            points.reserve(s.data.count());
            for (const Point& p : mirrored_ ? mirroredPath(s.data.points()) : s.data.points())
                points.append(QCPGraphData(p.x, p.y));
            // Already in ascending X with equal X in insertion order: keep that order,
            // it draws the vertical segments.
            g->data()->set(points, true);
            revisions_[k] = s.data.revision();
            synced_[k] = true;
            changed = true;
        }
        if (g->visible() != s.visible) {
            g->setVisible(s.visible);
            changed = true;
        }
    }
    if (syncOverlays(model))
        changed = true;
    // The axes follow the data only when it changed, so a zoom the user made stays.
    if (changed) {
        // The room kept for pointers is measured in pixels of the axis rectangle, whose
        // size depends on the tick labels of the range: lay out, scale, and once more with
        // the labels of the new range, so the result does not depend on what was shown before.
        for (int pass = 0; pass < 2; ++pass) {
            updateLayout();
            rescaleToVisible();
        }
    }
    replot();
}

QCPCurve* ChartView::overlayCurve(const QString& key) const
{
    for (const OverlayCurve& o : overlays_)
        if (o.key == key)
            return o.curve;
    return nullptr;
}

bool ChartView::syncOverlays(const ChartModel& model)
{
    bool changed = false;
    // The drawing order is the order of creation within a layer: when the model's list
    // is no longer the one drawn, all curves are made again in its order.
    QCPLayer* const mainLayer = layer(QStringLiteral("main"));
    auto layerOf = [&](const Overlay& o) { return o.style.behindCurve ? behindLayer_ : mainLayer; };
    bool sameList = static_cast<int>(overlays_.size()) == model.overlayCount();
    for (int i = 0; sameList && i < model.overlayCount(); ++i) {
        const OverlayCurve& drawn = overlays_[static_cast<std::size_t>(i)];
        sameList = drawn.key == model.overlay(i).key && drawn.curve->layer() == layerOf(model.overlay(i));
    }
    if (!sameList) {
        for (const OverlayCurve& o : overlays_)
            removePlottable(o.curve);
        overlays_.clear();
        for (const Overlay& o : model.overlays()) {
            auto* curve = new QCPCurve(xAxis, yAxis);
            curve->setLayer(layerOf(o));
            OverlayCurve made;
            made.key = o.key;
            made.curve = curve;
            overlays_.push_back(std::move(made));
        }
        changed = true;
    }
    for (int i = 0; i < model.overlayCount(); ++i) {
        const Overlay& o = model.overlay(i);
        OverlayCurve& drawn = overlays_[static_cast<std::size_t>(i)];
        QCPCurve* curve = drawn.curve;
        if (drawn.revision != o.revision) {
            curve->setName(o.title);
            curve->setPen(overlayPen(o.style));
            curve->setLineStyle(o.style.lineWidth > 0.0 ? QCPCurve::lsLine : QCPCurve::lsNone);
            curve->setScatterStyle(overlayScatter(o.style));
            drawn.all.clear();
            drawn.thinnedRect = QRect();
            if (o.points.size() > thinAbove_) {
                // Drawn from thinOverlays, for the axes of each replot.
                drawn.all = o.points;
                double x0 = o.points.front().x, x1 = x0, y0 = o.points.front().y, y1 = y0;
                for (const Point& p : o.points) {
                    x0 = std::min(x0, p.x);
                    x1 = std::max(x1, p.x);
                    y0 = std::min(y0, p.y);
                    y1 = std::max(y1, p.y);
                }
                drawn.keyExtent = QCPRange(x0, x1);
                drawn.valueExtent = QCPRange(y0, y1);
                curve->data()->clear();
            } else {
                QVector<QCPCurveData> points;
                points.reserve(static_cast<qsizetype>(o.points.size()));
                for (const Point& p : o.points)
                    points.append(QCPCurveData(static_cast<double>(points.size()), p.x, p.y));
                curve->data()->set(points, true);
            }
            drawn.revision = o.revision;
            changed = true;
        }
        if (curve->visible() != o.visible) {
            curve->setVisible(o.visible);
            changed = true;
        }
    }
    return changed;
}

qsizetype ChartView::overlayDrawnCount(const QString& key) const
{
    for (const OverlayCurve& o : overlays_)
        if (o.key == key)
            return o.curve->data()->size();
    return -1;
}

void ChartView::thinOverlays()
{
    const QRect rect = axisRect()->rect();
    const QCPRange keys = xAxis->range();
    const QCPRange values = yAxis->range();
    for (OverlayCurve& o : overlays_) {
        if (o.all.empty() || !o.curve->visible())
            continue;
        if (o.thinnedRect == rect && o.thinnedKeys == keys && o.thinnedValues == values)
            continue;
        // Pixels per unit, and the pixels the path has been through so far.
        const int w = std::max(1, rect.width());
        const int h = std::max(1, rect.height());
        const double sx = keys.size() > 0 ? w / keys.size() : 1.0;
        const double sy = values.size() > 0 ? h / values.size() : 1.0;
        // Pixels the drawn path has been through: a segment through none but those would
        // add no ink of its own.
        std::vector<std::uint8_t> visited(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        // Walks the segment in steps of at most a pixel, marking every pixel it passes
        // through: true when one of them was not marked yet. Marking a segment left out
        // changes nothing, as all its pixels were marked already. Its start is the end of
        // the segment before, marked already: the walk starts a step in.
        auto walk = [&](double x0, double y0, double x1, double y1) {
            const double span = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
            // Far longer than the chart (zoomed far in): drawn without a walk, whose steps
            // could pass over the pixels it inks first.
            if (!(span <= 4.0 * (w + h)))
                return true;
            const int steps = static_cast<int>(std::ceil(span));
            const double inverse = steps > 0 ? 1.0 / steps : 0.0;
            const double stepX = (x1 - x0) * inverse;
            const double stepY = (y1 - y0) * inverse;
            bool fresh = false;
            for (int k = steps > 0 ? 1 : 0; k <= steps; ++k) {
                const double x = x0 + stepX * k;
                const double y = y0 + stepY * k;
                if (!(x >= 0.0 && x < w && y >= 0.0 && y < h))
                    continue;  // beyond the chart: nothing to draw there
                std::uint8_t& pixel =
                    visited[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
                fresh = fresh || pixel == 0;
                pixel = 1;
            }
            return fresh;
        };
        QVector<QCPCurveData> kept;
        kept.reserve(static_cast<qsizetype>(std::min<std::size_t>(o.all.size(), 1u << 18)));
        const double nan = std::numeric_limits<double>::quiet_NaN();
        // Indices into o.all: the last point looked at and the last one drawn.
        constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
        std::size_t prev = kNone;
        std::size_t lastKept = kNone;
        double prevX = 0.0, prevY = 0.0;
        double keptX = 0.0, keptY = 0.0;  // pixel of lastKept
        auto keep = [&](std::size_t i, double x, double y) {
            kept.append(QCPCurveData(static_cast<double>(kept.size()), o.all[i].x, o.all[i].y));
            lastKept = i;
            keptX = x;
            keptY = y;
        };
        for (std::size_t i = 0; i < o.all.size(); ++i) {
            const double px = (o.all[i].x - keys.lower) * sx;
            const double py = (o.all[i].y - values.lower) * sy;
            const bool last = i + 1 == o.all.size();
            // Within a pixel of the point looked at last: not looked at.
            if (prev != kNone && !last && std::abs(px - prevX) < 1.0 && std::abs(py - prevY) < 1.0)
                continue;
            if (prev == kNone) {
                keep(i, px, py);
                walk(px, py, px, py);
            } else {
                // A segment is left out when it lies beyond one edge of the chart, or when
                // every pixel it passes through has been drawn through already.
                const bool beyond = (px < 0.0 && prevX < 0.0) || (px >= w && prevX >= w) || (py < 0.0 && prevY < 0.0) ||
                                    (py >= h && prevY >= h);
                if (!beyond && walk(prevX, prevY, px, py)) {
                    if (lastKept != prev) {
                        // The path resumes from where it was: straight on when that is
                        // under two pixels from the last point drawn, else after a gap.
                        if (std::abs(prevX - keptX) >= 2.0 || std::abs(prevY - keptY) >= 2.0)
                            kept.append(QCPCurveData(static_cast<double>(kept.size()), nan, nan));
                        keep(prev, prevX, prevY);
                    }
                    keep(i, px, py);
                }
            }
            prev = i;
            prevX = px;
            prevY = py;
        }
        o.curve->data()->set(kept, true);
        o.thinnedRect = rect;
        o.thinnedKeys = keys;
        o.thinnedValues = values;
    }
}

void ChartView::rescaleToVisible()
{
    double xmin = std::numeric_limits<double>::infinity(), xmax = -xmin, ymin = xmin, ymax = -xmin;
    std::vector<QCPAbstractPlottable*> drawn(graphs_.begin(), graphs_.end());
    for (const OverlayCurve& o : overlays_) {
        if (o.all.empty()) {
            drawn.push_back(o.curve);
        } else if (o.curve->visible()) {
            // Thinned for the axes of the last replot: the extent comes from every point.
            xmin = std::min(xmin, o.keyExtent.lower);
            xmax = std::max(xmax, o.keyExtent.upper);
            ymin = std::min(ymin, o.valueExtent.lower);
            ymax = std::max(ymax, o.valueExtent.upper);
        }
    }
    for (QCPAbstractPlottable* g : drawn) {
        if (!g->visible() || g->interface1D()->dataCount() == 0)
            continue;
        bool found = false;
        const QCPRange kr = g->getKeyRange(found);
        if (found) {
            xmin = std::min(xmin, kr.lower);
            xmax = std::max(xmax, kr.upper);
        }
        const QCPRange vr = g->getValueRange(found);
        if (found) {
            ymin = std::min(ymin, vr.lower);
            ymax = std::max(ymax, vr.upper);
        }
    }
    auto apply = [](QCPAxis* axis, double lo, double hi, double pixels) {
        if (!(lo <= hi)) {
            axis->setRange(0.0, 1.0);
            return;
        }
        if (hi - lo == 0.0) {
            const double half = lo == 0.0 ? 1.0 : std::abs(lo) * 0.1;
            lo -= half;
            hi += half;
        }
        const double room = pixels > 2 * kPointerRoom ? (hi - lo) * kPointerRoom / (pixels - 2 * kPointerRoom) : 0.0;
        axis->setRange(lo - room, hi + room);
    };
    const QRect r = axisRect()->rect();
    apply(xAxis, xmin, xmax, r.width() > 0 ? r.width() : width());
    apply(yAxis, ymin, ymax, r.height() > 0 ? r.height() : height());
}

QByteArray ChartView::renderPicture(PictureFormat format)
{
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case PictureFormat::Bmp:
    case PictureFormat::Png: {
        const QImage image = toPixmap(w, h).toImage().convertToFormat(QImage::Format_RGB32);
        image.save(&buffer, format == PictureFormat::Bmp ? "BMP" : "PNG");
        break;
    }
    case PictureFormat::Pdf: {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Rorevadi Zadiz ovo Rudevadiz"));
        writer.setResolution(96);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(w * 72.0 / 96.0, h * 72.0 / 96.0), QPageSize::Point),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QCPPainter painter(&writer);
        toPainter(&painter, w, h);
        painter.end();
        break;
    }
    case PictureFormat::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(w, h));
        generator.setViewBox(QRect(0, 0, w, h));
        generator.setResolution(96);
        generator.setTitle(QStringLiteral("Load-displacement chart"));
        QCPPainter painter;
        painter.begin(&generator);
        toPainter(&painter, w, h);
        painter.end();
        break;
    }
    }
    buffer.close();
    return bytes;
}

void ChartView::savePicture(const QString& path, PictureFormat format, const QDateTime& created)
{
    QByteArray bytes = renderPicture(format);
    if (bytes.isEmpty())
        throw FileWriteError(QStringLiteral("Cannot draw the chart for \"%1\".").arg(path).toStdString());
    if (format == PictureFormat::Pdf)
        stampPdfCreationDate(bytes, created);
    writeFileAtomically(path, bytes);
}

}  // namespace rz

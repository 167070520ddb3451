#pragma once

#include "core/chart/ChartModel.h"
#include "core/chart/PictureFormat.h"
#include "core/workbench/ImportedCurve.h"

#include <qcustomplot.h>

#include <QChar>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rz {

// The pen and the marker an overlay is drawn with, also for keys shown beside the chart.
QPen overlayPen(const OverlayStyle& style);
QCPScatterStyle overlayScatter(const OverlayStyle& style);

// The main window's chart: the nine series of a ChartModel drawn with their colours
// and pointers, axes "Displacement" and "Force" (with units when the import knows them),
// scaled to the visible series. The model's overlays are drawn as curves that keep their
// points' order, after the nine (or under them, as their style asks), in the model's order.
class ChartView : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // Tick labels in the user's decimal separator, as every field of the window shows
    // numbers; a point until this is called.
    void setDecimalSeparator(QChar separator);

    // The axes' titles (Workbench::axisTitles); redraws when they change.
    void setAxisTitles(const AxisTitles& titles);

    // Copies what changed in the model (points, visibility), rescales and redraws. With
    // ChartModel::seriesMirrored the nine series are drawn negated (mirroredPath).
    void sync(const ChartModel& model);

    // Overlays with more points than this are drawn thinned for the current axes
    // (QCPCurve, unlike QCPGraph, has no adaptive sampling of its own): points within a
    // pixel of the last one looked at are passed over; of the rest, a segment beyond an
    // edge of the chart, or passing only through pixels the path already went through, is
    // left out and the path broken by a gap there. Nothing drawn moves by more than two
    // pixels, and every pixel the whole path goes through keeps ink within two pixels.
    // O(N) per change of the axes.
    static constexpr std::size_t kThinAbove = 20000;
    // Another limit for this chart, set before its first sync: a chart of many curves
    // thins them all, as together they are as slow to draw as one large one.
    void setThinAbove(std::size_t points) { thinAbove_ = points; }
    // Points the overlay's curve holds now (after thinning), -1 for an unknown key.
    qsizetype overlayDrawnCount(const QString& key) const;
    QCPGraph* seriesGraph(SeriesId id) const { return graphs_[static_cast<std::size_t>(id)]; }
    // The curve drawing the overlay with this key, null when the model has none.
    QCPCurve* overlayCurve(const QString& key) const;

    // The chart as drawn now, at its current size, in the given format. Throws
    // FileWriteError (core/report/Report.h) when the file cannot be written; an
    // earlier file at path is then left untouched. created, when valid: the date a PDF
    // carries instead of the time of writing (core/io/PdfDate.h).
    void savePicture(const QString& path, PictureFormat format, const QDateTime& created = {});
    QByteArray renderPicture(PictureFormat format);

private:
    void rescaleToVisible();
    // Part of sync(): true when anything drawn changed.
    bool syncOverlays(const ChartModel& model);

    // Before each replot: thins the large overlays again when the axes changed.
    void thinOverlays();

    struct OverlayCurve {
        QString key;
        QCPCurve* curve = nullptr;
        std::uint64_t revision = 0;
        // Large overlays only: every point, their extent, and the axes they were thinned for.
        std::vector<Point> all;
        QCPRange keyExtent, valueExtent;
        QCPRange thinnedKeys, thinnedValues;
        QRect thinnedRect;
    };

    std::array<QCPGraph*, kSeriesCount> graphs_{};
    std::array<std::uint64_t, kSeriesCount> revisions_{};
    std::array<bool, kSeriesCount> synced_{};
    bool mirrored_ = false;
    std::vector<OverlayCurve> overlays_;  // in the model's order
    QCPLayer* behindLayer_ = nullptr;     // under the nine series, over the grid
    std::size_t thinAbove_ = kThinAbove;
};

}  // namespace rz

// The chart's thinning of large overlays: what it leaves out must not change the picture
// by more than the two pixels it promises, whatever the axes, and it must leave out more
// than half the samples of a dense record.
#include "chartview/ChartView.h"
#include "core/chart/ChartModel.h"

#include <QImage>
#include <QtTest>

#include <cmath>
#include <random>

using namespace rz;

namespace {

// Loops of growing amplitude with load jitter on every sample: the hardest record to thin.
std::vector<Point> noisyLoops(int samples, double jitter)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> noise(-jitter, jitter);
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / samples;
        const double phase = t * 2.0 * M_PI * 60.0;
        const double d = (0.1 + t) * std::sin(phase);
        const double f = 100.0 * std::tanh(3.0 * d) + 15.0 * std::cos(phase) * (0.1 + t) + noise(random);
        points.push_back({d, f});
    }
    return points;
}

// Pixels darker than the background by more than a faint anti-aliasing edge.
std::vector<QPoint> inkOf(const QImage& image)
{
    std::vector<QPoint> ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                ink.emplace_back(x, y);
    return ink;
}

// How many pixels of from have no pixel of to within reach (in x and in y).
int farFrom(const std::vector<QPoint>& from, const QImage& to, int reach)
{
    int far = 0;
    for (const QPoint& p : from) {
        bool near = false;
        for (int dy = -reach; dy <= reach && !near; ++dy)
            for (int dx = -reach; dx <= reach && !near; ++dx) {
                const QPoint q = p + QPoint(dx, dy);
                near = to.valid(q) && qGray(to.pixel(q)) < 200;
            }
        far += near ? 0 : 1;
    }
    return far;
}

}  // namespace

class ChartThinningTest : public QObject {
    Q_OBJECT

    // The thinned overlay against every sample drawn as one curve, on the same axes.
    struct Pictures {
        QImage thinned, full;
        qsizetype drawn = 0;
    };

    static Pictures draw(ChartView& view, const std::vector<Point>& points)
    {
        auto* full = new QCPCurve(view.xAxis, view.yAxis);
        QVector<QCPCurveData> data;
        for (const Point& p : points)
            data.append(QCPCurveData(data.size(), p.x, p.y));
        full->data()->set(data, true);
        full->setPen(view.overlayCurve(QStringLiteral("loops"))->pen());
        Pictures pictures;
        full->setVisible(false);
        view.replot(QCustomPlot::rpImmediateRefresh);
        pictures.drawn = view.overlayDrawnCount(QStringLiteral("loops"));
        pictures.thinned = view.toPixmap(view.width(), view.height()).toImage();
        full->setVisible(true);
        view.overlayCurve(QStringLiteral("loops"))->setVisible(false);
        pictures.full = view.toPixmap(view.width(), view.height()).toImage();
        view.overlayCurve(QStringLiteral("loops"))->setVisible(true);
        view.removePlottable(full);
        return pictures;
    }

private slots:
    void thinnedPictureStaysWithinTwoPixels_data()
    {
        QTest::addColumn<double>("jitter");
        QTest::addColumn<double>("zoom");   // the share of each axis shown
        QTest::addColumn<double>("shift");  // of the shown window, in its own widths
        QTest::newRow("smooth, whole") << 0.0 << 1.0 << 0.0;
        QTest::newRow("noisy, whole") << 4.0 << 1.0 << 0.0;
        QTest::newRow("noisy, zoomed in") << 4.0 << 0.3 << 0.2;
        QTest::newRow("noisy, off one edge") << 4.0 << 0.6 << 0.7;
        // Segments thousands of pixels long crossing the chart.
        QTest::newRow("smooth, far in") << 0.0 << 0.0002 << 0.0;
    }

    void thinnedPictureStaysWithinTwoPixels()
    {
        QFETCH(double, jitter);
        QFETCH(double, zoom);
        QFETCH(double, shift);
        const std::vector<Point> points = noisyLoops(120000, jitter);
        ChartModel model;
        const int loops = model.addOverlay(QStringLiteral("loops"), QStringLiteral("Loops"),
                                           {0x000000, 1.0, DashPattern::Solid, MarkerShape::None, 0.0, true});
        model.setOverlayPoints(loops, points);
        model.setOverlayVisible(loops, true);
        ChartView view;
        view.resize(587, 290);
        view.sync(model);
        for (QCPAxis* axis : {view.xAxis, view.yAxis}) {
            const QCPRange whole = axis->range();
            const double size = whole.size() * zoom;
            const double lower = whole.lower + whole.size() * (1.0 - zoom) / 2.0 + size * shift;
            axis->setRange(lower, lower + size);
        }
        const Pictures pictures = draw(view, points);
        const std::vector<QPoint> thinnedInk = inkOf(pictures.thinned);
        const std::vector<QPoint> fullInk = inkOf(pictures.full);
        QVERIFY(fullInk.size() > 500);
        // Nothing of the whole path goes missing beyond two pixels, and nothing is drawn
        // where the path did not go.
        QCOMPARE(farFrom(fullInk, pictures.thinned, 2), 0);
        QCOMPARE(farFrom(thinnedInk, pictures.full, 2), 0);
        // Where the loops crowd, the same ink: the thinned picture keeps most of it.
        QVERIFY2(thinnedInk.size() * 10 > fullInk.size() * 8,
                 qPrintable(QStringLiteral("%1 of %2").arg(thinnedInk.size()).arg(fullInk.size())));
        QVERIFY2(pictures.drawn > 0 && pictures.drawn < static_cast<qsizetype>(points.size()) / 2,
                 qPrintable(QString::number(pictures.drawn)));
    }
};

QTEST_MAIN(ChartThinningTest)
#include "test_chart_thinning.moc"

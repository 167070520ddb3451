// Draws a cyclic record in file order with its reversal points, every excursion's peak and
// both envelopes (the negative one mirrored back), and prints the counts. Used to check the
// envelopes of the real records by eye and to draw the figure of docs/cyclic.md.
// Build and run with scripts/cyclic/plot_cyclic.sh.
//   plot_cyclic [--tolerance T] [--envelope first|last|max] [--peak load|displacement]
//               [--title TEXT] [--grid] DATA.csv OUT.png|OUT.svg
#include "core/cyclic/Envelope.h"
#include "core/import/DataFileReader.h"
#include "core/text/NumberText.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Frame {
    QRectF plot;
    double x0, x1, y0, y1;
    QPointF map(double x, double y) const
    {
        return {plot.left() + (x - x0) / (x1 - x0) * plot.width(),
                plot.bottom() - (y - y0) / (y1 - y0) * plot.height()};
    }
};

// 1, 2 or 5 times a power of ten, giving about six ticks over span.
double tickStep(double span)
{
    const double raw = span / 6.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw)
            return m * power;
    }
    return 10.0 * power;
}

void drawAxes(QPainter& p, const Frame& f, bool grid)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    const double sx = tickStep(f.x1 - f.x0);
    const double sy = tickStep(f.y1 - f.y0);
    p.setPen(QPen(QColor(0xe4, 0xe4, 0xe4), 1));
    for (double x = std::ceil(f.x0 / sx) * sx; x <= f.x1; x += sx) {
        if (grid)
            p.drawLine(f.map(x, f.y0), f.map(x, f.y1));
    }
    for (double y = std::ceil(f.y0 / sy) * sy; y <= f.y1; y += sy) {
        if (grid)
            p.drawLine(f.map(f.x0, y), f.map(f.x1, y));
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(f.plot);
    p.drawLine(f.map(f.x0, 0), f.map(f.x1, 0));
    p.drawLine(f.map(0, f.y0), f.map(0, f.y1));
    for (double x = std::ceil(f.x0 / sx) * sx; x <= f.x1 + 1e-9 * sx; x += sx) {
        const QPointF at = f.map(x, f.y0);
        p.drawLine(at, at + QPointF(0, 4));
        p.drawText(QRectF(at.x() - 40, at.y() + 6, 80, 16), Qt::AlignHCenter, QString::number(x, 'g', 4));
    }
    for (double y = std::ceil(f.y0 / sy) * sy; y <= f.y1 + 1e-9 * sy; y += sy) {
        const QPointF at = f.map(f.x0, y);
        p.drawLine(at, at - QPointF(4, 0));
        p.drawText(QRectF(at.x() - 78, at.y() - 8, 72, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(y, 'g', 4));
    }
}

void drawMarker(QPainter& p, QPointF at, double r)
{
    p.drawEllipse(at, r, r);
}

void draw(QPainter& p, QSizeF size, const std::vector<rz::Point>& s, const rz::CyclicEnvelopes& e, const QString& title,
          bool grid)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (const rz::Point& pt : s) {
        x0 = std::min(x0, pt.x), x1 = std::max(x1, pt.x);
        y0 = std::min(y0, pt.y), y1 = std::max(y1, pt.y);
    }
    const double mx = 0.04 * (x1 - x0), my = 0.06 * (y1 - y0);
    Frame f{QRectF(90, 40, size.width() - 110, size.height() - 90), x0 - mx, x1 + mx, y0 - my, y1 + my};
    drawAxes(p, f, grid);

    QPainterPath record;
    for (std::size_t k = 0; k < s.size(); ++k) {
        const QPointF at = f.map(s[k].x, s[k].y);
        k == 0 ? record.moveTo(at) : record.lineTo(at);
    }
    p.setPen(QPen(QColor(0xa8, 0xa8, 0xa8), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(record);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x60, 0x60, 0x60));
    for (std::int64_t k : e.reversals)
        drawMarker(p, f.map(s[static_cast<std::size_t>(k)].x, s[static_cast<std::size_t>(k)].y), 2.2);

    const QColor colours[2] = {QColor(0x1a, 0x5f, 0xc8), QColor(0xc8, 0x30, 0x20)};
    for (int side = 0; side < 2; ++side) {
        const rz::DirectionEnvelope& env = side == 0 ? e.positive : e.negative;
        const double m = side == 0 ? 1.0 : -1.0;
        // Every excursion's peak, open circles; the envelope's, filled.
        p.setPen(QPen(colours[side], 1));
        p.setBrush(Qt::NoBrush);
        for (const rz::Excursion& x : env.excursions)
            drawMarker(p, f.map(s[static_cast<std::size_t>(x.peak)].x, s[static_cast<std::size_t>(x.peak)].y), 3.5);
        QPainterPath line;
        for (std::size_t i = 0; i < env.points.size(); ++i) {
            const QPointF at = f.map(m * env.points[i].x, m * env.points[i].y);
            i == 0 ? line.moveTo(at) : line.lineTo(at);
        }
        p.setPen(QPen(colours[side], 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(line);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(colours[side]);
        for (std::size_t i = 1; i < env.points.size(); ++i)
            drawMarker(p, f.map(m * env.points[i].x, m * env.points[i].y), 4.5);
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(90, 8, size.width() - 110, 24), Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPixelSize(12);
    p.setFont(font);
    p.drawText(QRectF(90, size.height() - 28, size.width() - 110, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("grey: record in file order, dots: reversals; blue: positive, red: negative; "
                              "open: excursion peaks, filled: envelope"));
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    rz::CyclicOptions options;
    QString title;
    bool grid = false;
    while (args.size() > 2) {
        const QString key = args.takeFirst();
        if (key == QLatin1String("--grid")) {
            grid = true;
            continue;
        }
        const QString value = args.takeFirst();
        if (key == QLatin1String("--tolerance"))
            options.tolerance = rz::parseDecimal(value, u'.').value();
        else if (key == QLatin1String("--envelope"))
            options.envelope = rz::choiceFromKey(rz::kEnvelopeChoiceNames, value.toStdString()).value();
        else if (key == QLatin1String("--peak"))
            options.peak = rz::choiceFromKey(rz::kPeakChoiceNames, value.toStdString()).value();
        else if (key == QLatin1String("--title"))
            title = value;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: plot_cyclic [options] DATA.csv OUT.png|OUT.svg\n");
        return 2;
    }
    const rz::CurveReadResult read = rz::readCurve(rz::decodeText(rz::readWholeFile(args[0])), u'.');
    const rz::CyclicEnvelopes e = rz::extractEnvelopes(read.points, options);
    if (title.isEmpty())
        title = args[0].section(QLatin1Char('/'), -1);

    const QSizeF size(1000, 640);
    if (args[1].endsWith(QLatin1String(".svg"))) {
        QSvgGenerator svg;
        svg.setFileName(args[1]);
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        svg.setTitle(title);
        QPainter p(&svg);
        draw(p, size, read.points, e, title, grid);
    } else {
        QImage image(size.toSize(), QImage::Format_RGB32);
        QPainter p(&image);
        draw(p, size, read.points, e, title, grid);
        p.end();
        if (!image.save(args[1]))
            return 1;
    }
    QTextStream out(stdout);
    out << "samples " << e.sampleCount << ", dead band " << e.deadBand << ", reversals " << e.reversals.size()
        << ", excursions " << e.excursionCount << "\n";
    for (const rz::DirectionEnvelope* env : {&e.positive, &e.negative}) {
        out << rz::keyOf(env->direction) << ": reversals " << env->reversalCount << ", excursions "
            << env->excursions.size() << ", phases " << env->phases.size();
        if (!env->message.isEmpty())
            out << " (" << env->message << ")";
        out << "\n  cycles per phase:";
        for (const rz::Phase& ph : env->phases)
            out << " " << ph.excursionCount;
        out << "\n  envelope:";
        for (const rz::Point& pt : env->points)
            out << " (" << pt.x << ", " << pt.y << ")";
        out << "\n";
    }
    return 0;
}

// Draws the pictures of the About and donation dialogs into resources/pictures.
// Build and run with scripts/pictures/make_pictures.sh; the PNGs it writes are
// committed, so the program's build does not depend on this tool.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QFont boldFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// A load-displacement curve: a stiff elastic branch that bends over into a peak and
// softens, with a dashed bilinear idealisation and its yielding point.
QImage logo() {
    QImage image(128, 128, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, 128);
    background.setColorAt(0, QColor(0xf4, 0xf8, 0xff));
    background.setColorAt(1, QColor(0xd6, 0xe4, 0xf7));
    p.setPen(QPen(QColor(0x2b, 0x4a, 0x7a), 2));
    p.setBrush(background);
    p.drawRoundedRect(QRectF(2, 2, 124, 124), 14, 14);

    const QPointF origin(20, 108);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(origin, QPointF(20, 16));
    p.drawLine(origin, QPointF(114, 108));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawPolygon(QPolygonF({QPointF(20, 10), QPointF(15, 20), QPointF(25, 20)}));
    p.drawPolygon(QPolygonF({QPointF(120, 108), QPointF(110, 103), QPointF(110, 113)}));

    QPainterPath curve(origin);
    curve.cubicTo(QPointF(34, 60), QPointF(46, 34), QPointF(70, 30));
    curve.cubicTo(QPointF(88, 28), QPointF(96, 42), QPointF(108, 58));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xd0, 0x30, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);

    p.setPen(QPen(QColor(0x1a, 0x6f, 0xd0), 2.5, Qt::DashLine, Qt::RoundCap));
    p.drawPolyline(QPolygonF({origin, QPointF(40, 38), QPointF(104, 38)}));

    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(0x1a, 0x6f, 0xd0));
    p.drawEllipse(QPointF(40, 38), 5.5, 5.5);
    return image;
}

// "THANKS" in bright letters, each with its own gradient and a soft drop shadow.
QImage thanks() {
    QImage image(993, 193, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QString word = QStringLiteral("THANKS");
    const QColor tops[] = {QColor(0xff, 0x52, 0x52), QColor(0xff, 0xa7, 0x26), QColor(0xff, 0xd6, 0x00),
                           QColor(0x4c, 0xaf, 0x50), QColor(0x29, 0xb6, 0xf6), QColor(0xab, 0x47, 0xbc)};
    const QFont font = boldFont(150);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int total = metrics.horizontalAdvance(word) + 8 * (word.size() - 1);
    int x = (image.width() - total) / 2;
    const int baseline = (image.height() + metrics.capHeight()) / 2;
    for (qsizetype i = 0; i < word.size(); ++i) {
        QPainterPath glyph;
        glyph.addText(QPointF(x, baseline), font, QString(word[i]));
        p.fillPath(glyph.translated(6, 6), QColor(0, 0, 0, 60));
        QLinearGradient fill(0, baseline - metrics.capHeight(), 0, baseline);
        fill.setColorAt(0, tops[i].lighter(125));
        fill.setColorAt(1, tops[i].darker(125));
        p.fillPath(glyph, fill);
        p.strokePath(glyph, QPen(tops[i].darker(170), 3));
        x += metrics.horizontalAdvance(word[i]) + 8;
    }
    return image;
}

// A neutral stand-in for a mobile payment service's badge: a phone showing a code
// and a plain caption, in the given colour. No real brand's mark.
QImage badge(QSize size, const QColor& colour, const QString& caption) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = size.height();

    p.setPen(QPen(colour.darker(130), h * 0.03));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(h * 0.03, h * 0.03, size.width() - h * 0.06, h * 0.94), h * 0.18, h * 0.18);

    const QRectF phone(h * 0.16, h * 0.14, h * 0.42, h * 0.72);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(phone, h * 0.06, h * 0.06);
    const QRectF screen = phone.adjusted(h * 0.05, h * 0.09, -h * 0.05, -h * 0.12);
    p.setBrush(Qt::white);
    p.drawRect(screen);
    const qreal cell = screen.width() / 5;
    p.setBrush(colour.darker(140));
    const bool pattern[5][5] = {{1, 1, 0, 1, 1}, {1, 0, 1, 0, 1}, {0, 1, 1, 1, 0}, {1, 0, 1, 0, 0}, {1, 1, 0, 1, 1}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (pattern[r][c])
                p.drawRect(QRectF(screen.left() + c * cell, screen.top() + h * 0.04 + r * cell, cell, cell));

    p.setPen(colour.darker(150));
    p.setFont(boldFont(static_cast<int>(h * 0.3)));
    p.drawText(QRectF(h * 0.7, 0, size.width() - h * 0.8, h), Qt::AlignLeft | Qt::AlignVCenter, caption);
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = save(logo(), dir, QStringLiteral("logo.png"));
    ok = save(thanks(), dir, QStringLiteral("thanks.png")) && ok;
    ok = save(badge(QSize(370, 130), QColor(0x1e, 0x88, 0xe5), QStringLiteral("Pay app 1")), dir,
              QStringLiteral("pay-badge-1.png")) && ok;
    ok = save(badge(QSize(609, 188), QColor(0x2e, 0x9d, 0x4a), QStringLiteral("Pay app 2")), dir,
              QStringLiteral("pay-badge-2.png")) && ok;
    return ok ? 0 : 1;
}

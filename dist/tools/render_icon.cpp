// Build tool: renders the application's SVG icon into square PNGs for the hicolor theme.
//   render_icon ICON.svg OUTPUT_FOLDER SIZE...   writes OUTPUT_FOLDER/SIZExSIZE/apps/<name>.png
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char** argv)
{
    // Drawing needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        err << "usage: render_icon ICON.svg OUTPUT_FOLDER SIZE...\n";
        return 2;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        err << "render_icon: cannot read " << args.at(1) << '\n';
        return 1;
    }
    const QString name = QFileInfo(args.at(1)).completeBaseName();
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0) {
            err << "render_icon: bad size " << args.at(i) << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !image.save(path, "PNG")) {
            err << "render_icon: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}

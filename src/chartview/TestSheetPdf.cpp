#include "chartview/TestSheetPdf.h"

#include "chartview/ChartView.h"
#include "core/io/Files.h"
#include "core/io/PdfDate.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <memory>
#include <vector>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// The page in points (the writer's resolution is 72 dpi, so one unit is one point).
constexpr double kPageWidth = 595.0;
constexpr double kPageHeight = 842.0;
constexpr double kMargin = 36.0;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kGap = 8.0;
constexpr double kCellPad = 2.0;
// The chart is laid out at this width in pixels and scaled onto the page, so that its
// fonts and lines keep the proportions of the window.
constexpr double kChartPixelWidth = 700.0;
constexpr double kMinChartHeight = 150.0;
constexpr double kMaxChartHeight = 270.0;

QFont sheetFont(double points, bool bold = false)
{
    QFont f(u"DejaVu Sans"_s);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    // No ligatures: the page's text must copy and search as typed ("fl", not one glyph).
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// --- the chart's look on paper ----------------------------------------------------------

QPen printPen(QColor color, double width, DashPattern dash)
{
    OverlayStyle style;
    style.colorRgb = color.rgb() & 0xFFFFFF;
    style.lineWidth = width;
    style.dash = dash;
    return overlayPen(style);
}

QCPScatterStyle printMarker(QCPScatterStyle::ScatterShape shape, QColor fill, double size = 9.0)
{
    return QCPScatterStyle(shape, QPen(Qt::black, 1.0), QBrush(fill), size);
}

// The nine series with line styles and marker shapes of their own: on screen they differ
// by colour alone, which grey print loses. The curve stays solid and darkest.
void applyPrintLook(ChartView& view)
{
    struct Look {
        SeriesId line;
        SeriesId point;
        QColor color;
        DashPattern dash;
        QCPScatterStyle::ScatterShape shape;
    };
    const Look looks[] = {
        {SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, QColor(0x00, 0x99, 0x00), DashPattern::Dash,
         QCPScatterStyle::ssCircle},
        {SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2, QColor(0x00, 0x00, 0xFF), DashPattern::DashDot,
         QCPScatterStyle::ssSquare},
        {SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3, QColor(0xFF, 0x00, 0x80), DashPattern::Dot,
         QCPScatterStyle::ssTriangleInverted},
    };
    for (const Look& l : looks) {
        view.seriesGraph(l.line)->setPen(printPen(l.color, 1.6, l.dash));
        view.seriesGraph(l.point)->setScatterStyle(printMarker(l.shape, l.color));
    }
    view.seriesGraph(SeriesId::lnsrsSeries4)->setPen(QPen(QColor(0x20, 0x20, 0x20), 2.0));
    view.seriesGraph(SeriesId::pntsrsSeries4)->setScatterStyle(printMarker(QCPScatterStyle::ssTriangle, Qt::white, 10));
    view.seriesGraph(SeriesId::pntsrsSeries5)->setScatterStyle(printMarker(QCPScatterStyle::ssDiamond, Qt::black, 9));
    for (QCPAxis* axis : {view.xAxis, view.yAxis}) {
        axis->grid()->setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0.5, Qt::DotLine));
        axis->setBasePen(QPen(Qt::black, 0.8));
        axis->setTickPen(QPen(Qt::black, 0.8));
        axis->setSubTickPen(QPen(Qt::black, 0.5));
        axis->setTickLabelColor(Qt::black);
        axis->setLabelColor(Qt::black);
    }
}

// One line of the key under the chart: a short stretch of the line, the marker on it.
struct KeyEntry {
    QString title;
    QPen line = QPen(Qt::NoPen);
    QCPScatterStyle marker;
};

bool drawn(QCPAbstractPlottable* p)
{
    return p && p->visible() && p->interface1D() && p->interface1D()->dataCount() > 0;
}

std::vector<KeyEntry> keyOf(const ChartView& view, const ChartModel& model)
{
    std::vector<KeyEntry> entries;
    auto graph = [&](SeriesId id) { return view.seriesGraph(id); };
    if (drawn(graph(SeriesId::lnsrsSeries4)))
        entries.push_back({u"Measured curve"_s, graph(SeriesId::lnsrsSeries4)->pen(), {}});
    if (drawn(graph(SeriesId::pntsrsSeries4)))
        entries.push_back({u"Peak"_s, QPen(Qt::NoPen), graph(SeriesId::pntsrsSeries4)->scatterStyle()});
    if (drawn(graph(SeriesId::pntsrsSeries5)))
        entries.push_back({u"Ultimate"_s, QPen(Qt::NoPen), graph(SeriesId::pntsrsSeries5)->scatterStyle()});
    const std::pair<SeriesId, SeriesId> methods[] = {{SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1},
                                                     {SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3},
                                                     {SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2}};
    const QString names[] = {u"Geometric Graphic Method"_s, u"Energy Method"_s, u"R.Park Method"_s};
    for (std::size_t i = 0; i < std::size(methods); ++i) {
        const auto [line, point] = methods[i];
        if (drawn(graph(line)) || drawn(graph(point)))
            entries.push_back({names[i], graph(line)->pen(), graph(point)->scatterStyle()});
    }
    // An overlay "<name>.construction" and its "<name>.yield" share one entry.
    const QString construction = u".construction"_s;
    const QString yield = u".yield"_s;
    for (const Overlay& o : model.overlays()) {
        QCPCurve* curve = view.overlayCurve(o.key);
        if (!drawn(curve))
            continue;
        if (o.key.endsWith(yield)) {
            const QString partner = o.key.chopped(yield.size()) + construction;
            if (drawn(view.overlayCurve(partner)))
                continue;
        }
        KeyEntry e{o.title, curve->lineStyle() == QCPCurve::lsNone ? QPen(Qt::NoPen) : curve->pen(),
                   curve->scatterStyle()};
        if (o.key.endsWith(construction)) {
            e.title.replace(u" construction"_s, QString());
            QCPCurve* point = view.overlayCurve(o.key.chopped(construction.size()) + yield);
            if (drawn(point))
                e.marker = point->scatterStyle();
        }
        entries.push_back(e);
    }
    return entries;
}

// --- the page -------------------------------------------------------------------------

class Page {
public:
    explicit Page(QCPPainter& p) : p_(p) {}

    double y = kMargin;

    // Measured on the page: a font's size in pixels depends on the device's resolution.
    QFontMetricsF metrics(const QFont& font) const { return QFontMetricsF(font, p_.device()); }

    void title(const TestSheetContent& c)
    {
        p_.setFont(sheetFont(9));
        const QString kind = u"Load-displacement test sheet"_s;
        const double kindWidth = metrics(p_.font()).horizontalAdvance(kind) + 12;
        const double room = kContentWidth - kindWidth;
        // Long file names get a smaller font before they lose their middle.
        double size = 16;
        while (size > 10 && metrics(sheetFont(size, true)).horizontalAdvance(c.title) > room)
            size -= 1;
        const QFontMetricsF fm = metrics(sheetFont(size, true));
        const double height = metrics(sheetFont(16, true)).height();
        p_.setPen(Qt::black);
        p_.drawText(QRectF(kMargin + room + 12, y, kindWidth - 12, height), Qt::AlignRight | Qt::AlignVCenter, kind);
        p_.setFont(sheetFont(size, true));
        p_.drawText(QRectF(kMargin, y, room, height), Qt::AlignLeft | Qt::AlignVCenter,
                    fm.elidedText(c.title, Qt::ElideMiddle, room));
        y += height + 4;
        p_.setPen(QPen(Qt::black, 1.2));
        p_.drawLine(QPointF(kMargin, y), QPointF(kMargin + kContentWidth, y));
        y += 6;
    }

    void heading(const QString& text, double x, double width)
    {
        p_.setFont(sheetFont(9, true));
        const QFontMetricsF fm = metrics(p_.font());
        p_.setPen(Qt::black);
        p_.drawText(QRectF(x, y, width, fm.height()), Qt::AlignLeft | Qt::AlignBottom, text);
    }
    double headingHeight() const { return metrics(sheetFont(9, true)).height() + 2; }

    // A table with lines: rows of cells in columns of the given widths (summing to the
    // table's width); long texts wrap. Returns its height; draws only when asked.
    double table(double x, const std::vector<double>& widths, const std::vector<QStringList>& rows, bool header,
                 bool draw = true, double fontSize = 7.5)
    {
        const QFont plain = sheetFont(fontSize);
        const QFont bold = sheetFont(fontSize, true);
        double top = y;
        double total = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const QFont& font = header && r == 0 ? bold : plain;
            const QFontMetricsF fm = metrics(font);
            double height = fm.height();
            for (std::size_t c = 0; c < widths.size(); ++c) {
                const QRectF box(0, 0, widths[c] - 2 * kCellPad, 1000);
                height = std::max(height, fm.boundingRect(box, Qt::TextWordWrap, rows[r].value(qsizetype(c))).height());
            }
            height += 2 * kCellPad - 1;
            if (draw) {
                p_.setFont(font);
                double cx = x;
                if (header && r == 0)
                    p_.fillRect(QRectF(x, top, sum(widths), height), QColor(0xE8, 0xE8, 0xE8));
                p_.setPen(Qt::black);
                for (std::size_t c = 0; c < widths.size(); ++c) {
                    const QRectF cell(cx + kCellPad, top + kCellPad - 0.5, widths[c] - 2 * kCellPad, height);
                    p_.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, rows[r].value(qsizetype(c)));
                    cx += widths[c];
                }
                p_.setPen(QPen(Qt::black, 0.5));
                p_.drawLine(QPointF(x, top), QPointF(x + sum(widths), top));
                double lx = x;
                for (double w : widths) {
                    p_.drawLine(QPointF(lx, top), QPointF(lx, top + height));
                    lx += w;
                }
                p_.drawLine(QPointF(lx, top), QPointF(lx, top + height));
            }
            top += height;
            total += height;
        }
        if (draw && !rows.empty()) {
            p_.setPen(QPen(Qt::black, 0.5));
            p_.drawLine(QPointF(x, top), QPointF(x + sum(widths), top));
        }
        return total;
    }

    // The chart at (kMargin, y), kContentWidth wide and height tall, as vectors.
    void chart(ChartView& view, double height)
    {
        const double scale = kContentWidth / kChartPixelWidth;
        const int w = static_cast<int>(kChartPixelWidth);
        const int h = static_cast<int>(height / scale);
        p_.save();
        p_.translate(kMargin, y);
        p_.scale(scale, scale);
        view.toPainter(&p_, w, h);
        p_.restore();
        p_.setPen(QPen(Qt::black, 0.5));
        p_.drawRect(QRectF(kMargin, y, kContentWidth, height));
    }

    // The key in three columns; returns its height.
    double key(const std::vector<KeyEntry>& entries, bool draw = true)
    {
        const QFont font = sheetFont(7);
        const QFontMetricsF fm = metrics(font);
        constexpr int kColumns = 3;
        const double columnWidth = kContentWidth / kColumns;
        const double rowHeight = std::max(fm.height(), 11.0) + 1;
        const int rows = static_cast<int>((entries.size() + kColumns - 1) / kColumns);
        if (draw) {
            p_.setFont(font);
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const KeyEntry& e = entries[i];
                const double ex = kMargin + columnWidth * static_cast<double>(i % kColumns);
                const double ey = y + rowHeight * static_cast<double>(i / kColumns);
                const double mid = ey + rowHeight / 2;
                if (e.line.style() != Qt::NoPen) {
                    QPen pen = e.line;
                    pen.setWidthF(std::min(pen.widthF(), 1.6));
                    p_.setPen(pen);
                    p_.drawLine(QPointF(ex + 2, mid), QPointF(ex + 26, mid));
                }
                if (!e.marker.isNone()) {
                    QCPScatterStyle marker = e.marker;
                    marker.setSize(std::min(marker.size(), 7.0));
                    marker.applyTo(&p_, QPen(Qt::black));
                    marker.drawShape(&p_, QPointF(ex + 14, mid));
                }
                p_.setPen(Qt::black);
                p_.drawText(QRectF(ex + 30, ey, columnWidth - 32, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                            fm.elidedText(e.title, Qt::ElideRight, columnWidth - 32));
            }
        }
        return rowHeight * rows;
    }

    // Notes as a list; returns the height.
    double notes(const QStringList& notes, bool draw = true)
    {
        const QFont font = sheetFont(7.5);
        const QFontMetricsF fm = metrics(font);
        double top = y;
        if (draw)
            p_.setFont(font);
        for (const QString& n : notes) {
            const QRectF box(kMargin + 10, top, kContentWidth - 10, 1000);
            const QRectF used = fm.boundingRect(box, Qt::TextWordWrap, n);
            if (draw) {
                p_.setPen(Qt::black);
                p_.drawText(QRectF(kMargin, top, 10, fm.height()), Qt::AlignLeft | Qt::AlignTop, u"\u2013"_s);
                p_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, n);
            }
            top += used.height() + 1.5;
        }
        return top - y;
    }

    void footer()
    {
        p_.setFont(sheetFont(6.5));
        p_.setPen(Qt::black);
        const double fy = kPageHeight - kMargin + 6;
        p_.drawText(QRectF(kMargin, fy, kContentWidth, 12), Qt::AlignLeft | Qt::AlignTop,
                    u"Rorevadi Zadiz ovo Rudevadiz"_s);
    }

private:
    static double sum(const std::vector<double>& v)
    {
        double s = 0;
        for (double x : v)
            s += x;
        return s;
    }

    QCPPainter& p_;
};

std::vector<QStringList> entryRows(const std::vector<SheetEntry>& entries)
{
    std::vector<QStringList> rows;
    for (const SheetEntry& e : entries)
        rows.push_back({e.label, e.value});
    return rows;
}

// The import's labelled values in three pairs of columns, filled row by row.
std::vector<QStringList> importGrid(const std::vector<SheetEntry>& entries)
{
    constexpr std::size_t kPairs = 3;
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < entries.size(); i += kPairs) {
        QStringList row;
        for (std::size_t k = 0; k < kPairs; ++k) {
            if (i + k < entries.size())
                row << entries[i + k].label << entries[i + k].value;
            else
                row << QString() << QString();
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<QStringList> resultRows(const QString& firstTitle, const QString& loadUnit, const QString& dispUnit,
                                    const std::vector<SheetResultRow>& results)
{
    auto titled = [](const QString& label, const QString& unit) {
        return unit.isEmpty() ? label : u"%1 (%2)"_s.arg(label, unit);
    };
    std::vector<QStringList> rows;
    rows.push_back({firstTitle, titled(u"Yield load"_s, loadUnit), titled(u"Yield displacement"_s, dispUnit),
                    u"Ductility"_s, u"Note"_s});
    for (const SheetResultRow& r : results)
        rows.push_back({r.method, r.yieldLoad, r.yieldDisp, r.ductility, r.note});
    return rows;
}

void drawSheet(QCPPainter& painter, const TestSheetContent& c, const SheetChart& chart)
{
    Page page(painter);
    page.title(c);

    // Where the data came from and when.
    const std::vector<SheetEntry> origin = {
        {u"Data file"_s, c.dataPath}, {u"File modified"_s, c.dataModified}, {u"Analysed"_s, c.analysisTime}};
    page.y += page.table(kMargin, {90, kContentWidth - 90}, entryRows(origin), false);
    page.y += kGap;

    // Factors and characteristic values side by side.
    const double half = (kContentWidth - kGap) / 2;
    page.heading(u"Factors"_s, kMargin, half);
    page.heading(u"Characteristic values"_s, kMargin + half + kGap, half);
    page.y += page.headingHeight();
    const double factorsHeight = page.table(kMargin, {half - 60, 60}, entryRows(c.factors), false);
    const double valuesHeight =
        page.table(kMargin + half + kGap, {half - 100, 100}, entryRows(c.characteristics), false);
    page.y += std::max(factorsHeight, valuesHeight) + kGap;

    // How the file was read.
    page.heading(u"Import"_s, kMargin, kContentWidth);
    page.y += page.headingHeight();
    if (c.import.size() <= 3) {
        page.y += page.table(kMargin, {90, kContentWidth - 90}, entryRows(c.import), false);
    } else {
        const double pair = kContentWidth / 3;
        page.y += page.table(kMargin, {pair * 0.45, pair * 0.55, pair * 0.45, pair * 0.55, pair * 0.45, pair * 0.55},
                             importGrid(c.import), false, true, 6.5);
    }
    page.y += kGap;

    // The tables and notes below the chart are measured first: the chart takes the rest.
    const std::vector<double> resultWidths = {150, 80, 92, 50, kContentWidth - 372};
    const std::vector<QStringList> methods = resultRows(u"Method"_s, c.loadUnit, c.displacementUnit, c.methods);
    const std::vector<QStringList> others =
        resultRows(u"Other definition"_s, c.loadUnit, c.displacementUnit, c.otherDefinitions);

    // The key depends on what the chart draws: a first view of the chart tells.
    auto makeView = [&](double height) {
        auto view = std::make_unique<ChartView>();
        view->setDecimalSeparator(chart.decimalSeparator);
        view->setAxisTitles(chart.titles);
        view->resize(static_cast<int>(kChartPixelWidth), static_cast<int>(height * kChartPixelWidth / kContentWidth));
        applyPrintLook(*view);
        if (chart.model) {
            view->sync(*chart.model);
            if (chart.xRange)
                view->xAxis->setRange(*chart.xRange);
            if (chart.yRange)
                view->yAxis->setRange(*chart.yRange);
        }
        return view;
    };
    const std::vector<KeyEntry> key =
        chart.model ? keyOf(*makeView(kMaxChartHeight), *chart.model) : std::vector<KeyEntry>{};
    const double below = page.key(key, false) + 3 + page.headingHeight() * 2 +
                         page.table(kMargin, resultWidths, methods, true, false) + 4 +
                         page.table(kMargin, resultWidths, others, true, false) + 2 * kGap +
                         (c.notes.isEmpty() ? 0.0 : page.headingHeight() + page.notes(c.notes, false));
    const double room = kPageHeight - kMargin - page.y - below;
    const double chartHeight = std::clamp(room, kMinChartHeight, kMaxChartHeight);
    const std::unique_ptr<ChartView> view = makeView(chartHeight);
    page.chart(*view, chartHeight);
    page.y += chartHeight + 3;
    page.y += page.key(key);
    page.y += kGap;

    page.heading(u"Yield points"_s, kMargin, kContentWidth);
    page.y += page.headingHeight();
    page.y += page.table(kMargin, resultWidths, methods, true);
    page.y += 4;
    page.y += page.table(kMargin, resultWidths, others, true);
    page.y += kGap;

    if (!c.notes.isEmpty()) {
        page.heading(u"Notes"_s, kMargin, kContentWidth);
        page.y += page.headingHeight();
        page.y += page.notes(c.notes);
    }
    page.footer();
}

}  // namespace

SheetChart sheetChartAsShown(const ChartModel& model, const AxisTitles& titles, QChar decimalSeparator,
                             const ChartView& shown)
{
    SheetChart chart;
    chart.model = &model;
    chart.titles = titles;
    chart.decimalSeparator = decimalSeparator;
    chart.xRange = shown.xAxis->range();
    chart.yRange = shown.yAxis->range();
    return chart;
}

QByteArray renderTestSheetPdf(const TestSheetContent& content, const SheetChart& chart)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(u"Rorevadi Zadiz ovo Rudevadiz"_s);
        writer.setTitle(content.title + u" test sheet"_s);
        writer.setResolution(72);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QCPPainter painter(&writer);
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        painter.setRenderHint(QPainter::Antialiasing);
        drawSheet(painter, content, chart);
        painter.end();
    }
    buffer.close();
    return bytes;
}

void writeTestSheetPdf(const QString& path, const TestSheetContent& content, const SheetChart& chart,
                       const QDateTime& created)
{
    QByteArray bytes = renderTestSheetPdf(content, chart);
    if (bytes.isEmpty())
        throw FileWriteError(u"Cannot draw the test sheet for \"%1\"."_s.arg(path).toStdString());
    stampPdfCreationDate(bytes, created);
    writeFileAtomically(path, bytes);
}

}  // namespace rz

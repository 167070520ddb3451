#include "gui/ImportPreviewPane.h"

#include "core/import/ImportResult.h"
#include "core/workbench/ImportedCurve.h"

#include <qcustomplot.h>

#include <QFontDatabase>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBlock>

#include <algorithm>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Light enough that the numbers stay readable; the two columns told apart by hue.
const QColor kDisplacementBackground(0xD6, 0xE9, 0xFF);
const QColor kLoadBackground(0xFF, 0xE4, 0xC4);
const QColor kNotReadText(0x9A, 0x9A, 0x9A);
const QColor kEndText(0xB0, 0x20, 0x20);

QString roleText(LineRole role)
{
    switch (role) {
        case LineRole::Skipped:
            return u"skipped"_s;
        case LineRole::Header:
            return u"header"_s;
        case LineRole::Units:
            return u"units"_s;
        case LineRole::Data:
            return u"data"_s;
        case LineRole::End:
            return u"ends the data"_s;
        case LineRole::After:
            return u"not read"_s;
    }
    return {};
}

}  // namespace

ImportPreviewPane::ImportPreviewPane(QWidget* parent) : QObject(parent)
{
    text = new QPlainTextEdit(parent);
    text->setObjectName(u"previewText"_s);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    text->setFont(fixed);
    text->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(u' ') * 8);

    table = new QTableWidget(parent);
    table->setObjectName(u"previewTable"_s);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    chart = new QCustomPlot(parent);
    chart->setObjectName(u"previewChart"_s);
    chart->setMinimumSize(280, 190);
    chart->setInteractions({});
    chart->setLocale(QLocale::c());
    curve_ = new QCPCurve(chart->xAxis, chart->yAxis);
    curve_->setPen(QPen(QColor(0x20, 0x20, 0x60), 1.5));
    chart->xAxis->setLabel(u"Displacement"_s);
    chart->yAxis->setLabel(u"Force"_s);
}

void ImportPreviewPane::showPreview(const ImportPreview& preview, const ImportOptions& given, FileKind kind)
{
    QStringList lines;
    for (const PreviewLine& line : preview.lines)
        lines << line.text;
    const QString joined = lines.join(u'\n');
    if (joined != shownText_) {
        shownText_ = joined;
        text->setPlainText(joined);
    }
    showTable(preview, kind);
    showChart(preview, given);
}

void ImportPreviewPane::showTable(const ImportPreview& preview, FileKind kind)
{
    const QStringList& names = preview.detection.columnNames;
    const QStringList& units = preview.detection.columnUnits;
    int columns = static_cast<int>(names.size());
    for (const PreviewLine& line : preview.lines)
        columns = std::max(columns, static_cast<int>(line.cells.size()));
    const int rows = static_cast<int>(preview.lines.size());
    table->clear();
    table->setColumnCount(columns);
    table->setRowCount(rows);

    const bool anyUnits = std::any_of(units.begin(), units.end(), [](const QString& u) { return !u.isEmpty(); });
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        QString top = columnLabel(c, kind).section(u' ', 1);
        if (c == preview.displacementColumn)
            top += u"  \u2192 displacement"_s;
        if (c == preview.loadColumn)
            top += u"  \u2192 load"_s;
        QString header = top + u"\n"_s + names.value(c);
        if (anyUnits)
            header += u"\n"_s + units.value(c);
        headers << header;
    }
    table->setHorizontalHeaderLabels(headers);
    QStringList numbers;
    for (int r = 0; r < rows; ++r)
        numbers << QString::number(r + 1);
    table->setVerticalHeaderLabels(numbers);

    QFont bold = table->font();
    bold.setBold(true);
    QFont italic = table->font();
    italic.setItalic(true);
    for (int r = 0; r < rows; ++r) {
        const PreviewLine& line = preview.lines[static_cast<std::size_t>(r)];
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem(line.cells.value(c));
            item->setToolTip(QStringLiteral("Line %1: %2").arg(r + 1).arg(roleText(line.role)));
            if (c == preview.displacementColumn)
                item->setBackground(kDisplacementBackground);
            else if (c == preview.loadColumn)
                item->setBackground(kLoadBackground);
            switch (line.role) {
                case LineRole::Skipped:
                case LineRole::After:
                    item->setForeground(kNotReadText);
                    break;
                case LineRole::Header:
                    item->setFont(bold);
                    break;
                case LineRole::Units:
                    item->setFont(italic);
                    break;
                case LineRole::End:
                    item->setForeground(kEndText);
                    break;
                case LineRole::Data:
                    break;
            }
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        table->setColumnWidth(c, std::min(table->columnWidth(c), 220));

    // The lines above the data and the chosen columns in view: a metadata block or a
    // wide table would otherwise hide what the options choose.
    int top = 0;
    while (top < rows && preview.lines[static_cast<std::size_t>(top)].role == LineRole::Skipped)
        ++top;
    if (top >= rows)
        top = 0;
    const int leftmost = std::min(preview.displacementColumn, preview.loadColumn);
    const int rightmost = std::max(preview.displacementColumn, preview.loadColumn);
    if (rows > 0 && leftmost >= 0 && rightmost < columns) {
        table->scrollToItem(table->item(top, rightmost), QAbstractItemView::PositionAtTop);
        table->scrollToItem(table->item(top, leftmost), QAbstractItemView::PositionAtTop);
    } else if (rows > 0) {
        table->scrollToItem(table->item(top, 0), QAbstractItemView::PositionAtTop);
    }
    QTextCursor cursor(text->document()->findBlockByNumber(std::max(0, top - 1)));
    text->setTextCursor(cursor);
    text->ensureCursorVisible();
}

void ImportPreviewPane::showChart(const ImportPreview& preview, const ImportOptions& given)
{
    std::vector<Point> points = preview.points;
    // As the curve will be stored: sorted by displacement (equal ones in the file's order)
    // unless the file's order is kept.
    if (given.order == PointOrder::ByDisplacement)
        std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
    QVector<QCPCurveData> data;
    data.reserve(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i)
        data.append(QCPCurveData(static_cast<double>(i), points[i].x, points[i].y));
    curve_->data()->set(data, true);
    const AxisTitles titles = axisTitles(preview.displacementUnit, preview.loadUnit);
    chart->xAxis->setLabel(titles.displacement);
    chart->yAxis->setLabel(titles.load);
    if (points.empty()) {
        chart->xAxis->setRange(0.0, 1.0);
        chart->yAxis->setRange(0.0, 1.0);
    } else {
        chart->rescaleAxes();
        for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
            QCPRange range = axis->range();
            const double room = range.size() > 0.0 ? range.size() * 0.04 : 1.0;
            axis->setRange(range.lower - room, range.upper + room);
        }
    }
    chart->replot();
}

}  // namespace rz

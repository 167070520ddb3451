#include "gui/OtherDefinitionsPanel.h"

#include "chartview/ChartView.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/OtherDefinitions.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rz {

namespace {

enum Column { Name = 0, Load, Disp, Ductility, Stiffness, Note, ColumnCount };

const QString kShownKey = QStringLiteral("otherDefinitions/shown");
const QString kDrawnKey = QStringLiteral("otherDefinitions/drawn");
const QString kAreaKey = QStringLiteral("otherDefinitions/area");

const QString kNoNote = QStringLiteral("—");

// The key beside a row's name: a piece of its construction line with its yield point's
// marker on it, as the chart draws them.
QIcon lookIcon(int method)
{
    const OtherDefinitionLook& look = otherDefinitionLook(method);
    QPixmap pixmap(36, 14);
    pixmap.fill(Qt::transparent);
    QCPPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(overlayPen(look.construction));
    painter.drawLine(QPointF(0, 7), QPointF(36, 7));
    QCPScatterStyle marker = overlayScatter(look.yieldPoint);
    marker.setSize(9);
    marker.applyTo(&painter, QPen());
    marker.drawShape(&painter, QPointF(18, 7));
    painter.end();
    return QIcon(pixmap);
}

QTableWidgetItem* readOnlyItem(Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

int methodCount()
{
    return static_cast<int>(otherYieldMethods().size());
}

}  // namespace

OtherDefinitionsDock::OtherDefinitionsDock(QWidget* parent) : QDockWidget(QStringLiteral("Other definitions"), parent)
{
    setObjectName(QStringLiteral("otherDefinitionsDock"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
    toggleViewAction()->setText(QStringLiteral("Other Definitions"));
    toggleViewAction()->setObjectName(QStringLiteral("otherDefinitionsAction"));

    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(7, 0, 9, 4);
    table_ = new QTableWidget(methodCount(), ColumnCount, content);
    table_->setObjectName(QStringLiteral("otherDefinitionsTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Definition (tick to draw)"), QStringLiteral("Load at Yield"),
                                       QStringLiteral("Disp. at Yield"), QStringLiteral("Ductility"),
                                       QStringLiteral("Stiffness"), QStringLiteral("Note")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);  // Tab leaves the table; arrows move in it
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
    table_->setIconSize(QSize(36, 14));
    // As tall as its rows; as wide as the window is (the note column gives way first,
    // then a scroll bar), so the table never widens the window.
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    table_->setMinimumWidth(200);
    table_->setAccessibleName(QStringLiteral("Other definitions"));

    for (int m = 0; m < methodCount(); ++m) {
        const YieldMethod& method = otherYieldMethods()[static_cast<std::size_t>(m)];
        auto* name = new QTableWidgetItem(lookIcon(m), QString::fromUtf8(method.title));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(Qt::Unchecked);
        name->setToolTip(QString::fromUtf8(method.source));
        table_->setItem(m, Name, name);
        for (int c = Load; c <= Stiffness; ++c)
            table_->setItem(m, c, readOnlyItem(Qt::AlignRight));
        table_->setItem(m, Note, readOnlyItem(Qt::AlignLeft));
    }
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(Note, QHeaderView::Stretch);
    header->setMinimumSectionSize(70);
    table_->resizeRowsToContents();
    // Exactly its rows high: the dock then takes no more room from the graph than they need.
    int rowsHeight = header->sizeHint().height() + 2 * table_->frameWidth();
    for (int m = 0; m < methodCount(); ++m)
        rowsHeight += table_->rowHeight(m);
    table_->setMaximumHeight(rowsHeight);
    layout->addWidget(table_);
    setWidget(content);

    table_->installEventFilter(this);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != Name)
            return;
        emit drawnChanged(item->row(), item->checkState() == Qt::Checked);
        save();
    });
    // After the dock is shown or hidden (the View menu's toggled signal comes before that).
    connect(this, &QDockWidget::visibilityChanged, this, [this] { save(); });
    connect(this, &QDockWidget::dockLocationChanged, this, [this] { save(); });
}

void OtherDefinitionsDock::showResults(const std::vector<YieldDefinitionResult>& results, QChar sep)
{
    for (int m = 0; m < methodCount(); ++m) {
        OtherDefinitionTexts texts;
        if (m < static_cast<int>(results.size())) {
            texts = otherDefinitionTexts(results[static_cast<std::size_t>(m)], sep);
            if (texts.note.isEmpty())
                texts.note = kNoNote;
        }
        const QString cells[] = {texts.yieldLoad, texts.yieldDisp, texts.ductility, texts.stiffness, texts.note};
        for (int c = Load; c <= Note; ++c) {
            QTableWidgetItem* item = table_->item(m, c);
            const QString& text = cells[c - Load];
            if (item->text() != text) {
                item->setText(text);
                item->setToolTip(c == Note && text != kNoNote ? text : QString());
            }
        }
    }
}

bool OtherDefinitionsDock::isDrawn(int method) const
{
    const QTableWidgetItem* item = table_->item(method, Name);
    return item && item->checkState() == Qt::Checked;
}

void OtherDefinitionsDock::setDrawn(int method, bool drawn)
{
    if (QTableWidgetItem* item = table_->item(method, Name))
        item->setCheckState(drawn ? Qt::Checked : Qt::Unchecked);
}

bool OtherDefinitionsDock::eventFilter(QObject* watched, QEvent* event)
{
    // Space ticks the current row wherever the cursor stands in it, not only on the box.
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && table_->currentRow() >= 0) {
            const int row = table_->currentRow();
            setDrawn(row, !isDrawn(row));
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void OtherDefinitionsDock::setSettings(QSettings* settings)
{
    settings_ = nullptr;  // restoring is no change worth saving
    if (settings) {
        const QStringList drawn = settings->value(kDrawnKey).toStringList();
        for (int m = 0; m < methodCount(); ++m)
            setDrawn(m, drawn.contains(QString::fromLatin1(otherYieldMethods()[static_cast<std::size_t>(m)].key)));
        if (auto* window = qobject_cast<QMainWindow*>(parentWidget())) {
            const auto area = static_cast<Qt::DockWidgetArea>(
                settings->value(kAreaKey, static_cast<int>(Qt::BottomDockWidgetArea)).toInt());
            if (isAreaAllowed(area) && window->dockWidgetArea(this) != area)
                window->addDockWidget(area, this);
        }
        setVisible(settings->value(kShownKey, true).toBool());
    }
    settings_ = settings;
}

void OtherDefinitionsDock::save()
{
    if (!settings_)
        return;
    QStringList drawn;
    for (int m = 0; m < methodCount(); ++m)
        if (isDrawn(m))
            drawn << QString::fromLatin1(otherYieldMethods()[static_cast<std::size_t>(m)].key);
    settings_->setValue(kDrawnKey, drawn);
    settings_->setValue(kShownKey, !isHidden());
    if (const auto* window = qobject_cast<const QMainWindow*>(parentWidget()))
        settings_->setValue(kAreaKey, static_cast<int>(window->dockWidgetArea(this)));
}

}  // namespace rz

#include "gui/StatusBar.h"

#include "gui/Links.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace rz {

namespace {

constexpr int kBarHeight = 24;
constexpr int kLinkFieldWidth = 111;
constexpr int kLinkFieldInset = 3;

QLabel* makeField(QLabel* field, int width, const QFont& font) {
    field->setFixedWidth(width);
    field->setFont(font);
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return field;
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("rzstsbr2"));
    setFixedHeight(kBarHeight);
    setSizeGripEnabled(false);

    // One container with its own gapless layout keeps the fields flush against each
    // other; QStatusBar would otherwise space and frame them as separate items.
    auto* fields = new QWidget(this);
    auto* row = new QHBoxLayout(fields);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    rzfldsts3 = makeField(new QLabel(QStringLiteral("  Quillon博士 "), fields), 89, tahomaFont(8, true));
    rzfldsts1 = makeField(new QLabel(QStringLiteral("  Welcome to my Website :      "), fields), 167,
                          msSansSerifFont(8, true));
    rzfldsts2 = new LinkLabel(QStringLiteral(" ") + siteHost() + QStringLiteral("       "), fields);
    makeField(rzfldsts2, kLinkFieldWidth, msSansSerifFont(8, true));
    rzfldsts2->setMargin(kLinkFieldInset);
    // The fallback fonts run wider than the Windows ones: a link cut off mid-name
    // would look broken, so the field grows to show the whole host name.
    const int hostWidth = rzfldsts2->fontMetrics().horizontalAdvance(QStringLiteral(" ") + siteHost());
    rzfldsts2->setFixedWidth(std::max(kLinkFieldWidth, hostWidth + 2 * kLinkFieldInset + 2));
    rzfldsts2->showNormal();
    rzfldsts3->setObjectName(QStringLiteral("rzfldsts3"));
    rzfldsts1->setObjectName(QStringLiteral("rzfldsts1"));
    rzfldsts2->setObjectName(QStringLiteral("rzfldsts2"));

    row->addWidget(rzfldsts3);
    row->addWidget(rzfldsts1);
    row->addWidget(rzfldsts2);
    row->addStretch(1);
    addWidget(fields, 1);

    connect(rzfldsts2, &LinkLabel::clicked, this, &StatusBar::rzfldsts2Click);
    connect(rzfldsts2, &LinkLabel::pointerMoved, this, &StatusBar::rzfldsts2MouseMove);
    connect(rzfldsts2, &LinkLabel::pointerLeft, this, &StatusBar::rzfldsts2MouseLeave);
}

void StatusBar::rzfldsts2Click() {
    openLink(siteBareHostUrl(), window());
}

void StatusBar::rzfldsts2MouseMove() {
    rzfldsts2->showHover();
}

void StatusBar::rzfldsts2MouseLeave() {
    rzfldsts2->showNormal();
}

void StatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    const QColor base = palette().color(QPalette::Window);
    gradient.setColorAt(0.0, base.lighter(112));
    gradient.setColorAt(1.0, base.darker(112));
    painter.fillRect(rect(), gradient);
    if (!currentMessage().isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, currentMessage());
    }
}

}  // namespace rz

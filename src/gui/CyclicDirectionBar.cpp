#include "gui/CyclicDirectionBar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

namespace rz {

CyclicDirectionBar::CyclicDirectionBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("cyclicDirection"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("Direction:"), this));
    group_ = new QButtonGroup(this);
    for (const auto& entry : kCyclicViewNames) {
        auto* b = new QRadioButton(QString::fromLatin1(entry.title), this);
        b->setObjectName(QStringLiteral("direction_") + QString::fromLatin1(entry.key));
        group_->addButton(b, static_cast<int>(entry.value));
        layout->addWidget(b);
        buttons_[static_cast<std::size_t>(entry.value)] = b;
    }
    layout->addStretch(1);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            emit viewChosen(static_cast<CyclicView>(id));
    });
    setVisible(false);
}

void CyclicDirectionBar::showView(CyclicView view)
{
    const QSignalBlocker blocker(group_);
    button(view)->setChecked(true);
}

void CyclicDirectionBar::setAvailable(bool positive, bool negative)
{
    button(CyclicView::Positive)->setEnabled(positive);
    button(CyclicView::Negative)->setEnabled(negative);
    button(CyclicView::Average)->setEnabled(positive && negative);
}

}  // namespace rz

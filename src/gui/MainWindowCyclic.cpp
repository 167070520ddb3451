// The main window on a cyclic record: the menu item, the direction selector beside the
// results, and the record's counts in the status bar.
#include "core/workbench/CyclicSession.h"
#include "gui/CyclicDirectionBar.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"

#include <QAction>
#include <QLabel>

namespace rz {

void TForm1::buildCyclic()
{
    connect(importCyclicAction, &QAction::triggered, this, &TForm1::importCyclicTest);
    connect(cyclicBar_, &CyclicDirectionBar::viewChosen, this,
            [this](CyclicView view) { guarded([&] { workbench_->setCyclicView(view); }); });
    cyclicSummary_ = new QLabel(rzstsbr2);
    cyclicSummary_->setObjectName(QStringLiteral("cyclicSummary"));
    rzstsbr2->addWidget(cyclicSummary_, 1);
    cyclicSummary_->setVisible(false);
}

void TForm1::refreshCyclic()
{
    const CyclicSession* session = workbench_->cyclic();
    cyclicBar_->setVisible(session != nullptr);
    cyclicSummary_->setVisible(session != nullptr);
    if (!session) {
        cyclicSummary_->clear();
        return;
    }
    cyclicBar_->setAvailable(session->hasEnvelope(Direction::Positive), session->hasEnvelope(Direction::Negative));
    cyclicBar_->showView(workbench_->cyclicView());
    cyclicSummary_->setText(session->summary());
}

}  // namespace rz

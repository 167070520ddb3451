// The main window's table of the yield definitions of the standards and its View menu.
#include "gui/MainWindow.h"
#include "gui/OtherDefinitionsPanel.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace rz {

void TForm1::buildOtherDefinitions()
{
    otherDefinitions_ = new OtherDefinitionsDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, otherDefinitions_);

    // View comes after File, as desktop programs order their menus.
    auto* view = new QMenu(QStringLiteral("&View"), menuBar());
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(otherDefinitions_->toggleViewAction());
    QAction* before = nullptr;
    if (const auto* options = menuBar()->findChild<QMenu*>(QStringLiteral("Options1")))
        before = options->menuAction();
    menuBar()->insertMenu(before, view);

    connect(otherDefinitions_, &OtherDefinitionsDock::drawnChanged, this,
            [this](int method, bool drawn) { guarded([&] { workbench_->setOtherDefinitionShown(method, drawn); }); });
}

QAction* TForm1::otherDefinitionsAction() const
{
    return otherDefinitions_->toggleViewAction();
}

}  // namespace rz

#include "gui/MenuShortcuts.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace rz {

MenuShortcutsFirst::MenuShortcutsFirst(QWidget* window) : QObject(window), window_(window) {}

void MenuShortcutsFirst::watchControls()
{
    for (QWidget* control : window_->findChildren<QWidget*>())
        control->installEventFilter(this);
}

bool MenuShortcutsFirst::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : window_->findChildren<QAction*>()) {
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                // Not overridden: the shortcut map goes on to the menu item.
                event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace rz

#pragma once

#include <QObject>

class QWidget;

namespace rz {

// Lets the window's menu shortcuts through every control of it. A line edit claims some
// keys for editing before shortcuts are looked up (on X11 Ctrl+E moves to the end of the
// line), and the menu item would never hear of them; the window's own shortcuts come
// first here. Installed on every control of the window, owned by the window.
class MenuShortcutsFirst : public QObject {
    Q_OBJECT
public:
    explicit MenuShortcutsFirst(QWidget* window);

    // Installs itself on every control the window holds now.
    void watchControls();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

}  // namespace rz

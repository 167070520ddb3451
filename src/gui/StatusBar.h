#pragma once

#include <QStatusBar>

class QLabel;

namespace rz {

class LinkLabel;

// The main window's status bar: 24 pixels high, a gradient without item borders,
// and three fixed-width fields from the left: the author, a welcome line and the
// web-site link. The main window installs it with QMainWindow::setStatusBar.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    QLabel* rzfldsts3 = nullptr;
    QLabel* rzfldsts1 = nullptr;
    LinkLabel* rzfldsts2 = nullptr;

    void rzfldsts2Click();
    void rzfldsts2MouseMove();
    void rzfldsts2MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace rz

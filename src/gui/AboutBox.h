#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace rz {

class LinkLabel;

// The About dialog: the program's name, version and build, its developers, how to reach
// them, the web-site and donation links and a QR code of the donation page. It is
// built afresh for every showing (showAboutBox), so it always shows its design state.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);

    QFrame* pnlContent = nullptr;
    QLabel* img1 = nullptr;
    QLabel* lbl3 = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* Version = nullptr;
    QLabel* lbl12 = nullptr;
    QLabel* lbl4 = nullptr;
    QLabel* lbl13 = nullptr;
    QLabel* lbl5 = nullptr;
    QLabel* Comments = nullptr;
    QLabel* lbl8 = nullptr;
    QLabel* lbl7 = nullptr;
    LinkLabel* lbl6 = nullptr;
    QLabel* lbl10 = nullptr;
    LinkLabel* lbl11 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* img2 = nullptr;
    QLabel* img3 = nullptr;
    LinkLabel* lbl9 = nullptr;
    QPushButton* OKButton = nullptr;
    // For bug reports: the build's date beside the version, and the libraries in use.
    QLabel* buildLine = nullptr;
    QLabel* librariesLine = nullptr;

    void OKButtonClick();
    void lbl6Click();
    void lbl6MouseMove();
    void lbl6MouseLeave();
    void lbl9Click();
    void lbl11Click();
    void lbl11MouseMove();
    void lbl11MouseLeave();
};

// Points to the About dialog while it is shown; empty otherwise.
extern TAboutBox* AboutBox;

// Builds the About dialog owned by owner, shows it modally centred on the owner and
// destroys it when it closes.
void showAboutBox(QWidget* owner);

}  // namespace rz

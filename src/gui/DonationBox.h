#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace rz {

class LinkLabel;

// The donation dialog: two payment services, each with its badge and a QR code of
// the donation page, and the donation page's address as a link. Built afresh for
// every showing (showDonationBox).
class TDonationBox : public QDialog {
    Q_OBJECT
public:
    explicit TDonationBox(QWidget* owner);

    QLabel* img2 = nullptr;
    QLabel* img4 = nullptr;
    QFrame* pnl1 = nullptr;
    QLabel* img1 = nullptr;
    QFrame* pnl2 = nullptr;
    QLabel* img3 = nullptr;
    QLabel* lbl10 = nullptr;
    LinkLabel* lbl11 = nullptr;
    QPushButton* btn1 = nullptr;

    void btn1Click();
    void lbl11Click();
    void lbl11MouseMove();
    void lbl11MouseLeave();
};

// The hint both QR pictures show when the pointer rests on them.
QString donationHint();

// Points to the donation dialog while it is shown; empty otherwise.
extern TDonationBox* DonationBox;

// Builds the donation dialog owned by owner, shows it modally centred on the owner
// and destroys it when it closes.
void showDonationBox(QWidget* owner);

}  // namespace rz

#include "gui/DonationBox.h"

#include "gui/DialogLayout.h"
#include "gui/Links.h"
#include "gui/Pictures.h"
#include "gui/QrCode.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace rz {

TDonationBox* DonationBox = nullptr;

namespace {

constexpr int kQrPanelSide = 300;

QLabel* pictureLabel(const char* name, const QPixmap& pixmap, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(pixmap);
    return label;
}

// A panel filled by a QR code of the donation page, with the donation hint.
QFrame* qrPanel(const char* panelName, const char* pictureName, int x, int y, QLabel*& picture, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(panelName));
    panel->setGeometry(x, y, kQrPanelSide, kQrPanelSide);
    picture = pictureLabel(pictureName, QPixmap::fromImage(donationQrImage(QSize(kQrPanelSide, kQrPanelSide))),
                           panel);
    placePicture(picture, 0, 0, kQrPanelSide, kQrPanelSide);
    picture->setToolTip(donationHint());
    return panel;
}

}  // namespace

QString donationHint() {
    return QStringLiteral("欢迎扫码捐助，支持 ") + siteHost() + QStringLiteral(" 继续开发这个程序！");
}

TDonationBox::TDonationBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("DonationBox"));
    setWindowTitle(QStringLiteral("Donation (捐助)"));
    setFont(tahomaFont(8, false));
    setFixedSize(651, 463);

    img2 = pictureLabel("img2", picture(Picture::PayBadge1), this);
    placePicture(img2, 81, 13, 162, 57);
    img4 = pictureLabel("img4", picture(Picture::PayBadge2), this);
    placePicture(img4, 396, 13, 177, 57);

    pnl1 = qrPanel("pnl1", "img1", 20, 80, img1, this);
    pnl2 = qrPanel("pnl2", "img3", 341, 80, img3, this);

    const QFont text9 = msSansSerifFont(9, true);
    lbl10 = new QLabel(QStringLiteral("Donation (捐助) :") + QString(4, QLatin1Char(' ')), this);
    lbl10->setObjectName(QStringLiteral("lbl10"));
    placeLabel(lbl10, 21, 389, text9, Qt::black, true, width() - 2 * 21);
    lbl11 = new LinkLabel(donationPageAddress(), this);
    lbl11->setObjectName(QStringLiteral("lbl11"));
    placeLabel(lbl11, 21, 407, text9, Qt::black, true, width() - 2 * 21);

    btn1 = new QPushButton(QStringLiteral("Close"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(288, 426, 75, 25);

    connect(btn1, &QPushButton::clicked, this, &TDonationBox::btn1Click);
    connect(lbl11, &LinkLabel::clicked, this, &TDonationBox::lbl11Click);
    connect(lbl11, &LinkLabel::pointerMoved, this, &TDonationBox::lbl11MouseMove);
    connect(lbl11, &LinkLabel::pointerLeft, this, &TDonationBox::lbl11MouseLeave);
}

void TDonationBox::btn1Click() {
    close();
}

void TDonationBox::lbl11Click() {
    openLink(donationPageUrl(), this);
}

void TDonationBox::lbl11MouseMove() {
    lbl11->showHover();
}

void TDonationBox::lbl11MouseLeave() {
    lbl11->showNormal();
}

void showDonationBox(QWidget* owner) {
    struct Showing {
        QPointer<TDonationBox> box;
        ~Showing() {
            DonationBox = nullptr;
            delete box.data();
        }
    } showing;
    showing.box = new TDonationBox(owner);
    DonationBox = showing.box;
    showing.box->exec();
}

}  // namespace rz

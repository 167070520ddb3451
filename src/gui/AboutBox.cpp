#include "gui/AboutBox.h"

#include "gui/BuildInfo.h"
#include "gui/DialogLayout.h"
#include "gui/Links.h"
#include "gui/Pictures.h"
#include "gui/QrCode.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace rz {

TAboutBox* AboutBox = nullptr;

namespace {

constexpr int kPanelRight = 744;  // text stops short of the panel's bevel

const QColor kNavy(0, 0, 128);
const QColor kPurple(128, 0, 128);

QLabel* textLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

LinkLabel* linkLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new LinkLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(msSansSerifFont(8, false));
    setFixedSize(767, 558);

    // A lowered outer and a raised inner bevel: the etched frame of a sunken box.
    pnlContent = new QFrame(this);
    pnlContent->setFrameStyle(QFrame::Box | QFrame::Sunken);
    pnlContent->setLineWidth(1);
    pnlContent->setMidLineWidth(0);
    pnlContent->setGeometry(7, 7, 754, 514);

    QWidget* p = pnlContent;
    const QFont text9 = msSansSerifFont(9, true);
    const QString host = siteHost();

    img1 = textLabel("img1", QString(), p);
    img1->setPixmap(picture(Picture::Logo));
    placePicture(img1, 23, 9, 92, 87);

    lbl3 = textLabel("lbl3", QStringLiteral("Rorevadi Zadiz ovo Rudevadiz"), p);
    placeLabel(lbl3, 138, 8, msSansSerifFont(12, true), Qt::black);
    lbl1 = textLabel("lbl1", QStringLiteral("屈服点和延性计算程序") + QString(20, QLatin1Char(' ')), p);
    placeLabel(lbl1, 138, 34, text9, Qt::black);
    Version = textLabel("Version", QStringLiteral("Published on ") + host, p);
    placeLabel(Version, 138, 61, text9, Qt::black);
    lbl12 = textLabel("lbl12", QStringLiteral("Version: ") + programVersion(), p);
    placeLabel(lbl12, 139, 82, text9, Qt::black);
    buildLine = textLabel("buildLine", QStringLiteral("Built on ") + buildDate(), p);
    placeLabel(buildLine, 330, 82, text9, Qt::black);
    lbl4 = textLabel("lbl4", QStringLiteral("Developers:") + QString(16, QLatin1Char(' ')), p);
    placeLabel(lbl4, 138, 105, text9, Qt::black);
    lbl13 = textLabel("lbl13", QStringLiteral("The Rorevadi contributors"), p);
    placeLabel(lbl13, 215, 105, text9, kNavy);
    lbl5 = textLabel("lbl5", QStringLiteral("An open-source project for structural engineers"), p);
    placeLabel(lbl5, 215, 125, text9, Qt::black);
    Comments = textLabel("Comments", QStringLiteral("E-mail : please write through the contact page of the web site"), p);
    placeLabel(Comments, 138, 147, text9, Qt::black, true, kPanelRight - 138);
    lbl8 = textLabel("lbl8", QStringLiteral("Messaging : questions and reports are answered on the web site"), p);
    placeLabel(lbl8, 138, 169, text9, Qt::black);
    lbl7 = textLabel("lbl7", QStringLiteral("Website : "), p);
    placeLabel(lbl7, 138, 190, text9, Qt::black);
    lbl6 = linkLabel("lbl6", host, p);
    placeLabel(lbl6, 200, 190, text9, Qt::black);
    lbl10 = textLabel("lbl10", QStringLiteral("Donation (捐助) :") + QString(4, QLatin1Char(' ')), p);
    placeLabel(lbl10, 138, 213, text9, Qt::black, true, kPanelRight - 138);
    lbl11 = linkLabel("lbl11", donationPageAddress(), p);
    placeLabel(lbl11, 245, 213, text9, Qt::black, true, kPanelRight - 245);
    lbl2 = textLabel("lbl2", QStringLiteral("Scan the code below with a phone to open the donation page:"), p);
    placeLabel(lbl2, 138, 235, text9, Qt::black, true, kPanelRight - 138);

    img2 = textLabel("img2", QString(), p);
    img2->setPixmap(QPixmap::fromImage(donationQrImage(QSize(170, 170))));
    placePicture(img2, 339, 257, 170, 170);
    img3 = textLabel("img3", QString(), p);
    img3->setPixmap(picture(Picture::Thanks));
    placePicture(img3, 138, 435, 246, 42);
    librariesLine = textLabel("librariesLine", rz::librariesLine(), p);
    librariesLine->setTextInteractionFlags(Qt::TextSelectableByMouse);  // copied into bug reports
    placeLabel(librariesLine, 400, 440, msSansSerifFont(8, false), Qt::darkGray, true, kPanelRight - 400);

    lbl9 = linkLabel("lbl9", QStringLiteral("感谢关注 ") + host + QStringLiteral(" !!!") + QString(8, QLatin1Char(' ')), p);
    placeLabel(lbl9, 138, 483, text9, kPurple);

    // Labels whose trailing blanks reach under a link must not catch its clicks.
    lbl6->raise();
    lbl11->raise();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(346, 527, 76, 25);
    OKButton->setDefault(true);
    OKButton->setFocus();

    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    connect(lbl6, &LinkLabel::clicked, this, &TAboutBox::lbl6Click);
    connect(lbl6, &LinkLabel::pointerMoved, this, &TAboutBox::lbl6MouseMove);
    connect(lbl6, &LinkLabel::pointerLeft, this, &TAboutBox::lbl6MouseLeave);
    connect(lbl9, &LinkLabel::clicked, this, &TAboutBox::lbl9Click);
    connect(lbl11, &LinkLabel::clicked, this, &TAboutBox::lbl11Click);
    connect(lbl11, &LinkLabel::pointerMoved, this, &TAboutBox::lbl11MouseMove);
    connect(lbl11, &LinkLabel::pointerLeft, this, &TAboutBox::lbl11MouseLeave);
}

void TAboutBox::OKButtonClick() {
    accept();
}

void TAboutBox::lbl6Click() {
    openLink(siteBareHostUrl(), this);
}

void TAboutBox::lbl6MouseMove() {
    lbl6->showHover();
}

void TAboutBox::lbl6MouseLeave() {
    lbl6->showNormal();
}

void TAboutBox::lbl9Click() {
    openLink(siteBareHostUrl(), this);
}

void TAboutBox::lbl11Click() {
    openLink(donationPageUrl(), this);
}

void TAboutBox::lbl11MouseMove() {
    lbl11->showHover();
}

void TAboutBox::lbl11MouseLeave() {
    lbl11->showNormal();
}

void showAboutBox(QWidget* owner) {
    // Clears the pointer and destroys the dialog however the showing ends. The
    // QPointer copes with the owner having destroyed the dialog meanwhile.
    struct Showing {
        QPointer<TAboutBox> box;
        ~Showing() {
            AboutBox = nullptr;
            delete box.data();
        }
    } showing;
    showing.box = new TAboutBox(owner);
    AboutBox = showing.box;
    showing.box->exec();
}

}  // namespace rz

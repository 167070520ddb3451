// The program's links: the address constants, menu items, clicks and hover looks of the
// link labels, the status bar's fields, the About and donation boxes, and the hand-over to
// the desktop when nothing else opens an address.
#include "gui/AboutBox.h"
#include "gui/DonationBox.h"
#include "gui/Links.h"
#include "gui/StatusBar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace rz;

namespace {

const QString kDonationAddress = QStringLiteral("http://www.rorevadi.example/?page_id=4813");

struct Opened {
    QString url;
    QWidget* parent;
};

struct Look {
    QColor colour;
    bool bold;
    bool underline;
};

Look lookOf(const QLabel* label) {
    return {label->palette().color(QPalette::WindowText), label->font().bold(), label->font().underline()};
}

// The window that holds one link label, shown and ready for pointer events.
struct LinkHost {
    std::unique_ptr<QWidget> window;
    QLabel* label = nullptr;
};

enum class Link { StatusBarField, AboutLbl6, AboutLbl9, AboutLbl11, DonationLbl11 };

// Takes the addresses that QDesktopServices routes to it instead of the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

LinkHost makeHost(Link link) {
    LinkHost host;
    switch (link) {
    case Link::StatusBarField: {
        auto window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QWidget);
        auto* bar = new StatusBar(window.get());
        window->setStatusBar(bar);
        window->resize(640, 200);
        host.label = bar->rzfldsts2;
        host.window = std::move(window);
        break;
    }
    case Link::AboutLbl6:
    case Link::AboutLbl9:
    case Link::AboutLbl11: {
        auto box = std::make_unique<TAboutBox>(nullptr);
        host.label = link == Link::AboutLbl6 ? box->lbl6 : link == Link::AboutLbl9 ? box->lbl9 : box->lbl11;
        host.window = std::move(box);
        break;
    }
    case Link::DonationLbl11: {
        auto box = std::make_unique<TDonationBox>(nullptr);
        host.label = box->lbl11;
        host.window = std::move(box);
        break;
    }
    }
    host.window->show();
    if (!QTest::qWaitForWindowExposed(host.window.get()))
        host.label = nullptr;
    return host;
}

// Delivers a pointer move straight to a widget. The offscreen platform routes its
// simulated cursor to the first window under it, which behind a modal dialog is
// the blocked owner.
void sendPointerMove(QWidget* widget) {
    const QPointF pos = widget->rect().center();
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Moves the pointer to a point of the window that no link covers.
void moveAway(QWidget* window) {
    QTest::mouseMove(window, QPoint(2, 2));
}

}  // namespace

Q_DECLARE_METATYPE(Link)

class AboutLinksTest : public QObject {
    Q_OBJECT

private:
    std::vector<Opened> opened_;
    UrlOpener previous_;

private slots:
    void init() {
        opened_.clear();
        previous_ = setUrlOpener([this](const QUrl& url, QWidget* parent) { opened_.push_back({url.toString(), parent}); });
    }
    void cleanup() { setUrlOpener(previous_); }

    void addressConstants_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare host") << siteBareHostUrl() << QStringLiteral("http://www.rorevadi.example");
        QTest::newRow("web site root") << webSiteUrl() << QStringLiteral("http://www.rorevadi.example");
        QTest::newRow("how to use") << howToUseUrl() << QStringLiteral("http://www.rorevadi.example/?p=2216");
        QTest::newRow("donation page") << donationPageUrl() << kDonationAddress;
    }
    void addressConstants() {
        QFETCH(QUrl, url);
        QFETCH(QString, expected);
        QVERIFY(url.isValid());
        QCOMPARE(url.toString(), expected);
        QCOMPARE(QString::fromLatin1(url.toEncoded()), expected);
        QCOMPARE(url.host(), QStringLiteral("www.rorevadi.example"));
    }

    // The menu items' helpers hand the exact address and the calling window over.
    void menuLinks() {
        QWidget window;
        openHowToUse(&window);
        openWebSite(&window);
        QCOMPARE(opened_.size(), std::size_t{2});
        QCOMPARE(opened_[0].url, QStringLiteral("http://www.rorevadi.example/?p=2216"));
        QCOMPARE(opened_[1].url, QStringLiteral("http://www.rorevadi.example"));
        QCOMPARE(opened_[0].parent, &window);
        QCOMPARE(opened_[1].parent, &window);
        QCOMPARE(visitWebSiteCaption(), QStringLiteral("访问 www.rorevadi.example"));
    }

    void linkClicks_data() {
        QTest::addColumn<Link>("link");
        QTest::addColumn<QString>("expected");
        const QString root = QStringLiteral("http://www.rorevadi.example");
        QTest::newRow("status bar rzfldsts2") << Link::StatusBarField << root;
        QTest::newRow("About lbl6") << Link::AboutLbl6 << root;
        QTest::newRow("About lbl9") << Link::AboutLbl9 << root;
        QTest::newRow("About lbl11") << Link::AboutLbl11 << kDonationAddress;
        QTest::newRow("Donation lbl11") << Link::DonationLbl11 << kDonationAddress;
    }
    void linkClicks() {
        QFETCH(Link, link);
        QFETCH(QString, expected);
        LinkHost host = makeHost(link);
        QVERIFY(host.label);
        // A press that ends outside the label is no click.
        QTest::mousePress(host.label, Qt::LeftButton);
        QTest::mouseRelease(host.label, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(host.label, Qt::RightButton);
        QVERIFY(opened_.empty());
        QTest::mouseClick(host.label, Qt::LeftButton);
        QCOMPARE(opened_.size(), std::size_t{1});
        QCOMPARE(opened_[0].url, expected);
        QCOMPARE(opened_[0].parent, host.window.get());
    }

    void hoverEffect_data() {
        QTest::addColumn<Link>("link");
        QTest::newRow("status bar rzfldsts2") << Link::StatusBarField;
        QTest::newRow("About lbl6") << Link::AboutLbl6;
        QTest::newRow("About lbl11") << Link::AboutLbl11;
        QTest::newRow("Donation lbl11") << Link::DonationLbl11;
    }
    void hoverEffect() {
        QFETCH(Link, link);
        LinkHost host = makeHost(link);
        QVERIFY(host.label);
        const QColor blue(0, 0, 255);

        Look look = lookOf(host.label);
        QCOMPARE(look.colour, QColor(Qt::black));
        QVERIFY(look.bold);
        QVERIFY(!look.underline);

        QTest::mouseMove(host.label, host.label->rect().center());
        look = lookOf(host.label);
        QCOMPARE(look.colour, blue);
        QVERIFY(look.bold);
        QVERIFY(look.underline);

        // Clicking does not end the hover while the pointer stays on the label.
        QTest::mouseClick(host.label, Qt::LeftButton);
        QTest::mouseMove(host.label, host.label->rect().center() + QPoint(1, 0));
        look = lookOf(host.label);
        QCOMPARE(look.colour, blue);
        QVERIFY(look.underline);

        moveAway(host.window.get());
        look = lookOf(host.label);
        QCOMPARE(look.colour, QColor(Qt::black));
        QVERIFY(look.bold);
        QVERIFY(!look.underline);
    }

    void lbl9KeepsPurpleWithoutHover() {
        LinkHost host = makeHost(Link::AboutLbl9);
        QVERIFY(host.label);
        const QColor purple(128, 0, 128);
        QCOMPARE(lookOf(host.label).colour, purple);
        QTest::mouseMove(host.label, host.label->rect().center());
        QCOMPARE(lookOf(host.label).colour, purple);
        QVERIFY(!lookOf(host.label).underline);
        moveAway(host.window.get());
        QCOMPARE(lookOf(host.label).colour, purple);
        QCOMPARE(host.label->text(), QStringLiteral("感谢关注 www.rorevadi.example !!!        "));
    }

    void statusBarFields() {
        QMainWindow window;
        auto* bar = new StatusBar(&window);
        window.setStatusBar(bar);
        window.resize(640, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(bar->height(), 24);
        QCOMPARE(bar->geometry().bottom(), window.rect().bottom());

        const QLabel* fields[] = {bar->rzfldsts3, bar->rzfldsts1, bar->rzfldsts2};
        const QString texts[] = {QStringLiteral("  Quillon博士 "), QStringLiteral("  Welcome to my Website :      "),
                                 QStringLiteral(" www.rorevadi.example       ")};
        int expectedLeft = fields[0]->mapTo(bar, QPoint(0, 0)).x();
        QVERIFY(expectedLeft <= 4);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(fields[i]->text(), texts[i]);
            QCOMPARE(fields[i]->mapTo(bar, QPoint(0, 0)).x(), expectedLeft);
            QVERIFY(fields[i]->font().bold());
            QVERIFY(fields[i]->isVisible());
            expectedLeft += fields[i]->width();
        }
        QCOMPARE(fields[0]->width(), 89);
        QCOMPARE(fields[1]->width(), 167);
        // The link field is 111 wide unless the host name needs more.
        const QLabel* link = fields[2];
        const int hostWidth = link->fontMetrics().horizontalAdvance(QStringLiteral(" www.rorevadi.example"));
        const int room = link->contentsRect().width() - 2 * link->margin();
        QVERIFY(link->width() >= 111);
        QVERIFY(room >= hostWidth);
        QVERIFY(link->width() == 111 || room <= hostWidth + 4);
    }

    // Each showing builds the dialog afresh: a hover left behind by the last one is
    // gone, the pointer names the dialog only while it is shown, and the dialog is
    // destroyed when it closes.
    void aboutBoxShownFreshEachTime() {
        QWidget owner;
        owner.setGeometry(10, 10, 780, 580);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        struct Seen {
            QPointer<TAboutBox> box;
            bool modal = false;
            QWidget* parent = nullptr;
            QPoint centreOffset;
            QSize size;
            Look lbl6Before{}, lbl11Before{};
            Look lbl11Hovered{};
        };
        std::vector<Seen> seen;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, &owner, [&] {
                Seen s;
                s.box = AboutBox;
                if (TAboutBox* box = AboutBox) {
                    s.modal = box->isModal() && box->isVisible();
                    s.parent = box->parentWidget();
                    s.centreOffset = box->frameGeometry().center() - owner.frameGeometry().center();
                    s.size = box->size();
                    s.lbl6Before = lookOf(box->lbl6);
                    s.lbl11Before = lookOf(box->lbl11);
                    sendPointerMove(box->lbl6);
                    sendPointerMove(box->lbl11);
                    s.lbl11Hovered = lookOf(box->lbl11);
                    box->OKButton->click();
                }
                seen.push_back(s);
            });
            showAboutBox(&owner);
            QCOMPARE(AboutBox, nullptr);
        }
        QCOMPARE(seen.size(), std::size_t{2});
        for (const Seen& s : seen) {
            QVERIFY(s.box.isNull());  // destroyed after closing
            QVERIFY(s.modal);
            QCOMPARE(s.parent, &owner);
            QVERIFY(s.centreOffset.manhattanLength() <= 2);
            QCOMPARE(s.size, QSize(767, 558));
            QCOMPARE(s.lbl6Before.colour, QColor(Qt::black));
            QVERIFY(!s.lbl6Before.underline);
            QCOMPARE(s.lbl11Before.colour, QColor(Qt::black));
            QVERIFY(!s.lbl11Before.underline);
            QCOMPARE(s.lbl11Hovered.colour, QColor(0, 0, 255));
        }
    }

    void aboutBoxEnterPressesOk() {
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        bool pressed = false;
        QTimer::singleShot(0, &owner, [&] {
            if (TAboutBox* box = AboutBox) {
                pressed = box->OKButton->isDefault();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        // Should Enter fail to close it, a later timer does, so the test ends.
        QTimer::singleShot(3000, &owner, [&] {
            pressed = false;
            if (AboutBox)
                AboutBox->reject();
        });
        showAboutBox(&owner);
        QVERIFY(pressed);
    }

    void donationBoxShownFreshEachTime() {
        QWidget owner;
        owner.setGeometry(50, 50, 700, 500);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        std::vector<QPointer<TDonationBox>> boxes;
        std::vector<Look> before;
        std::vector<Look> hovered;
        std::vector<QString> titles;
        std::vector<Qt::WindowFlags> flags;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, &owner, [&] {
                TDonationBox* box = DonationBox;
                boxes.emplace_back(box);
                if (!box)
                    return;
                before.push_back(lookOf(box->lbl11));
                titles.push_back(box->windowTitle());
                flags.push_back(box->windowFlags());
                sendPointerMove(box->lbl11);
                hovered.push_back(lookOf(box->lbl11));
                box->btn1->click();
            });
            showDonationBox(&owner);
            QCOMPARE(DonationBox, nullptr);
        }
        QCOMPARE(boxes.size(), std::size_t{2});
        QCOMPARE(before.size(), std::size_t{2});
        for (std::size_t i = 0; i < 2; ++i) {
            QVERIFY(boxes[i].isNull());
            QCOMPARE(before[i].colour, QColor(Qt::black));
            QVERIFY(!before[i].underline);
            QCOMPARE(hovered[i].colour, QColor(0, 0, 255));
            QCOMPARE(titles[i], QStringLiteral("Donation (捐助)"));
            QVERIFY(flags[i].testFlag(Qt::WindowCloseButtonHint));
            QVERIFY(!flags[i].testFlag(Qt::WindowMinimizeButtonHint));
            QVERIFY(!flags[i].testFlag(Qt::WindowMaximizeButtonHint));
        }
    }

    void donationPicturesShareTheHint() {
        TDonationBox box(nullptr);
        QCOMPARE(box.size(), QSize(651, 463));
        const QString hint = box.img1->toolTip();
        QCOMPARE(box.img3->toolTip(), hint);
        QVERIFY(hint.contains(QStringLiteral("www.rorevadi.example")));
        QVERIFY(hint.contains(QStringLiteral("捐助")));
        QCOMPARE(box.img1->geometry(), box.pnl1->rect());
        QCOMPARE(box.img3->geometry(), box.pnl2->rect());
        for (const QLabel* badge : {box.img2, box.img4})
            QVERIFY(!badge->pixmap().isNull());
    }

    // With no handler the offscreen desktop cannot open anything: nothing is shown.
    void defaultOpenerHandsOverAndFailsSilently() {
        setUrlOpener({});
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        openWebSite(nullptr);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0].toString(), QStringLiteral("http://www.rorevadi.example"));

        const int before = static_cast<int>(QApplication::topLevelWidgets().size());
        openHowToUse(nullptr);
        QCoreApplication::processEvents();
        QCOMPARE(static_cast<int>(QApplication::topLevelWidgets().size()), before);
        QVERIFY(opened_.empty());
    }
};

int main(int argc, char** argv) {
    // Never start a real browser, even when run by hand on a desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AboutLinksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_about_links.moc"

#include "gui/AboutBox.h"
#include "gui/DonationBox.h"
#include "gui/Links.h"
#include "gui/QrCode.h"
#include "gui/StatusBar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <qrencode.h>

#include <functional>
#include <memory>
#include <optional>

using namespace rz;

namespace {

const QString kDonationAddress = QStringLiteral("http://www.rorevadi.example/?page_id=4813");

struct Opened {
    QString url;
    QWidget* parent;
};

// Reads a QR code image back into modules without being told its geometry: the
// symbol is the bounding box of the dark pixels, and the top-left finder's top edge
// is seven modules wide.
QrModules readModules(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (dark(x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return {};
    int finderRun = 0;
    while (left + finderRun <= right && dark(left + finderRun, top))
        ++finderRun;
    const double module = finderRun / 7.0;
    const int size = static_cast<int>(std::lround((right - left + 1) / module));
    QrModules modules;
    modules.size = size;
    modules.dark.resize(static_cast<std::size_t>(size * size));
    const double step = (right - left + 1) / static_cast<double>(size);
    for (int my = 0; my < size; ++my)
        for (int mx = 0; mx < size; ++mx)
            modules.dark[static_cast<std::size_t>(my * size + mx)] =
                dark(left + static_cast<int>((mx + 0.5) * step), top + static_cast<int>((my + 0.5) * step));
    return modules;
}

// A small QR decoder for versions 1 to 6 in byte mode: format information, unmasking,
// the zigzag codeword order and block de-interleaving, after ISO/IEC 18004. Error
// correction codewords are not used: the symbol is read from a clean image.
std::optional<QByteArray> decodeQr(const QrModules& m) {
    const int size = m.size;
    const int version = (size - 17) / 4;
    if (version < 1 || version > 6 || size != 17 + 4 * version)
        return std::nullopt;

    int bits = 0;
    for (int i = 0; i <= 5; ++i)
        bits |= m.isDark(8, i) << i;
    bits |= m.isDark(8, 7) << 6;
    bits |= m.isDark(8, 8) << 7;
    bits |= m.isDark(7, 8) << 8;
    for (int i = 9; i < 15; ++i)
        bits |= m.isDark(14 - i, 8) << i;
    bits ^= 0x5412;
    const int format = bits >> 10;
    int rem = format;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    if (((format << 10) | rem) != bits)
        return std::nullopt;
    const int levelBits = format >> 3;  // L=1, M=0, Q=3, H=2
    const int mask = format & 7;
    static constexpr int levelRow[4] = {1, 0, 3, 2};
    static constexpr int eccPerBlock[4][7] = {
        {0, 7, 10, 15, 20, 26, 18}, {0, 10, 16, 26, 18, 24, 16}, {0, 13, 22, 18, 26, 18, 24}, {0, 17, 28, 22, 16, 22, 28}};
    static constexpr int blockCount[4][7] = {
        {0, 1, 1, 1, 1, 1, 2}, {0, 1, 1, 1, 2, 2, 4}, {0, 1, 1, 2, 2, 4, 4}, {0, 1, 1, 2, 4, 4, 4}};
    const int level = levelRow[levelBits];

    auto isFunction = [&](int x, int y) {
        if (x == 6 || y == 6)
            return true;
        if ((x < 9 && y < 9) || (x >= size - 8 && y < 9) || (x < 9 && y >= size - 8))
            return true;
        return version >= 2 && std::abs(x - (size - 7)) <= 2 && std::abs(y - (size - 7)) <= 2;
    };
    auto masked = [&](int x, int y) {
        switch (mask) {
        case 0: return (x + y) % 2 == 0;
        case 1: return y % 2 == 0;
        case 2: return x % 3 == 0;
        case 3: return (x + y) % 3 == 0;
        case 4: return (x / 3 + y / 2) % 2 == 0;
        case 5: return x * y % 2 + x * y % 3 == 0;
        case 6: return (x * y % 2 + x * y % 3) % 2 == 0;
        default: return ((x + y) % 2 + x * y % 3) % 2 == 0;
        }
    };

    std::vector<bool> stream;
    for (int right = size - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < size; ++vert)
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                const int y = upward ? size - 1 - vert : vert;
                if (!isFunction(x, y))
                    stream.push_back(m.isDark(x, y) != masked(x, y));
            }
    }
    const int total = static_cast<int>(stream.size()) / 8;
    QByteArray codewords(total, '\0');
    for (int i = 0; i < total * 8; ++i)
        if (stream[static_cast<std::size_t>(i)])
            codewords[i / 8] = static_cast<char>(codewords[i / 8] | (0x80 >> (i % 8)));

    const int blocks = blockCount[level][version];
    const int shortBlocks = blocks - total % blocks;
    const int shortData = total / blocks - eccPerBlock[level][version];
    std::vector<QByteArray> data(static_cast<std::size_t>(blocks));
    int next = 0;
    for (int i = 0; i < shortData; ++i)
        for (auto& block : data)
            block.append(codewords[next++]);
    for (int b = shortBlocks; b < blocks; ++b)
        data[static_cast<std::size_t>(b)].append(codewords[next++]);
    QByteArray payload;
    for (const auto& block : data)
        payload += block;

    auto bitAt = [&](int i) { return (static_cast<unsigned char>(payload[i / 8]) >> (7 - i % 8)) & 1; };
    auto read = [&](int& pos, int count) {
        int value = 0;
        for (int i = 0; i < count; ++i)
            value = (value << 1) | bitAt(pos++);
        return value;
    };
    int pos = 0;
    if (read(pos, 4) != 0b0100)  // byte mode only
        return std::nullopt;
    const int length = read(pos, 8);
    if (pos + 8 * length > payload.size() * 8)
        return std::nullopt;
    QByteArray text;
    for (int i = 0; i < length; ++i)
        text.append(static_cast<char>(read(pos, 8)));
    return text;
}

// libqrencode's own symbol for the text, independently of the program's wrapper.
QrModules referenceModules(const QByteArray& text) {
    QRcode* code = QRcode_encodeData(static_cast<int>(text.size()),
                                     reinterpret_cast<const unsigned char*>(text.constData()), 0, QR_ECLEVEL_M);
    QrModules modules;
    if (!code)
        return modules;
    modules.size = code->width;
    for (int i = 0; i < code->width * code->width; ++i)
        modules.dark.push_back((code->data[i] & 1) != 0);
    QRcode_free(code);
    return modules;
}

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

    // Every QR picture on screen decodes to the donation page's address and is the
    // very symbol libqrencode makes for that text.
    void qrCodesDecodeToDonationAddress() {
        TAboutBox about(nullptr);
        TDonationBox donation(nullptr);
        const QrModules reference = referenceModules(kDonationAddress.toUtf8());
        QVERIFY(reference.size > 0);
        const std::pair<const char*, const QLabel*> pictures[] = {
            {"About img2", about.img2}, {"Donation img1", donation.img1}, {"Donation img3", donation.img3}};
        for (const auto& [name, label] : pictures) {
            const QImage image = label->pixmap().toImage();
            QVERIFY2(!image.isNull(), name);
            QCOMPARE(image.size(), label->size());
            const QrModules modules = readModules(image);
            QVERIFY2(modules.size > 0, name);
            // Scanners need a blank margin of four modules all round.
            const double module = image.width() / static_cast<double>(modules.size + 2 * 4);
            const int margin = static_cast<int>(4 * module) - 1;
            const QRect symbol = image.rect().adjusted(margin, margin, -margin, -margin);
            bool marginBlank = true;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (!symbol.contains(x, y) && qGray(image.pixel(x, y)) < 128)
                        marginBlank = false;
            QVERIFY2(marginBlank, name);
            const std::optional<QByteArray> text = decodeQr(modules);
            QVERIFY2(text.has_value(), name);
            QCOMPARE(QString::fromUtf8(*text), kDonationAddress);
            QVERIFY2(modules == reference, name);
        }
    }

    // The decoder is checked on texts of several lengths (versions 1 to 4), so a
    // passing QR test is not an accident of one symbol.
    void qrRoundTrip_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("short") << QByteArray("rz");
        QTest::newRow("how-to address") << QByteArray("http://www.rorevadi.example/?p=2216");
        QTest::newRow("host") << QByteArray("www.rorevadi.example");
        QTest::newRow("UTF-8") << QStringLiteral("访问 www.rorevadi.example").toUtf8();
        QTest::newRow("long") << QByteArray(60, 'x');
    }
    void qrRoundTrip() {
        QFETCH(QByteArray, text);
        const QrModules modules = encodeQr(text);
        QVERIFY(modules.size >= 21);
        for (const QSize size : {QSize(170, 170), QSize(300, 300), QSize(401, 401)}) {
            const QrModules read = readModules(renderQr(modules, size));
            QVERIFY(read == modules);
            QCOMPARE(decodeQr(read).value_or(QByteArray("<undecodable>")), text);
        }
        QCOMPARE(encodeQr(QByteArray()).size, 0);
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

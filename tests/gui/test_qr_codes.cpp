// The QR pictures of the About and donation boxes: each decodes, read back from its pixels
// by a decoder of the test's own, to the donation page's address, and is the symbol
// libqrencode itself makes for that text.
#include "gui/AboutBox.h"
#include "gui/DonationBox.h"
#include "gui/QrCode.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

#include <qrencode.h>

#include <optional>

using namespace rz;

namespace {

const QString kDonationAddress = QStringLiteral("http://www.rorevadi.example/?page_id=4813");

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

}  // namespace

class QrCodeTest : public QObject {
    Q_OBJECT

private slots:
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
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QrCodeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_qr_codes.moc"

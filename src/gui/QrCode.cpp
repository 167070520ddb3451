#include "gui/QrCode.h"

#include "gui/Links.h"

#include <qrencode.h>

#include <memory>

namespace rz {

QrModules encodeQr(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.constData()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        return {};
    QrModules modules;
    modules.size = code->width;
    const auto count = static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    modules.dark.resize(count);
    // Bit 0 of each byte is the module's colour; the other bits only say which
    // pattern the module belongs to.
    for (std::size_t i = 0; i < count; ++i)
        modules.dark[i] = (code->data[i] & 1U) != 0;
    return modules;
}

QImage renderQr(const QrModules& modules, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (modules.size <= 0 || size.isEmpty())
        return image;
    const int span = modules.size + 2 * kQrQuietZone;
    const QRgb black = qRgb(0, 0, 0);
    for (int py = 0; py < size.height(); ++py) {
        const int my = py * span / size.height() - kQrQuietZone;
        if (my < 0 || my >= modules.size)
            continue;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = 0; px < size.width(); ++px) {
            const int mx = px * span / size.width() - kQrQuietZone;
            if (mx >= 0 && mx < modules.size && modules.isDark(mx, my))
                line[px] = black;
        }
    }
    return image;
}

QImage donationQrImage(QSize size) {
    return renderQr(encodeQr(donationPageAddress().toUtf8()), size);
}

}  // namespace rz

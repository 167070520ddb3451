#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <vector>

namespace rz {

// The modules of a QR code symbol, row by row, without the quiet zone.
struct QrModules {
    int size = 0;
    std::vector<bool> dark;

    bool isDark(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)]; }
    bool operator==(const QrModules&) const = default;
};

// Number of blank modules around the symbol that scanners need to find it.
inline constexpr int kQrQuietZone = 4;

// Encodes bytes (the text's UTF-8) in byte mode with medium error correction, in the
// smallest version that holds them. Returns an empty matrix when the data does not
// fit any version.
QrModules encodeQr(const QByteArray& data);

// Draws the symbol with its quiet zone, black on white, filling an image of the
// given size. Each pixel takes the colour of the module under it, so modules keep
// sharp edges even when the size is not a multiple of the module count.
QImage renderQr(const QrModules& modules, QSize size);

// The donation page's address as a QR code image of the given size.
QImage donationQrImage(QSize size);

}  // namespace rz

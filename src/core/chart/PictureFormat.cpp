#include "core/chart/PictureFormat.h"

namespace rz {

std::optional<PictureFormat> pictureFormatFromPath(const QString& path)
{
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".bmp")))
        return PictureFormat::Bmp;
    if (lower.endsWith(QLatin1String(".png")))
        return PictureFormat::Png;
    if (lower.endsWith(QLatin1String(".pdf")))
        return PictureFormat::Pdf;
    if (lower.endsWith(QLatin1String(".svg")))
        return PictureFormat::Svg;
    return std::nullopt;
}

PictureFormat pictureFormatChosen(const QString& path, const QString& filter)
{
    if (const auto typed = pictureFormatFromPath(path))
        return *typed;
    if (filter.contains(QLatin1String("*.png")))
        return PictureFormat::Png;
    if (filter.contains(QLatin1String("*.pdf")))
        return PictureFormat::Pdf;
    if (filter.contains(QLatin1String("*.svg")))
        return PictureFormat::Svg;
    return PictureFormat::Bmp;
}

QString pictureFormatExtension(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return QStringLiteral("bmp");
    case PictureFormat::Png:
        return QStringLiteral("png");
    case PictureFormat::Pdf:
        return QStringLiteral("pdf");
    case PictureFormat::Svg:
        return QStringLiteral("svg");
    }
    return QStringLiteral("bmp");
}

}  // namespace rz

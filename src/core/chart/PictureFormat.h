#pragma once

#include <QString>
#include <optional>

// The picture files the chart is saved as, named by their extension. Kept apart from the
// drawing itself so that the batch tool can read its options without the drawing libraries.
namespace rz {

enum class PictureFormat { Bmp, Png, Pdf, Svg };

// The format a picture path asks for by its extension, if it names one we write.
std::optional<PictureFormat> pictureFormatFromPath(const QString& path);
QString pictureFormatExtension(PictureFormat format);
// The format of a save dialog's answer: the typed extension, else the chosen filter's
// ("PNG images (*.png)"), else BMP.
PictureFormat pictureFormatChosen(const QString& path, const QString& filter);

}  // namespace rz

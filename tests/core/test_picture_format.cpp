// Which picture a path or a save dialog's answer asks for.
#include "core/chart/PictureFormat.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

TEST(PictureFormat, ExtensionsInAnyCaseAndTheDialogsFilterWhenNoneIsTyped)
{
    struct Case {
        const char* path;
        std::optional<PictureFormat> format;
    };
    const Case cases[] = {
        {"chart.png", PictureFormat::Png},
        {"CHART.PNG", PictureFormat::Png},
        {"a/b.c/chart.Svg", PictureFormat::Svg},
        {"chart.pdf", PictureFormat::Pdf},
        {"chart.bmp", PictureFormat::Bmp},
        {"chart", std::nullopt},
        {"chart.png.txt", std::nullopt},
        {"png", std::nullopt},
        {"chart.jpeg", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pictureFormatFromPath(QString::fromUtf8(c.path)), c.format) << c.path;
        // An extension written back is one the path reads again.
        if (c.format) {
            EXPECT_EQ(pictureFormatFromPath(QStringLiteral("x.") + pictureFormatExtension(*c.format)), c.format);
        }
    }

    const QString png = QStringLiteral("PNG images (*.png)");
    EXPECT_EQ(pictureFormatChosen(QStringLiteral("chart.svg"), png), PictureFormat::Svg);  // typed wins
    EXPECT_EQ(pictureFormatChosen(QStringLiteral("chart"), png), PictureFormat::Png);
    EXPECT_EQ(pictureFormatChosen(QStringLiteral("chart"), QStringLiteral("PDF (*.pdf)")), PictureFormat::Pdf);
    EXPECT_EQ(pictureFormatChosen(QStringLiteral("chart"), QStringLiteral("SVG (*.svg)")), PictureFormat::Svg);
    EXPECT_EQ(pictureFormatChosen(QStringLiteral("chart"), QString()), PictureFormat::Bmp);
}

}  // namespace
}  // namespace rz

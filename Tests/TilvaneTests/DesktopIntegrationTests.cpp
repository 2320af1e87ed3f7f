#include "Tilvane/Services/ResourceBundle.hpp"
#include "Tilvane/Services/SampleImage.hpp"

#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

namespace tilvane::testing {
namespace {

const QString resources = QStringLiteral(TILVANE_TEST_APP_DIR "/Resources");

TEST(DesktopIntegration, DesktopFileStartsTilvaneWithTheImagesItReads)
{
    QFile file(resources + QStringLiteral("/tilvane.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.first(), QStringLiteral("[Desktop Entry]"));
    for (const char* line : {"Type=Application", "Name=Tilvane", "Exec=tilvane %F", "Icon=tilvane", "Terminal=false"}) {
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line;
    }
    const auto types = std::find_if(lines.begin(), lines.end(),
                                    [](const QString& line) { return line.startsWith(QStringLiteral("MimeType=")); });
    ASSERT_NE(types, lines.end());
    for (const char* type : {"image/png;", "image/jpeg;", "image/gif;", "image/webp;", "image/tiff;", "image/heif;"}) {
        EXPECT_TRUE(types->contains(QLatin1String(type))) << type;
    }
}

TEST(DesktopIntegration, IconsAreTheBrandIconEnlargedWithoutSmoothing)
{
    const QImage brand(QStringLiteral(
        TILVANE_TEST_APP_DIR "/Resources/VemiTerminal_VemiTerminal.bundle/tilvane-icon-transparent-small.png"));
    ASSERT_FALSE(brand.isNull());
    QSet<QRgb> brandColours{qRgba(0, 0, 0, 0)};
    for (int y = 0; y < brand.height(); ++y) {
        for (int x = 0; x < brand.width(); ++x) brandColours.insert(brand.pixel(x, y));
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(resources + QStringLiteral("/icons/hicolor/%1x%1/apps/tilvane.png").arg(size));
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        const QImage pixels = icon.convertToFormat(QImage::Format_ARGB32);
        int foreign = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = pixels.pixel(x, y);
                if (qAlpha(pixel) != 0 && !brandColours.contains(pixel)) ++foreign;
            }
        }
        EXPECT_EQ(foreign, 0) << size << ": every pixel is one of the brand icon's own";
    }
}

TEST(DesktopIntegration, SamplePictureIsTheBundlesOwnAndSmall)
{
    const auto file = ResourceBundle::resources() / "Resources" / "TilvaneSample.png";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_LE(std::filesystem::file_size(file), 300u * 1024);
    const ImagePointer sample = SampleImage::make();
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->width(), 800);
    EXPECT_EQ(sample->height(), 560);
    EXPECT_EQ(SampleImage::make(ResourceBundle::resources() / "missing"), nullptr);
}

}  // namespace
}  // namespace tilvane::testing

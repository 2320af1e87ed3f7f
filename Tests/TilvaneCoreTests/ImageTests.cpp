#include "TilvaneCore/Image.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;

TEST(Image, RefusesSizesThatDoNotMatchThePixels)
{
    EXPECT_EQ(Image::make(2, 2, std::vector<std::uint8_t>(15)), nullptr);
    EXPECT_EQ(Image::make(0, 2, {}), nullptr);
    EXPECT_EQ(Image::make(-1, -1, std::vector<std::uint8_t>(4)), nullptr);
    EXPECT_NE(Image::make(2, 2, std::vector<std::uint8_t>(16)), nullptr);
}

TEST(Image, ByteCountRefusesOverflow)
{
    const int largest = std::numeric_limits<int>::max();
    EXPECT_EQ(Image::byteCount(3, 5), 60u);
    EXPECT_FALSE(Image::byteCount(largest, largest).has_value());
    EXPECT_EQ(Image::byteCount(largest, 1), std::size_t(largest) * 4);
    EXPECT_FALSE(Image::byteCount(0, 1).has_value());
}

TEST(Image, RowZeroIsTheFirstRowOfBytes)
{
    std::vector<std::uint8_t> pixels(2 * 3 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i);
    const auto image = Image::make(2, 3, pixels);
    EXPECT_EQ(image->bytesPerRow(), 8u);
    EXPECT_EQ(image->pixel(0, 0)[0], 0);
    EXPECT_EQ(image->pixel(1, 2)[0], 20);
}

TEST(Image, PremultipliesStraightAlphaOnceAndKeepsPremultipliedImages)
{
    const auto straight = Image::make(1, 1, {200, 100, 255, 128}, AlphaMode::straight);
    const auto converted = straight->premultiplied();
    EXPECT_EQ(converted->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(converted->pixel(0, 0)[0], 100);  // (200 × 128 + 127) div 255
    EXPECT_EQ(converted->pixel(0, 0)[1], 50);
    EXPECT_EQ(converted->pixel(0, 0)[2], 128);
    EXPECT_EQ(converted->pixel(0, 0)[3], 128);
    EXPECT_EQ(converted->premultiplied(), converted);
}

TEST(Image, UnpremultiplyRoundsAndClamps)
{
    EXPECT_EQ(unpremultiply(100, 128), 199);  // (100 × 255 + 64) div 128
    EXPECT_EQ(unpremultiply(200, 100), 255);  // would be 510
    EXPECT_EQ(unpremultiply(255, 255), 255);
}

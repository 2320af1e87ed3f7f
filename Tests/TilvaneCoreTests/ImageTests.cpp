#include "TilvaneCore/Image.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;

TEST(Image, RefusesSizesThatDoNotMatchThePixelsOrOverflowAndPremultipliesOnce)
{
    EXPECT_EQ(std::tuple(Image::make(2, 2, std::vector<std::uint8_t>(15)), Image::make(0, 2, {}),
                         Image::make(-1, -1, std::vector<std::uint8_t>(4))),
              std::tuple(nullptr, nullptr, nullptr));
    const int largest = std::numeric_limits<int>::max();
    EXPECT_EQ(std::tuple(Image::byteCount(largest, largest), Image::byteCount(largest, 1), Image::byteCount(0, 1)),
              std::tuple(std::nullopt, std::optional(std::size_t(largest) * 4), std::nullopt));
    const auto converted = Image::make(1, 1, {200, 100, 255, 128}, AlphaMode::straight)->premultiplied();
    EXPECT_EQ(converted->alphaMode(), AlphaMode::premultiplied);
    EXPECT_EQ(std::vector<int>(converted->pixel(0, 0), converted->pixel(0, 0) + 4),
              (std::vector<int>{100, 50, 128, 128}));
    EXPECT_EQ(converted->premultiplied(), converted);
    EXPECT_EQ(unpremultiply(100, 128), 199);  // (100 × 255 + 64) div 128
    EXPECT_EQ(unpremultiply(200, 100), 255);  // would be 510
}

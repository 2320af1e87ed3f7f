#include "TestCard.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tilvane::testing {
namespace {

using Color = std::array<std::uint8_t, 3>;

constexpr std::array<Color, 8> bars = {{
    {255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
    {255, 0, 255}, {255, 0, 0}, {0, 0, 255}, {0, 0, 0},
}};

constexpr std::array<Color, 6> pixelArt = {{
    {15, 56, 15}, {48, 98, 48}, {139, 172, 15}, {155, 188, 15}, {230, 90, 40}, {40, 60, 200},
}};

std::uint8_t ramp(int x, int width)
{
    return static_cast<std::uint8_t>(std::lround(255.0 * x / std::max(1, width - 1)));
}

Color cardColor(int x, int y, int width, int height)
{
    const int barsEnd = height * 2 / 5;
    const int rampsEnd = height * 13 / 20;
    const int linesEnd = height * 17 / 20;
    if (y < barsEnd) {
        return bars[static_cast<std::size_t>(x * 8 / width)];
    }
    if (y < rampsEnd) {
        const int strip = (y - barsEnd) * 4 / (rampsEnd - barsEnd);
        const std::uint8_t v = ramp(x, width);
        const std::array<Color, 4> ramps = {{{v, v, v}, {v, 0, 0}, {0, v, 0}, {0, 0, v}}};
        return ramps[static_cast<std::size_t>(strip)];
    }
    if (y < linesEnd) {
        const int segment = x * 6 / width;
        const int lineWidth = 1 << (segment % 3);
        const bool horizontal = segment < 3;
        const bool on = ((horizontal ? y : x) / lineWidth) % 2 == 0;
        return on ? Color{240, 240, 240} : Color{16, 16, 16};
    }
    const int block = std::max(4, width / 48);
    const std::size_t index = static_cast<std::size_t>((x / block) * 7 + (y / block) * 3) % pixelArt.size();
    return pixelArt[index];
}

std::uint8_t cornerAlpha(int x, int y, int width, int height)
{
    const int side = height / 4;
    const int dx = width - 1 - x;
    if (dx >= side || y >= side) {
        return 255;
    }
    const double reach = std::hypot(static_cast<double>(dx), static_cast<double>(y)) / side;
    return static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(reach, 0.0, 1.0)));
}

}  // namespace

ImagePointer makeTestCard(int width)
{
    const int height = width * 3 / 4;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color color = cardColor(x, y, width, height);
            const std::uint8_t alpha = cornerAlpha(x, y, width, height);
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                           static_cast<std::size_t>(x)) * 4];
            for (std::size_t c = 0; c < 3; ++c) {
                pixel[c] = premultiply(color[c], alpha);
            }
            pixel[3] = alpha;
        }
    }
    return Image::make(width, height, std::move(pixels));
}

}  // namespace tilvane::testing

#include "TestCard.hpp"

#include <cmath>


namespace tilvane::testing {
namespace {

using Color = std::array<std::uint8_t, 3>;

constexpr std::array<Color, 8> bars = {
    {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0}, {255, 0, 255}, {255, 0, 0}, {0, 0, 255}, {0, 0, 0}}};
constexpr std::array<Color, 6> pixelArt = {
    {{15, 56, 15}, {48, 98, 48}, {139, 172, 15}, {155, 188, 15}, {230, 90, 40}, {40, 60, 200}}};

// From the top: colour bars, grey/red/green/blue ramps, one-, two- and four-pixel lines
// (horizontal on the left, vertical on the right), blocky pixel art.
Color cardColor(int x, int y, int width, int height)
{
    const int barsEnd = height * 2 / 5;
    const int rampsEnd = height * 13 / 20;
    if (y < barsEnd) return bars[static_cast<std::size_t>(x * 8 / width)];
    if (y < rampsEnd) {
        const auto v = static_cast<std::uint8_t>(std::lround(255.0 * x / std::max(1, width - 1)));
        const std::array<Color, 4> ramps = {{{v, v, v}, {v, 0, 0}, {0, v, 0}, {0, 0, v}}};
        return ramps[static_cast<std::size_t>((y - barsEnd) * 4 / (rampsEnd - barsEnd))];
    }
    if (y < height * 17 / 20) {
        const int segment = x * 6 / width;
        const bool on = ((segment < 3 ? y : x) >> (segment % 3)) % 2 == 0;
        return on ? Color{240, 240, 240} : Color{16, 16, 16};
    }
    const int block = std::max(4, width / 48);
    return pixelArt[static_cast<std::size_t>((x / block) * 7 + (y / block) * 3) % pixelArt.size()];
}

// Opaque but for the top-right corner, which fades to transparent.
std::uint8_t cornerAlpha(int x, int y, int width, int height)
{
    const int side = height / 4;
    const int dx = width - 1 - x;
    if (dx >= side || y >= side) return 255;
    const double reach = std::hypot(static_cast<double>(dx), static_cast<double>(y)) / side;
    return static_cast<std::uint8_t>(std::lround(255.0 * std::clamp(reach, 0.0, 1.0)));
}

}  // namespace

ImagePointer makePicture(int width, int height, const std::function<Pixel(int x, int y)>& pixel, AlphaMode mode)
{
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Pixel straight = pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                bytes.push_back(mode == AlphaMode::premultiplied ? premultiply(straight[c], straight[3]) : straight[c]);
            }
            bytes.push_back(straight[3]);
        }
    }
    return Image::make(width, height, std::move(bytes), mode);
}

ImagePointer makeTestCard(int width)
{
    const int height = width * 3 / 4;
    return makePicture(width, height, [&](int x, int y) {
        const Color color = cardColor(x, y, width, height);
        return Pixel{color[0], color[1], color[2], cornerAlpha(x, y, width, height)};
    });
}

}  // namespace tilvane::testing

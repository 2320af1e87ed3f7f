#include "TilvaneCore/PixelGridPasses.hpp"

#include "TilvaneCore/Cancellation.hpp"

#include <algorithm>
#include <vector>

namespace tilvane {

namespace {

constexpr int bayerMatrix[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

// Opaque pixels, the common case, need no division.
std::uint8_t straightChannel(std::uint8_t channel, std::uint8_t alpha) noexcept
{
    return alpha == 255 ? channel : unpremultiply(channel, alpha);
}

std::uint8_t premultipliedChannel(std::uint8_t channel, std::uint8_t alpha) noexcept
{
    return alpha == 255 ? channel : premultiply(channel, alpha);
}

RGBColor straightColor(const std::uint8_t* pixel) noexcept
{
    const std::uint8_t alpha = pixel[3];
    return {straightChannel(pixel[0], alpha), straightChannel(pixel[1], alpha), straightChannel(pixel[2], alpha)};
}

void storePremultiplied(std::uint8_t* pixel, RGBColor color) noexcept
{
    const std::uint8_t alpha = pixel[3];
    pixel[0] = premultipliedChannel(color.red, alpha);
    pixel[1] = premultipliedChannel(color.green, alpha);
    pixel[2] = premultipliedChannel(color.blue, alpha);
}

// The nearest integer, halves away from zero, of a value within 0...255; exact, unlike adding 0.5
// and truncating, which turns 0.49999997 into 1.
std::uint8_t roundedChannel(float value) noexcept
{
    const int whole = static_cast<int>(value);
    return static_cast<std::uint8_t>(whole + (value - static_cast<float>(whole) >= 0.5f ? 1 : 0));
}

std::uint8_t offsetChannel(std::uint8_t channel, int offset) noexcept
{
    return static_cast<std::uint8_t>(std::clamp(int{channel} + offset, 0, 255));
}

}  // namespace

void applyToneCurve(Bitmap& bitmap, const ImageAdjustments& adjustments, std::stop_token stopToken)
{
    const auto table = adjustments.lookupTable();
    for (int y = 0; y < bitmap.height(); ++y) {
        throwIfCancelled(stopToken);
        std::uint8_t* pixel = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, pixel += 4) {
            const std::uint8_t alpha = pixel[3];
            if (alpha == 0) continue;
            for (int c = 0; c < 3; ++c) {
                pixel[c] = premultipliedChannel(table[straightChannel(pixel[c], alpha)], alpha);
            }
        }
    }
}

void mapToPalette(Bitmap& bitmap, const PaletteMapper& mapper, bool ordered, std::stop_token stopToken)
{
    mapper.withMapping([&](auto map) {
        for (int y = 0; y < bitmap.height(); ++y) {
            throwIfCancelled(stopToken);
            std::uint8_t* pixel = bitmap.row(y);
            for (int x = 0; x < bitmap.width(); ++x, pixel += 4) {
                if (pixel[3] == 0) continue;
                RGBColor color = straightColor(pixel);
                if (ordered) {
                    const int offset = 4 * bayerMatrix[y % 4][x % 4] - 30;
                    color = {offsetChannel(color.red, offset), offsetChannel(color.green, offset),
                             offsetChannel(color.blue, offset)};
                }
                storePremultiplied(pixel, map(color));
            }
        }
    });
}

void diffuseErrors(Bitmap& bitmap, const PaletteMapper& mapper, std::stop_token stopToken)
{
    const int width = bitmap.width();
    const int height = bitmap.height();
    // Error gathered for each pixel of this row and of the next, three channels per column.
    std::vector<float> current(static_cast<std::size_t>(width) * 3, 0.0f);
    std::vector<float> next(current.size(), 0.0f);
    mapper.withMapping([&](auto map) {
        for (int y = 0; y < height; ++y) {
            throwIfCancelled(stopToken);
            const bool hasNextRow = y + 1 < height;
            std::uint8_t* pixel = bitmap.row(y);
            for (int x = 0; x < width; ++x, pixel += 4) {
                if (pixel[3] == 0) continue;
                const RGBColor straight = straightColor(pixel);
                float* gathered = current.data() + static_cast<std::size_t>(x) * 3;
                const float red = std::clamp(static_cast<float>(straight.red) + gathered[0], 0.0f, 255.0f);
                const float green = std::clamp(static_cast<float>(straight.green) + gathered[1], 0.0f, 255.0f);
                const float blue = std::clamp(static_cast<float>(straight.blue) + gathered[2], 0.0f, 255.0f);
                const RGBColor mapped = map(RGBColor{roundedChannel(red), roundedChannel(green), roundedChannel(blue)});
                storePremultiplied(pixel, mapped);
                const float errors[3] = {red - static_cast<float>(mapped.red), green - static_cast<float>(mapped.green),
                                         blue - static_cast<float>(mapped.blue)};
                for (int c = 0; c < 3; ++c) {
                    const float error = errors[c];
                    if (x + 1 < width) gathered[3 + c] += (error * 7) * 0.0625f;
                    if (hasNextRow) {
                        float* below = next.data() + static_cast<std::size_t>(x) * 3 + c;
                        if (x > 0) below[-3] += (error * 3) * 0.0625f;
                        below[0] += (error * 5) * 0.0625f;
                        if (x + 1 < width) below[3] += (error * 1) * 0.0625f;
                    }
                }
            }
            std::swap(current, next);
            std::fill(next.begin(), next.end(), 0.0f);
        }
    });
}

}  // namespace tilvane

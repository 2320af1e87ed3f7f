#pragma once

#include "TilvaneCore/Image.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace tilvane::testing_images {

using Pixel = std::array<std::uint8_t, 4>;

// An image from its pixels, row by row.
inline ImagePointer imageOf(int width, int height, const std::vector<Pixel>& pixels,
                            AlphaMode mode = AlphaMode::premultiplied)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& pixel : pixels) bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return Image::make(width, height, std::move(bytes), mode);
}

inline ImagePointer solidImage(int width, int height, Pixel pixel)
{
    return imageOf(width, height, std::vector<Pixel>(static_cast<std::size_t>(width) * height, pixel));
}

inline Pixel grey(std::uint8_t value) { return {value, value, value, 255}; }

inline Pixel pixelAt(const Image& image, int x, int y)
{
    const std::uint8_t* pixel = image.pixel(x, y);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

}  // namespace tilvane::testing_images

#pragma once

#include "TilvaneCore/Image.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

namespace tilvane::testing_images {

using Pixel = std::array<std::uint8_t, 4>;

// An image whose pixel (x, y) is `pixelAt(x, y)`.
inline ImagePointer generatedImage(int width, int height, const std::function<Pixel(int x, int y)>& pixelAt,
                                   AlphaMode mode = AlphaMode::premultiplied)
{
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) std::ranges::copy(pixelAt(x, y), std::back_inserter(bytes));
    return Image::make(width, height, std::move(bytes), mode);
}

// An image from its pixels, row by row.
inline ImagePointer imageOf(int width, int height, const std::vector<Pixel>& pixels,
                            AlphaMode mode = AlphaMode::premultiplied)
{
    return generatedImage(
        width, height, [&](int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }, mode);
}

inline ImagePointer solidImage(int width, int height, Pixel pixel)
{
    return generatedImage(width, height, [pixel](int, int) { return pixel; });
}

inline Pixel grey(std::uint8_t value)
{
    return {value, value, value, 255};
}

inline Pixel pixelAt(const Image& image, int x, int y)
{
    const std::uint8_t* pixel = image.pixel(x, y);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

// Every pixel, row by row.
inline std::vector<Pixel> pixelsOf(const Image& image)
{
    std::vector<Pixel> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) pixels.push_back(pixelAt(image, x, y));
    return pixels;
}

}  // namespace tilvane::testing_images

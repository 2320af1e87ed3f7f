#include "ImageTransfer.hpp"

#include <span>

namespace tilvane {
namespace {

bool everyPixelIsOpaque(std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 3; i < bytes.size(); i += 4) {
        if (bytes[i] != 255) {
            return false;
        }
    }
    return true;
}

bool noColourHidesUnderZeroAlpha(std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        if (bytes[i + 3] == 0 && (bytes[i] | bytes[i + 1] | bytes[i + 2]) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool uploadsUnchanged(const Image& image, UploadColour colour)
{
    const bool premultiplied = image.alphaMode() == AlphaMode::premultiplied;
    if (colour == UploadColour::overBlack) {
        // Premultiplied colours are the picture over black already.
        return premultiplied || everyPixelIsOpaque(image.bytes());
    }
    return premultiplied ? everyPixelIsOpaque(image.bytes()) : noColourHidesUnderZeroAlpha(image.bytes());
}

std::vector<std::uint8_t> uploadPixels(const Image& image, UploadColour colour)
{
    const auto bytes = image.bytes();
    std::vector<std::uint8_t> pixels(bytes.begin(), bytes.end());
    const bool premultiplied = image.alphaMode() == AlphaMode::premultiplied;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const std::uint32_t alpha = pixels[i + 3];
        if (alpha == 255) {
            continue;
        }
        for (std::size_t channel = 0; channel < 3; ++channel) {
            std::uint8_t& value = pixels[i + channel];
            if (alpha == 0) {
                value = 0;
            } else if (colour == UploadColour::overBlack && !premultiplied) {
                value = premultiply(value, alpha);
            } else if (colour == UploadColour::straight && premultiplied) {
                value = unpremultiply(value, alpha);
            }
        }
    }
    return pixels;
}

ImagePointer premultipliedResult(int width, int height, std::vector<std::uint8_t> rendered, const Image* alphaSource)
{
    if (alphaSource == nullptr) {
        for (std::size_t i = 3; i < rendered.size(); i += 4) {
            rendered[i] = 255;
        }
        return Image::make(width, height, std::move(rendered), AlphaMode::premultiplied);
    }
    const auto source = alphaSource->bytes();
    for (std::size_t i = 0; i < rendered.size(); i += 4) {
        const std::uint32_t alpha = source[i + 3];
        rendered[i + 3] = static_cast<std::uint8_t>(alpha);
        if (alpha == 255) {
            continue;
        }
        for (std::size_t channel = 0; channel < 3; ++channel) {
            rendered[i + channel] = premultiply(rendered[i + channel], alpha);
        }
    }
    return Image::make(width, height, std::move(rendered), AlphaMode::premultiplied);
}

}  // namespace tilvane

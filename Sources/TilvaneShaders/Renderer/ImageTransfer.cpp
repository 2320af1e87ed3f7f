#include "ImageTransfer.hpp"

namespace tilvane {

bool needsUnpremultiplying(const Image& image)
{
    if (image.alphaMode() == AlphaMode::straight) {
        return false;
    }
    const auto bytes = image.bytes();
    for (std::size_t i = 3; i < bytes.size(); i += 4) {
        if (bytes[i] != 255) {
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> straightPixels(const Image& image)
{
    const auto bytes = image.bytes();
    std::vector<std::uint8_t> pixels(bytes.begin(), bytes.end());
    if (image.alphaMode() == AlphaMode::straight) {
        return pixels;
    }
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const std::uint32_t alpha = pixels[i + 3];
        if (alpha == 255) {
            continue;
        }
        for (std::size_t channel = 0; channel < 3; ++channel) {
            pixels[i + channel] = alpha == 0 ? 0 : unpremultiply(pixels[i + channel], alpha);
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

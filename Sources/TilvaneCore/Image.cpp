#include "TilvaneCore/Image.hpp"

#include <limits>

namespace tilvane {

std::optional<std::size_t> Image::byteCount(int width, int height) noexcept
{
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t limit = std::numeric_limits<std::ptrdiff_t>::max() / 4;
    if (w > limit / h) {
        return std::nullopt;
    }
    return w * h * 4;
}

std::shared_ptr<const Image> Image::make(int width, int height, std::vector<std::uint8_t> pixels, AlphaMode alphaMode)
{
    const auto expected = byteCount(width, height);
    if (!expected || pixels.size() != *expected) {
        return nullptr;
    }
    return std::make_shared<const Image>(width, height, std::move(pixels), alphaMode);
}

Image::Image(int width, int height, std::vector<std::uint8_t> pixels, AlphaMode alphaMode)
    : width_(width), height_(height), alphaMode_(alphaMode), pixels_(std::move(pixels))
{
}

std::shared_ptr<const Image> Image::premultiplied() const
{
    if (alphaMode_ == AlphaMode::premultiplied) {
        return shared_from_this();
    }
    std::vector<std::uint8_t> pixels = pixels_;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const std::uint32_t alpha = pixels[i + 3];
        for (std::size_t channel = 0; channel < 3; ++channel) {
            pixels[i + channel] = premultiply(pixels[i + channel], alpha);
        }
    }
    return make(width_, height_, std::move(pixels), AlphaMode::premultiplied);
}

}  // namespace tilvane

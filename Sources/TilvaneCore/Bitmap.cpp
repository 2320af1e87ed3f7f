#include "TilvaneCore/Bitmap.hpp"

#include <new>

namespace tilvane {

std::optional<Bitmap> Bitmap::make(int width, int height)
{
    const auto byteCount = Image::byteCount(width, height);
    if (!byteCount) {
        return std::nullopt;
    }
    try {
        return Bitmap(width, height, std::vector<std::uint8_t>(*byteCount));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

Bitmap::Bitmap(int width, int height, std::vector<std::uint8_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels))
{
}

ImagePointer Bitmap::takeImage()
{
    return Image::make(width_, height_, std::move(pixels_), AlphaMode::premultiplied);
}

}  // namespace tilvane

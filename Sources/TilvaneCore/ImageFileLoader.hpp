#pragma once

#include "TilvaneCore/Image.hpp"

#include <cstdint>
#include <filesystem>

namespace tilvane {

// Reads the first image of a picture file in any format libvips reads, upright and
// no larger than a given longest side.
class ImageFileLoader {
public:
    ImageFileLoader() = delete;

    // The most pixels a read decodes at the size it decodes them: the whole picture for a format
    // that cannot shrink while it is read (PNG, GIF, a flat TIFF...), the shrunk picture for one
    // that can (JPEG, WebP, a TIFF pyramid...). A gigapixel picture of any format stays within it;
    // a picture beyond it, such as a PNG of one colour that declares billions of pixels in a few
    // megabytes, is refused after its header, before any decoding.
    static constexpr std::int64_t maxDecodedPixels = std::int64_t{1} << 30;

    // Why a load gave nothing: the file (missing, not a regular file, not a picture, damaged), the
    // system (no file descriptor, memory or thread left, an I/O error), in which case the same file
    // may well read a moment later, or the picture's size (more to decode than maxDecodedPixels).
    enum class Failure { file, system, tooLarge };

    // What a load that gave nothing reports: why, and for a picture too large, its width and height.
    struct FailureReport {
        Failure failure = Failure::file;
        int width = 0;
        int height = 0;

        friend bool operator==(const FailureReport&, const FailureReport&) = default;
    };

    // The first page or frame of the file, turned upright by its orientation tag, shrunk so that
    // its longer side is at most maxDimension (never enlarged), as 8-bit sRGB with straight alpha.
    // Nothing when maxDimension is below 1 (the file is not touched), or when the file, the
    // system or the picture's size keeps it from being read; then `report`, when given, says
    // which. Never throws.
    static ImagePointer load(const std::filesystem::path& path, int maxDimension,
                             FailureReport* report = nullptr) noexcept;
};

}  // namespace tilvane

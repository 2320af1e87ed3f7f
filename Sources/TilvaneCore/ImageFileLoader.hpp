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

    // Pictures whose header declares more pixels than this are refused before decoding.
    static constexpr std::int64_t maxSourcePixels = 100'000'000;

    // Why a load gave nothing: the file (missing, not a regular file, not a picture, damaged, too
    // large), or the system (no file descriptor or memory left, an I/O error while opening it), in
    // which case the same file may well read a moment later.
    enum class Failure { file, system };

    // The first page or frame of the file, turned upright by its orientation tag, shrunk so that
    // its longer side is at most maxDimension (never enlarged), as 8-bit sRGB with straight alpha.
    // Nothing when maxDimension is below 1 (the file is not touched), when the file is missing,
    // not a regular file, not a picture, damaged or too large, or when the system fails; then
    // `failure`, when given, says which. Never throws.
    static ImagePointer load(const std::filesystem::path& path, int maxDimension, Failure* failure = nullptr) noexcept;
};

}  // namespace tilvane

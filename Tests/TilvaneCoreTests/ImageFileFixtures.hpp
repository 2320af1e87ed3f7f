#pragma once

// Helpers for tests that read and write picture files: a private temporary folder, pictures
// made with libvips, and GIFs decoded back with libvips.

#include "TilvaneCore/VipsRuntime.hpp"

#include "TestSupport/TemporaryFolder.hpp"

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tilvane::imagefiles {

using tilvane::testing::TemporaryFolder;

// An 8-bit image of width × height with `bands` bands, pixels row by row.
VipsImagePointer makeVipsImage(int width, int height, int bands, const std::vector<std::uint8_t>& pixels);

using Colour = std::array<std::uint8_t, 3>;

// A width × height RGB image whose pixel (x, y) is `colourAt(x, y)`.
VipsImagePointer rgbVipsImage(int width, int height, const std::function<Colour(int x, int y)>& colourAt);

inline VipsImagePointer solidVipsImage(int width, int height, Colour colour)
{
    return rgbVipsImage(width, height, [colour](int, int) { return colour; });
}

// Saves in the format named by the file's extension; `options` as libvips writes them after
// a file name, e.g. "[Q=95]". Fails the calling test on error.
void saveVipsImage(const VipsImagePointer& image, const std::filesystem::path& path, const std::string& options = "");

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The permission bits of a file (set-id and sticky included); fails the calling test when it cannot be read.
mode_t modeOf(const std::filesystem::path& path);

struct DecodedGIF {
    int width = 0, height = 0, frameCount = 0, loop = -1;
    std::vector<int> delaysInMilliseconds;
    std::vector<std::uint8_t> rgba;  // every frame, top to bottom, four bands

    std::array<std::uint8_t, 4> pixel(int frame, int x, int y) const
    {
        const std::uint8_t* p = rgba.data() + ((static_cast<std::size_t>(frame) * height + y) * width + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
};

// Decodes every frame; fails the calling test when the file is not a readable GIF.
DecodedGIF readGIF(const std::filesystem::path& path);

}  // namespace tilvane::imagefiles

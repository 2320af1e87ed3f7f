#include "ImageFileFixtures.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tilvane::imagefiles {

VipsImagePointer makeVipsImage(int width, int height, int bands, const std::vector<std::uint8_t>& pixels)
{
    startVips();
    VipsImagePointer image(
        vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width, height, bands, VIPS_FORMAT_UCHAR));
    EXPECT_TRUE(image) << vips_error_buffer();
    return image;
}

VipsImagePointer rgbVipsImage(int width, int height, const std::function<Colour(int x, int y)>& colourAt)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) std::ranges::copy(colourAt(x, y), std::back_inserter(pixels));
    return makeVipsImage(width, height, 3, pixels);
}

void saveVipsImage(const VipsImagePointer& image, const std::filesystem::path& path, const std::string& options)
{
    ASSERT_TRUE(image);
    ASSERT_EQ(vips_image_write_to_file(image.get(), (path.string() + options).c_str(), nullptr), 0)
        << vips_error_buffer();
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

DecodedGIF readGIF(const std::filesystem::path& path)
{
    startVips();
    DecodedGIF decoded;
    VipsImage* raw = nullptr;
    EXPECT_EQ(vips_gifload(path.c_str(), &raw, "n", -1, nullptr), 0) << vips_error_buffer();
    VipsImagePointer image(raw);
    if (!image) return decoded;

    decoded.width = vips_image_get_width(image.get());
    decoded.height = vips_image_get_page_height(image.get());
    decoded.frameCount = vips_image_get_n_pages(image.get());
    vips_image_get_int(image.get(), "loop", &decoded.loop);
    int *delays = nullptr, delayCount = 0;
    vips_image_get_array_int(image.get(), "delay", &delays, &delayCount);
    decoded.delaysInMilliseconds.assign(delays, delays + delayCount);
    EXPECT_EQ(vips_image_get_bands(image.get()), 4);
    std::size_t size = 0;
    const std::unique_ptr<void, decltype(&g_free)> memory(vips_image_write_to_memory(image.get(), &size), g_free);
    const auto* bytes = static_cast<const std::uint8_t*>(memory.get());
    decoded.rgba.assign(bytes, bytes + (bytes ? size : 0));
    return decoded;
}

}  // namespace tilvane::imagefiles

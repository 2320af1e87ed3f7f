#include "ImageFileFixtures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tilvane::imagefiles {

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tilvane-core-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryFolder::entryNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

VipsImagePointer makeVipsImage(int width, int height, int bands, const std::vector<std::uint8_t>& pixels)
{
    startVips();
    VipsImagePointer image(
        vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width, height, bands, VIPS_FORMAT_UCHAR));
    EXPECT_TRUE(image) << vips_error_buffer();
    return image;
}

VipsImagePointer solidVipsImage(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = red;
        pixels[i + 1] = green;
        pixels[i + 2] = blue;
    }
    return makeVipsImage(width, height, 3, pixels);
}

VipsImagePointer solidPages(int width, int height, const std::vector<std::array<std::uint8_t, 3>>& colours)
{
    std::vector<VipsImagePointer> pages;
    std::vector<VipsImage*> raw;
    for (const auto& colour : colours) {
        pages.push_back(solidVipsImage(width, height, colour[0], colour[1], colour[2]));
        raw.push_back(pages.back().get());
    }
    VipsImage* joined = nullptr;
    EXPECT_EQ(vips_arrayjoin(raw.data(), &joined, static_cast<int>(raw.size()), "across", 1, nullptr), 0);
    VipsImagePointer stacked(joined);
    if (stacked) {
        vips_image_set_int(stacked.get(), "page-height", height);
    }
    return stacked;
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
    std::ofstream stream(path, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path) << text;
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
    int* delays = nullptr;
    int delayCount = 0;
    if (vips_image_get_array_int(image.get(), "delay", &delays, &delayCount) == 0) {
        decoded.delaysInMilliseconds.assign(delays, delays + delayCount);
    }

    VipsImagePointer rgba = std::move(image);
    if (vips_image_get_bands(rgba.get()) == 3) {
        VipsImage* withAlpha = nullptr;
        EXPECT_EQ(vips_bandjoin_const1(rgba.get(), &withAlpha, 255.0, nullptr), 0);
        rgba.reset(withAlpha);
    }
    std::size_t size = 0;
    void* memory = vips_image_write_to_memory(rgba.get(), &size);
    EXPECT_NE(memory, nullptr);
    if (memory != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(memory);
        decoded.rgba.assign(bytes, bytes + size);
        g_free(memory);
    }
    return decoded;
}

}  // namespace tilvane::imagefiles

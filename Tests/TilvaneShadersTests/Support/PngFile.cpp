#include "PngFile.hpp"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tilvane::testing {

void writePng(const Image& image, const std::filesystem::path& file)
{
    std::vector<std::uint8_t> straight(image.bytes().begin(), image.bytes().end());
    if (image.alphaMode() == AlphaMode::premultiplied) {
        for (std::size_t i = 0; i < straight.size(); i += 4) {
            const std::uint32_t alpha = straight[i + 3];
            for (std::size_t c = 0; c < 3; ++c) {
                straight[i + c] = alpha == 0 ? 0 : unpremultiply(straight[i + c], alpha);
            }
        }
    }
    std::filesystem::create_directories(file.parent_path());
    std::unique_ptr<FILE, int (*)(FILE*)> stream(std::fopen(file.c_str(), "wb"), &std::fclose);
    if (!stream) {
        throw std::runtime_error("cannot write " + file.string());
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot encode " + file.string());
    }
    png_init_io(png, stream.get());
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, straight.data() + image.bytesPerRow() * static_cast<std::size_t>(y));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

}  // namespace tilvane::testing

#include "PngFile.hpp"

#include <png.h>


namespace tilvane::testing {

void writePng(const Image& image, const std::filesystem::path& file)
{
    std::vector<std::uint8_t> straight(image.bytes().begin(), image.bytes().end());
    if (image.alphaMode() == AlphaMode::premultiplied) {
        for (std::size_t i = 0; i < straight.size(); i += 4) {
            for (std::size_t c = 0; c < 3; ++c) {
                straight[i + c] = straight[i + 3] == 0 ? 0 : unpremultiply(straight[i + c], straight[i + 3]);
            }
        }
    }
    std::filesystem::create_directories(file.parent_path());
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, file.c_str(), 0, straight.data(), 0, nullptr)) {
        throw std::runtime_error("cannot write " + file.string() + ": " + png.message);
    }
}

}  // namespace tilvane::testing

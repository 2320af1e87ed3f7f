#include "ImageFileLoader.hpp"

#include "VipsRuntime.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tilvane {

namespace {

// Opens a non-empty regular file only: O_NONBLOCK keeps a FIFO from blocking the open, the
// type check keeps devices and folders away from the decoders, and libvips cannot map an
// empty file.
GObjectPointer<VipsSource> openRegularFile(const std::filesystem::path& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    GObjectPointer<VipsSource> source;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        source.reset(vips_source_new_from_descriptor(descriptor));  // keeps a duplicate of the descriptor
    }
    ::close(descriptor);
    return source;
}

// Reads only the header, so that a picture that declares a huge size is never decoded.
bool declaresAcceptableSize(VipsSource* source)
{
    const VipsImagePointer header(vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!header) {
        return false;
    }
    const auto pixels = static_cast<std::int64_t>(vips_image_get_width(header.get())) *
                        static_cast<std::int64_t>(vips_image_get_height(header.get()));
    return pixels <= ImageFileLoader::maxSourcePixels;
}

VipsImagePointer thumbnail(VipsSource* source, int maxDimension)
{
    VipsImage* result = nullptr;
    // fail_on goes through the loader's options: thumbnail_source ignores its own in libvips 8.14.
    if (vips_thumbnail_source(source, &result, maxDimension, "height", maxDimension, "size", VIPS_SIZE_DOWN,
                              "no_rotate", FALSE, "option_string", "fail_on=error", nullptr) != 0) {
        return nullptr;
    }
    return VipsImagePointer(result);
}

// Wraps one libvips operation that turns an image into another; nothing when it fails.
template <typename Operation>
VipsImagePointer transformed(const VipsImagePointer& input, Operation operation)
{
    if (!input) {
        return nullptr;
    }
    VipsImage* output = nullptr;
    if (operation(input.get(), &output) != 0) {
        return nullptr;
    }
    return VipsImagePointer(output);
}

// Any colour space, depth and band count becomes 8-bit sRGB with exactly one alpha band.
VipsImagePointer toRGBA8(const VipsImagePointer& image)
{
    VipsImagePointer rgb = transformed(image, [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
    });
    if (!rgb) {
        return nullptr;
    }
    const int bands = vips_image_get_bands(rgb.get());
    VipsImagePointer rgba;
    if (bands == 3) {
        rgba = transformed(rgb, [](VipsImage* in, VipsImage** out) { return vips_bandjoin_const1(in, out, 255.0, nullptr); });
    } else if (bands > 4) {
        rgba = transformed(rgb, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, "n", 4, nullptr); });
    } else if (bands == 4) {
        rgba = std::move(rgb);
    }
    return transformed(rgba, [](VipsImage* in, VipsImage** out) { return vips_cast(in, out, VIPS_FORMAT_UCHAR, nullptr); });
}

// Runs the whole pipeline (decoding happens here) and copies the pixels into an Image.
ImagePointer copyPixels(const VipsImagePointer& image)
{
    const int width = vips_image_get_width(image.get());
    const int height = vips_image_get_height(image.get());
    const auto expected = Image::byteCount(width, height);
    if (!expected) {
        return nullptr;
    }
    // With several workers libvips 8.14 sometimes loses a decoder's error (a truncated JPEG)
    // and hands back a half-decoded picture; one worker always reports it.
    vips_image_set_int(image.get(), VIPS_META_CONCURRENCY, 1);
    std::size_t size = 0;
    const std::unique_ptr<void, decltype(&g_free)> memory(vips_image_write_to_memory(image.get(), &size), &g_free);
    if (!memory || size != *expected) {
        return nullptr;
    }
    std::vector<std::uint8_t> pixels(size);
    std::memcpy(pixels.data(), memory.get(), size);
    // libvips keeps colour and alpha independent.
    return Image::make(width, height, std::move(pixels), AlphaMode::straight);
}

}  // namespace

ImagePointer ImageFileLoader::load(const std::filesystem::path& path, int maxDimension) noexcept
{
    if (maxDimension < 1 || !startVips()) {
        return nullptr;
    }
    try {
        const GObjectPointer<VipsSource> source = openRegularFile(path);
        if (!source || !declaresAcceptableSize(source.get())) {
            return nullptr;
        }
        const VipsImagePointer rgba = toRGBA8(thumbnail(source.get(), maxDimension));
        return rgba ? copyPixels(rgba) : nullptr;
    } catch (...) {
        return nullptr;  // out of memory while copying
    }
}

}  // namespace tilvane

#include "TilvaneCore/ImageFileLoader.hpp"

#include "TilvaneCore/VipsRuntime.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace tilvane {

namespace {

// Whether a failed open or stat says nothing of the file: the process or the system ran short, or the disk failed.
bool isSystemFailure(int error)
{
    switch (error) {
    case EMFILE:
    case ENFILE:
    case ENOMEM:
    case ENOBUFS:
    case EIO:
    case EINTR:
    case EAGAIN:
        return true;
    default:
        return false;
    }
}

// Opens a non-empty regular file only: O_NONBLOCK keeps a FIFO from blocking the open, the
// type check keeps devices and folders away from the decoders, and libvips cannot map an
// empty file. Sets `failure` to system when the system, not the file, kept it from opening.
GObjectPointer<VipsSource> openRegularFile(const std::filesystem::path& path, ImageFileLoader::Failure& failure)
{
    // A name with a NUL byte names no file: the system would read it only up to the NUL, which names another.
    if (path.native().find('\0') != std::string::npos) return nullptr;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        if (isSystemFailure(errno)) failure = ImageFileLoader::Failure::system;
        return nullptr;
    }
    struct stat status {};
    GObjectPointer<VipsSource> source;
    if (::fstat(descriptor, &status) != 0) {
        if (isSystemFailure(errno)) failure = ImageFileLoader::Failure::system;
    } else if (S_ISREG(status.st_mode) && status.st_size > 0) {
        source.reset(vips_source_new_from_descriptor(descriptor));  // keeps a duplicate of the descriptor
        // A regular file that cannot be duplicated: the process is out of descriptors or memory.
        if (!source) failure = ImageFileLoader::Failure::system;
    }
    ::close(descriptor);
    return source;
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

// The largest JPEG scale-down (1/2, 1/4, 1/8, done by libjpeg while decoding) that keeps the
// longer side at least maxDimension, so that the final resize only ever reduces, and leaves the
// shorter side at least one pixel (libvips rounds the shrunk sides down).
int jpegShrink(const VipsImagePointer& header, int maxDimension)
{
    const int width = vips_image_get_width(header.get());
    const int height = vips_image_get_height(header.get());
    const int longerSide = std::max(width, height);
    const int shorterSide = std::min(width, height);
    int shrink = 1;
    while (shrink < 8 && longerSide / (shrink * 2) >= maxDimension && shorterSide / (shrink * 2) >= 1) {
        shrink *= 2;
    }
    return shrink;
}

// libvips' own thumbnail keeps twice the target size when it picks the JPEG scale-down, which
// for a 6000-pixel photo at 2048 means decoding every pixel; decoding at the scale that still
// covers the target and resizing the decoded pixels is about twice as fast.
VipsImagePointer jpegThumbnail(VipsSource* source, const VipsImagePointer& header, int maxDimension)
{
    const VipsImagePointer decoded = decodedInMemory(
        VipsImagePointer(vips_image_new_from_source(source, "", "shrink", jpegShrink(header, maxDimension), "fail_on",
                                                    VIPS_FAIL_ON_ERROR, "access", VIPS_ACCESS_SEQUENTIAL, nullptr)));
    return transformed(decoded, [maxDimension](VipsImage* in, VipsImage** out) {
        return vips_thumbnail_image(in, out, maxDimension, "height", maxDimension, "size", VIPS_SIZE_DOWN, "no_rotate",
                                    FALSE, nullptr);
    });
}

VipsImagePointer generalThumbnail(VipsSource* source, int maxDimension)
{
    VipsImage* result = nullptr;
    // fail_on goes through the loader's options: thumbnail_source ignores its own in libvips 8.14.
    if (vips_thumbnail_source(source, &result, maxDimension, "height", maxDimension, "size", VIPS_SIZE_DOWN,
                              "no_rotate", FALSE, "option_string", "fail_on=error", nullptr)
        != 0) {
        return nullptr;
    }
    return decodedInMemory(VipsImagePointer(result));
}

// The first page or frame, upright, its longer side at most maxDimension, with every pixel
// already decoded. Nothing when the header declares too many pixels or decoding fails.
VipsImagePointer decodeThumbnail(VipsSource* source, int maxDimension)
{
    // Only the header is read here.
    const VipsImagePointer header(vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!header) {
        return nullptr;
    }
    const auto pixels = static_cast<std::int64_t>(vips_image_get_width(header.get()))
                        * static_cast<std::int64_t>(vips_image_get_height(header.get()));
    if (pixels > ImageFileLoader::maxSourcePixels) {
        return nullptr;
    }
    const char* loader = vips_foreign_find_load_source(source);
    if (loader != nullptr && std::string_view(loader).starts_with("VipsForeignLoadJpeg")) {
        return jpegThumbnail(source, header, maxDimension);
    }
    return generalThumbnail(source, maxDimension);
}

// A picture that carries a colour profile (Display P3, Adobe RGB, a printer's CMYK...) is converted
// from it to sRGB; one without, or with a profile that cannot be used, is taken to be sRGB already.
VipsImagePointer withSRGBColours(VipsImagePointer image)
{
    if (!image || vips_image_get_typeof(image.get(), VIPS_META_ICC_NAME) == 0) {
        return image;
    }
    VipsImagePointer converted = transformed(image, [](VipsImage* in, VipsImage** out) {
        return vips_icc_transform(in, out, "srgb", "embedded", TRUE, "intent", VIPS_INTENT_RELATIVE, "depth", 8,
                                  nullptr);
    });
    return converted ? std::move(converted) : std::move(image);
}

// Any colour space, depth and band count becomes 8-bit sRGB with exactly one alpha band.
VipsImagePointer toRGBA8(VipsImagePointer image)
{
    VipsImagePointer rgb = transformed(withSRGBColours(std::move(image)), [](VipsImage* in, VipsImage** out) {
        return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
    });
    if (!rgb) {
        return nullptr;
    }
    const int bands = vips_image_get_bands(rgb.get());
    VipsImagePointer rgba;
    if (bands == 3) {
        rgba = transformed(
            rgb, [](VipsImage* in, VipsImage** out) { return vips_bandjoin_const1(in, out, 255.0, nullptr); });
    } else if (bands > 4) {
        rgba = transformed(
            rgb, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, "n", 4, nullptr); });
    } else if (bands == 4) {
        rgba = std::move(rgb);
    }
    return transformed(rgba,
                       [](VipsImage* in, VipsImage** out) { return vips_cast(in, out, VIPS_FORMAT_UCHAR, nullptr); });
}

// Computes the picture straight into the image's own memory.
ImagePointer copyPixels(const VipsImagePointer& image)
{
    const int width = vips_image_get_width(image.get());
    const int height = vips_image_get_height(image.get());
    const auto expected = Image::byteCount(width, height);
    if (!expected || vips_image_get_bands(image.get()) != 4
        || vips_image_get_format(image.get()) != VIPS_FORMAT_UCHAR) {
        return nullptr;
    }
    std::vector<std::uint8_t> pixels(*expected);
    {
        // Released before the pixels move on: it only borrows their memory.
        const VipsImagePointer target(
            vips_image_new_from_memory(pixels.data(), pixels.size(), width, height, 4, VIPS_FORMAT_UCHAR));
        if (!target || vips_image_write(image.get(), target.get()) != 0) {
            return nullptr;
        }
    }
    // libvips keeps colour and alpha independent.
    return Image::make(width, height, std::move(pixels), AlphaMode::straight);
}

}  // namespace

ImagePointer ImageFileLoader::load(const std::filesystem::path& path, int maxDimension, Failure* failure) noexcept
{
    Failure why = Failure::file;
    ImagePointer image;
    if (maxDimension < 1) {
        // Asked for nothing: the file is not touched.
    } else if (!startVips()) {
        why = Failure::system;
    } else {
        try {
            const GObjectPointer<VipsSource> source = openRegularFile(path, why);
            if (source) {
                const VipsImagePointer rgba = toRGBA8(decodeThumbnail(source.get(), maxDimension));
                if (rgba) image = copyPixels(rgba);
            }
        } catch (...) {
            why = Failure::system;  // out of memory while copying
        }
    }
    if (!image && failure != nullptr) *failure = why;
    return image;
}

}  // namespace tilvane

#include "TilvaneCore/ImageFileLoader.hpp"

#include "TilvaneCore/VipsRuntime.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Whether libvips reads the file with a loader of that family ("VipsForeignLoadJpeg" for each JPEG loader).
bool isLoader(const char* loader, std::string_view family)
{
    return loader != nullptr && std::string_view(loader).starts_with(family);
}

struct Size {
    int width = 0;
    int height = 0;

    std::int64_t pixels() const { return std::int64_t{width} * height; }
    int longerSide() const { return std::max(width, height); }
};

Size sizeOf(const VipsImagePointer& image)
{
    return {vips_image_get_width(image.get()), vips_image_get_height(image.get())};
}

// The largest JPEG scale-down (1/2, 1/4, 1/8, done by libjpeg while decoding) that keeps the
// longer side at least maxDimension, so that the final resize only ever reduces, and leaves the
// shorter side at least one pixel (libvips rounds the shrunk sides down).
int jpegShrink(Size size, int maxDimension)
{
    const int longerSide = size.longerSide();
    const int shorterSide = std::min(size.width, size.height);
    int shrink = 1;
    while (shrink < 8 && longerSide / (shrink * 2) >= maxDimension && shorterSide / (shrink * 2) >= 1) {
        shrink *= 2;
    }
    return shrink;
}

// The sizes of the levels of a TIFF pyramid below the full picture, as libvips' thumbnail finds
// them: the sub-IFDs of the first page, or else the pages after it, each about half the size of
// the level above. Empty for a TIFF that is no pyramid.
std::vector<Size> tiffPyramidLevels(VipsSource* source, const VipsImagePointer& header)
{
    const Size full = sizeOf(header);
    const auto levels = [&](const char* option, int count, int firstIndex) {
        std::vector<Size> found;
        for (int level = 1; level <= count; ++level) {
            const VipsImagePointer page(
                vips_image_new_from_source(source, "", option, firstIndex + level - 1, nullptr));
            if (!page) return std::vector<Size>{};
            const Size size = sizeOf(page);
            const Size expected{full.width >> level, full.height >> level};
            // Rounding moves each level a little.
            if (std::abs(size.width - expected.width) > 5 || std::abs(size.height - expected.height) > 5
                || size.width < 2 || size.height < 2) {
                return std::vector<Size>{};
            }
            found.push_back(size);
        }
        return found;
    };
    int subIFDs = 0;
    if (vips_image_get_typeof(header.get(), "n-subifds") != 0
        && vips_image_get_int(header.get(), "n-subifds", &subIFDs) == 0 && subIFDs > 0) {
        if (auto found = levels("subifd", subIFDs, 0); !found.empty()) return found;
    }
    const int pages = vips_image_get_n_pages(header.get());
    return pages > 1 ? levels("page", pages - 1, 1) : std::vector<Size>{};
}

// How many pixels reading the picture at maxDimension decodes before its last resize: a JPEG
// decodes at its scale-down; WebP, PDF and SVG at about the size asked for; a TIFF pyramid its
// smallest level still larger than that; every other picture (PNG, GIF, a flat TIFF...) whole.
std::int64_t decodedPixels(VipsSource* source, const char* loader, const VipsImagePointer& header, int maxDimension)
{
    const Size full = sizeOf(header);
    if (isLoader(loader, "VipsForeignLoadJpeg")) {
        const int shrink = jpegShrink(full, maxDimension);
        return Size{full.width / shrink, full.height / shrink}.pixels();
    }
    if (isLoader(loader, "VipsForeignLoadWebp") || isLoader(loader, "VipsForeignLoadPdf")
        || isLoader(loader, "VipsForeignLoadSvg")) {
        const double scale = std::min(1.0, double(maxDimension) / full.longerSide());
        return static_cast<std::int64_t>(double(full.pixels()) * scale * scale);
    }
    std::int64_t pixels = full.pixels();
    // The levels are looked for only where they could matter: each takes reading a header.
    if (isLoader(loader, "VipsForeignLoadTiff") && pixels > ImageFileLoader::maxDecodedPixels) {
        for (const Size level : tiffPyramidLevels(source, header)) {
            if (level.longerSide() > maxDimension) pixels = std::min(pixels, level.pixels());
        }
    }
    return pixels;
}

// A JPEG decoded at most this large is held whole, and resized on every worker: about a fifth faster
// for the common photo (24 megapixels, 18 MB at its half size). A larger one streams into the resize
// on one worker, so that only the result is ever whole in memory.
constexpr std::int64_t largestHeldDecodeBytes = std::int64_t{32} << 20;

// libvips' own thumbnail keeps twice the target size when it picks the JPEG scale-down, which
// for a 6000-pixel photo at 2048 means decoding every pixel; decoding at the scale that still
// covers the target is about twice as fast.
VipsImagePointer jpegThumbnail(VipsSource* source, const VipsImagePointer& header, int maxDimension)
{
    VipsImagePointer shrunk(vips_image_new_from_source(source, "", "shrink", jpegShrink(sizeOf(header), maxDimension),
                                                       "fail_on", VIPS_FAIL_ON_ERROR, "access", VIPS_ACCESS_SEQUENTIAL,
                                                       nullptr));
    if (!shrunk) {
        return nullptr;
    }
    const auto resize = [maxDimension](VipsImage* in, VipsImage** out) {
        return vips_thumbnail_image(in, out, maxDimension, "height", maxDimension, "size", VIPS_SIZE_DOWN, "no_rotate",
                                    FALSE, nullptr);
    };
    if (sizeOf(shrunk).pixels() * vips_image_get_bands(shrunk.get()) <= largestHeldDecodeBytes) {
        return transformed(decodedInMemory(std::move(shrunk)), resize);
    }
    return decodedInMemory(transformed(shrunk, resize));
}

// The target is never beyond the picture's own longer side, so that the thumbnail never enlarges; libvips'
// own guard against enlarging ("size" down) makes libvips 8.14 read a TIFF pyramid from its smallest level.
VipsImagePointer generalThumbnail(VipsSource* source, const VipsImagePointer& header, int maxDimension)
{
    const int target = std::min(maxDimension, sizeOf(header).longerSide());
    VipsImage* result = nullptr;
    // fail_on goes through the loader's options: thumbnail_source ignores its own in libvips 8.14.
    if (vips_thumbnail_source(source, &result, target, "height", target, "no_rotate", FALSE, "option_string",
                              "fail_on=error", nullptr)
        != 0) {
        return nullptr;
    }
    return decodedInMemory(VipsImagePointer(result));
}

// The first page or frame, upright, its longer side at most maxDimension, with every pixel
// already decoded. Nothing when decoding fails, or when it would decode more than
// maxDecodedPixels; then `report` holds the picture's size and says it is too large.
VipsImagePointer decodeThumbnail(VipsSource* source, int maxDimension, ImageFileLoader::FailureReport& report)
{
    // Only the header is read here.
    const VipsImagePointer header(vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
    if (!header) {
        return nullptr;
    }
    const char* loader = vips_foreign_find_load_source(source);
    if (decodedPixels(source, loader, header, maxDimension) > ImageFileLoader::maxDecodedPixels) {
        const Size size = sizeOf(header);
        report = {ImageFileLoader::Failure::tooLarge, size.width, size.height};
        return nullptr;
    }
    if (isLoader(loader, "VipsForeignLoadJpeg")) {
        return jpegThumbnail(source, header, maxDimension);
    }
    return generalThumbnail(source, header, maxDimension);
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

ImagePointer ImageFileLoader::load(const std::filesystem::path& path, int maxDimension, FailureReport* report) noexcept
{
    FailureReport why;
    ImagePointer image;
    if (maxDimension < 1) {
        // Asked for nothing: the file is not touched.
    } else if (!startVips()) {
        why.failure = Failure::system;
    } else {
        try {
            const GObjectPointer<VipsSource> source = openRegularFile(path, why.failure);
            if (source) {
                const VipsImagePointer rgba = toRGBA8(decodeThumbnail(source.get(), maxDimension, why));
                if (rgba) image = copyPixels(rgba);
            }
        } catch (...) {
            why.failure = Failure::system;  // out of memory while copying
        }
        // Taken after every read, so that what a read leaves behind never speaks for a later one.
        const std::string errors = takeVipsErrors();
        if (!image && why.failure == Failure::file && tellOfExhaustion(errors)) why.failure = Failure::system;
    }
    if (!image && report != nullptr) *report = why;
    return image;
}

}  // namespace tilvane

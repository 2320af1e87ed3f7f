#include "Tilvane/Services/PNGFileWriter.hpp"

#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/Uuid.hpp"
#include "TilvaneCore/VipsRuntime.hpp"

#include <algorithm>
#include <span>

namespace tilvane {

namespace {

constexpr int compressionLevel = 1;
constexpr std::size_t writeChunk = 1 << 20;

std::vector<std::uint8_t> straightPixels(const Image& image)
{
    const auto bytes = image.bytes();
    std::vector<std::uint8_t> pixels(bytes.begin(), bytes.end());
    if (image.alphaMode() == AlphaMode::straight) return pixels;
    for (std::size_t offset = 0; offset < pixels.size(); offset += 4) {
        const std::uint32_t alpha = pixels[offset + 3];
        if (alpha == 255) continue;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            pixels[offset + channel] = alpha == 0 ? 0 : unpremultiply(pixels[offset + channel], alpha);
        }
    }
    return pixels;
}

struct GFreeRelease {
    void operator()(void* memory) const noexcept { g_free(memory); }
};

}  // namespace

std::vector<std::uint8_t> encodePNG(const Image& image)
{
    if (!startVips()) throw PNGEncodingError();
    const std::vector<std::uint8_t> pixels = straightPixels(image);
    VipsImagePointer wrapped(
        vips_image_new_from_memory(pixels.data(), pixels.size(), image.width(), image.height(), 4, VIPS_FORMAT_UCHAR));
    if (!wrapped) throw PNGEncodingError();
    wrapped->Type = VIPS_INTERPRETATION_sRGB;

    void* buffer = nullptr;
    std::size_t length = 0;
    const int status = vips_pngsave_buffer(wrapped.get(), &buffer, &length, "compression", compressionLevel, "filter",
                                           VIPS_FOREIGN_PNG_FILTER_UP, "strip", TRUE, nullptr);
    std::unique_ptr<void, GFreeRelease> owned(buffer);
    if (status != 0 || buffer == nullptr) {
        vips_error_clear();
        throw PNGEncodingError();
    }
    const auto* begin = static_cast<const std::uint8_t*>(buffer);
    return {begin, begin + length};
}

void writePNG(const std::filesystem::path& destination, const Image& image, std::stop_token stop)
{
    throwIfCancelled(stop);
    const std::vector<std::uint8_t> encoded = encodePNG(image);
    AtomicFileWriter file(destination, ".tilvane-" + Uuid::random().string() + ".png");
    std::span<const std::uint8_t> remaining(encoded);
    while (!remaining.empty()) {
        throwIfCancelled(stop);
        const std::size_t count = std::min(writeChunk, remaining.size());
        file.write(remaining.first(count));
        remaining = remaining.subspan(count);
    }
    file.sync();
    throwIfCancelled(stop);
    file.commit();
}

}  // namespace tilvane

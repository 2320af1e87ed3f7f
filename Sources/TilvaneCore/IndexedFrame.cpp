#include "TilvaneCore/IndexedFrame.hpp"

#include <dlfcn.h>
#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <tuple>

namespace tilvane {

namespace {

constexpr int paletteCapacity = 256;
constexpr std::uint8_t opaqueThreshold = 128;

// Straight RGBA whose alpha is only 0 or 255; every transparent pixel becomes 0, 0, 0, 0 so that
// it counts as one colour.
std::vector<std::uint8_t> flattenAlpha(const Image& image)
{
    const auto source = image.bytes();
    const bool premultiplied = image.alphaMode() == AlphaMode::premultiplied;
    std::vector<std::uint8_t> pixels(source.size(), 0);
    for (std::size_t i = 0; i < source.size(); i += 4) {
        const std::uint8_t alpha = source[i + 3];
        if (alpha < opaqueThreshold) continue;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            pixels[i + channel] = premultiplied ? unpremultiply(source[i + channel], alpha) : source[i + channel];
        }
        pixels[i + 3] = 255;
    }
    return pixels;
}

bool isOpaque(const Image& image)
{
    const auto bytes = image.bytes();
    for (std::size_t i = 3; i < bytes.size(); i += 4) {
        if (bytes[i] != 255) return false;
    }
    return true;
}

std::uint32_t packedPixel(const std::uint8_t* pixel)
{
    std::uint32_t value = 0;
    std::memcpy(&value, pixel, sizeof value);
    return value;
}

// Maps packed RGBA values to palette indices, in order of first appearance, up to 256 colours.
class ColourIndex {
public:
    ColourIndex() { slots_.fill(emptySlot); }

    // The colour's index, added when new; -1 once the palette is full.
    int indexOf(std::uint32_t colour)
    {
        std::size_t slot = (colour * 2654435761u) >> (32 - slotBits);
        while (slots_[slot] != emptySlot) {
            if (colours_[static_cast<std::size_t>(slots_[slot])] == colour) return slots_[slot];
            slot = (slot + 1) & (slotCount - 1);
        }
        if (colours_.size() == paletteCapacity) return -1;
        slots_[slot] = static_cast<std::int16_t>(colours_.size());
        colours_.push_back(colour);
        return slots_[slot];
    }

    const std::vector<std::uint32_t>& colours() const noexcept { return colours_; }

private:
    static constexpr int slotBits = 10;
    static constexpr std::size_t slotCount = std::size_t{1} << slotBits;
    static constexpr std::int16_t emptySlot = -1;
    std::array<std::int16_t, slotCount> slots_{};
    std::vector<std::uint32_t> colours_;
};

// A frame that declares a transparent entry is cleared to transparency when the next frame
// replaces it; without one, some decoders (libnsgif among them) clear it to an opaque background
// colour and the next frame's transparent pixels come out opaque. So a frame gets a transparent
// entry even without transparent pixels, unless its colours fill all 256 entries.
void reserveTransparentEntry(IndexedFrame& frame)
{
    if (!frame.transparentIndex && frame.palette.size() < paletteCapacity * 3) {
        frame.transparentIndex = static_cast<std::uint8_t>(frame.palette.size() / 3);
        frame.palette.insert(frame.palette.end(), {0, 0, 0});
    }
}

// GIF colour tables hold a power of two entries, at least two.
void padPalette(IndexedFrame& frame)
{
    std::size_t entries = 2;
    while (entries * 3 < frame.palette.size()) entries *= 2;
    frame.palette.resize(entries * 3, 0);
}

// Every distinct colour gets its own entry; nothing when there are more than 256.
std::optional<IndexedFrame> exactFrame(std::span<const std::uint8_t> pixels, int width, int height)
{
    IndexedFrame frame{width, height, {}, std::vector<std::uint8_t>(pixels.size() / 4), std::nullopt};
    ColourIndex colourIndex;
    std::uint32_t lastColour = 1;  // never a flattened pixel: its alpha is neither 0 nor 255
    int lastIndex = 0;
    for (std::size_t pixel = 0; pixel < frame.indices.size(); ++pixel) {
        const std::uint32_t colour = packedPixel(&pixels[pixel * 4]);
        if (colour != lastColour) {
            lastIndex = colourIndex.indexOf(colour);
            if (lastIndex < 0) return std::nullopt;
            lastColour = colour;
        }
        frame.indices[pixel] = static_cast<std::uint8_t>(lastIndex);
    }
    for (const std::uint32_t colour : colourIndex.colours()) {
        std::uint8_t channels[4];
        std::memcpy(channels, &colour, sizeof channels);
        if (channels[3] == 0) frame.transparentIndex = static_cast<std::uint8_t>(frame.palette.size() / 3);
        frame.palette.insert(frame.palette.end(), channels, channels + 3);
    }
    reserveTransparentEntry(frame);
    padPalette(frame);
    return frame;
}

template <typename Object, void (*destroy)(Object*)>
struct LiqRelease {
    void operator()(Object* object) const noexcept { destroy(object); }
};
template <typename Object, void (*destroy)(Object*)>
using LiqPointer = std::unique_ptr<Object, LiqRelease<Object, destroy>>;

IndexedFrame quantizedFrame(std::span<const std::uint8_t> pixels, int width, int height)
{
    const LiqPointer<liq_attr, liq_attr_destroy> attributes(liq_attr_create());
    if (!attributes) throw std::bad_alloc();
    // One entry stays free for transparency.
    liq_set_max_colors(attributes.get(), paletteCapacity - 1);
    const LiqPointer<liq_image, liq_image_destroy> image(
        liq_image_create_rgba(attributes.get(), pixels.data(), width, height, 0));
    if (!image) throw std::runtime_error("libimagequant refused the frame");
    liq_result* rawResult = nullptr;
    if (liq_image_quantize(image.get(), attributes.get(), &rawResult) != LIQ_OK) {
        throw std::runtime_error("libimagequant could not reduce the frame's colours");
    }
    const LiqPointer<liq_result, liq_result_destroy> result(rawResult);
    liq_set_dithering_level(result.get(), 1.0f);

    IndexedFrame frame{width, height, {}, std::vector<std::uint8_t>(pixels.size() / 4), std::nullopt};
    if (liq_write_remapped_image(result.get(), image.get(), frame.indices.data(), frame.indices.size()) != LIQ_OK) {
        throw std::runtime_error("libimagequant could not remap the frame");
    }
    // The palette is final only after remapping. GIF has a single transparent entry, so every
    // mostly transparent entry is merged into one.
    const liq_palette* palette = liq_get_palette(result.get());
    std::array<std::uint8_t, paletteCapacity> remap{};
    for (unsigned entry = 0; entry < palette->count; ++entry) {
        const liq_color& colour = palette->entries[entry];
        if (colour.a < opaqueThreshold && frame.transparentIndex) {
            remap[entry] = *frame.transparentIndex;
            continue;
        }
        remap[entry] = static_cast<std::uint8_t>(frame.palette.size() / 3);
        if (colour.a < opaqueThreshold) {
            frame.transparentIndex = remap[entry];
            frame.palette.insert(frame.palette.end(), {0, 0, 0});
        } else {
            frame.palette.insert(frame.palette.end(), {colour.r, colour.g, colour.b});
        }
    }
    for (auto& index : frame.indices) index = remap[index];
    reserveTransparentEntry(frame);
    padPalette(frame);
    return frame;
}

int squaredDistance(const std::uint8_t* first, const std::uint8_t* second)
{
    int sum = 0;
    for (int channel = 0; channel < 3; ++channel)
        sum += (first[channel] - second[channel]) * (first[channel] - second[channel]);
    return sum;
}

}  // namespace

void freeTransparentEntry(IndexedFrame& frame)
{
    if (frame.transparentIndex || frame.palette.size() < paletteCapacity * 3) return;
    std::size_t kept = 0, freed = 1;
    int closest = squaredDistance(&frame.palette[0], &frame.palette[3]);
    for (std::size_t first = 0; first < paletteCapacity; ++first) {
        for (std::size_t second = first + 1; second < paletteCapacity; ++second) {
            const int distance = squaredDistance(&frame.palette[first * 3], &frame.palette[second * 3]);
            if (distance < closest) std::tie(closest, kept, freed) = std::tuple(distance, first, second);
        }
    }
    for (auto& index : frame.indices) {
        if (index == freed) index = static_cast<std::uint8_t>(kept);
    }
    frame.transparentIndex = static_cast<std::uint8_t>(freed);
    std::fill_n(frame.palette.begin() + static_cast<std::ptrdiff_t>(freed * 3), 3, 0);
}

void reduceColoursOnThisThreadAlone() noexcept
{
    // The thread count of an OpenMP runtime is set per thread. It is looked up in whichever runtime
    // libimagequant brought into the process, whatever this code was compiled with; a libimagequant
    // built without OpenMP brings none and needs nothing.
    using SetThreadCount = void (*)(int);
    if (const auto setThreadCount = reinterpret_cast<SetThreadCount>(::dlsym(RTLD_DEFAULT, "omp_set_num_threads"))) {
        setThreadCount(1);
    }
}

IndexedFrame indexFrame(const Image& image)
{
    // An opaque frame is its own flattened form, in either alpha mode; it is not copied.
    std::vector<std::uint8_t> flattened;
    std::span<const std::uint8_t> pixels = image.bytes();
    if (!isOpaque(image)) {
        flattened = flattenAlpha(image);
        pixels = flattened;
    }
    if (auto exact = exactFrame(pixels, image.width(), image.height())) {
        return std::move(*exact);
    }
    return quantizedFrame(pixels, image.width(), image.height());
}

}  // namespace tilvane

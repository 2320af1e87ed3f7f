#pragma once

#include "TilvaneCore/RGBColor.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace tilvane {

// Nearest palette colour by squared RGB distance, through a 32 × 32 × 32 grid of buckets that each
// list the few colours that can be nearest to some colour inside them. Gives exactly what a linear
// search over the palette gives, equally near colours resolving to the earliest in palette order.
class NearestColorLookup {
public:
    static constexpr std::size_t bucketCount = 32 * 32 * 32;
    static constexpr std::size_t mostColors = 65536;  // candidate indices are 16-bit

    // Throws std::invalid_argument unless there are 1 to 65536 colours.
    explicit NearestColorLookup(std::span<const RGBColor> colors);

    RGBColor nearest(RGBColor color) const noexcept
    {
        const std::size_t key = bucketKey(color);
        const std::uint32_t* const first = candidateColors_.data() + offsets_[key];
        const std::uint32_t* const end = candidateColors_.data() + offsets_[key + 1];
        // Distance in the high half and list position in the low half: the smallest key is the
        // nearest colour, and among equally near ones the earliest in the list, which is palette order.
        std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
        for (const std::uint32_t* candidate = first; candidate != end; ++candidate) {
            const int red = static_cast<int>(*candidate >> 16) - color.red;
            const int green = static_cast<int>((*candidate >> 8) & 0xFF) - color.green;
            const int blue = static_cast<int>(*candidate & 0xFF) - color.blue;
            const auto distance = static_cast<std::uint64_t>(red * red + green * green + blue * blue);
            best = std::min(best, distance << 32 | static_cast<std::uint64_t>(candidate - first));
        }
        return RGBColor::hex(first[best & 0xFFFFFFFF]);
    }

    const std::vector<RGBColor>& colors() const noexcept { return colors_; }
    // bucketCount + 1 entries: bucket k lists candidates()[offsets()[k] ..< offsets()[k + 1]].
    const std::vector<std::int32_t>& offsets() const noexcept { return offsets_; }
    // Indices into colors(), ascending within each bucket.
    const std::vector<std::uint16_t>& candidates() const noexcept { return candidates_; }

    // Red selects the slowest-varying coordinate, blue the fastest.
    static std::size_t bucketKey(RGBColor color) noexcept
    {
        return (std::size_t{color.red} >> 3) << 10 | (std::size_t{color.green} >> 3) << 5 | (color.blue >> 3);
    }

    static int squaredDistance(RGBColor a, RGBColor b) noexcept
    {
        const int red = int{a.red} - int{b.red};
        const int green = int{a.green} - int{b.green};
        const int blue = int{a.blue} - int{b.blue};
        return red * red + green * green + blue * blue;
    }

private:
    std::vector<RGBColor> colors_;
    std::vector<std::int32_t> offsets_;
    std::vector<std::uint16_t> candidates_;
    std::vector<std::uint32_t> candidateColors_;  // colors_[candidates_[i]] as 0xRRGGBB, read by nearest()
};

// The linear search the lookup stands in for: the earliest of the nearest colours. `colors` must not be empty.
RGBColor nearestByLinearSearch(RGBColor color, std::span<const RGBColor> colors) noexcept;

}  // namespace tilvane

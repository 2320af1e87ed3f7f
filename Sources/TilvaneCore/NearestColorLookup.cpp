#include "TilvaneCore/NearestColorLookup.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tilvane {

namespace {

// Exceeds twice the largest distance from a bucket's centre to a colour inside it (2 × √48 ≈ 13.86),
// so every colour that can be nearest to some colour of the bucket stays within the threshold.
constexpr double bucketMargin = 14;

}  // namespace

NearestColorLookup::NearestColorLookup(std::span<const RGBColor> colors) : colors_(colors.begin(), colors.end())
{
    if (colors.empty() || colors.size() > mostColors) {
        throw std::invalid_argument("A tabela de cores mais próximas precisa de 1 a 65536 cores.");
    }
    offsets_.reserve(bucketCount + 1);
    candidates_.reserve(bucketCount * 2);
    for (int red = 0; red < 32; ++red) {
        for (int green = 0; green < 32; ++green) {
            for (int blue = 0; blue < 32; ++blue) {
                offsets_.push_back(static_cast<std::int32_t>(candidates_.size()));
                const RGBColor centre{static_cast<std::uint8_t>(red * 8 + 4), static_cast<std::uint8_t>(green * 8 + 4),
                                      static_cast<std::uint8_t>(blue * 8 + 4)};
                int smallest = std::numeric_limits<int>::max();
                for (const RGBColor color : colors_) {
                    smallest = std::min(smallest, squaredDistance(color, centre));
                }
                const double reach = std::sqrt(static_cast<double>(smallest)) + bucketMargin;
                const auto threshold = static_cast<int>(std::ceil(reach * reach));
                for (std::size_t index = 0; index < colors_.size(); ++index) {
                    if (squaredDistance(colors_[index], centre) <= threshold) {
                        candidates_.push_back(static_cast<std::uint16_t>(index));
                    }
                }
                if (candidates_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                    throw std::length_error("A tabela de cores mais próximas ficaria grande demais.");
                }
            }
        }
    }
    offsets_.push_back(static_cast<std::int32_t>(candidates_.size()));
    candidateColors_.reserve(candidates_.size());
    for (const std::uint16_t index : candidates_) {
        const RGBColor color = colors_[index];
        candidateColors_.push_back(std::uint32_t{color.red} << 16 | std::uint32_t{color.green} << 8 | color.blue);
    }
}

RGBColor nearestByLinearSearch(RGBColor color, std::span<const RGBColor> colors) noexcept
{
    RGBColor best = colors.front();
    int bestDistance = std::numeric_limits<int>::max();
    for (const RGBColor candidate : colors) {
        const int distance = NearestColorLookup::squaredDistance(candidate, color);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace tilvane

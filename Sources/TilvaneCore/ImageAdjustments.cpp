#include "TilvaneCore/ImageAdjustments.hpp"

#include <algorithm>
#include <cmath>

namespace tilvane {

namespace {

bool isWithin(float value, float lower, float upper) noexcept
{
    return std::isfinite(value) && value >= lower && value <= upper;
}

// Clamps to 0...1; NaN, which only invalid adjustments produce, becomes 0.
double clampToUnit(double value) noexcept
{
    return value > 0 ? std::min(value, 1.0) : 0.0;
}

}  // namespace

bool ImageAdjustments::isValid() const noexcept
{
    return isWithin(exposure, -2, 2) && isWithin(contrast, 0.5f, 1.5f) && isWithin(gamma, 0.5f, 2);
}

bool ImageAdjustments::isNeutral() const noexcept
{
    return exposure == 0 && contrast == 1 && gamma == 1;
}

std::array<std::uint8_t, 256> ImageAdjustments::lookupTable() const noexcept
{
    const double scale = std::pow(2.0, static_cast<double>(exposure));
    const double power = 1.0 / static_cast<double>(gamma);
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        double value = (scale * (i / 255.0) - 0.5) * static_cast<double>(contrast) + 0.5;
        value = clampToUnit(std::pow(clampToUnit(value), power));
        // std::round takes halves away from zero.
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::round(value * 255.0));
    }
    return table;
}

}  // namespace tilvane

#include "TilvaneCore/DitherMode.hpp"

namespace tilvane {

std::string_view rawValue(DitherMode mode) noexcept
{
    switch (mode) {
    case DitherMode::none:
        return "none";
    case DitherMode::bayer4x4:
        return "bayer4x4";
    case DitherMode::floydSteinberg:
        return "floydSteinberg";
    }
    return "none";
}

std::optional<DitherMode> ditherModeFromRawValue(std::string_view text) noexcept
{
    for (const DitherMode mode : allDitherModes) {
        if (rawValue(mode) == text) {
            return mode;
        }
    }
    return std::nullopt;
}

}  // namespace tilvane

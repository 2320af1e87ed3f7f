#pragma once

#include "TilvaneCore/JsonCoding.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane {

// How blocks are dithered when they are mapped to a palette. The case name is the stored string.
enum class DitherMode {
    none,
    bayer4x4,
    floydSteinberg,
};

inline constexpr std::array<DitherMode, 3> allDitherModes{DitherMode::none, DitherMode::bayer4x4,
                                                          DitherMode::floydSteinberg};

// "none", "bayer4x4", "floydSteinberg".
std::string_view rawValue(DitherMode mode) noexcept;

// The mode whose raw value is exactly `text` (case included); nothing for any other text.
std::optional<DitherMode> ditherModeFromRawValue(std::string_view text) noexcept;

template <typename Json>
void to_json(Json& value, DitherMode mode)
{
    value = std::string(rawValue(mode));
}

template <typename Json>
void from_json(const Json& value, DitherMode& mode)
{
    const std::string text = json::toString(value, "dither");
    const auto parsed = ditherModeFromRawValue(text);
    if (!parsed) {
        throw json::DecodingError("\"" + text + "\" não é um modo de pontilhado conhecido.");
    }
    mode = *parsed;
}

}  // namespace tilvane

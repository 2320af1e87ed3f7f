#pragma once

#include "TilvaneCore/JsonCoding.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tilvane {

// One colour as three 8-bit sRGB channels.
struct RGBColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    // red from bits 16–23, green from bits 8–15, blue from bits 0–7; the top byte is ignored.
    static constexpr RGBColor hex(std::uint32_t value) noexcept
    {
        return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)};
    }

    friend bool operator==(const RGBColor&, const RGBColor&) = default;
};

// JSON: {"red": r, "green": g, "blue": b}, each an integer 0...255, all three required.
template <typename Json>
void to_json(Json& value, const RGBColor& color)
{
    value = Json::object();
    value["red"] = color.red;
    value["green"] = color.green;
    value["blue"] = color.blue;
}

template <typename Json>
void from_json(const Json& value, RGBColor& color)
{
    json::requireObject(value, "A cor");
    const auto channel = [&](const char* key) {
        return static_cast<std::uint8_t>(json::toInteger(json::requiredMember(value, key), key, 0, 255));
    };
    color = RGBColor{channel("red"), channel("green"), channel("blue")};
}

}  // namespace tilvane

template <>
struct std::hash<tilvane::RGBColor> {
    std::size_t operator()(const tilvane::RGBColor& color) const noexcept
    {
        return (std::size_t{color.red} << 16) | (std::size_t{color.green} << 8) | color.blue;
    }
};

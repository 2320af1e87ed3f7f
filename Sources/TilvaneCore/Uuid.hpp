#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane {

// A 128-bit identifier, written as 8-4-4-4-12 upper-case hexadecimal digits.
class Uuid {
public:
    Uuid() = default;  // all zeros
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}

    // A new random (version 4) identifier.
    static Uuid random();

    // Exactly 36 characters, 8-4-4-4-12 hexadecimal digits of either case; nothing otherwise.
    static std::optional<Uuid> parse(std::string_view text);

    std::string string() const;
    const std::array<std::uint8_t, 16>& bytes() const noexcept { return bytes_; }

    friend bool operator==(const Uuid&, const Uuid&) = default;
    friend auto operator<=>(const Uuid&, const Uuid&) = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

}  // namespace tilvane

template <>
struct std::hash<tilvane::Uuid> {
    std::size_t operator()(const tilvane::Uuid& uuid) const noexcept
    {
        std::size_t value = 0;
        for (const auto byte : uuid.bytes()) {
            value = value * 131 + byte;
        }
        return value;
    }
};

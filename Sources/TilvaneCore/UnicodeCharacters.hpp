#pragma once

// Characters of UTF-8 text, decoded by utf8proc: the one decoder of the project's text rules.

#include <cstddef>
#include <optional>
#include <string_view>

namespace tilvane::unicode {

// The character that starts at `position`, which then moves past it; nothing for malformed UTF-8
// (overlong forms, surrogates, values past U+10FFFF, a truncated sequence), `position` unchanged.
std::optional<char32_t> decodeNext(std::string_view text, std::size_t& position) noexcept;

// Whether the character has Unicode's White_Space property (spaces, tabs and line breaks).
bool isWhiteSpace(char32_t character) noexcept;

// The text without White_Space characters at either end. Malformed bytes count as visible characters.
std::string_view trimmingWhiteSpace(std::string_view text) noexcept;

}  // namespace tilvane::unicode

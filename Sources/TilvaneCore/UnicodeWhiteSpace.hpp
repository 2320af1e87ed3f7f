#pragma once

// UTF-8 decoding and the Unicode White_Space characters, for the model's text rules.

#include <cstddef>
#include <optional>
#include <string_view>

namespace tilvane {

// Decodes one UTF-8 code point at `position` (which is inside `text`) and advances past it;
// nothing, and `position` unchanged, for malformed input (overlong forms, surrogates, values
// past U+10FFFF, truncated sequences).
std::optional<char32_t> decodeCodePoint(std::string_view text, std::size_t& position);

// Whether the character has the Unicode White_Space property (spaces, tabs, line and paragraph
// separators, no-break spaces...).
bool isWhiteSpace(char32_t character) noexcept;

// The text without Unicode white space at either end. Malformed bytes count as visible.
std::string_view trimmingWhiteSpace(std::string_view text);

}  // namespace tilvane

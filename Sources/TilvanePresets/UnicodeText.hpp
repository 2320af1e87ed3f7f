#pragma once

// The text rules that preset names and session fields follow, on UTF-8 strings.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane::text {

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view text);

// The text without white space and line breaks (the Unicode White_Space characters) at both ends.
// Malformed bytes count as visible characters.
std::string trimmingWhitespace(std::string_view text);

// The text in lower case for the user's locale (LC_ALL, LC_CTYPE or LANG; C.UTF-8 when that locale
// is not installed), one character at a time. Malformed bytes are kept as they are.
std::string lowercasedForUserLocale(std::string_view text);

// The number of user-perceived characters: a base character with the combining marks, joiners,
// variation selectors, skin-tone modifiers and tags that attach to it counts once, and so does a
// pair of regional indicators. Nothing for malformed UTF-8.
std::optional<std::size_t> userPerceivedCharacterCount(std::string_view text);

}  // namespace tilvane::text

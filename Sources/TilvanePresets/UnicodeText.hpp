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

// The text in lower case for the user's language (LC_ALL, LC_CTYPE or LANG), composed (NFC), so that
// names that differ only in case or in how their accents are written compare equal. A capital sigma
// that ends a word becomes a final sigma; in Turkish and Azeri, I becomes a dotless i. Malformed
// bytes are kept as they are.
std::string lowercasedForUserLocale(std::string_view text);

// The number of user-perceived characters (Unicode's extended grapheme clusters): a base character
// with its combining marks, an emoji sequence joined by zero-width joiners, a Hangul syllable written
// in jamo and a pair of regional indicators each count once. Nothing for malformed UTF-8.
std::optional<std::size_t> userPerceivedCharacterCount(std::string_view text);

// The text whole when it holds at most `maximumCharacters` user-perceived characters; else its beginning and its end
// around "…", together `maximumCharacters` characters long, the ellipsis counted. Characters are never split; a
// malformed byte counts as one character.
std::string elidedInTheMiddle(std::string_view text, std::size_t maximumCharacters);

}  // namespace tilvane::text

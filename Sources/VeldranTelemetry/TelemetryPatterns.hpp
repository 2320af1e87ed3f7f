#pragma once

#include <string_view>

namespace veldran {

// Lower-case words of letters and digits joined by single underscores, the first starting with a letter.
// Used for application ids, event names and detail keys.
bool isSnakeCaseName(std::string_view text);

// One to forty characters of lower-case letters, digits, "_", "." and "-", starting with a letter or digit.
bool isDetailValue(std::string_view text);

// Exactly 8-4-4-4-12 hexadecimal digits of either case (no braces, no surrounding text).
bool isUuidText(std::string_view text);

// Three dot-separated groups of decimal digits ("1.2.3").
bool isMarketingVersion(std::string_view text);

// A decimal digit followed by digits and full stops ("42", "4.2.").
bool isBuildNumber(std::string_view text);

}  // namespace veldran

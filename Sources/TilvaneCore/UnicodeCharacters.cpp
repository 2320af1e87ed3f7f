#include "TilvaneCore/UnicodeCharacters.hpp"

#include <utf8proc.h>

#include <algorithm>

namespace tilvane::unicode {

std::optional<char32_t> decodeNext(std::string_view text, std::size_t& position) noexcept
{
    utf8proc_int32_t character = 0;
    const utf8proc_ssize_t length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + position),
                                                     static_cast<utf8proc_ssize_t>(text.size() - position), &character);
    if (length <= 0 || character < 0) {
        return std::nullopt;
    }
    position += static_cast<std::size_t>(length);
    return static_cast<char32_t>(character);
}

bool isWhiteSpace(char32_t character) noexcept
{
    // White_Space is the space separators, the line and paragraph separators, and five controls.
    if ((character >= 0x09 && character <= 0x0D) || character == 0x85) {
        return true;
    }
    const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(character));
    return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL || category == UTF8PROC_CATEGORY_ZP;
}

std::string_view trimmingWhiteSpace(std::string_view text) noexcept
{
    std::size_t start = text.size();
    std::size_t end = 0;  // one past the last visible character
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t characterStart = position;
        const auto character = decodeNext(text, position);
        if (!character) {
            ++position;  // a malformed byte counts as visible
        }
        if (!character || !isWhiteSpace(*character)) {
            start = std::min(start, characterStart);
            end = position;
        }
    }
    return start < end ? text.substr(start, end - start) : std::string_view();
}

}  // namespace tilvane::unicode

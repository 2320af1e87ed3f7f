#include "UnicodeCharacters.hpp"

#include <utf8proc.h>

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

}  // namespace tilvane::unicode

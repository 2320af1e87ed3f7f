#include "UnicodeWhiteSpace.hpp"

namespace tilvane {

std::optional<char32_t> decodeCodePoint(std::string_view text, std::size_t& position)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++position;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - position < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto continuation = static_cast<unsigned char>(text[position + i]);
        if ((continuation & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (continuation & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    position += length;
    return value;
}

bool isWhiteSpace(char32_t character) noexcept
{
    return (character >= 0x09 && character <= 0x0D) || character == 0x20 || character == 0x85 || character == 0xA0
           || character == 0x1680 || (character >= 0x2000 && character <= 0x200A) || character == 0x2028
           || character == 0x2029 || character == 0x202F || character == 0x205F || character == 0x3000;
}

std::string_view trimmingWhiteSpace(std::string_view text)
{
    std::size_t start = 0;
    std::size_t end = 0;  // one past the last visible character
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t characterStart = position;
        const auto character = decodeCodePoint(text, position);
        if (!character) {
            ++position;  // a malformed byte is visible
        }
        if (!character || !isWhiteSpace(*character)) {
            if (end == 0) {
                start = characterStart;
            }
            end = position;
        }
    }
    return text.substr(start, end - start);
}

}  // namespace tilvane

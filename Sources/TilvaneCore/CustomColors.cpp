// The text form of custom palettes: ImagePalette::customColorsText and ImagePalette::parseCustomColors.
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/UnicodeCharacters.hpp"

#include <algorithm>
#include <cstdio>

namespace tilvane {

namespace {

constexpr std::size_t fewestCustomColors = 2;
constexpr std::size_t mostCustomColors = 16;

// The pieces between commas and white space, runs of separators giving no empty piece;
// nothing when the text is not valid UTF-8.
std::optional<std::vector<std::string_view>> splitAtCommasAndWhiteSpace(std::string_view text)
{
    std::vector<std::string_view> pieces;
    std::size_t pieceStart = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t characterStart = position;
        const auto character = unicode::decodeNext(text, position);
        if (!character) {
            return std::nullopt;
        }
        if (*character == U',' || unicode::isWhiteSpace(*character)) {
            if (characterStart > pieceStart) {
                pieces.push_back(text.substr(pieceStart, characterStart - pieceStart));
            }
            pieceStart = position;
        }
    }
    if (text.size() > pieceStart) {
        pieces.push_back(text.substr(pieceStart));
    }
    return pieces;
}

std::optional<std::uint8_t> hexDigit(char character) noexcept
{
    if (character >= '0' && character <= '9') return static_cast<std::uint8_t>(character - '0');
    if (character >= 'a' && character <= 'f') return static_cast<std::uint8_t>(character - 'a' + 10);
    if (character >= 'A' && character <= 'F') return static_cast<std::uint8_t>(character - 'A' + 10);
    return std::nullopt;
}

// One optional "#" followed by exactly six hexadecimal digits.
std::optional<RGBColor> parseColorPiece(std::string_view piece)
{
    if (piece.starts_with('#')) {
        piece.remove_prefix(1);
    }
    if (piece.size() != 6) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char character : piece) {
        const auto digit = hexDigit(character);
        if (!digit) {
            return std::nullopt;
        }
        value = (value << 4) | *digit;
    }
    return RGBColor::hex(value);
}

}  // namespace

std::string ImagePalette::customColorsText(std::span<const RGBColor> colors)
{
    std::string text;
    for (const auto& color : colors) {
        if (!text.empty()) {
            text += ", ";
        }
        char piece[8];
        std::snprintf(piece, sizeof piece, "#%02X%02X%02X", color.red, color.green, color.blue);
        text += piece;
    }
    return text;
}

std::optional<std::vector<RGBColor>> ImagePalette::parseCustomColors(std::string_view text)
{
    const auto pieces = splitAtCommasAndWhiteSpace(text);
    if (!pieces || pieces->size() < fewestCustomColors || pieces->size() > mostCustomColors) {
        return std::nullopt;
    }
    std::vector<RGBColor> colors;
    for (const auto piece : *pieces) {
        const auto color = parseColorPiece(piece);
        if (!color || std::find(colors.begin(), colors.end(), *color) != colors.end()) {
            return std::nullopt;
        }
        colors.push_back(*color);
    }
    return colors;
}

}  // namespace tilvane

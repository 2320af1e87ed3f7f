#include "TilvanePresets/UnicodeText.hpp"

#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tilvane::text {
namespace {

struct DecodedCharacter {
    char32_t codePoint = 0;
    std::size_t length = 1;
    bool valid = false;
};

// One character at the start of `text` (which is not empty); an invalid one spans one byte.
DecodedCharacter decodeFirst(std::string_view text)
{
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1, true};

    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) return {};
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) return {};
        codePoint = (codePoint << 6) | (byte(index) & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return {};
    return {codePoint, length, true};
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool isWhitespace(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

struct Range {
    char32_t first;
    char32_t last;
};

// Characters that attach to the one before them: the common combining-mark blocks and the marks
// of the major scripts, joiners, Hangul vowel and final jamo, variation selectors, skin-tone
// modifiers and tags.
constexpr std::array extendingRanges{
    Range{0x0300, 0x036F},   Range{0x0483, 0x0489},   Range{0x0591, 0x05BD},   Range{0x05BF, 0x05C7},
    Range{0x0610, 0x061A},   Range{0x064B, 0x065F},   Range{0x0670, 0x0670},   Range{0x06D6, 0x06ED},
    Range{0x0711, 0x0711},   Range{0x0730, 0x074A},   Range{0x07A6, 0x07B0},   Range{0x0816, 0x082D},
    Range{0x0900, 0x0903},   Range{0x093A, 0x094F},   Range{0x0951, 0x0957},   Range{0x0962, 0x0963},
    Range{0x0981, 0x0983},   Range{0x09BC, 0x09D7},   Range{0x0E31, 0x0E31},   Range{0x0E34, 0x0E3A},
    Range{0x0E47, 0x0E4E},   Range{0x1160, 0x11FF},   Range{0x1AB0, 0x1AFF},   Range{0x1DC0, 0x1DFF},
    Range{0x200C, 0x200D},   Range{0x20D0, 0x20FF},   Range{0x302A, 0x302F},   Range{0x3099, 0x309A},
    Range{0xFE00, 0xFE0F},   Range{0xFE20, 0xFE2F},   Range{0x1F3FB, 0x1F3FF}, Range{0xE0020, 0xE007F},
    Range{0xE0100, 0xE01EF},
};

bool extendsPrevious(char32_t c)
{
    return std::any_of(extendingRanges.begin(), extendingRanges.end(),
                       [c](const Range& range) { return c >= range.first && c <= range.last; });
}

bool isRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

constexpr char32_t zeroWidthJoiner = 0x200D;

// The user's character-type locale when it is a UTF-8 one, else C.UTF-8 (plain Unicode rules).
class CharacterLocale {
public:
    CharacterLocale()
    {
        handle_ = newlocale(LC_CTYPE_MASK, "", nullptr);
        if (handle_ != nullptr && std::strcmp(nl_langinfo_l(CODESET, handle_), "UTF-8") != 0) {
            freelocale(handle_);
            handle_ = nullptr;
        }
        if (handle_ == nullptr) handle_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    }
    ~CharacterLocale()
    {
        if (handle_ != nullptr) freelocale(handle_);
    }
    CharacterLocale(const CharacterLocale&) = delete;
    CharacterLocale& operator=(const CharacterLocale&) = delete;

    char32_t lowercased(char32_t c) const
    {
        if (handle_ == nullptr) return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), handle_));
    }

private:
    locale_t handle_ = nullptr;
};

}  // namespace

bool isValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        const auto decoded = decodeFirst(text);
        if (!decoded.valid) return false;
        text.remove_prefix(decoded.length);
    }
    return true;
}

std::string trimmingWhitespace(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const auto decoded = decodeFirst(text.substr(start));
        if (!decoded.valid || !isWhitespace(decoded.codePoint)) break;
        start += decoded.length;
    }
    std::size_t end = start;  // one past the last visible character
    for (std::size_t index = start; index < text.size();) {
        const auto decoded = decodeFirst(text.substr(index));
        index += decoded.length;
        if (!decoded.valid || !isWhitespace(decoded.codePoint)) end = index;
    }
    return std::string(text.substr(start, end - start));
}

std::string lowercasedForUserLocale(std::string_view text)
{
    const CharacterLocale locale;
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const auto decoded = decodeFirst(text);
        if (decoded.valid) {
            appendUtf8(result, locale.lowercased(decoded.codePoint));
        } else {
            result += text.front();
        }
        text.remove_prefix(decoded.length);
    }
    return result;
}

std::optional<std::size_t> userPerceivedCharacterCount(std::string_view text)
{
    std::size_t count = 0;
    char32_t previous = 0;
    bool hasPrevious = false;
    bool pendingRegionalPair = false;  // the previous character opened a flag
    while (!text.empty()) {
        const auto decoded = decodeFirst(text);
        if (!decoded.valid) return std::nullopt;
        text.remove_prefix(decoded.length);
        const char32_t c = decoded.codePoint;

        bool joins = false;
        if (hasPrevious) {
            joins = extendsPrevious(c) || previous == zeroWidthJoiner || (previous == U'\r' && c == U'\n') ||
                    (pendingRegionalPair && isRegionalIndicator(c));
        }
        if (isRegionalIndicator(c)) {
            pendingRegionalPair = !(joins && pendingRegionalPair);
        } else if (!extendsPrevious(c)) {
            pendingRegionalPair = false;
        }
        if (!joins) ++count;
        previous = c;
        hasPrevious = true;
    }
    return count;
}

}  // namespace tilvane::text

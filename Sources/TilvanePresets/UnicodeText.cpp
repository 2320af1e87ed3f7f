#include "TilvanePresets/UnicodeText.hpp"

#include "TilvaneCore/UnicodeCharacters.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tilvane::text {
namespace {

constexpr char32_t capitalSigma = 0x03A3, smallSigma = 0x03C3, finalSigma = 0x03C2;
constexpr char32_t capitalI = U'I', smallI = U'i', dotlessSmallI = 0x0131, combiningDotAbove = 0x0307;

// The text in a normalisation form of utf8proc's (`options`); `text` is valid UTF-8.
std::string normalized(std::string_view text, int options)
{
    utf8proc_uint8_t* result = nullptr;
    const utf8proc_ssize_t length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()), static_cast<utf8proc_ssize_t>(text.size()),
                     &result, static_cast<utf8proc_option_t>(UTF8PROC_STABLE | options));
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(result, &std::free);
    if (length < 0) {
        return std::string(text);
    }
    return std::string(reinterpret_cast<const char*>(result), static_cast<std::size_t>(length));
}

std::vector<char32_t> characters(std::string_view text)
{
    std::vector<char32_t> result;
    for (std::size_t position = 0; position < text.size();) {
        const auto character = unicode::decodeNext(text, position);
        if (!character) {
            break;
        }
        result.push_back(*character);
    }
    return result;
}

void appendUtf8(std::string& out, char32_t character)
{
    utf8proc_uint8_t bytes[4];
    const auto length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(character), bytes);
    out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

utf8proc_category_t categoryOf(char32_t character)
{
    return utf8proc_category(static_cast<utf8proc_int32_t>(character));
}

bool isCased(char32_t character)
{
    const auto category = categoryOf(character);
    return category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LL || category == UTF8PROC_CATEGORY_LT;
}

// Marks, format characters, modifiers and the apostrophes and points that may sit inside a word.
bool isCaseIgnorable(char32_t character)
{
    switch (categoryOf(character)) {
    case UTF8PROC_CATEGORY_MN:
    case UTF8PROC_CATEGORY_ME:
    case UTF8PROC_CATEGORY_CF:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_SK:
        return true;
    default:
        break;
    }
    switch (character) {
    case U'\'':
    case U'.':
    case U':':
    case 0x00B7:
    case 0x2018:
    case 0x2019:
    case 0x2024:
    case 0x2027:
        return true;
    default:
        return false;
    }
}

// Whether a cased letter comes next in `direction` (+1 or -1) from `index`, skipping case-ignorables.
bool casedLetterNearby(const std::vector<char32_t>& text, std::size_t index, int direction)
{
    for (auto position = static_cast<std::ptrdiff_t>(index) + direction;
         position >= 0 && position < static_cast<std::ptrdiff_t>(text.size()); position += direction) {
        const char32_t character = text[static_cast<std::size_t>(position)];
        if (!isCaseIgnorable(character)) {
            return isCased(character);
        }
    }
    return false;
}

// Turkish and Azeri write the lower case of I without a dot; the language is read from LC_ALL,
// LC_CTYPE or LANG, as the C library does.
bool userLanguageHasDotlessI()
{
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        const std::string_view locale(value);
        const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
        return language == "tr" || language == "az";
    }
    return false;
}

// Lower case with the rules that depend on context: a capital sigma ending a word becomes the final
// sigma, and in Turkish and Azeri a capital I becomes a dotless i unless a combining dot follows it.
// `text` is decomposed (NFD), valid UTF-8.
std::string lowercasedDecomposed(std::string_view text, bool dotlessI)
{
    const std::vector<char32_t> decoded = characters(text);
    std::string result;
    result.reserve(text.size());
    for (std::size_t index = 0; index < decoded.size(); ++index) {
        const char32_t character = decoded[index];
        if (character == capitalSigma) {
            const bool endsWord = casedLetterNearby(decoded, index, -1) && !casedLetterNearby(decoded, index, +1);
            appendUtf8(result, endsWord ? finalSigma : smallSigma);
        } else if (dotlessI && character == capitalI) {
            const bool dotted = index + 1 < decoded.size() && decoded[index + 1] == combiningDotAbove;
            appendUtf8(result, dotted ? smallI : dotlessSmallI);
            index += dotted ? 1 : 0;
        } else {
            appendUtf8(result, static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(character))));
        }
    }
    return result;
}

// The byte offsets at which the user-perceived characters of `text` start; a malformed byte is a character of its own.
std::vector<std::size_t> characterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    utf8proc_int32_t state = 0;
    utf8proc_int32_t previous = -1;
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t start = position;
        const auto character = unicode::decodeNext(text, position);
        if (!character) {
            starts.push_back(start);
            position = start + 1;
            previous = -1;
            state = 0;
            continue;
        }
        const auto current = static_cast<utf8proc_int32_t>(*character);
        if (previous < 0 || utf8proc_grapheme_break_stateful(previous, current, &state)) {
            starts.push_back(start);
        }
        previous = current;
    }
    return starts;
}

}  // namespace

bool isValidUtf8(std::string_view text)
{
    for (std::size_t position = 0; position < text.size();) {
        if (!unicode::decodeNext(text, position)) {
            return false;
        }
    }
    return true;
}

std::string trimmingWhitespace(std::string_view text)
{
    return std::string(unicode::trimmingWhiteSpace(text));
}

std::string lowercasedForUserLocale(std::string_view text)
{
    const bool dotlessI = userLanguageHasDotlessI();
    std::string result;
    result.reserve(text.size());
    // Runs of well-formed text are lowered and composed; malformed bytes between them stay as they are.
    std::size_t runStart = 0;
    const auto lowerRun = [&](std::size_t runEnd) {
        const std::string decomposed = normalized(text.substr(runStart, runEnd - runStart), UTF8PROC_DECOMPOSE);
        result += normalized(lowercasedDecomposed(decomposed, dotlessI), UTF8PROC_COMPOSE);
    };
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t characterStart = position;
        if (!unicode::decodeNext(text, position)) {
            lowerRun(characterStart);
            result += text[characterStart];
            runStart = position = characterStart + 1;
        }
    }
    lowerRun(text.size());
    return result;
}

std::optional<std::size_t> userPerceivedCharacterCount(std::string_view text)
{
    if (!isValidUtf8(text)) {
        return std::nullopt;
    }
    return characterStarts(text).size();
}

std::string elidedInTheMiddle(std::string_view text, std::size_t maximumCharacters)
{
    const std::vector<std::size_t> starts = characterStarts(text);
    if (starts.size() <= maximumCharacters) {
        return std::string(text);
    }
    if (maximumCharacters == 0) {
        return {};
    }
    const std::size_t kept = maximumCharacters - 1;  // the ellipsis is one of them
    const std::size_t head = (kept + 1) / 2;
    const std::size_t tail = kept - head;
    const std::size_t tailStart = tail == 0 ? text.size() : starts[starts.size() - tail];
    std::string result(text.substr(0, starts[head]));
    result.append("…").append(text.substr(tailStart));
    return result;
}

}  // namespace tilvane::text

#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <algorithm>
#include <cstddef>

namespace veldran {
namespace {

// Written out by hand rather than as regular expressions: the standard library's matcher recurses once per
// character and overflows the stack on long text (an information key of a few hundred kilobytes).

bool isLowerCaseLetter(char character)
{
    return character >= 'a' && character <= 'z';
}

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

bool isHexadecimalDigit(char character)
{
    return isDigit(character) || (character >= 'a' && character <= 'f') || (character >= 'A' && character <= 'F');
}

bool isLowerCaseLetterOrDigit(char character)
{
    return isLowerCaseLetter(character) || isDigit(character);
}

}  // namespace

bool isSnakeCaseName(std::string_view text)
{
    if (text.empty() || !isLowerCaseLetter(text.front()) || text.back() == '_'
        || text.find("__") != std::string_view::npos)
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char character) { return isLowerCaseLetterOrDigit(character) || character == '_'; });
}

bool isDetailValue(std::string_view text)
{
    if (text.empty() || text.size() > 40 || !isLowerCaseLetterOrDigit(text.front())) return false;
    return std::all_of(text.begin(), text.end(), [](char character) {
        return isLowerCaseLetterOrDigit(character) || character == '_' || character == '.' || character == '-';
    });
}

bool isUuidText(std::string_view text)
{
    if (text.size() != 36) return false;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const bool hyphenPlace = index == 8 || index == 13 || index == 18 || index == 23;
        if (hyphenPlace ? text[index] != '-' : !isHexadecimalDigit(text[index])) return false;
    }
    return true;
}

bool isMarketingVersion(std::string_view text)
{
    int groups = 0;
    while (true) {
        const std::size_t length = std::min(text.find('.'), text.size());
        const std::string_view group = text.substr(0, length);
        if (group.empty() || !std::all_of(group.begin(), group.end(), isDigit) || ++groups > 3) return false;
        if (length == text.size()) return groups == 3;
        text.remove_prefix(length + 1);
    }
}

bool isBuildNumber(std::string_view text)
{
    return !text.empty() && isDigit(text.front()) && std::all_of(text.begin(), text.end(), [](char character) {
        return isDigit(character) || character == '.';
    });
}

}  // namespace veldran

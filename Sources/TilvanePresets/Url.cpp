#include "TilvanePresets/Url.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tilvane {
namespace {

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Characters a URL path holds as they are; every other byte is percent-encoded.
bool isPathCharacter(unsigned char c)
{
    return std::isalnum(c) != 0 || std::strchr("-._~/!$&'()*+,:=@", c) != nullptr;
}

std::string percentEncodedPath(const std::string& path)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char character : path) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte != 0 && isPathCharacter(byte)) {
            encoded += character;
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string percentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '%' && index + 2 < text.size() && isHexDigit(text[index + 1])
            && isHexDigit(text[index + 2])) {
            decoded += static_cast<char>(hexValue(text[index + 1]) * 16 + hexValue(text[index + 2]));
            index += 2;
        } else {
            decoded += text[index];
        }
    }
    return decoded;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    });
}

bool isAllowedInURL(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && std::strchr("<>\"{}|\\^`", c) == nullptr;
}

}  // namespace

Url Url::file(const std::filesystem::path& path)
{
    const std::filesystem::path absolute = path.is_absolute() ? path : std::filesystem::absolute(path);
    return Url("file://" + percentEncodedPath(absolute.string()));
}

std::optional<Url> Url::parse(std::string_view text)
{
    if (text.empty()) return std::nullopt;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (!isAllowedInURL(text[index])) return std::nullopt;
        if (text[index] == '%'
            && (index + 2 >= text.size() || !isHexDigit(text[index + 1]) || !isHexDigit(text[index + 2]))) {
            return std::nullopt;
        }
    }
    return Url(std::string(text));
}

std::string Url::schemeOf(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || std::isalpha(static_cast<unsigned char>(text[0])) == 0) return {};
    std::string scheme;
    for (std::size_t index = 0; index < colon; ++index) {
        const auto c = static_cast<unsigned char>(text[index]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') return {};
        scheme += static_cast<char>(std::tolower(c));
    }
    return scheme;
}

std::string Url::scheme() const
{
    return schemeOf(text_);
}

std::string_view Url::afterScheme() const
{
    std::string_view rest = text_;
    if (const auto length = scheme().size(); length > 0) rest.remove_prefix(length + 1);
    return rest;
}

std::string_view Url::host() const
{
    const std::string_view rest = afterScheme();
    if (!rest.starts_with("//")) return {};
    return rest.substr(2, rest.find('/', 2) - 2);
}

std::filesystem::path Url::path() const
{
    std::string_view rest = afterScheme();
    if (rest.starts_with("//")) rest.remove_prefix(2 + host().size());
    rest = rest.substr(0, rest.find_first_of("?#"));
    return std::filesystem::path(percentDecoded(rest));
}

std::optional<std::filesystem::path> Url::localFilePath() const
{
    if (!isFileURL()) return std::nullopt;
    if (const auto named = host(); !named.empty() && !equalsIgnoringCase(named, "localhost")) return std::nullopt;
    std::filesystem::path local = path();
    // No file is named with a NUL byte: the system would read the name only up to it, which names another file.
    if (!local.is_absolute() || local.native().find('\0') != std::string::npos) return std::nullopt;
    return local;
}

}  // namespace tilvane

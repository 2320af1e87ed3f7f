#include "VeldranTelemetry/Dsn.hpp"

#include <algorithm>
#include <cctype>

namespace veldran {
namespace {

bool isSchemeCharacter(char character)
{
    return std::isalnum(static_cast<unsigned char>(character)) || character == '+' || character == '-'
           || character == '.';
}

// Characters a URL may hold as written; anything else (spaces, controls, non-ASCII) is not a URL.
bool isUrlCharacter(char character)
{
    const auto byte = static_cast<unsigned char>(character);
    if (byte <= 0x20 || byte >= 0x7F) return false;
    return std::string_view("\"<>\\^`{|}").find(character) == std::string_view::npos;
}

}  // namespace

std::optional<Dsn> Dsn::parse(std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), isUrlCharacter)) return std::nullopt;
    const auto schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos || schemeEnd == 0 || !std::isalpha(static_cast<unsigned char>(text.front()))
        || !std::all_of(text.begin(), text.begin() + schemeEnd, isSchemeCharacter))
        return std::nullopt;

    Dsn dsn;
    dsn.scheme = std::string(text.substr(0, schemeEnd));
    auto rest = text.substr(schemeEnd + 3);
    const auto authorityEnd = rest.find_first_of("/?#");
    auto authority = rest.substr(0, authorityEnd);
    auto remainder = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    dsn.path = std::string(remainder.substr(0, remainder.find_first_of("?#")));

    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        const auto userInfo = authority.substr(0, at);
        authority.remove_prefix(at + 1);
        if (const auto colon = userInfo.find(':'); colon != std::string_view::npos) {
            dsn.user = std::string(userInfo.substr(0, colon));
            dsn.password = std::string(userInfo.substr(colon + 1));
        } else {
            dsn.user = std::string(userInfo);
        }
    }
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        dsn.host = std::string(authority.substr(0, close + 1));
        authority.remove_prefix(close + 1);
        if (!authority.empty() && authority.front() != ':') return std::nullopt;
    } else {
        const auto colon = authority.find(':');
        dsn.host = std::string(authority.substr(0, colon));
        authority.remove_prefix(colon == std::string_view::npos ? authority.size() : colon);
    }
    if (!authority.empty()) {
        const auto port = authority.substr(1);
        if (!std::all_of(port.begin(), port.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return std::nullopt;
        dsn.port = std::string(port);
    }
    return dsn;
}

std::string Dsn::lastPathComponent() const
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace veldran

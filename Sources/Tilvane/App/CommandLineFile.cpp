#include "Tilvane/App/CommandLineFile.hpp"

#include "TilvanePresets/Url.hpp"

#include <algorithm>
#include <cctype>

namespace tilvane {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view lowerCasePrefix)
{
    return text.size() >= lowerCasePrefix.size()
           && std::ranges::equal(text.substr(0, lowerCasePrefix.size()), lowerCasePrefix, [](char a, char b) {
                  return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
              });
}

// A letter, then letters, digits, "+", "-" or ".", then "://".
bool startsWithSchemeAndSlashes(std::string_view text)
{
    const auto end = text.find("://");
    if (end == std::string_view::npos || end == 0) return false;
    const std::string_view scheme = text.substr(0, end);
    return std::isalpha(static_cast<unsigned char>(scheme.front())) != 0 && std::ranges::all_of(scheme, [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
           });
}

}  // namespace

std::optional<std::filesystem::path> commandLineFile(std::string_view argument,
                                                     const std::filesystem::path& workingFolder)
{
    if (argument.empty()) return std::nullopt;
    const std::filesystem::path asNamed = (workingFolder / argument).lexically_normal();
    const bool isFileAddress = startsWithIgnoringCase(argument, "file:");
    if (!isFileAddress) return startsWithSchemeAndSlashes(argument) ? std::nullopt : std::optional(asNamed);
    const auto url = Url::parse(argument);
    if (auto local = url ? url->localFilePath() : std::nullopt) return local->lexically_normal();
    return asNamed;
}

}  // namespace tilvane

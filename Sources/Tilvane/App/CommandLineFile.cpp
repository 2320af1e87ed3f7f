#include "Tilvane/App/CommandLineFile.hpp"

#include "TilvanePresets/Url.hpp"

namespace tilvane {

std::optional<std::filesystem::path> commandLineFile(std::string_view argument,
                                                     const std::filesystem::path& workingFolder)
{
    if (argument.empty()) return std::nullopt;
    const std::filesystem::path asNamed = (workingFolder / argument).lexically_normal();
    const std::string scheme = Url::schemeOf(argument);
    if (scheme != "file") {
        const bool isAddress = !scheme.empty() && argument.substr(scheme.size()).starts_with("://");
        return isAddress ? std::nullopt : std::optional(asNamed);
    }
    const auto url = Url::parse(argument);
    if (auto local = url ? url->localFilePath() : std::nullopt) return local->lexically_normal();
    return asNamed;
}

}  // namespace tilvane

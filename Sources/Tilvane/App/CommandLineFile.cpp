#include "Tilvane/App/CommandLineFile.hpp"

#include "TilvanePresets/Url.hpp"

namespace tilvane {
namespace {

// `path` without its "." segments and repeated separators. ".." stays: after a symbolic link it leads out of the
// link's target, not back to the folder the name shows, and only the file system can tell which that is.
std::filesystem::path withoutDotSegments(const std::filesystem::path& path)
{
    std::filesystem::path result = path.root_path();
    for (const auto& segment : path.relative_path()) {
        if (segment != "." && !segment.empty()) result /= segment;
    }
    // A name that ends in a separator names a folder; it keeps saying so.
    if (!path.has_filename() && path.has_relative_path()) result /= "";
    return result;
}

}  // namespace

std::optional<std::filesystem::path> commandLineFile(std::string_view argument,
                                                     const std::filesystem::path& workingFolder)
{
    if (argument.empty()) return std::nullopt;
    const std::filesystem::path asNamed = withoutDotSegments(workingFolder / argument);
    const std::string scheme = Url::schemeOf(argument);
    if (scheme != "file") {
        const bool isAddress = !scheme.empty() && argument.substr(scheme.size()).starts_with("://");
        return isAddress ? std::nullopt : std::optional(asNamed);
    }
    const auto url = Url::parse(argument);
    if (auto local = url ? url->localFilePath() : std::nullopt) return withoutDotSegments(*local);
    return asNamed;
}

}  // namespace tilvane

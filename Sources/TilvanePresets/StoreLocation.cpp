#include "TilvanePresets/StoreLocation.hpp"

#include "TilvanePresets/TilvaneSupportDirectory.hpp"

namespace tilvane {

StoreLocation::StoreLocation(std::optional<std::filesystem::path> fileURL, std::string_view defaultFileName)
{
    if (fileURL) {
        fileURL_ = std::move(*fileURL);
        return;
    }
    try {
        fileURL_ = TilvaneSupportDirectory::url() / defaultFileName;
    } catch (const SupportDirectoryError&) {
        // Every operation of the store reports the error; the store itself can still be created.
    }
}

const std::filesystem::path& StoreLocation::requireFileURL() const
{
    if (fileURL_.empty()) throw SupportDirectoryError(SupportDirectoryErrorCase::unavailable);
    return fileURL_;
}

}  // namespace tilvane

#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tilvane {

// Where a store keeps its file: the location it was given, or the default file name in the
// support folder as it was at the store's creation.
class StoreLocation {
public:
    StoreLocation(std::optional<std::filesystem::path> fileURL, std::string_view defaultFileName);

    // The file; empty when no support folder could be found.
    const std::filesystem::path& fileURL() const { return fileURL_; }

    // The file, or SupportDirectoryError when no support folder could be found.
    const std::filesystem::path& requireFileURL() const;

private:
    std::filesystem::path fileURL_;
};

}  // namespace tilvane

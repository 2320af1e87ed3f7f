#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tilvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it. Throws when
// the folder cannot be made.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Names of every entry in the folder, hidden ones included, sorted.
    std::vector<std::string> entryNames() const;

private:
    std::filesystem::path path_;
};

}  // namespace tilvane::testing

#pragma once

#include <filesystem>

namespace tilvane {

// The application's own resources, "Tilvane_Tilvane.bundle".
class ResourceBundle {
public:
    static constexpr const char* folderName = "Tilvane_Tilvane.bundle";

    // <folder of the running executable>/../Resources/Tilvane_Tilvane.bundle when it exists, else the
    // bundle the build placed in its own application folder. Resolved once per process.
    static const std::filesystem::path& resources();
};

}  // namespace tilvane

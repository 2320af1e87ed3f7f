#pragma once

#include <filesystem>

namespace tilvane {

// The shader module's resource bundle, "Tilvane_TilvaneShaders.bundle": the GLSL sources in
// Resources/Shaders and the built-in presets in Resources/ZentorialPresets.json.
class ShaderBundle {
public:
    static constexpr const char* folderName = "Tilvane_TilvaneShaders.bundle";

    // A bundle at `root` (tests point the module at a folder of their own this way).
    explicit ShaderBundle(std::filesystem::path root);

    // The application's bundle, <folder of the running executable>/../Resources/Tilvane_TilvaneShaders.bundle,
    // resolved once per process. The folder may not exist; reading from it then finds nothing.
    static const ShaderBundle& application();

    const std::filesystem::path& root() const noexcept { return root_; }
    std::filesystem::path resourcesFolder() const;  // root/Resources
    std::filesystem::path shadersFolder() const;    // root/Resources/Shaders
    std::filesystem::path presetsFile() const;      // root/Resources/ZentorialPresets.json

private:
    std::filesystem::path root_;
};

}  // namespace tilvane

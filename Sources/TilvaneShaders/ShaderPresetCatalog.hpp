#pragma once

#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"

#include <filesystem>
#include <mutex>
#include <vector>

namespace tilvane {

// The JSON array of presets in `file`, in its order; passes without an id get a random one now.
// A missing, unreadable or malformed file gives an empty list.
std::vector<ShaderPreset> loadShaderPresets(const std::filesystem::path& file);

// The presets of one bundle, read on first use, once, even when the first uses come from several
// threads at the same time; read-only afterwards. `ShaderPreset::builtIn()` is the application
// bundle's catalogue.
class ShaderPresetCatalog {
public:
    explicit ShaderPresetCatalog(ShaderBundle bundle);

    ShaderPresetCatalog(const ShaderPresetCatalog&) = delete;
    ShaderPresetCatalog& operator=(const ShaderPresetCatalog&) = delete;

    const std::vector<ShaderPreset>& presets() const;

private:
    ShaderBundle bundle_;
    mutable std::once_flag loaded_;
    mutable std::vector<ShaderPreset> presets_;
};

}  // namespace tilvane

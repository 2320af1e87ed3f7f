#pragma once
// Shared by the application's benchmark programs (each .cpp is its own program; this header is not).

#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <algorithm>
#include <filesystem>

namespace tilvane::bench {

inline ShaderBundle applicationShaders()
{
    return ShaderBundle(std::filesystem::path(TILVANE_BENCH_APP_DIR) / "Resources" / ShaderBundle::folderName);
}

inline const std::vector<ShaderPreset>& builtInPresets()
{
    static const ShaderPresetCatalog catalog(applicationShaders());
    return catalog.presets();
}

// The phosphor preset with halation: the most draws per frame of the built-in presets.
inline const ShaderPreset& heaviestPreset()
{
    const auto& list = builtInPresets();
    const auto found = std::ranges::find_if(list, [](const ShaderPreset& preset) {
        return std::ranges::any_of(preset.passes, [](const ShaderPass& pass) {
            return pass.effect == "realisticPhosphor" && pass.settings.contains("bloomStyle")
                   && pass.settings.at("bloomStyle") > 0.5f;
        });
    });
    return found != list.end() ? *found : list.front();
}

}  // namespace tilvane::bench

#include "ShaderPresetCatalog.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <fstream>
#include <utility>

namespace tilvane {

std::vector<ShaderPreset> loadShaderPresets(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return {};
    }
    const auto document = nlohmann::json::parse(stream, nullptr, false);
    if (document.is_discarded() || !document.is_array()) {
        return {};
    }
    std::vector<ShaderPreset> presets;
    presets.reserve(document.size());
    try {
        for (const auto& element : document) {
            presets.push_back(ShaderPreset::fromJson(element));
        }
    } catch (const json::DecodingError&) {
        return {};
    }
    return presets;
}

ShaderPresetCatalog::ShaderPresetCatalog(ShaderBundle bundle) : bundle_(std::move(bundle)) {}

const std::vector<ShaderPreset>& ShaderPresetCatalog::presets() const
{
    std::call_once(loaded_, [this] { presets_ = loadShaderPresets(bundle_.presetsFile()); });
    return presets_;
}

const std::vector<ShaderPreset>& ShaderPreset::builtIn()
{
    static const ShaderPresetCatalog catalog(ShaderBundle::application());
    return catalog.presets();
}

}  // namespace tilvane

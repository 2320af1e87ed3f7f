#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>

namespace tilvane {

namespace {

// The whole file, or nothing when it is not a regular file that can be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    try {
        std::ifstream stream(file, std::ios::binary);
        std::ostringstream text;
        text << stream.rdbuf();
        if (!stream || !text) {
            return std::nullopt;
        }
        return std::move(text).str();
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

}  // namespace

std::vector<ShaderPreset> loadShaderPresets(const std::filesystem::path& file)
{
    const auto text = readWholeFile(file);
    if (!text) {
        return {};
    }
    const auto document = nlohmann::json::parse(*text, nullptr, false);
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

#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/ShaderParameter.hpp"
#include "TilvaneShaders/Model/UniformLists.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace tilvane {
namespace {

const ShaderBundle applicationBundle{TILVANE_SHADERS_BUNDLE};

class BuiltInPresetsResource : public testing::Test {
protected:
    const std::vector<ShaderPreset> presets = loadShaderPresets(applicationBundle.presetsFile());
};

TEST_F(BuiltInPresetsResource, Decodes)
{
    EXPECT_GE(presets.size(), 6u);
    EXPECT_LE(presets.size(), 10u);
    for (const auto& preset : presets) {
        EXPECT_FALSE(preset.name.empty()) << preset.id;
        EXPECT_FALSE(preset.passes.empty()) << preset.id;
    }
}

TEST_F(BuiltInPresetsResource, EveryPassCarriesAFixedUpperCaseId)
{
    std::ifstream stream(applicationBundle.presetsFile());
    const auto document = nlohmann::json::parse(stream);
    for (const auto& preset : document) {
        for (const auto& pass : preset.at("passes")) {
            ASSERT_TRUE(pass.contains("id") && pass.at("id").is_string()) << preset.at("id");
            const auto id = pass.at("id").get<std::string>();
            ASSERT_TRUE(Uuid::parse(id).has_value()) << id;
            EXPECT_EQ(Uuid::parse(id)->string(), id) << "written in upper case";
        }
    }
    EXPECT_EQ(loadShaderPresets(applicationBundle.presetsFile()).at(0).passes.at(0).id, presets.at(0).passes.at(0).id)
        << "two reads give the same pass ids";
}

TEST_F(BuiltInPresetsResource, IdsAreUnique)
{
    std::set<std::string> presetIds;
    std::set<Uuid> passIds;
    for (const auto& preset : presets) {
        EXPECT_TRUE(presetIds.insert(preset.id).second) << preset.id;
        for (const auto& pass : preset.passes) EXPECT_TRUE(passIds.insert(pass.id).second) << pass.id.string();
    }
}

TEST_F(BuiltInPresetsResource, UsesEveryEffectAndNothingElse)
{
    std::set<std::string> used;
    bool chainsTwoPasses = false;
    bool framesAMonitor = false;
    for (const auto& preset : presets) {
        for (const auto& pass : preset.passes) {
            EXPECT_TRUE(effect::isKnown(pass.effect)) << preset.id << ": " << pass.effect;
            used.insert(pass.effect);
        }
        chainsTwoPasses = chainsTwoPasses || preset.passes.size() >= 2;
        framesAMonitor = framesAMonitor || preset.bezel.isOn;
    }
    for (const auto effect : effect::all) EXPECT_TRUE(used.contains(std::string(effect))) << effect;
    EXPECT_TRUE(chainsTwoPasses);
    EXPECT_TRUE(framesAMonitor);
}

// The stored keys of one effect's table, with the range each value must keep.
std::map<std::string, ShaderParameter> storedKeys(const std::string& effect)
{
    std::map<std::string, ShaderParameter> keys;
    for (const auto& parameter : ShaderParameter::forEffect(effect)) {
        if (parameter.kind == ShaderParameter::Kind::color) {
            for (const char* channel : {"R", "G", "B"}) keys.emplace(parameter.key + channel, parameter);
        } else {
            keys.emplace(parameter.key, parameter);
        }
    }
    return keys;
}

TEST_F(BuiltInPresetsResource, ValuesLieInTheInspectorsRanges)
{
    const std::regex colorText("#[0-9A-Fa-f]{6}");
    for (const auto& preset : presets) {
        for (const auto& pass : preset.passes) {
            SCOPED_TRACE(preset.id + " / " + pass.effect);
            EXPECT_TRUE(pass.isOn);
            EXPECT_GT(pass.intensity, 0.0f);
            EXPECT_LE(pass.intensity, 1.0f);
            const auto keys = storedKeys(pass.effect);
            for (const auto& [key, value] : pass.settings) {
                const auto found = keys.find(key);
                ASSERT_NE(found, keys.end()) << "key outside the table: " << key;
                const auto& parameter = found->second;
                EXPECT_TRUE(parameter.range.contains(value)) << key << " = " << value;
                if (parameter.kind == ShaderParameter::Kind::raster) {
                    EXPECT_EQ(value, std::round(value)) << key;
                }
                if (parameter.kind == ShaderParameter::Kind::switchValue) {
                    EXPECT_TRUE(value == 0 || value == 1) << key;
                }
            }
        }
        const auto& bezel = preset.bezel;
        EXPECT_TRUE(bezel.depth >= 0 && bezel.depth <= 1) << preset.id;
        EXPECT_TRUE(bezel.curvature >= 0 && bezel.curvature <= 3) << preset.id;
        EXPECT_TRUE(bezel.reflectionSoftness >= 0 && bezel.reflectionSoftness <= 1) << preset.id;
        EXPECT_TRUE(std::regex_match(bezel.color, colorText)) << preset.id << ": " << bezel.color;
    }
}

}  // namespace
}  // namespace tilvane

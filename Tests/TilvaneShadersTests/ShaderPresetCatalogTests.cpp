#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Model/ShaderParameter.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <latch>
#include <regex>
#include <thread>

namespace tilvane {
namespace {

namespace fs = std::filesystem;

const ShaderBundle applicationBundle{TILVANE_SHADERS_BUNDLE};

// A bundle of the test's own whose presets file holds `text`.
ShaderBundle bundleWithPresets(const std::string& name, const std::string& text)
{
    const fs::path root = fs::path(TILVANE_TEST_OUTPUT_DIR) / "bundles" / name / ShaderBundle::folderName;
    fs::remove_all(root);
    fs::create_directories(root / "Resources");
    std::ofstream(root / "Resources" / "ZentorialPresets.json", std::ios::binary) << text;
    return ShaderBundle(root);
}

constexpr const char* twoPresets = R"([
  {"id": "b", "name": "Segundo", "passes": [{"effect": "crt"}, {"effect": "mnoise", "intensity": 0.5}], "bezel": {}},
  {"id": "a", "name": "Primeiro", "extra": [1, 2], "passes": [{"id": "00000000-0000-4000-8000-0000000000AA", "effect": "negative"}],
   "bezel": {"isOn": true}}
])";

TEST(BuiltInPresets, CarryFixedUniqueIdsAndUseEveryEffectWithValuesInTheInspectorsRanges)
{
    std::ifstream stream(applicationBundle.presetsFile());
    std::set<std::string> presetIds;
    std::set<std::string> passIds;
    for (const auto& preset : nlohmann::json::parse(stream)) {
        EXPECT_TRUE(presetIds.insert(preset.at("id").get<std::string>()).second) << preset.at("id");
        for (const auto& pass : preset.at("passes")) {
            const auto id = pass.value("id", std::string("missing"));
            const auto parsed = Uuid::parse(id);
            EXPECT_TRUE(parsed && parsed->string() == id && passIds.insert(id).second)
                << id << ": not a new upper-case UUID";
        }
    }
    const auto presets = loadShaderPresets(applicationBundle.presetsFile());
    EXPECT_TRUE(presets.size() >= 6 && presets.size() <= 10) << presets.size();
    std::set<std::string> used;
    for (const auto& preset : presets) {
        EXPECT_FALSE(preset.name.empty() || preset.passes.empty()) << preset.id;
        for (const auto& pass : preset.passes) {
            SCOPED_TRACE(preset.id + " / " + pass.effect);
            used.insert(pass.effect);
            EXPECT_TRUE(effect::isKnown(pass.effect) && pass.isOn && pass.intensity > 0 && pass.intensity <= 1);
            std::map<std::string, ShaderParameter> keys;  // stored keys: a colour is stored as three channels
            for (const auto& parameter : ShaderParameter::forEffect(pass.effect)) {
                if (parameter.kind != ShaderParameter::Kind::color)
                    keys.emplace(parameter.key, parameter);
                else
                    for (const char* channel : {"R", "G", "B"}) keys.emplace(parameter.key + channel, parameter);
            }
            for (const auto& [key, value] : pass.settings) {
                const auto found = keys.find(key);
                ASSERT_NE(found, keys.end()) << "key outside the table: " << key;
                EXPECT_TRUE(found->second.range.contains(value)) << key << " = " << value;
                const auto kind = found->second.kind;
                EXPECT_TRUE(kind != ShaderParameter::Kind::raster || value == std::round(value)) << key;
                EXPECT_TRUE(kind != ShaderParameter::Kind::switchValue || value == 0 || value == 1) << key;
            }
        }
        const auto& bezel = preset.bezel;
        EXPECT_TRUE(bezel.depth >= 0 && bezel.depth <= 1 && bezel.curvature >= 0 && bezel.curvature <= 3) << preset.id;
        EXPECT_TRUE(bezel.reflectionSoftness >= 0 && bezel.reflectionSoftness <= 1) << preset.id;
        EXPECT_TRUE(std::regex_match(bezel.color, std::regex("#[0-9A-Fa-f]{6}"))) << preset.id << ": " << bezel.color;
    }
    for (const auto effect : effect::all) EXPECT_TRUE(used.contains(std::string(effect))) << effect;
    EXPECT_TRUE(std::ranges::any_of(presets, [](const auto& preset) { return preset.passes.size() >= 2; }))
        << "a chain";
    EXPECT_TRUE(std::ranges::any_of(presets, [](const auto& preset) { return preset.bezel.isOn; }))
        << "a framed monitor";
}

TEST(ShaderPresetCatalog, AMissingOrBrokenResourceGivesAnEmptyList)
{
    const std::pair<const char*, const char*> broken[] = {
        {"empty", ""},
        {"not-json", "[{\"id\": "},
        {"object", R"({"id": "a", "name": "A", "passes": [], "bezel": {}})"},
        {"one-bad-preset", R"([{"id": "a", "name": "A", "passes": [], "bezel": {}},
                               {"id": "b", "name": "B", "passes": [{"effect": "crt", "intensity": "1"}], "bezel": {}}])"},
        {"preset-not-an-object", R"([["a"]])"},
        {"invalid-pass-id", R"([{"id": "a", "name": "A", "passes": [{"id": "x", "effect": "crt"}], "bezel": {}}])"}};
    for (const auto& [name, text] : broken) {
        EXPECT_TRUE(ShaderPresetCatalog(bundleWithPresets(name, text)).presets().empty()) << name;
    }
    EXPECT_TRUE(
        ShaderPresetCatalog(ShaderBundle(fs::path(TILVANE_TEST_OUTPUT_DIR) / "no-such-bundle")).presets().empty());
    const ShaderBundle folderInPlace(fs::path(TILVANE_TEST_OUTPUT_DIR) / "bundles" / "folder-in-place");
    fs::create_directories(folderInPlace.presetsFile());
    EXPECT_TRUE(loadShaderPresets(folderInPlace.presetsFile()).empty());
}

TEST(ShaderPresetCatalog, FirstUseFromManyThreadsLoadsOnceInTheFilesOrder)
{
    const auto bundle = bundleWithPresets("concurrent", twoPresets);
    const ShaderPresetCatalog catalog{bundle};
    constexpr int threadCount = 8;
    std::latch start(threadCount);
    std::vector<Uuid> firstPassIds(threadCount);  // the file gives no id: a second load would draw another
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < threadCount; ++i) {
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                firstPassIds[i] = catalog.presets().at(0).passes.at(0).id;
            });
        }
    }
    EXPECT_EQ(std::ranges::count(firstPassIds, firstPassIds[0]), threadCount);

    // In the file's order, with the file's pass ids, and ids of their own for passes without.
    const auto& presets = catalog.presets();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(std::tuple(presets[0].id, presets[1].id, presets[1].name), std::tuple("b", "a", "Primeiro"));
    EXPECT_NE(presets[0].passes.at(0).id, presets[0].passes.at(1).id);
    EXPECT_EQ(presets[1].passes.at(0).id, *Uuid::parse("00000000-0000-4000-8000-0000000000AA"));
    EXPECT_EQ(ShaderConfiguration::fromPreset(presets[1], {.motion = true}),
              (ShaderConfiguration{presets[1].passes, true, presets[1].bezel}));
    std::ofstream(bundle.presetsFile(), std::ios::binary | std::ios::trunc) << "[]";
    EXPECT_EQ(catalog.presets().size(), 2u) << "never reloaded";
}

}  // namespace
}  // namespace tilvane

#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace tilvane {
namespace {

namespace fs = std::filesystem;

// A bundle folder of the test's own, emptied before each test.
fs::path freshBundle(const std::string& name)
{
    const fs::path root = fs::path(TILVANE_TEST_OUTPUT_DIR) / "bundles" / name / ShaderBundle::folderName;
    fs::remove_all(root);
    fs::create_directories(root / "Resources");
    return root;
}

void writePresets(const fs::path& root, const std::string& text)
{
    std::ofstream(root / "Resources" / "ZentorialPresets.json", std::ios::binary) << text;
}

constexpr const char* twoPresets = R"([
  {"id": "b", "name": "Segundo", "passes": [{"effect": "crt"}, {"effect": "mnoise", "intensity": 0.5}],
   "bezel": {}},
  {"id": "a", "name": "Primeiro",
   "passes": [{"id": "00000000-0000-4000-8000-0000000000AA", "effect": "negative"}], "bezel": {"isOn": true}}
])";

TEST(ShaderPresetCatalog, ReadsThePresetsInTheFilesOrder)
{
    const auto root = freshBundle("order");
    writePresets(root, twoPresets);
    const auto presets = loadShaderPresets(ShaderBundle(root).presetsFile());
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].id, "b");
    EXPECT_EQ(presets[0].passes.size(), 2u);
    EXPECT_NE(presets[0].passes[0].id, presets[0].passes[1].id) << "passes without ids get ids of their own";
    EXPECT_EQ(presets[1].name, "Primeiro");
    EXPECT_EQ(presets[1].passes.at(0).id, *Uuid::parse("00000000-0000-4000-8000-0000000000AA"));
    EXPECT_TRUE(presets[1].bezel.isOn);
}

struct BrokenResource {
    std::string name;
    std::string text;
};

class ShaderPresetCatalogBroken : public testing::TestWithParam<BrokenResource> {};

TEST_P(ShaderPresetCatalogBroken, GivesAnEmptyList)
{
    const auto root = freshBundle("broken-" + GetParam().name);
    writePresets(root, GetParam().text);
    EXPECT_TRUE(ShaderPresetCatalog(ShaderBundle(root)).presets().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Resource, ShaderPresetCatalogBroken,
    testing::Values(BrokenResource{"Empty", ""}, BrokenResource{"NotJson", "[{\"id\": "},
                    BrokenResource{"Object", R"({"id": "a", "name": "A", "passes": [], "bezel": {}})"},
                    BrokenResource{"OneBadPreset",
                                   R"([{"id": "a", "name": "A", "passes": [], "bezel": {}},
                                       {"id": "b", "name": "B", "passes": [{"effect": "crt", "intensity": "1"}],
                                        "bezel": {}}])"},
                    BrokenResource{"PresetNotAnObject", R"([["a"]])"},
                    BrokenResource{"InvalidPassId",
                                   R"([{"id": "a", "name": "A", "passes": [{"id": "x", "effect": "crt"}],
                                        "bezel": {}}])"}),
    [](const testing::TestParamInfo<BrokenResource>& info) { return info.param.name; });

TEST(ShaderPresetCatalog, MissingResourceGivesAnEmptyList)
{
    EXPECT_TRUE(ShaderPresetCatalog(ShaderBundle(fs::path(TILVANE_TEST_OUTPUT_DIR) / "no-such-bundle")).presets().empty());

    const auto root = freshBundle("folder-in-place");
    fs::create_directories(ShaderBundle(root).presetsFile());
    EXPECT_TRUE(loadShaderPresets(ShaderBundle(root).presetsFile()).empty());
}

TEST(ShaderPresetCatalog, FirstUseFromManyThreadsLoadsOnce)
{
    const auto root = freshBundle("concurrent");
    writePresets(root, twoPresets);
    const ShaderPresetCatalog catalog{ShaderBundle(root)};

    constexpr int threadCount = 8;
    std::latch start(threadCount);
    std::vector<const std::vector<ShaderPreset>*> seen(threadCount);
    std::vector<Uuid> firstPassIds(threadCount);
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < threadCount; ++i) {
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                const auto& presets = catalog.presets();
                seen[i] = &presets;
                firstPassIds[i] = presets.at(0).passes.at(0).id;
            });
        }
    }
    for (int i = 0; i < threadCount; ++i) {
        EXPECT_EQ(seen[i], seen[0]) << "thread " << i;
        // The file gives this pass no id, so a second load would have drawn another random one.
        EXPECT_EQ(firstPassIds[i], firstPassIds[0]) << "thread " << i;
    }
    writePresets(root, "[]");
    EXPECT_EQ(catalog.presets().size(), 2u) << "never reloaded";
    EXPECT_EQ(catalog.presets().at(0).passes.at(0).id, firstPassIds[0]);
}

TEST(ShaderBundle, ApplicationBundleLiesBesideTheExecutablesFolder)
{
    const auto executable = fs::canonical("/proc/self/exe");
    const auto& bundle = ShaderBundle::application();
    EXPECT_EQ(bundle.root(), executable.parent_path().parent_path() / "Resources" / "Tilvane_TilvaneShaders.bundle");
    EXPECT_EQ(bundle.shadersFolder(), bundle.root() / "Resources" / "Shaders");
    EXPECT_EQ(&ShaderBundle::application(), &bundle);
}

}  // namespace
}  // namespace tilvane

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Editor/PresetPanelState.hpp"

#include "PresetTestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace presettesting;

ShaderPreset builtInPreset(const std::string& id)
{
    ShaderPreset preset{id, "CRT de teste", {}, BezelSettings{true, 0.2f, 1.0f, "#161718", 0.4f}};
    preset.passes.emplace_back("crt", 0.8f, ShaderPass::Settings{{"curveX", 0.1f}}, true);
    return preset;
}

TEST(PersonalPresetSelection, TheIdIsThePrefixAndTheUpperCaseUuidAndReadsBackExactly)
{
    const auto id = *Uuid::parse("0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    EXPECT_EQ(personalSelectionID(id), "personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    EXPECT_EQ(personalPresetID(personalSelectionID(id)), id);
    const std::pair<const char*, std::optional<std::string>> namingNothing[] = {
        {"noSelection", std::nullopt},
        {"builtIn", "crt-classic"},
        {"prefixAlone", "personal:"},
        {"otherPrefix", "Personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D"},
        {"shortUuid", "personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4"},
        {"trailingSpace", "personal:0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D "},
    };
    for (const auto& [name, selection] : namingNothing) EXPECT_EQ(personalPresetID(selection), std::nullopt) << name;
}

TEST(PersonalPresetSelection, ChoosingALookReplacesWhatEachKindOfSelectionOwns)
{
    auto edited = lookWithPixelSize(13);
    edited.paletteID = "nes";
    edited.dither = DitherMode::bayer4x4;
    edited.screen.scanlineStrength = 0.35f;
    edited.customColors = std::vector<RGBColor>{{1, 2, 3}, {4, 5, 6}};
    edited.adjustments.gamma = 1.4f;
    edited.shader = ShaderConfiguration::fromPreset(builtInPreset("old"), {.motion = true});
    const auto stored = presetNamed("Retro", lookWithPixelSize(30));
    const std::vector presets{presetNamed("Outro", lookWithPixelSize(4)), stored};
    const std::vector builtIn{builtInPreset("crt-classic")};

    EXPECT_EQ(visualForSelection(personalSelectionID(stored.id), edited, presets, builtIn), stored.visual);

    auto expectedBuiltIn = edited;
    expectedBuiltIn.shader = ShaderConfiguration{builtIn[0].passes, false, builtIn[0].bezel};
    EXPECT_EQ(visualForSelection("crt-classic", edited, presets, builtIn), expectedBuiltIn)
        << "a built-in preset keeps everything but the shader and starts with motion off";

    auto withoutShader = edited;
    withoutShader.shader.reset();
    const std::pair<const char*, std::optional<std::string>> clearing[] = {
        {"noSelection", std::nullopt},
        {"unknownBuiltIn", "crt-Classic"},
        {"malformedPersonal", "personal:not-a-uuid"},
        {"missingPersonal", personalSelectionID(Uuid::random())},
    };
    for (const auto& [name, selection] : clearing) {
        EXPECT_EQ(visualForSelection(selection, edited, presets, builtIn), withoutShader) << name;
    }

    std::string lowerCase = stored.id.string();
    for (auto& character : lowerCase) character = static_cast<char>(std::tolower(character));
    EXPECT_EQ(visualForSelection("personal:" + lowerCase, edited, presets, builtIn), stored.visual)
        << "the id after the prefix is read as a UUID of either case";
}

TEST(PersonalPresetSelection, UnsavedChangesAreAnyDifferenceFromTheSelectedPresetsLook)
{
    const auto stored = presetNamed("Retro");
    const std::vector presets{stored};
    const auto selection = std::optional(personalSelectionID(stored.id));
    EXPECT_EQ(selectedPersonalPreset(presets, selection), stored);
    EXPECT_EQ(selectedPersonalPreset(presets, "crt-classic"), std::nullopt);

    auto gammaNudged = stored.visual;
    gammaNudged.adjustments.gamma = std::nextafter(1.0f, 2.0f);
    auto customColoursStored = stored.visual;
    customColoursStored.customColors = std::vector<RGBColor>{{0, 0, 0}, {255, 255, 255}};
    const std::tuple<const char*, std::optional<std::string>, VisualSettings, bool> rows[] = {
        {"sameLook", selection, stored.visual, false},
        {"gammaOneStepAway", selection, gammaNudged, true},
        {"customColoursKeptAside", selection, customColoursStored, true},
        {"builtInSelected", "crt-classic", gammaNudged, false},
        {"nothingSelected", std::nullopt, gammaNudged, false},
        {"presetGone", personalSelectionID(Uuid::random()), gammaNudged, false},
    };
    for (const auto& [name, current, look, expected] : rows) {
        EXPECT_EQ(hasUnsavedChanges(selectedPersonalPreset(presets, current), look), expected) << name;
    }
}

TEST(PersonalPresetSelection, TheGalleryAndTheRemoveButtonAskBeforeDroppingUnsavedEdits)
{
    using enum SelectionStep;
    const std::optional<std::string> none;
    const std::tuple<const char*, std::optional<std::string>, std::optional<std::string>, bool, SelectionStep>
        gallery[] = {
            {"sameIdWithEdits", "personal:A", "personal:A", true, keep},
            {"bothEmptyWithEdits", none, none, true, keep},
            {"otherIdWithEdits", "personal:A", "crt", true, askAboutUnsavedChanges},
            {"noShaderWithEdits", "personal:A", none, true, askAboutUnsavedChanges},
            {"otherIdClean", "personal:A", "crt", false, apply},
            {"fromNothingClean", none, "crt", false, apply},
        };
    for (const auto& [name, current, requested, unsaved, expected] : gallery) {
        EXPECT_EQ(gallerySelectionStep(current, requested, unsaved), expected) << name;
    }
    EXPECT_EQ(shaderRemovalStep(none, true), keep);
    EXPECT_EQ(shaderRemovalStep("crt", false), apply);
    EXPECT_EQ(shaderRemovalStep("personal:A", true), askAboutUnsavedChanges);
}

TEST(PersonalPresetSelection, NamesAreTrimmedAndBlankNamesRefused)
{
    const std::tuple<const char*, std::string, std::optional<std::string>> rows[] = {
        {"plain", "Retro", "Retro"},           {"surrounded", "  \tMeu CRT Âmbar \n", "Meu CRT Âmbar"},
        {"innerSpacesKept", " a  b ", "a  b"}, {"spaces", "    ", std::nullopt},
        {"newlines", "\n\r\n", std::nullopt},  {"noBreakSpace", "\u00A0", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& [name, typed, expected] : rows) EXPECT_EQ(acceptedPresetName(typed), expected) << name;
}

TEST(PersonalPresetSelection, ChangesApplyToTheListAsReadAndFindPresetsByIdOnly)
{
    const auto first = presetNamed("A"), second = presetNamed("B");
    const std::vector fresh{first, second};
    const auto created = presetNamed("Novo");
    EXPECT_EQ(withPresetFirst(fresh, created), (std::vector{created, first, second}));

    auto renamed = second;
    renamed.name = "B2";
    EXPECT_EQ(withPresetName(fresh, second.id, "B2"), (std::vector{first, renamed}));
    auto saved = first;
    saved.visual = lookWithPixelSize(20);
    EXPECT_EQ(withPresetVisual(fresh, first.id, saved.visual), (std::vector{saved, second}));

    const auto gone = Uuid::random();
    EXPECT_EQ(withPresetName(fresh, gone, "X"), std::nullopt);
    EXPECT_EQ(withPresetVisual(fresh, gone, saved.visual), std::nullopt);
}

TEST(ShaderAdjustment, ThePresetComparedWithIsThePersonalPresetsStoredShaderElseTheExactBuiltInID)
{
    const std::vector builtIn{builtInPreset("crt-classic"), builtInPreset("amber")};
    auto withShader = presetNamed("Meu CRT");
    withShader.visual.shader = ShaderConfiguration::fromPreset(builtInPreset("stored"), {.motion = true});
    withShader.visual.shader->passes[0].intensity = 0.3f;
    const auto withoutShader = presetNamed("Sem tela");
    const ShaderPreset storedUnderItsName{personalSelectionID(withShader.id), "Meu CRT",
                                          withShader.visual.shader->passes, withShader.visual.shader->bezel};
    struct Row {
        const char* name;
        PresetSelection selection;
        std::optional<PersonalPreset> personal;
        std::optional<ShaderPreset> expected;
    };
    const Row rows[] = {
        {"builtIn", "amber", std::nullopt, builtIn[1]},
        {"personalWithShader", personalSelectionID(withShader.id), withShader, storedUnderItsName},
        {"personalWithoutShader", personalSelectionID(withoutShader.id), withoutShader, std::nullopt},
        {"builtInIdBesideAPersonalWithoutShader", "crt-classic", withoutShader, builtIn[0]},
        {"otherCase", "Amber", std::nullopt, std::nullopt},
        {"unknown", "nao-existe", std::nullopt, std::nullopt},
        {"nothingSelected", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        const auto compared = comparedShaderPreset(row.selection, row.personal, builtIn);
        EXPECT_EQ(compared.has_value(), row.expected.has_value()) << row.name;
        if (!compared || !row.expected) continue;
        EXPECT_EQ(compared->id, row.expected->id) << row.name;
        EXPECT_EQ(compared->name, row.expected->name) << row.name;
        EXPECT_EQ(compared->passes, row.expected->passes) << row.name;
        EXPECT_EQ(compared->bezel, row.expected->bezel) << row.name;
    }
}

TEST(ShaderAdjustment, AdjustedMeansOtherPassesBezelOrMotionForABuiltInAndAnyDifferenceForAPersonalPreset)
{
    const ShaderPreset crt = builtInPreset("crt-classic");
    const ShaderConfiguration chosen = ShaderConfiguration::fromPreset(crt);
    auto moving = chosen;
    moving.motion = true;
    auto weaker = chosen;
    weaker.passes[0].intensity = std::nextafter(0.8f, 0.0f);
    auto passOff = chosen;
    passOff.passes[0].isOn = false;
    auto otherBezel = chosen;
    otherBezel.bezel.color = "#161719";

    auto personal = presetNamed("Meu CRT");
    personal.visual.shader = moving;
    const ShaderPreset stored{personalSelectionID(personal.id), personal.name, moving.passes, moving.bezel};
    auto shaderless = personal;
    shaderless.visual.shader.reset();

    struct Row {
        const char* name;
        std::optional<ShaderConfiguration> shader;
        std::optional<ShaderPreset> compared;
        std::optional<PersonalPreset> personal;
        bool adjusted;
    };
    const Row rows[] = {
        {"builtInAsChosen", chosen, crt, std::nullopt, false},
        {"builtInMoving", moving, crt, std::nullopt, true},
        {"builtInIntensityOneStepAway", weaker, crt, std::nullopt, true},
        {"builtInPassSwitchedOff", passOff, crt, std::nullopt, true},
        {"builtInBezelColour", otherBezel, crt, std::nullopt, true},
        {"personalAsStoredMovingToo", moving, stored, personal, false},
        {"personalStoppedWhereItMoved", chosen, stored, personal, true},
        {"personalIntensityOneStepAway", weaker, stored, personal, true},
        {"personalWithoutStoredShader", chosen, crt, shaderless, true},
        {"noShader", std::nullopt, crt, std::nullopt, false},
        {"nothingToCompareWith", moving, std::nullopt, std::nullopt, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isShaderAdjusted(row.shader, row.compared, row.personal), row.adjusted) << row.name;
    }
}

TEST(PresetPanelButtons, EnableRulesOfTheSevenButtons)
{
    const auto preset = presetNamed("Retro");
    struct Row {
        const char* name;
        PresetPanelState state;
        PresetButtonRules expected;
    };
    const Row rows[] = {
        {"storeUnreadable", {std::nullopt, false, false}, {false, false, false, false, false, false}},
        {"nothingSelected", {std::nullopt, false, true}, {false, true, false, false, true, false}},
        {"selectedClean", {preset, false, true}, {true, true, false, false, true, true}},
        {"selectedEdited", {preset, true, true}, {true, true, true, true, true, false}},
        {"selectedEditedStoreUnreadable", {preset, true, false}, {true, false, false, true, false, false}},
        {"selectedCleanStoreUnreadable", {preset, false, false}, {true, false, false, false, false, true}},
    };
    for (const auto& row : rows) EXPECT_EQ(presetButtonRules(row.state), row.expected) << row.name;
}

}  // namespace
}  // namespace tilvane

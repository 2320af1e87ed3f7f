#include "TilvanePresets/VisualSettings.hpp"

#include "PresetFixtures.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

namespace tilvane {
namespace {

using testing::fullSettings;
using testing::plainSettings;

bool isValid(const VisualSettings& settings)
{
    try {
        settings.validate();
        return true;
    } catch (const PersonalPresetError& error) {
        EXPECT_EQ(error.errorCase(), PersonalPresetErrorCase::invalidData);
        EXPECT_STREQ(error.what(), "Arquivo de presets pessoais inválido. O arquivo foi preservado.");
        return false;
    }
}

std::vector<RGBColor> distinctColors(std::size_t count)
{
    std::vector<RGBColor> colors;
    for (std::size_t index = 0; index < count; ++index) colors.push_back({static_cast<std::uint8_t>(index * 10), 1, 2});
    return colors;
}

struct ValidationCase {
    const char* name;
    std::function<void(VisualSettings&)> change;
    bool valid;
};

void PrintTo(const ValidationCase& row, std::ostream* out) { *out << row.name; }

class VisualSettingsValidation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(VisualSettingsValidation, AcceptsOnlyUsableSettings)
{
    VisualSettings settings = plainSettings();
    GetParam().change(settings);
    EXPECT_EQ(isValid(settings), GetParam().valid);
}

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

void useShaderWithCurvature(VisualSettings& settings, float curvature)
{
    settings.shader = ShaderConfiguration{};
    settings.shader->bezel.curvature = curvature;
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, VisualSettingsValidation,
    ::testing::Values(
        ValidationCase{"plain", [](auto&) {}, true},
        ValidationCase{"pixelSize2", [](auto& s) { s.pixelSize = 2; }, true},
        ValidationCase{"pixelSize40", [](auto& s) { s.pixelSize = 40; }, true},
        ValidationCase{"pixelSize1", [](auto& s) { s.pixelSize = 1; }, false},
        ValidationCase{"pixelSize41", [](auto& s) { s.pixelSize = 41; }, false},
        ValidationCase{"pixelSizeNegative", [](auto& s) { s.pixelSize = -8; }, false},
        ValidationCase{"customTwo", [](auto& s) { s.paletteID = "custom", s.customColors = distinctColors(2); }, true},
        ValidationCase{"customSixteen", [](auto& s) { s.paletteID = "custom", s.customColors = distinctColors(16); }, true},
        ValidationCase{"customOne", [](auto& s) { s.paletteID = "custom", s.customColors = distinctColors(1); }, false},
        ValidationCase{"customSeventeen", [](auto& s) { s.paletteID = "custom", s.customColors = distinctColors(17); },
                       false},
        ValidationCase{"customRepeated",
                       [](auto& s) { s.paletteID = "custom", s.customColors = {{{1, 2, 3}, {4, 5, 6}, {1, 2, 3}}}; },
                       false},
        ValidationCase{"customWithoutColors", [](auto& s) { s.paletteID = "custom"; }, false},
        ValidationCase{"customIdInCapitals", [](auto& s) { s.paletteID = "Custom", s.customColors = distinctColors(2); },
                       false},
        ValidationCase{"oneColorWithBuiltInPalette", [](auto& s) { s.customColors = distinctColors(1); }, false},
        ValidationCase{"twoColorsWithBuiltInPalette", [](auto& s) { s.customColors = distinctColors(2); }, true},
        ValidationCase{"builtInIdInCapitals", [](auto& s) { s.paletteID = "GameBoy"; }, false},
        ValidationCase{"unknownPalette", [](auto& s) { s.paletteID = "vga"; }, false},
        ValidationCase{"everyBuiltInLastOne", [](auto& s) { s.paletteID = "amber"; }, true},
        ValidationCase{"exposureAtBound", [](auto& s) { s.adjustments.exposure = -2; }, true},
        ValidationCase{"exposurePastBound", [](auto& s) { s.adjustments.exposure = 2.0001f; }, false},
        ValidationCase{"gammaNaN", [](auto& s) { s.adjustments.gamma = nan; }, false},
        ValidationCase{"curvature3", [](auto& s) { useShaderWithCurvature(s, 3); }, true},
        ValidationCase{"curvatureJustAbove3", [](auto& s) { useShaderWithCurvature(s, std::nextafter(3.0f, 4.0f)); },
                       false},
        ValidationCase{"curvatureNegativeZero", [](auto& s) { useShaderWithCurvature(s, -0.0f); }, true},
        ValidationCase{"curvatureNegative", [](auto& s) { useShaderWithCurvature(s, -0.01f); }, false},
        ValidationCase{"curvatureNaN", [](auto& s) { useShaderWithCurvature(s, nan); }, false},
        ValidationCase{"curvatureInfinite", [](auto& s) { useShaderWithCurvature(s, infinity); }, false},
        ValidationCase{"shaderRestUnchecked",
                       [](auto& s) {
                           useShaderWithCurvature(s, 1);
                           s.shader->bezel.depth = -50;
                           s.shader->bezel.color = "nenhuma";
                           s.shader->passes.emplace_back("desconhecido", -3.0f, ShaderPass::Settings{}, true);
                       },
                       true},
        ValidationCase{"screenZero", [](auto& s) { s.screen = ScreenSettings{0, 0, 0}; }, true},
        ValidationCase{"screenOne", [](auto& s) { s.screen = ScreenSettings{1, 1, 1}; }, true},
        ValidationCase{"screenNegativeZero", [](auto& s) { s.screen.glowStrength = -0.0f; }, true},
        ValidationCase{"scanlineNegative", [](auto& s) { s.screen.scanlineStrength = -0.5f; }, false},
        ValidationCase{"thicknessAboveOne", [](auto& s) { s.screen.scanlineThickness = 1.0001f; }, false},
        ValidationCase{"glowNaN", [](auto& s) { s.screen.glowStrength = nan; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VisualSettingsPalette, ResolvesBuiltInAndCustomPalettes)
{
    VisualSettings settings = plainSettings();
    ASSERT_TRUE(settings.palette());
    EXPECT_EQ(settings.palette()->id, "gameboy");
    EXPECT_EQ(*settings.palette(), ImagePalette::gameBoy());

    settings.paletteID = "GAMEBOY";
    EXPECT_FALSE(settings.palette());

    settings.paletteID = "custom";
    EXPECT_FALSE(settings.palette());
    settings.customColors = std::vector<RGBColor>{{1, 2, 3}};  // the count is not tested here
    ASSERT_TRUE(settings.palette());
    EXPECT_EQ(*settings.palette(), ImagePalette::custom({{1, 2, 3}}));
}

TEST(VisualSettingsDecoding, AbsentAndNullKeysTakeTheirDefaults)
{
    for (const char* text :
         {R"({"paletteID": "custom", "pixelSize": 2})",
          R"({"paletteID": "custom", "pixelSize": 2, "dither": null, "shader": null, "screen": null,
              "customColors": null, "adjustments": null, "unknown": [1, 2]})"}) {
        const auto settings = VisualSettings::fromJson(nlohmann::json::parse(text));
        EXPECT_EQ(settings.paletteID, "custom");
        EXPECT_EQ(settings.pixelSize, 2);
        EXPECT_EQ(settings.dither, DitherMode::none);
        EXPECT_FALSE(settings.shader);
        EXPECT_EQ(settings.screen, (ScreenSettings{0, 0.5f, 0}));
        EXPECT_FALSE(settings.customColors);
        EXPECT_EQ(settings.adjustments, (ImageAdjustments{0, 1, 1}));
        EXPECT_FALSE(isValid(settings)) << "the custom palette has no colours";
    }
}

TEST(VisualSettingsDecoding, StrictAboutTypesAndRanges)
{
    const char* refused[] = {
        R"({"pixelSize": 8})",
        R"({"paletteID": "nes"})",
        R"({"paletteID": 3, "pixelSize": 8})",
        R"({"paletteID": "nes", "pixelSize": 2.5})",
        R"({"paletteID": "nes", "pixelSize": "8"})",
        R"({"paletteID": "nes", "pixelSize": true})",
        R"({"paletteID": "nes", "pixelSize": 18446744073709551616})",
        R"({"paletteID": "nes", "pixelSize": 9223372036854775808})",
        R"({"paletteID": "nes", "pixelSize": -99999999999999999999})",
        R"({"paletteID": "nes", "pixelSize": 8, "dither": "FloydSteinberg"})",
        R"({"paletteID": "nes", "pixelSize": 8, "dither": 1})",
        R"({"paletteID": "nes", "pixelSize": 8, "customColors": {"red": 1, "green": 2, "blue": 3}})",
        R"({"paletteID": "nes", "pixelSize": 8, "customColors": [{"red": 256, "green": 0, "blue": 0}]})",
        R"({"paletteID": "nes", "pixelSize": 8, "customColors": [{"red": 1.5, "green": 0, "blue": 0}]})",
        R"({"paletteID": "nes", "pixelSize": 8, "customColors": [{"red": -1, "green": 0, "blue": 0}]})",
        R"({"paletteID": "nes", "pixelSize": 8, "customColors": [{"red": 1, "green": 0}]})",
        R"({"paletteID": "nes", "pixelSize": 8, "adjustments": {"exposure": 0, "contrast": 1}})",
        R"({"paletteID": "nes", "pixelSize": 8, "adjustments": {"exposure": 1e39, "contrast": 1, "gamma": 1}})",
        R"({"paletteID": "nes", "pixelSize": 8, "screen": {"glowStrength": -1e300}})",
        R"({"paletteID": "nes", "pixelSize": 8, "screen": {"glowStrength": "0"}})",
        R"({"paletteID": "nes", "pixelSize": 8, "screen": []})",
        R"({"paletteID": "nes", "pixelSize": 8, "shader": {"passes": [], "bezel": {}}})",
        R"({"paletteID": "nes", "pixelSize": 8, "shader": {"passes": [{"effect": "crt", "id": "x"}], "motion": false, "bezel": {}}})",
        R"(["paletteID", "nes"])",
    };
    for (const char* text : refused) {
        EXPECT_THROW(VisualSettings::fromJson(nlohmann::json::parse(text)), json::DecodingError) << text;
    }
}

TEST(VisualSettingsDecoding, DecodedValuesAreNotValidated)
{
    const auto settings = VisualSettings::fromJson(nlohmann::json::parse(
        R"({"paletteID": "nes", "pixelSize": 400, "screen": {"glowStrength": 7.5}, "dither": "bayer4x4"})"));
    EXPECT_EQ(settings.pixelSize, 400);
    EXPECT_EQ(settings.screen.glowStrength, 7.5f);
    EXPECT_EQ(settings.dither, DitherMode::bayer4x4);
}

std::set<std::string> keysOf(const nlohmann::json& object)
{
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

TEST(VisualSettingsEncoding, WritesExactlyThePresentKeys)
{
    EXPECT_EQ(keysOf(toJson(plainSettings())),
              (std::set<std::string>{"paletteID", "pixelSize", "dither", "screen", "adjustments"}));
    EXPECT_EQ(keysOf(toJson(fullSettings())), (std::set<std::string>{"paletteID", "pixelSize", "dither", "shader",
                                                                      "screen", "customColors", "adjustments"}));
    const auto object = toJson(fullSettings());
    EXPECT_EQ(object["dither"], "floydSteinberg");
    EXPECT_EQ(object["customColors"][1], (nlohmann::json{{"red", 255}, {"green", 243}, {"blue", 176}}));
}

TEST(VisualSettingsEncoding, RoundTripsEveryFieldExactly)
{
    VisualSettings settings = fullSettings();
    settings.adjustments.contrast = std::nextafter(1.0f, 2.0f);
    settings.screen.scanlineThickness = std::numeric_limits<float>::denorm_min();
    settings.shader->bezel.depth = std::numeric_limits<float>::max();
    settings.shader->passes[0].settings["tiny"] = -std::numeric_limits<float>::min();
    const auto text = toJson(settings).dump();
    EXPECT_EQ(VisualSettings::fromJson(nlohmann::json::parse(text)), settings);
    EXPECT_NE(text.find("0.7"), std::string::npos);
    EXPECT_EQ(text.find("0.699999"), std::string::npos) << "floats are written in their shortest form: " << text;
}

TEST(VisualSettingsEncoding, RefusesFloatsThatCannotBeWritten)
{
    for (const auto& spoil : std::vector<std::function<void(VisualSettings&)>>{
             [](auto& s) { s.shader->bezel.depth = nan; },
             [](auto& s) { s.shader->passes[0].intensity = infinity; },
             [](auto& s) { s.shader->passes[1].settings["x"] = -infinity; },
             [](auto& s) { s.screen.glowStrength = nan; },
             [](auto& s) { s.adjustments.gamma = nan; }}) {
        VisualSettings settings = fullSettings();
        spoil(settings);
        EXPECT_THROW((void)toJson(settings), json::EncodingError);
    }
}

TEST(VisualSettingsEquality, ComparesEveryFieldExactly)
{
    const VisualSettings settings = fullSettings();
    EXPECT_EQ(settings, VisualSettings(settings));
    EXPECT_NE(settings, fullSettings()) << "a new look has new pass ids";

    VisualSettings changed = settings;
    changed.shader->passes[1] = ShaderPass(Uuid::random(), changed.shader->passes[1].effect,
                                           changed.shader->passes[1].intensity, changed.shader->passes[1].settings,
                                           changed.shader->passes[1].isOn);
    EXPECT_NE(changed, settings) << "only a pass id differs";

    changed = settings;
    std::swap((*changed.customColors)[0], (*changed.customColors)[1]);
    EXPECT_NE(changed, settings) << "custom colours in another order";

    changed = settings;
    changed.customColors.reset();
    EXPECT_NE(changed, settings);

    changed = settings;
    changed.screen.scanlineStrength = 0;
    VisualSettings negativeZero = changed;
    negativeZero.screen.scanlineStrength = -0.0f;
    EXPECT_EQ(changed, negativeZero);

    changed.adjustments.exposure = nan;
    EXPECT_NE(changed, VisualSettings(changed)) << "NaN equals nothing";
}

}  // namespace
}  // namespace tilvane

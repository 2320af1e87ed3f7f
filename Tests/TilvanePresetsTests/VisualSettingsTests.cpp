#include "TilvanePresets/VisualSettings.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tilvane {
namespace {

using namespace testing;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

std::vector<RGBColor> colors(std::size_t count)
{
    std::vector<RGBColor> colors;
    while (colors.size() < count) colors.push_back({static_cast<std::uint8_t>(colors.size()), 1, 2});
    return colors;
}

TEST(VisualSettings, ValidateChecksEveryBound)
{
    using Change = void (*)(VisualSettings&, float);
    const float above3 = std::nextafter(3.0f, 4.0f);
    const std::tuple<const char*, Change, std::vector<float>, std::vector<float>> bounds[] = {
        {"pixelSize", [](auto& s, float v) { s.pixelSize = v; }, {2, 40}, {1, 41}},
        {"customColors",
         [](auto& s, float v) { s.paletteID = "custom", s.customColors = colors(v); },
         {2, 16},
         {1, 17}},
        {"builtInPaletteColors", [](auto& s, float v) { s.customColors = colors(v); }, {2, 16}, {1, 17}},
        {"exposure", [](auto& s, float v) { s.adjustments.exposure = v; }, {-2, 2}, {-2.0001f, 2.0001f, nan}},
        {"curvature",
         [](auto& s, float v) {
             s.shader = {{}, false, {true, -50, v}};
         },
         {0, 3},
         {-0.01f, above3, infinity}},
        {"shaderPasses",
         [](auto& s, float v) {
             s.shader = ShaderConfiguration{};
             while (s.shader->passes.size() < v) s.shader->passes.emplace_back("crt", 1, ShaderPass::Settings{}, true);
         },
         {0, 16},
         {17, 5500}},
        {"scanlineStrength", [](auto& s, float v) { s.screen.scanlineStrength = v; }, {0, 1}, {-0.5f, 1.0001f}},
        {"scanlineThickness", [](auto& s, float v) { s.screen.scanlineThickness = v; }, {0, 1}, {-0.5f, 1.0001f}},
        {"glowStrength", [](auto& s, float v) { s.screen.glowStrength = v; }, {0, 1}, {-0.5f, nan}},
        {"paletteID", [](auto& s, float) { s.paletteID = "GameBoy"; }, {}, {0}},
        {"customIDInCapitals", [](auto& s, float) { s.paletteID = "Custom", s.customColors = colors(2); }, {}, {0}},
        {"customWithoutColors", [](auto& s, float) { s.paletteID = "custom"; }, {}, {0}},
        {"repeatedColors",
         [](auto& s, float) {
             s.paletteID = "custom", s.customColors = {{{1, 2, 3}, {1, 2, 3}}};
         },
         {},
         {0}},
    };
    for (const auto& [name, change, valid, invalid] : bounds) {
        for (const auto& [values, expected] : {std::pair{valid, true}, {invalid, false}}) {
            for (const float value : values) {
                VisualSettings settings = plainSettings();
                change(settings, value);
                EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { settings.validate(); }),
                          expected ? std::nullopt : std::optional(PersonalPresetErrorCase::invalidData))
                    << name << " " << value;
            }
        }
    }
    EXPECT_STREQ(PersonalPresetError(PersonalPresetErrorCase::invalidData).what(),
                 "Arquivo de presets pessoais inválido. O arquivo foi preservado.");
    EXPECT_EQ(plainSettings().palette(), ImagePalette::gameBoy());
    EXPECT_EQ(fullSettings().palette(), ImagePalette::custom(*fullSettings().customColors));
}

TEST(VisualSettings, DecodingFillsAbsentOrNullKeysAndRefusesWrongTypesAndRanges)
{
    const VisualSettings expected{"custom",
                                  2,
                                  DitherMode::none,
                                  std::nullopt,
                                  ScreenSettings{0, 0.5f, 0},
                                  std::nullopt,
                                  ImageAdjustments{0, 1, 1}};
    for (const char* text : {R"({"paletteID": "custom", "pixelSize": 2})",
                             R"({"paletteID": "custom", "pixelSize": 2, "dither": null, "shader": null, "screen": null,
                                 "customColors": null, "adjustments": null, "unknown": [1, 2]})"}) {
        EXPECT_EQ(VisualSettings::fromJson(nlohmann::json::parse(text)), expected) << text;
    }
    for (const char* rest : {R"("pixelSize": 2.5)", R"("pixelSize": 18446744073709551616)",
                             R"("pixelSize": 8, "dither": "FloydSteinberg")",
                             R"("pixelSize": 8, "customColors": [{"red": 256, "green": 0, "blue": 0}])",
                             R"("pixelSize": 8, "customColors": [{"red": 1, "green": 0}])",
                             R"("pixelSize": 8, "adjustments": {"exposure": 1e39, "contrast": 1, "gamma": 1})",
                             R"("pixelSize": 8, "shader": {"passes": [], "bezel": {}})"}) {
        const auto text = R"({"paletteID": "nes", )" + std::string(rest) + "}";
        EXPECT_THROW(VisualSettings::fromJson(nlohmann::json::parse(text)), json::DecodingError) << text;
    }
}

TEST(VisualSettings, WritesExactlyThePresentKeysAndShortestFiniteFloats)
{
    const auto keysOf = [](const VisualSettings& settings) {
        const auto object = toJson(settings);
        std::set<std::string> keys;
        for (const auto& item : object.items()) keys.insert(item.key());
        return keys;
    };
    EXPECT_EQ(keysOf(plainSettings()),
              (std::set<std::string>{"paletteID", "pixelSize", "dither", "screen", "adjustments"}));
    EXPECT_EQ(keysOf(fullSettings()), (std::set<std::string>{"paletteID", "pixelSize", "dither", "shader", "screen",
                                                             "customColors", "adjustments"}));
    VisualSettings settings = fullSettings();
    settings.adjustments.contrast = std::nextafter(1.0f, 2.0f);
    settings.screen.scanlineThickness = std::numeric_limits<float>::denorm_min();
    const auto text = toJson(settings).dump();
    EXPECT_EQ(VisualSettings::fromJson(nlohmann::json::parse(text)), settings);
    EXPECT_NE(text.find(R"("dither":"floydSteinberg")"), std::string::npos) << text;
    EXPECT_NE(text.find(R"({"blue":176,"green":243,"red":255})"), std::string::npos) << text;
    EXPECT_EQ(text.find("0.699999"), std::string::npos) << text;
    for (const auto spoil : std::initializer_list<void (*)(VisualSettings&)>{
             [](auto& s) { s.shader->bezel.depth = nan; },
             [](auto& s) { s.shader->passes[1].settings["x"] = -infinity; },
             [](auto& s) { s.screen.glowStrength = nan; }, [](auto& s) { s.adjustments.gamma = infinity; }}) {
        VisualSettings spoiled = settings;
        spoil(spoiled);
        EXPECT_THROW((void)toJson(spoiled), json::EncodingError) << "a float that is not finite cannot be written";
    }
}

}  // namespace
}  // namespace tilvane

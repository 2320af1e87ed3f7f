#include "TilvanePresets/VisualSettings.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tilvane {
namespace {

using testing::fullSettings;
using testing::plainSettings;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

bool isValid(const VisualSettings& settings)
{
    try {
        settings.validate();
        return true;
    } catch (const PersonalPresetError& error) {
        EXPECT_STREQ(error.what(), "Arquivo de presets pessoais inválido. O arquivo foi preservado.");
        return false;
    }
}

std::vector<RGBColor> colors(std::size_t count)
{
    std::vector<RGBColor> colors;
    for (std::size_t index = 0; index < count; ++index) colors.push_back({static_cast<std::uint8_t>(index * 10), 1, 2});
    return colors;
}

void custom(VisualSettings& s, std::vector<RGBColor> colors, const char* id = "custom")
{
    s.paletteID = id;
    s.customColors = std::move(colors);
}

TEST(VisualSettings, ValidateChecksEveryBound)
{
    using Change = void (*)(VisualSettings&, float);
    const float above3 = std::nextafter(3.0f, 4.0f);
    const std::tuple<const char*, Change, std::vector<float>, std::vector<float>> bounds[] = {
        {"pixelSize", [](auto& s, float v) { s.pixelSize = v; }, {2, 40}, {1, 41}},
        {"customColors", [](auto& s, float v) { custom(s, colors(v)); }, {2, 16}, {0, 1, 17}},
        {"builtInPaletteColors", [](auto& s, float v) { s.customColors = colors(v); }, {2, 16}, {1, 17}},
        {"exposure", [](auto& s, float v) { s.adjustments.exposure = v; }, {-2, 2}, {-2.0001f, 2.0001f, nan}},
        {"curvature", [](auto& s, float v) { s.shader = {{}, false, {true, -50, v}}; }, {0, 3}, {-0.01f, above3, infinity}},
        {"scanlineStrength", [](auto& s, float v) { s.screen.scanlineStrength = v; }, {0, 1}, {-0.5f, 1.0001f}},
        {"scanlineThickness", [](auto& s, float v) { s.screen.scanlineThickness = v; }, {0, 1}, {-0.5f, 1.0001f}},
        {"glowStrength", [](auto& s, float v) { s.screen.glowStrength = v; }, {0, 1}, {-0.5f, nan}},
    };
    for (const auto& [name, change, valid, invalid] : bounds) {
        for (const auto& [values, expected] : {std::pair{valid, true}, {invalid, false}}) {
            for (const float value : values) {
                VisualSettings settings = plainSettings();
                change(settings, value);
                EXPECT_EQ(isValid(settings), expected) << name << " " << value;
            }
        }
    }
    for (const auto change : std::initializer_list<void (*)(VisualSettings&)>{
             [](auto& s) { custom(s, {{1, 2, 3}, {4, 5, 6}, {1, 2, 3}}); }, [](auto& s) { custom(s, colors(2), "Custom"); },
             [](auto& s) { s.paletteID = "custom"; }, [](auto& s) { s.paletteID = "GameBoy"; },
             [](auto& s) { s.paletteID = "vga"; }}) {
        VisualSettings settings = plainSettings();
        change(settings);
        EXPECT_FALSE(isValid(settings)) << toJson(settings).dump();
    }
    EXPECT_EQ(plainSettings().palette(), ImagePalette::gameBoy());
    EXPECT_EQ(fullSettings().palette(), ImagePalette::custom(*fullSettings().customColors));
}

TEST(VisualSettings, AbsentAndNullKeysTakeTheirDefaults)
{
    for (const char* text : {R"({"paletteID": "custom", "pixelSize": 2})",
                             R"({"paletteID": "custom", "pixelSize": 2, "dither": null, "shader": null, "screen": null,
                                 "customColors": null, "adjustments": null, "unknown": [1, 2]})"}) {
        const VisualSettings expected{"custom",      2, DitherMode::none, std::nullopt, ScreenSettings{0, 0.5f, 0},
                                      std::nullopt, ImageAdjustments{0, 1, 1}};
        EXPECT_EQ(VisualSettings::fromJson(nlohmann::json::parse(text)), expected) << text;
    }
}

TEST(VisualSettings, DecodingIsStrictAboutTypesAndRanges)
{
    const std::string look = R"("paletteID": "nes", "pixelSize": 8)";
    for (const std::string& text : {
             std::string(R"({"pixelSize": 8})"),
             std::string(R"({"paletteID": "nes", "pixelSize": 2.5})"),
             std::string(R"({"paletteID": "nes", "pixelSize": "8"})"),
             std::string(R"({"paletteID": "nes", "pixelSize": 18446744073709551616})"),
             std::string(R"({"paletteID": "nes", "pixelSize": 9223372036854775808})"),
             R"({)" + look + R"(, "dither": "FloydSteinberg"})",
             R"({)" + look + R"(, "customColors": [{"red": 256, "green": 0, "blue": 0}]})",
             R"({)" + look + R"(, "customColors": [{"red": 1.5, "green": 0, "blue": 0}]})",
             R"({)" + look + R"(, "customColors": [{"red": -1, "green": 0, "blue": 0}]})",
             R"({)" + look + R"(, "customColors": [{"red": 1, "green": 0}]})",
             R"({)" + look + R"(, "adjustments": {"exposure": 0, "contrast": 1}})",
             R"({)" + look + R"(, "adjustments": {"exposure": 1e39, "contrast": 1, "gamma": 1}})",
             R"({)" + look + R"(, "screen": {"glowStrength": "0"}})",
             R"({)" + look + R"(, "shader": {"passes": [], "bezel": {}}})",
             R"({)" + look + R"(, "shader": {"passes": [{"effect": "crt", "id": "x"}], "motion": false, "bezel": {}}})",
             std::string(R"(["paletteID", "nes"])")}) {
        EXPECT_THROW(VisualSettings::fromJson(nlohmann::json::parse(text)), json::DecodingError) << text;
    }
}

TEST(VisualSettings, WritesExactlyThePresentKeys)
{
    const auto keysOf = [](const nlohmann::json& object) {
        std::set<std::string> keys;
        for (const auto& item : object.items()) keys.insert(item.key());
        return keys;
    };
    EXPECT_EQ(keysOf(toJson(plainSettings())),
              (std::set<std::string>{"paletteID", "pixelSize", "dither", "screen", "adjustments"}));
    const auto object = toJson(fullSettings());
    EXPECT_EQ(keysOf(object), (std::set<std::string>{"paletteID", "pixelSize", "dither", "shader", "screen",
                                                     "customColors", "adjustments"}));
    EXPECT_EQ(object["dither"], "floydSteinberg");
    EXPECT_EQ(object["customColors"][1], (nlohmann::json{{"red", 255}, {"green", 243}, {"blue", 176}}));
}

TEST(VisualSettings, FloatsRoundTripInTheirShortestForm)
{
    VisualSettings settings = fullSettings();
    settings.adjustments.contrast = std::nextafter(1.0f, 2.0f);
    settings.screen.scanlineThickness = std::numeric_limits<float>::denorm_min();
    settings.shader->bezel.depth = std::numeric_limits<float>::max();
    const auto text = toJson(settings).dump();
    EXPECT_EQ(VisualSettings::fromJson(nlohmann::json::parse(text)), settings);
    EXPECT_NE(text.find("0.7"), std::string::npos);
    EXPECT_EQ(text.find("0.699999"), std::string::npos) << text;
}

TEST(VisualSettings, RefusesToWriteFloatsThatAreNotFinite)
{
    for (const auto spoil : std::initializer_list<void (*)(VisualSettings&)>{
             [](auto& s) { s.shader->bezel.depth = nan; }, [](auto& s) { s.shader->passes[1].settings["x"] = -infinity; },
             [](auto& s) { s.screen.glowStrength = nan; }, [](auto& s) { s.adjustments.gamma = infinity; }}) {
        VisualSettings settings = fullSettings();
        spoil(settings);
        EXPECT_THROW((void)toJson(settings), json::EncodingError);
    }
}

}  // namespace
}  // namespace tilvane

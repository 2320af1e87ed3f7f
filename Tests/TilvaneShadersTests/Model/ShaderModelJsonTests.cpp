#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace tilvane {
namespace {

using Json = nlohmann::json;

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(ShaderModelJson, EmptyObjectsTakeTheirDefaults)
{
    const auto pass = ShaderPass::fromJson(Json::parse(R"({"effect": "crt"})"));
    EXPECT_EQ(pass.effect, "crt");
    EXPECT_EQ(pass.intensity, 1.0f);
    EXPECT_TRUE(pass.settings.empty());
    EXPECT_TRUE(pass.isOn);
    EXPECT_NE(pass.id, ShaderPass::fromJson(Json::parse(R"({"effect": "crt"})")).id) << "each decode draws a new id";

    const auto bezel = BezelSettings::fromJson(Json::object());
    EXPECT_FALSE(bezel.isOn);
    EXPECT_EQ(bezel.depth, 0.5f);
    EXPECT_EQ(bezel.curvature, 1.0f);
    EXPECT_EQ(bezel.color, "#161718");
    EXPECT_EQ(bezel.reflectionSoftness, 0.5f);

    EXPECT_EQ(ScreenSettings::fromJson(Json::object()), (ScreenSettings{0, 0.5f, 0}));
}

TEST(ShaderModelJson, NullTakesTheDefaultToo)
{
    const auto pass = ShaderPass::fromJson(
        Json::parse(R"({"effect": "glitchy", "id": null, "intensity": null, "settings": null, "isOn": null})"));
    EXPECT_EQ(pass.intensity, 1.0f);
    EXPECT_TRUE(pass.settings.empty());
    EXPECT_TRUE(pass.isOn);

    const auto bezel = BezelSettings::fromJson(Json::parse(
        R"({"isOn": null, "depth": null, "curvature": null, "color": null, "reflectionSoftness": null})"));
    EXPECT_EQ(bezel, BezelSettings{});

    const auto screen =
        ScreenSettings::fromJson(Json::parse(R"({"scanlineStrength": null, "scanlineThickness": null, "glowStrength": null})"));
    EXPECT_EQ(screen, ScreenSettings{});
}

TEST(ShaderModelJson, EncodingWritesEveryKey)
{
    const auto pass = ShaderPass::fromJson(Json::parse(R"({"effect": "crt"})"));
    const auto encodedPass = toJson(pass);
    EXPECT_EQ(encodedPass.size(), 5u);
    for (const char* key : {"id", "effect", "intensity", "settings", "isOn"}) EXPECT_TRUE(encodedPass.contains(key)) << key;

    const auto encodedBezel = toJson(BezelSettings{});
    EXPECT_EQ(encodedBezel, Json::parse(
        R"({"isOn": false, "depth": 0.5, "curvature": 1.0, "color": "#161718", "reflectionSoftness": 0.5})"));

    EXPECT_EQ(toJson(ScreenSettings{}),
              Json::parse(R"({"scanlineStrength": 0.0, "scanlineThickness": 0.5, "glowStrength": 0.0})"));

    const auto configuration = toJson(ShaderConfiguration{{pass}, true, BezelSettings{}});
    EXPECT_EQ(configuration.size(), 3u);
    EXPECT_EQ(configuration.at("motion"), true);
    EXPECT_EQ(configuration.at("passes").size(), 1u);
}

TEST(ShaderModelJson, IdsAreReadInEitherCaseAndWrittenInUpperCase)
{
    const auto pass = ShaderPass::fromJson(
        Json::parse(R"({"id": "3f2a8c1e-9b4d-4e6f-a1b2-c3d4e5f6a7b8", "effect": "negative"})"));
    EXPECT_EQ(toJson(pass).at("id"), "3F2A8C1E-9B4D-4E6F-A1B2-C3D4E5F6A7B8");
    EXPECT_EQ(pass.id, *Uuid::parse("3F2A8C1E-9B4D-4E6F-A1B2-C3D4E5F6A7B8"));
}

TEST(ShaderModelJson, UnknownEffectAndUnreadSettingsSurviveARoundTrip)
{
    const auto original = ShaderPass::fromJson(Json::parse(
        R"({"id": "00000000-0000-4000-8000-000000000001", "effect": "vhsTape", "intensity": 0.5,
            "settings": {"tracking": 0.25, "Curvex": 3}, "isOn": false})"));
    const auto decoded = ShaderPass::fromJson(Json::parse(toJson(original).dump()));
    EXPECT_EQ(decoded.effect, "vhsTape");
    EXPECT_EQ(decoded.settings, (ShaderPass::Settings{{"tracking", 0.25f}, {"Curvex", 3.0f}}));
    EXPECT_FALSE(decoded.isOn);
    EXPECT_EQ(decoded, original);
}

struct BadDocument {
    std::string name;
    std::function<void()> decode;
};

class ShaderModelJsonRefuses : public testing::TestWithParam<BadDocument> {};

TEST_P(ShaderModelJsonRefuses, TheWholeDocument)
{
    EXPECT_THROW(GetParam().decode(), json::DecodingError);
}

BadDocument pass(std::string name, const char* document)
{
    return {std::move(name), [document] { ShaderPass::fromJson(Json::parse(document)); }};
}

BadDocument bezel(std::string name, const char* document)
{
    return {std::move(name), [document] { BezelSettings::fromJson(Json::parse(document)); }};
}

BadDocument screen(std::string name, const char* document)
{
    return {std::move(name), [document] { ScreenSettings::fromJson(Json::parse(document)); }};
}

BadDocument configuration(std::string name, const char* document)
{
    return {std::move(name), [document] { ShaderConfiguration::fromJson(Json::parse(document)); }};
}

BadDocument preset(std::string name, const char* document)
{
    return {std::move(name), [document] { ShaderPreset::fromJson(Json::parse(document)); }};
}

constexpr const char* validBezel = R"("bezel": {})";

INSTANTIATE_TEST_SUITE_P(
    WrongTypes, ShaderModelJsonRefuses,
    testing::Values(
        pass("PassNotAnObject", R"(["crt"])"),
        pass("PassWithoutEffect", R"({"intensity": 1})"),
        pass("PassNullEffect", R"({"effect": null})"),
        pass("PassNumericEffect", R"({"effect": 3})"),
        pass("IntensityAsText", R"({"effect": "crt", "intensity": "1"})"),
        pass("IntensityAsBoolean", R"({"effect": "crt", "intensity": true})"),
        pass("IntensityBeyondFloat", R"({"effect": "crt", "intensity": 1e39})"),
        pass("IsOnAsNumber", R"({"effect": "crt", "isOn": 1})"),
        pass("SettingsAsArray", R"({"effect": "crt", "settings": [0.5]})"),
        pass("SettingAsBoolean", R"({"effect": "crt", "settings": {"curveX": true}})"),
        pass("SettingAsNull", R"({"effect": "crt", "settings": {"curveX": null}})"),
        pass("IdNotAUuid", R"({"effect": "crt", "id": "not-a-uuid"})"),
        pass("IdAsNumber", R"({"effect": "crt", "id": 7})"),
        bezel("BezelIsOnAsText", R"({"isOn": "true"})"),
        bezel("BezelDepthAsBoolean", R"({"depth": false})"),
        bezel("BezelColorAsNumber", R"({"color": 1447704})"),
        bezel("BezelSoftnessAsText", R"({"reflectionSoftness": "0.5"})"),
        screen("ScreenStrengthAsBoolean", R"({"scanlineStrength": true})"),
        screen("ScreenThicknessAsText", R"({"scanlineThickness": "0.5"})"),
        screen("ScreenNotAnObject", R"(0.5)"),
        configuration("ConfigurationWithoutMotion", R"({"passes": [], "bezel": {}})"),
        configuration("ConfigurationNullMotion", R"({"passes": [], "motion": null, "bezel": {}})"),
        configuration("ConfigurationWithoutBezel", R"({"passes": [], "motion": false})"),
        configuration("ConfigurationWithoutPasses", R"({"motion": false, "bezel": {}})"),
        configuration("ConfigurationPassesAsObject", R"({"passes": {}, "motion": false, "bezel": {}})"),
        configuration("ConfigurationOneBadPass",
                      R"({"passes": [{"effect": "crt"}, {"effect": "crt", "isOn": 0}], "motion": false, "bezel": {}})"),
        preset("PresetWithoutBezel", R"({"id": "a", "name": "A", "passes": []})"),
        preset("PresetWithoutName", R"({"id": "a", "passes": [], "bezel": {}})"),
        preset("PresetNumericId", R"({"id": 1, "name": "A", "passes": [], "bezel": {}})")),
    [](const testing::TestParamInfo<BadDocument>& info) { return info.param.name; });

TEST(ShaderModelJson, ValuesAreNeitherLimitedNorClamped)
{
    const auto configuration = ShaderConfiguration::fromJson(Json::parse(
        R"({"passes": [{"effect": "crt", "intensity": -3, "settings": {"curveX": 500}}], "motion": true,
            "bezel": {"depth": 9, "curvature": -1, "color": "rosa"}})"));
    EXPECT_EQ(configuration.passes.at(0).intensity, -3.0f);
    EXPECT_EQ(configuration.passes.at(0).settings.at("curveX"), 500.0f);
    EXPECT_EQ(configuration.bezel.depth, 9.0f);
    EXPECT_EQ(configuration.bezel.curvature, -1.0f);
    EXPECT_EQ(configuration.bezel.color, "rosa");
}

TEST(ShaderModelJson, RoundTripsAreBitExactAndKeepPassIds)
{
    const float awkward[] = {0.1f,
                             1.0f / 3.0f,
                             std::nextafter(0.35f, 1.0f),
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::min(),
                             -0.0f,
                             16777217.0f};
    ShaderPass::Settings settings;
    for (std::size_t i = 0; i < std::size(awkward); ++i) settings["key" + std::to_string(i)] = awkward[i];

    ShaderConfiguration original{{ShaderPass("crt", 0.7f, settings, true), ShaderPass("mnoise", -0.0f, {}, false)},
                                 true,
                                 BezelSettings{true, 0.123456789f, 2.9999998f, "#aBc123", 1e-7f}};
    const auto text = toJson(original).dump();
    const auto decoded = ShaderConfiguration::fromJson(Json::parse(text));

    EXPECT_EQ(decoded, original);
    ASSERT_EQ(decoded.passes.size(), 2u);
    EXPECT_EQ(decoded.passes[0].id, original.passes[0].id);
    EXPECT_EQ(decoded.passes[1].id, original.passes[1].id);
    for (const auto& [key, value] : original.passes[0].settings) {
        EXPECT_EQ(bitsOf(decoded.passes[0].settings.at(key)), bitsOf(value)) << key;
    }
    EXPECT_EQ(bitsOf(decoded.passes[1].intensity), bitsOf(-0.0f)) << "the sign of zero survives";
    EXPECT_EQ(bitsOf(decoded.bezel.depth), bitsOf(0.123456789f));
    EXPECT_EQ(toJson(decoded).dump(), text) << "a second round trip writes the same text";

    const ScreenSettings screen{0.1f, std::nextafter(0.5f, 0.0f), 0.9f};
    EXPECT_EQ(ScreenSettings::fromJson(Json::parse(toJson(screen).dump())), screen);
    EXPECT_EQ(toJson(screen).at("scanlineStrength").dump(), "0.1") << "floats are written in their shortest form";
}

TEST(ShaderModelJson, NonFiniteFloatsFailToEncode)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_THROW(toJson(ShaderPass("crt", nan, {}, true)), json::EncodingError);
    EXPECT_THROW(toJson(ShaderPass("crt", 1, {{"curveX", infinity}}, true)), json::EncodingError);
    EXPECT_THROW(toJson(BezelSettings{true, 0.5f, -infinity, "#161718", 0.5f}), json::EncodingError);
    EXPECT_THROW(toJson(ScreenSettings{0, 0.5f, nan}), json::EncodingError);
    EXPECT_THROW(toJson(ShaderConfiguration{{ShaderPass("glitchy", 1, {{"amount", nan}}, true)}, false, {}}),
                 json::EncodingError);
}

TEST(ShaderModelJson, PresetDecodesWithItsPassesAndBezel)
{
    const auto preset = ShaderPreset::fromJson(Json::parse(
        R"({"id": "tubo", "name": "Tubo clássico", "extra": [1, 2],
            "passes": [{"id": "00000000-0000-4000-8000-00000000000A", "effect": "crt"}],
            "bezel": {"isOn": true}})"));
    EXPECT_EQ(preset.id, "tubo");
    EXPECT_EQ(preset.name, "Tubo clássico");
    ASSERT_EQ(preset.passes.size(), 1u);
    EXPECT_TRUE(preset.bezel.isOn);

    const auto configuration = ShaderConfiguration::fromPreset(preset, true);
    EXPECT_TRUE(configuration.motion);
    EXPECT_EQ(configuration.passes, preset.passes);
    EXPECT_EQ(configuration.bezel, preset.bezel);
    EXPECT_EQ(ShaderConfiguration::fromJson(Json::parse(toJson(configuration).dump())), configuration);
}

}  // namespace
}  // namespace tilvane

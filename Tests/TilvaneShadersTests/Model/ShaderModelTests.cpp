// Equality and JSON of passes, bezel, screen settings, configurations and presets.
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using Json = nlohmann::json;

const float nan = std::numeric_limits<float>::quiet_NaN();
const float infinity = std::numeric_limits<float>::infinity();

ShaderConfiguration reference()
{
    static const Uuid firstId = Uuid::random();
    static const Uuid secondId = Uuid::random();
    return {{ShaderPass(firstId, "crt", 0.8f, {{"curveX", 13}, {"scanLinesStrength", 0.2f}}, true),
             ShaderPass(secondId, "negative", 1, {}, false)},
            false,
            BezelSettings{true, 0.5f, 1, "#16171a", 0.5f}};
}

TEST(ShaderModelEquality, EveryFieldCountsAndFloatsCompareAsNumbers)
{
    EXPECT_EQ(reference(), reference());
    const std::pair<const char*, std::function<void(ShaderConfiguration&)>> changes[] = {
        {"pass id", [](auto& c) { c.passes[1].id = Uuid::random(); }},
        {"pass effect", [](auto& c) { c.passes[0].effect = "CRT"; }},
        {"pass intensity", [](auto& c) { c.passes[0].intensity = std::nextafter(0.8f, 1.0f); }},
        {"setting by its smallest step",
         [](auto& c) { c.passes[0].settings["curveX"] = std::nextafter(13.0f, 100.0f); }},
        {"extra setting at zero", [](auto& c) { c.passes[1].settings["amount"] = 0; }},
        {"pass switched off", [](auto& c) { c.passes[0].isOn = false; }},
        {"passes reordered", [](auto& c) { std::swap(c.passes[0], c.passes[1]); }},
        {"motion", [](auto& c) { c.motion = true; }},
        {"bezel switched off", [](auto& c) { c.bezel.isOn = false; }},
        {"bezel depth", [](auto& c) { c.bezel.depth = 0.6f; }},
        {"bezel curvature", [](auto& c) { c.bezel.curvature = 1.5f; }},
        {"bezel colour in other letter case", [](auto& c) { c.bezel.color = "#16171A"; }},
        {"bezel reflection softness", [](auto& c) { c.bezel.reflectionSoftness = 0.51f; }}};
    for (const auto& [name, apply] : changes) {
        auto changed = reference();
        apply(changed);
        EXPECT_NE(changed, reference()) << name;
        EXPECT_NE(reference(), changed) << name;
    }
    EXPECT_NE(ShaderPass("crt", 1, {}, true), ShaderPass("crt", 1, {}, true)) << "new passes get fresh ids";

    // Floats compare as numbers: 0 equals -0, NaN equals nothing, not even itself.
    auto negativeZero = reference(), positiveZero = reference(), notANumber = reference();
    negativeZero.passes[0].settings["curveX"] = -0.0f;
    positiveZero.passes[0].settings["curveX"] = 0.0f;
    notANumber.passes[0].intensity = nan;
    EXPECT_EQ(negativeZero, positiveZero);
    EXPECT_NE(notANumber, notANumber);
    EXPECT_NE((BezelSettings{true, nan, 1, "#161718", 0.5f}), (BezelSettings{true, nan, 1, "#161718", 0.5f}));
}

TEST(ShaderModelJson, AbsentAndNullKeysTakeTheirDefaultsAndEncodingWritesEveryKey)
{
    for (const char* document :
         {R"({"effect": "crt"})",
          R"({"effect": "crt", "id": null, "intensity": null, "settings": null, "isOn": null})"}) {
        const auto pass = ShaderPass::fromJson(Json::parse(document));
        EXPECT_EQ(pass, ShaderPass(pass.id, "crt", 1, {}, true));
        EXPECT_NE(pass.id, ShaderPass::fromJson(Json::parse(document)).id) << "each decode draws a new id";
    }
    for (const char* document :
         {"{}", R"({"isOn": null, "depth": null, "curvature": null, "color": null, "reflectionSoftness": null})"}) {
        EXPECT_EQ(BezelSettings::fromJson(Json::parse(document)), (BezelSettings{false, 0.5f, 1, "#161718", 0.5f}));
    }
    for (const char* document :
         {"{}", R"({"scanlineStrength": null, "scanlineThickness": null, "glowStrength": null})"}) {
        EXPECT_EQ(ScreenSettings::fromJson(Json::parse(document)), (ScreenSettings{0, 0.5f, 0}));
    }
    // Encoding writes every key, and ids in upper case.
    const auto pass =
        ShaderPass::fromJson(Json::parse(R"({"id": "3f2a8c1e-9b4d-4e6f-a1b2-c3d4e5f6a7b8", "effect": "negative"})"));
    EXPECT_EQ(pass.id, *Uuid::parse("3F2A8C1E-9B4D-4E6F-A1B2-C3D4E5F6A7B8"));
    EXPECT_EQ(toJson(pass), Json::parse(R"({"id": "3F2A8C1E-9B4D-4E6F-A1B2-C3D4E5F6A7B8", "effect": "negative",
                                            "intensity": 1.0, "settings": {}, "isOn": true})"));
    EXPECT_EQ(toJson(BezelSettings{}),
              Json::parse(
                  R"({"isOn": false, "depth": 0.5, "curvature": 1.0, "color": "#161718", "reflectionSoftness": 0.5})"));
    EXPECT_EQ(toJson(ScreenSettings{}),
              Json::parse(R"({"scanlineStrength": 0.0, "scanlineThickness": 0.5, "glowStrength": 0.0})"));
    const auto configuration = toJson(ShaderConfiguration{{pass}, true, BezelSettings{}});
    EXPECT_EQ(configuration,
              (Json{{"passes", Json::array({toJson(pass)})}, {"motion", true}, {"bezel", toJson(BezelSettings{})}}));
}

TEST(ShaderModelJson, UnknownEffectsAndValuesOutsideTheRangesSurviveUnchanged)
{
    const auto original = ShaderConfiguration::fromJson(Json::parse(
        R"({"passes": [{"effect": "vhsTape", "intensity": -3, "settings": {"tracking": 0.25, "Curvex": 500}}], "motion": true,
            "bezel": {"depth": 9, "curvature": -1, "color": "rosa"}})"));
    EXPECT_EQ(original.passes.at(0),
              ShaderPass(original.passes.at(0).id, "vhsTape", -3, {{"tracking", 0.25f}, {"Curvex", 500}}, true));
    EXPECT_EQ(original.bezel, (BezelSettings{false, 9, -1, "rosa", 0.5f}));
    EXPECT_EQ(ShaderConfiguration::fromJson(Json::parse(toJson(original).dump())), original);
}

// Each document is wrong in one way; nlohmann would silently turn some of them into numbers.
template <typename Decoded>
void expectRefused(std::initializer_list<const char*> documents)
{
    for (const char* document : documents) {
        EXPECT_THROW(Decoded::fromJson(Json::parse(document)), json::DecodingError) << document;
    }
}

TEST(ShaderModelJson, WrongTypesFailTheWholeDocument)
{
    expectRefused<ShaderPass>(
        {R"(["crt"])", R"({"intensity": 1})", R"({"effect": 3})", R"({"effect": "crt", "intensity": "1"})",
         R"({"effect": "crt", "intensity": true})", R"({"effect": "crt", "intensity": 1e39})",
         R"({"effect": "crt", "isOn": 1})", R"({"effect": "crt", "settings": [0.5]})",
         R"({"effect": "crt", "settings": {"curveX": true}})", R"({"effect": "crt", "settings": {"curveX": null}})",
         R"({"effect": "crt", "id": "not-a-uuid"})"});
    expectRefused<BezelSettings>({R"({"isOn": "true"})", R"({"depth": false})", R"({"color": 1447704})"});
    expectRefused<ScreenSettings>({R"({"scanlineStrength": true})", "0.5"});
    expectRefused<ShaderConfiguration>(
        {R"({"passes": [], "bezel": {}})", R"({"passes": [], "motion": false})", R"({"motion": false, "bezel": {}})",
         R"({"passes": [{"effect": "crt"}, {"effect": "crt", "isOn": 0}], "motion": false, "bezel": {}})"});
    expectRefused<ShaderPreset>({R"({"id": "a", "name": "A", "passes": []})",
                                 R"({"id": "a", "passes": [], "bezel": {}})",
                                 R"({"id": 1, "name": "A", "passes": [], "bezel": {}})"});
}

TEST(ShaderModelJson, RoundTripsAreBitExactAndNonFiniteFloatsFailToEncode)
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
    const ShaderConfiguration original{
        {ShaderPass("crt", 0.7f, settings, true), ShaderPass("mnoise", -0.0f, {}, false)},
        true,
        BezelSettings{true, 0.123456789f, 2.9999998f, "#aBc123", 1e-7f}};
    const auto text = toJson(original).dump();
    const auto decoded = ShaderConfiguration::fromJson(Json::parse(text));
    EXPECT_EQ(decoded, original) << "pass ids included";
    EXPECT_TRUE(std::signbit(decoded.passes.at(1).intensity)) << "the sign of zero survives";
    EXPECT_EQ(toJson(decoded).dump(), text) << "a second round trip writes the same text, bit for bit";

    const ScreenSettings screen{0.1f, std::nextafter(0.5f, 0.0f), 0.9f};
    EXPECT_EQ(ScreenSettings::fromJson(Json::parse(toJson(screen).dump())), screen);
    EXPECT_EQ(toJson(screen).at("scanlineStrength").dump(), "0.1") << "floats are written in their shortest form";

    // A float that is not finite fails to encode rather than be written as null (read back as a default).
    EXPECT_THROW(toJson(ShaderPass("crt", nan, {}, true)), json::EncodingError);
    EXPECT_THROW(toJson(ShaderPass("crt", 1, {{"curveX", infinity}}, true)), json::EncodingError);
    EXPECT_THROW(toJson(BezelSettings{true, 0.5f, -infinity, "#161718", 0.5f}), json::EncodingError);
    EXPECT_THROW(toJson(ScreenSettings{0, 0.5f, nan}), json::EncodingError);
}

}  // namespace
}  // namespace tilvane

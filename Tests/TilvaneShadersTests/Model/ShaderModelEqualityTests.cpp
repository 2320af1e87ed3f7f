#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>

namespace tilvane {
namespace {

const Uuid firstId = *Uuid::parse("11111111-1111-4111-8111-111111111111");
const Uuid secondId = *Uuid::parse("22222222-2222-4222-8222-222222222222");

ShaderConfiguration reference()
{
    return ShaderConfiguration{{ShaderPass(firstId, "crt", 0.8f, {{"curveX", 13}, {"scanLinesStrength", 0.2f}}, true),
                                ShaderPass(secondId, "negative", 1, {}, false)},
                               false,
                               BezelSettings{true, 0.5f, 1, "#16171a", 0.5f}};
}

struct OneChange {
    std::string name;
    std::function<void(ShaderConfiguration&)> apply;
};

class ShaderModelEqualityOneChange : public testing::TestWithParam<OneChange> {};

TEST_P(ShaderModelEqualityOneChange, MakesAnotherConfiguration)
{
    EXPECT_EQ(reference(), reference());
    auto changed = reference();
    GetParam().apply(changed);
    EXPECT_NE(changed, reference());
    EXPECT_NE(reference(), changed);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFieldCounts, ShaderModelEqualityOneChange,
    testing::Values(
        OneChange{"PassId", [](auto& c) { c.passes[1].id = Uuid::random(); }},
        OneChange{"PassEffect", [](auto& c) { c.passes[0].effect = "CRT"; }},
        OneChange{"PassIntensity", [](auto& c) { c.passes[0].intensity = std::nextafter(0.8f, 1.0f); }},
        OneChange{"SettingBySmallestStep",
                  [](auto& c) { c.passes[0].settings["curveX"] = std::nextafter(13.0f, 100.0f); }},
        OneChange{"ExtraSettingAtZero", [](auto& c) { c.passes[1].settings["amount"] = 0; }},
        OneChange{"MissingSetting", [](auto& c) { c.passes[0].settings.erase("scanLinesStrength"); }},
        OneChange{"PassSwitchedOff", [](auto& c) { c.passes[0].isOn = false; }},
        OneChange{"PassesReordered", [](auto& c) { std::swap(c.passes[0], c.passes[1]); }},
        OneChange{"OnePassFewer", [](auto& c) { c.passes.pop_back(); }},
        OneChange{"Motion", [](auto& c) { c.motion = true; }},
        OneChange{"BezelSwitchedOff", [](auto& c) { c.bezel.isOn = false; }},
        OneChange{"BezelDepth", [](auto& c) { c.bezel.depth = 0.6f; }},
        OneChange{"BezelCurvature", [](auto& c) { c.bezel.curvature = 1.5f; }},
        OneChange{"BezelColourInOtherLetterCase", [](auto& c) { c.bezel.color = "#16171A"; }},
        OneChange{"BezelReflectionSoftness", [](auto& c) { c.bezel.reflectionSoftness = 0.51f; }}),
    [](const testing::TestParamInfo<OneChange>& info) { return info.param.name; });

TEST(ShaderModelEquality, FloatsCompareAsNumbers)
{
    auto negativeZero = reference();
    negativeZero.passes[0].settings["curveX"] = -0.0f;
    auto positiveZero = reference();
    positiveZero.passes[0].settings["curveX"] = 0.0f;
    EXPECT_EQ(negativeZero, positiveZero);

    auto notANumber = reference();
    notANumber.passes[0].intensity = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(notANumber, notANumber) << "NaN equals nothing, not even itself";

    BezelSettings nanDepth;
    nanDepth.depth = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(nanDepth, nanDepth);
}

TEST(ShaderModelEquality, NewPassesGetFreshIds)
{
    const ShaderPass first("crt", 1, {}, true);
    const ShaderPass second("crt", 1, {}, true);
    EXPECT_NE(first.id, second.id);
    EXPECT_NE(first, second);
}

}  // namespace
}  // namespace tilvane

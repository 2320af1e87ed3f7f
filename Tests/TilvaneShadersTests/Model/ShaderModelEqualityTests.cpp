#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tilvane {
namespace {

const Uuid firstId = *Uuid::parse("11111111-1111-4111-8111-111111111111");
const Uuid secondId = *Uuid::parse("22222222-2222-4222-8222-222222222222");

ShaderConfiguration reference()
{
    return ShaderConfiguration{{ShaderPass(firstId, "crt", 0.8f, {{"curveX", 13}, {"scanLinesStrength", 0.2f}}, true),
                                ShaderPass(secondId, "negative", 1, {}, false)},
                               false,
                               BezelSettings{true, 0.5f, 1, "#161718", 0.5f}};
}

TEST(ShaderModelEquality, EveryFieldCounts)
{
    EXPECT_EQ(reference(), reference());

    auto smallestStep = reference();
    auto& curveX = smallestStep.passes[0].settings["curveX"];
    curveX = std::nextafter(curveX, 100.0f);
    EXPECT_NE(smallestStep, reference());

    auto extraZeroKey = reference();
    extraZeroKey.passes[1].settings["amount"] = 0;
    EXPECT_NE(extraZeroKey, reference());

    auto otherId = reference();
    otherId.passes[1].id = Uuid::random();
    EXPECT_NE(otherId, reference()) << "the same picture with another pass id is another configuration";

    auto reordered = reference();
    std::swap(reordered.passes[0], reordered.passes[1]);
    EXPECT_NE(reordered, reference());

    auto fewer = reference();
    fewer.passes.pop_back();
    EXPECT_NE(fewer, reference());

    auto moving = reference();
    moving.motion = true;
    EXPECT_NE(moving, reference());

    auto switchedOff = reference();
    switchedOff.passes[0].isOn = false;
    EXPECT_NE(switchedOff, reference());

    auto upperCaseColor = reference();
    upperCaseColor.bezel.color = "#ABCDEF";
    auto lowerCaseColor = reference();
    lowerCaseColor.bezel.color = "#abcdef";
    EXPECT_NE(upperCaseColor, lowerCaseColor) << "the colour text is compared byte for byte";

    auto softer = reference();
    softer.bezel.reflectionSoftness = 0.51f;
    EXPECT_NE(softer, reference());
}

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

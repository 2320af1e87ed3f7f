#include "TilvaneShaders/Model/UniformLists.hpp"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

namespace tilvane {
namespace {

using List = std::vector<float>;
using Rgb = std::array<float, 3>;

const Rgb fallbackGrey{22.0f / 255.0f, 23.0f / 255.0f, 24.0f / 255.0f};
const float nan = std::numeric_limits<float>::quiet_NaN();

TEST(BezelUniforms, GoldenList)
{
    const BezelSettings bezel{true, 0.25f, 1.5f, "#336699", 0.75f};
    // A depth of 0.25 sits a quarter of the way from the flat frame's 0.96 to the deepest frame's 0.8.
    EXPECT_EQ(bezelUniforms(bezel, 400, 300),
              (List{400, 300, 0.92f, 400.0f / 300.0f, 0.25f, 0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 0.75f, 1.5f}));
}

struct ClampCase {
    std::string name;
    BezelSettings bezel;
    float inset;      // slot 2
    float depth;      // slot 4
    float softness;   // slot 8
    float curvature;  // slot 9
};

class BezelClamps : public testing::TestWithParam<ClampCase> {};

TEST_P(BezelClamps, KeepValuesInsideTheirBounds)
{
    const auto& row = GetParam();
    const auto list = bezelUniforms(row.bezel, 10, 10);
    ASSERT_EQ(list.size(), 10u);
    EXPECT_FLOAT_EQ(list[2], row.inset);
    EXPECT_EQ(list[4], row.depth);
    EXPECT_EQ(list[8], row.softness);
    EXPECT_EQ(list[9], row.curvature);
}

INSTANTIATE_TEST_SUITE_P(
    Bezel, BezelClamps,
    testing::Values(ClampCase{"DeepestFrame", {true, 2, 1, "#161718", 0.5f}, 0.8f, 1, 0.5f, 1},
                    ClampCase{"FlatFrame", {true, -1, 1, "#161718", 0.5f}, 0.96f, 0, 0.5f, 1},
                    ClampCase{"NaNGoesToTheLowerBound", {true, nan, nan, "#161718", nan}, 0.96f, 0, 0, 0},
                    ClampCase{"NegativeCurvature", {true, 0.5f, -2, "#161718", 0.5f}, 0.88f, 0.5f, 0.5f, 0},
                    ClampCase{"CurvatureAboveThree", {true, 0.5f, 5, "#161718", 0.5f}, 0.88f, 0.5f, 0.5f, 3},
                    ClampCase{"SoftnessAboveOne", {true, 0.5f, 3, "#161718", 4}, 0.88f, 0.5f, 1, 3},
                    ClampCase{"InfiniteValues",
                              {true, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                               "#161718", std::numeric_limits<float>::infinity()},
                              0.8f, 1, 1, 0}),
    [](const testing::TestParamInfo<ClampCase>& info) { return info.param.name; });

struct ColorCase {
    std::string name;
    std::string text;
    Rgb expected;
};

class ColorText : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorText, ReadsOnlyAHashAndSixHexDigits)
{
    EXPECT_EQ(color(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bezel, ColorText,
    testing::Values(ColorCase{"LowerCaseWithSurroundingSpace", " #ff8000\n", {1, 128.0f / 255.0f, 0}},
                    ColorCase{"UpperCase", "#FF8000", {1, 128.0f / 255.0f, 0}},
                    ColorCase{"TabsAndCarriageReturn", "\t#00Ff01\r\n", {0, 1, 1.0f / 255.0f}},
                    ColorCase{"Black", "#000000", {0, 0, 0}},
                    ColorCase{"White", "#ffffff", {1, 1, 1}},
                    ColorCase{"FourDigits", "#ff80", fallbackGrey},
                    ColorCase{"WithoutHash", "ff8000", fallbackGrey},
                    ColorCase{"NonHexLetter", "#ff800g", fallbackGrey},
                    ColorCase{"EightDigits", "#ff8000ff", fallbackGrey},
                    ColorCase{"SpaceInside", "#ff 800", fallbackGrey},
                    ColorCase{"HexPrefix", "#0xff80", fallbackGrey},
                    ColorCase{"MinusSign", "#-ff800", fallbackGrey},
                    ColorCase{"PlusSign", "#+ff800", fallbackGrey},
                    ColorCase{"SpaceAfterHash", "# ff800", fallbackGrey},
                    ColorCase{"Empty", "", fallbackGrey},
                    ColorCase{"OnlySpace", "   ", fallbackGrey},
                    ColorCase{"NamedColour", "vermelho", fallbackGrey}),
    [](const testing::TestParamInfo<ColorCase>& info) { return info.param.name; });

TEST(BezelUniforms, UnreadableColourIsDrawnNearBlack)
{
    const auto list = bezelUniforms(BezelSettings{true, 0.5f, 1, "#12345", 0.5f}, 2, 1);
    EXPECT_EQ((Rgb{list[5], list[6], list[7]}), fallbackGrey);
    EXPECT_EQ(list[3], 2.0f);
}

}  // namespace
}  // namespace tilvane

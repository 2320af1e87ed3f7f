#include "TilvaneCore/DitherMode.hpp"
#include "TilvaneCore/ImageAdjustments.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tilvane;

TEST(DitherMode, RawValuesMatchExactly)
{
    EXPECT_EQ(rawValue(DitherMode::none), "none");
    EXPECT_EQ(rawValue(DitherMode::bayer4x4), "bayer4x4");
    EXPECT_EQ(rawValue(DitherMode::floydSteinberg), "floydSteinberg");
    for (const auto mode : allDitherModes) EXPECT_EQ(ditherModeFromRawValue(rawValue(mode)), mode);
    EXPECT_EQ(ditherModeFromRawValue("FloydSteinberg"), std::nullopt);
    EXPECT_EQ(ditherModeFromRawValue("bayer4x4 "), std::nullopt);
    EXPECT_EQ(ditherModeFromRawValue(""), std::nullopt);
}

TEST(DitherMode, JsonIsTheRawString)
{
    EXPECT_EQ(nlohmann::json(DitherMode::bayer4x4), nlohmann::json("bayer4x4"));
    EXPECT_EQ(nlohmann::json("floydSteinberg").get<DitherMode>(), DitherMode::floydSteinberg);
    EXPECT_THROW(nlohmann::json("FloydSteinberg").get<DitherMode>(), json::DecodingError);
    EXPECT_THROW(nlohmann::json(1).get<DitherMode>(), json::DecodingError);
}

struct ValidityRow {
    const char* name;
    ImageAdjustments adjustments;
    bool valid;
};

void PrintTo(const ValidityRow& row, std::ostream* out) { *out << row.name; }

class AdjustmentsValidity : public testing::TestWithParam<ValidityRow> {};

TEST_P(AdjustmentsValidity, IncludesTheBoundsAndRefusesNonFiniteValues)
{
    EXPECT_EQ(GetParam().adjustments.isValid(), GetParam().valid);
}

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Bounds, AdjustmentsValidity,
    testing::Values(ValidityRow{"Neutral", {0, 1, 1}, true}, ValidityRow{"LowerBounds", {-2, 0.5f, 0.5f}, true},
                    ValidityRow{"UpperBounds", {2, 1.5f, 2}, true},
                    ValidityRow{"ExposureTooHigh", {2.0001f, 1, 1}, false},
                    ValidityRow{"ExposureTooLow", {-2.0001f, 1, 1}, false},
                    ValidityRow{"ContrastTooLow", {0, 0.49f, 1}, false},
                    ValidityRow{"ContrastTooHigh", {0, 1.51f, 1}, false},
                    ValidityRow{"GammaTooHigh", {0, 1, 2.01f}, false},
                    ValidityRow{"GammaTooLow", {0, 1, 0.49f}, false},
                    ValidityRow{"ExposureNaN", {notANumber, 1, 1}, false}, ValidityRow{"ContrastNaN", {0, notANumber, 1}, false},
                    ValidityRow{"GammaNaN", {0, 1, notANumber}, false}, ValidityRow{"ExposureInfinite", {-infinity, 1, 1}, false},
                    ValidityRow{"ContrastInfinite", {0, infinity, 1}, false},
                    ValidityRow{"GammaInfinite", {0, 1, infinity}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageAdjustments, NeutralityComparesExactly)
{
    EXPECT_TRUE((ImageAdjustments{-0.0f, 1, 1}.isNeutral()));
    EXPECT_TRUE(ImageAdjustments{}.isNeutral());
    EXPECT_FALSE((ImageAdjustments{0, 1.0001f, 1}.isNeutral()));
    EXPECT_FALSE((ImageAdjustments{0, 1, 0.9999f}.isNeutral()));
}

TEST(ToneCurve, NeutralIsTheIdentity)
{
    const auto table = ImageAdjustments{}.lookupTable();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i);
}

TEST(ToneCurve, OneStopOfExposureDoubles)
{
    const auto table = ImageAdjustments{1, 1, 1}.lookupTable();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], std::min(2 * i, 255)) << i;
    EXPECT_EQ(table[127], 254);
    EXPECT_EQ(table[128], 255);
}

struct CurveRow {
    const char* name;
    ImageAdjustments adjustments;
    int input;
    int output;
};

void PrintTo(const CurveRow& row, std::ostream* out) { *out << row.name; }

class ToneCurveEntries : public testing::TestWithParam<CurveRow> {};

TEST_P(ToneCurveEntries, RoundToTheNearestInteger)
{
    EXPECT_EQ(GetParam().adjustments.lookupTable()[GetParam().input], GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ToneCurveEntries,
    testing::Values(CurveRow{"HalfContrastLiftsBlack", {0, 0.5f, 1}, 0, 64},          // 63.75
                    CurveRow{"HalfContrastLowersWhite", {0, 0.5f, 1}, 255, 191},      // 191.25
                    CurveRow{"HalfContrastKeepsTheMiddleHalfUp", {0, 0.5f, 1}, 1, 64},  // 64.25
                    CurveRow{"GammaTwoBrightens", {0, 1, 2}, 64, 128},                // 127.75
                    CurveRow{"GammaHalfDarkens", {0, 1, 0.5f}, 128, 64},              // 64.25
                    CurveRow{"HighContrastClipsWhite", {0, 1.5f, 1}, 230, 255},
                    CurveRow{"HighContrastClipsBlack", {0, 1.5f, 1}, 40, 0},
                    CurveRow{"HalfAwayFromZero", {-2, 0.5f, 1}, 6, 65},                // 64.5, not 64 as half-to-even
                    CurveRow{"DarkestExposure", {-2, 1, 1}, 255, 64}),                // 63.75
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageAdjustments, JsonHasTheThreeFieldsInOrderAndRequiresThemAll)
{
    const nlohmann::ordered_json encoded = ImageAdjustments{0.1f, 1.5f, 2};
    EXPECT_EQ(encoded.dump(), R"({"exposure":0.1,"contrast":1.5,"gamma":2.0})");
    EXPECT_EQ(nlohmann::json::parse(encoded.dump()).get<ImageAdjustments>(), (ImageAdjustments{0.1f, 1.5f, 2}));
    EXPECT_THROW(nlohmann::json::parse(R"({"exposure": 0, "contrast": 1})").get<ImageAdjustments>(), json::DecodingError);
    EXPECT_THROW(nlohmann::json::parse(R"({"exposure": 0, "contrast": 1, "gamma": "1"})").get<ImageAdjustments>(),
                 json::DecodingError);
    EXPECT_THROW(nlohmann::json(ImageAdjustments{notANumber, 1, 1}), json::EncodingError);
}

#include "TilvaneCore/DitherMode.hpp"
#include "TilvaneCore/ImageAdjustments.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

TEST(DitherMode, RawValuesAndJsonMatchExactly)
{
    EXPECT_EQ((std::vector<std::string_view>{rawValue(allDitherModes[0]), rawValue(allDitherModes[1]),
                                             rawValue(allDitherModes[2])}),
              (std::vector<std::string_view>{"none", "bayer4x4", "floydSteinberg"}));
    for (const auto mode : allDitherModes) EXPECT_EQ(nlohmann::json(rawValue(mode)).get<DitherMode>(), mode);
    EXPECT_EQ(nlohmann::json(DitherMode::bayer4x4), nlohmann::json("bayer4x4"));
    for (const char* text : {"FloydSteinberg", "bayer4x4 ", ""}) EXPECT_EQ(ditherModeFromRawValue(text), std::nullopt);
    EXPECT_THROW(nlohmann::json("FloydSteinberg").get<DitherMode>(), json::DecodingError);
    EXPECT_THROW(nlohmann::json(1).get<DitherMode>(), json::DecodingError);
}

TEST(ImageAdjustments, ValidityIncludesTheBoundsAndRefusesNonFiniteValuesAndNeutralityIsExact)
{
    EXPECT_TRUE((ImageAdjustments{-0.0f, 1, 1}.isNeutral() && ImageAdjustments{-2, 0.5f, 0.5f}.isValid()
                 && ImageAdjustments{2, 1.5f, 2}.isValid()));
    EXPECT_FALSE((ImageAdjustments{0, 1.0001f, 1}.isNeutral() || ImageAdjustments{0, 1, 0.9999f}.isNeutral()));
    for (const ImageAdjustments invalid : {ImageAdjustments{2.0001f, 1, 1},
                                           {-2.0001f, 1, 1},
                                           {0, 0.49f, 1},
                                           {0, 1.51f, 1},
                                           {0, 1, 2.01f},
                                           {0, 1, 0.49f},
                                           {notANumber, 1, 1},
                                           {0, notANumber, 1},
                                           {0, 1, notANumber},
                                           {-infinity, 1, 1},
                                           {0, infinity, 1},
                                           {0, 1, infinity}}) {
        EXPECT_FALSE(invalid.isValid()) << invalid.exposure << " " << invalid.contrast << " " << invalid.gamma;
    }
}

TEST(ToneCurve, NeutralIsTheIdentityAndOneStopOfExposureDoubles)
{
    std::array<std::uint8_t, 256> identity{}, doubled{};
    for (int i = 0; i < 256; ++i) identity[i] = std::uint8_t(i), doubled[i] = std::uint8_t(std::min(2 * i, 255));
    EXPECT_EQ(ImageAdjustments{}.lookupTable(), identity);
    EXPECT_EQ((ImageAdjustments{1, 1, 1}.lookupTable()), doubled);
}

TEST(ToneCurve, EntriesRoundHalvesAwayFromZero)
{
    struct Row {
        ImageAdjustments adjustments;
        int input, output;
    };
    const Row rows[] = {
        {{0, 0.5f, 1}, 0, 64},     // 63.75: half contrast lifts black
        {{0, 0.5f, 1}, 255, 191},  // 191.25
        {{0, 0.5f, 1}, 1, 64},     // 64.25
        {{0, 1, 2}, 64, 128},      // 127.75: gamma 2 brightens
        {{0, 1, 0.5f}, 128, 64},   // 64.25
        {{0, 1.5f, 1}, 230, 255},  // high contrast clips white
        {{0, 1.5f, 1}, 40, 0},     // and black
        {{-2, 0.5f, 1}, 6, 65},    // 64.5, not 64 as half-to-even
        {{-2, 1, 1}, 255, 64},     // 63.75
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.adjustments.lookupTable()[std::size_t(row.input)], row.output) << &row - rows;
}

TEST(ImageAdjustments, JsonHasTheThreeFieldsInOrderAndRequiresThemAll)
{
    const nlohmann::ordered_json encoded = ImageAdjustments{0.1f, 1.5f, 2};
    EXPECT_EQ(encoded.dump(), R"({"exposure":0.1,"contrast":1.5,"gamma":2.0})");
    EXPECT_EQ(nlohmann::json::parse(encoded.dump()).get<ImageAdjustments>(), (ImageAdjustments{0.1f, 1.5f, 2}));
    for (const char* text : {R"({"exposure": 0, "contrast": 1})", R"({"exposure": 0, "contrast": 1, "gamma": "1"})"}) {
        EXPECT_THROW(nlohmann::json::parse(text).get<ImageAdjustments>(), json::DecodingError) << text;
    }
    EXPECT_THROW(nlohmann::json(ImageAdjustments{notANumber, 1, 1}), json::EncodingError);
}

}  // namespace

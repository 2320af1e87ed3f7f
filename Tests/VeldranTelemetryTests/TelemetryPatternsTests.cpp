#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace veldran {
namespace {

struct PatternRow {
    const char* name;
    std::function<bool(std::string_view)> matches;
    std::string text;
    bool expected;
};

class TelemetryPattern : public ::testing::TestWithParam<PatternRow> {};

TEST_P(TelemetryPattern, MatchesTheWholeTextOnly)
{
    EXPECT_EQ(GetParam().matches(GetParam().text), GetParam().expected);
}

const std::string veryLong(400 * 1024, '7');

INSTANTIATE_TEST_SUITE_P(Rows, TelemetryPattern,
    ::testing::Values(
        PatternRow{"name_words", isSnakeCaseName, "image_opened2_x", true},
        PatternRow{"name_single_letter", isSnakeCaseName, "a", true},
        PatternRow{"name_digit_group", isSnakeCaseName, "a_2", true},
        PatternRow{"name_empty", isSnakeCaseName, "", false},
        PatternRow{"name_leading_digit", isSnakeCaseName, "2a", false},
        PatternRow{"name_leading_underscore", isSnakeCaseName, "_a", false},
        PatternRow{"name_trailing_underscore", isSnakeCaseName, "a_", false},
        PatternRow{"name_double_underscore", isSnakeCaseName, "a__b", false},
        PatternRow{"name_capital", isSnakeCaseName, "aB", false},
        PatternRow{"name_hyphen", isSnakeCaseName, "a-b", false},
        PatternRow{"name_trailing_newline", isSnakeCaseName, "ab\n", false},
        PatternRow{"name_very_long", isSnakeCaseName, "a" + std::string(400 * 1024, 'b'), true},
        PatternRow{"value_forty", isDetailValue, std::string(40, 'a'), true},
        PatternRow{"value_forty_one", isDetailValue, std::string(41, 'a'), false},
        PatternRow{"value_punctuation", isDetailValue, "9a_.-", true},
        PatternRow{"value_leading_point", isDetailValue, ".png", false},
        PatternRow{"value_leading_hyphen", isDetailValue, "-png", false},
        PatternRow{"value_empty", isDetailValue, "", false},
        PatternRow{"value_capital", isDetailValue, "PNG", false},
        PatternRow{"value_trailing_newline", isDetailValue, "png\n", false},
        PatternRow{"uuid_upper", isUuidText, "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D", true},
        PatternRow{"uuid_lower", isUuidText, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d", true},
        PatternRow{"uuid_braces", isUuidText, "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}", false},
        PatternRow{"uuid_no_hyphens", isUuidText, "0A1B2C3D4E5F4A6B8C7D9E0F1A2B3C4D", false},
        PatternRow{"uuid_hyphen_moved", isUuidText, "0A1B2C3-D4E5F-4A6B-8C7D-9E0F1A2B3C4D", false},
        PatternRow{"uuid_not_hexadecimal", isUuidText, "0A1B2C3G-4E5F-4A6B-8C7D-9E0F1A2B3C4D", false},
        PatternRow{"uuid_trailing_newline", isUuidText, "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4\n", false},
        PatternRow{"version_three", isMarketingVersion, "10.0.345", true},
        PatternRow{"version_two", isMarketingVersion, "1.2", false},
        PatternRow{"version_four", isMarketingVersion, "1.2.3.4", false},
        PatternRow{"version_empty_group", isMarketingVersion, "1..3", false},
        PatternRow{"version_final_stop", isMarketingVersion, "1.2.3.", false},
        PatternRow{"version_suffix", isMarketingVersion, "1.2.3-beta", false},
        PatternRow{"version_trailing_newline", isMarketingVersion, "1.2.3\n", false},
        PatternRow{"version_very_long", isMarketingVersion, veryLong + "." + veryLong + "." + veryLong, true},
        PatternRow{"build_digits", isBuildNumber, "42", true},
        PatternRow{"build_final_stop", isBuildNumber, "4.2.", true},
        PatternRow{"build_leading_stop", isBuildNumber, ".4", false},
        PatternRow{"build_empty", isBuildNumber, "", false},
        PatternRow{"build_letter", isBuildNumber, "4a", false},
        PatternRow{"build_very_long", isBuildNumber, veryLong, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veldran

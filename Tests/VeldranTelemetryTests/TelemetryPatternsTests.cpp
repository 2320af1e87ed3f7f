#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace veldran {
namespace {

struct PatternRow {
    const char* name;
    std::function<bool(std::string_view)> matches;
    std::vector<std::string> accepted;
    std::vector<std::string> refused;
};

class TelemetryPattern : public ::testing::TestWithParam<PatternRow> {};

TEST_P(TelemetryPattern, MatchesTheWholeTextOnly)
{
    for (const auto& text : GetParam().accepted)
        EXPECT_TRUE(GetParam().matches(text)) << text.substr(0, 80);
    for (const auto& text : GetParam().refused)
        EXPECT_FALSE(GetParam().matches(text)) << text.substr(0, 80);
}

// Very long texts must not exhaust the stack of a recursive matcher.
const std::string veryLong(400 * 1024, '7');
const std::string uuid = "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D";

INSTANTIATE_TEST_SUITE_P(Rows, TelemetryPattern,
    ::testing::Values(
        PatternRow{"snake_case_name", isSnakeCaseName, {"image_opened2_x", "a", "a_2", "a" + std::string(400 * 1024, 'b')},
            {"", "2a", "_a", "a_", "a__b", "aB", "a-b", "ab\n"}},
        PatternRow{"detail_value", isDetailValue, {std::string(40, 'a'), "9a_.-"},
            {std::string(41, 'a'), ".png", "-png", "", "PNG", "png\n"}},
        PatternRow{"uuid", isUuidText, {uuid, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d"},
            {"{" + uuid + "}", "0A1B2C3D4E5F4A6B8C7D9E0F1A2B3C4D", "0A1B2C3-D4E5F-4A6B-8C7D-9E0F1A2B3C4D",
                "0A1B2C3G-4E5F-4A6B-8C7D-9E0F1A2B3C4D", uuid + "\n"}},
        PatternRow{"marketing_version", isMarketingVersion, {"10.0.345", veryLong + "." + veryLong + "." + veryLong},
            {"1.2", "1.2.3.4", "1..3", "1.2.3.", "1.2.3-beta", "1.2.3\n"}},
        PatternRow{"build_number", isBuildNumber, {"42", "4.2.", veryLong}, {".4", "", "4a", "42\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veldran

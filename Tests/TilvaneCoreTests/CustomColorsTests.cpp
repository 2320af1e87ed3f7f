#include "TilvaneCore/ImagePalette.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

TEST(CustomColorsText, FormatsUpperCaseHexJoinedByCommaAndSpace)
{
    EXPECT_EQ(ImagePalette::customColorsText({}), "");
    const std::vector<RGBColor> colors{{16, 24, 32}, {255, 243, 176}};
    EXPECT_EQ(ImagePalette::customColorsText(colors), "#101820, #FFF3B0");
}

TEST(CustomColorsText, ParsesBackToTheSameColours)
{
    std::vector<RGBColor> colors;
    for (int i = 0; i < 16; ++i) colors.push_back(RGBColor::hex(0x0A0B0C * static_cast<std::uint32_t>(i + 1)));
    EXPECT_EQ(ImagePalette::parseCustomColors(ImagePalette::customColorsText(colors)), colors);
}

struct ParseRow {
    const char* name;
    const char* text;
    std::vector<std::uint32_t> colors;  // empty: the text must be refused
};

void PrintTo(const ParseRow& row, std::ostream* out) { *out << row.name; }

class ParseCustomColors : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseCustomColors, AcceptsOnlyValidPalettes)
{
    const auto& row = GetParam();
    const auto parsed = ImagePalette::parseCustomColors(row.text);
    if (row.colors.empty()) {
        EXPECT_FALSE(parsed.has_value());
        return;
    }
    std::vector<RGBColor> expected;
    for (const auto value : row.colors) expected.push_back(RGBColor::hex(value));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseCustomColors,
    testing::Values(
        ParseRow{"MixedSeparators", "#101820, 335c67\n#E09F3E", {0x101820, 0x335C67, 0xE09F3E}},
        ParseRow{"RunsOfSeparators", " ,,#000000\t\t,\r\n ffffff ,", {0x000000, 0xFFFFFF}},
        ParseRow{"UnicodeSpaces", "000000\u00A0111111\u2003222222\u3000333333\u2028444444\u0085555555",
                 {0x000000, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555}},
        ParseRow{"SixteenColours",
                 "000000 000001 000002 000003 000004 000005 000006 000007 "
                 "000008 000009 00000A 00000B 00000C 00000D 00000E 00000F",
                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        ParseRow{"Empty", "", {}},
        ParseRow{"OnlySeparators", " , \n", {}},
        ParseRow{"OneColour", "#101820", {}},
        ParseRow{"SeventeenColours",
                 "000000 000001 000002 000003 000004 000005 000006 000007 "
                 "000008 000009 00000A 00000B 00000C 00000D 00000E 00000F 000010",
                 {}},
        ParseRow{"FiveDigits", "#10182, #FFFFFF", {}},
        ParseRow{"SevenDigits", "#1018200, #FFFFFF", {}},
        ParseRow{"TwoNumberSigns", "##101820, #FFFFFF", {}},
        ParseRow{"NotHex", "#10182G, #FFFFFF", {}},
        ParseRow{"PlusSign", "+10182, #FFFFFF", {}},
        ParseRow{"MinusSign", "-10182, #FFFFFF", {}},
        ParseRow{"HexPrefix", "0x1018, #FFFFFF", {}},
        ParseRow{"HashThenHexPrefix", "#0x1018, #FFFFFF", {}},
        ParseRow{"RepeatedColour", "#101820, #FFFFFF, 101820", {}},
        ParseRow{"RepeatedInOtherCase", "#abcdef, #ABCDEF", {}},
        ParseRow{"SemicolonIsNoSeparator", "#101820;#FFFFFF", {}},
        ParseRow{"NoBreakInsideAWord", "10\u00AD1820 FFFFFF", {}},
        ParseRow{"ZeroWidthSpaceIsNoSeparator", "101820\u200BFFFFFF", {}},
        ParseRow{"FullWidthDigits", "\uFF11\uFF10\uFF11\uFF18\uFF12\uFF10 FFFFFF", {}},
        ParseRow{"InvalidUtf8", "101820 \xFF FFFFFF", {}}),
    [](const auto& info) { return std::string(info.param.name); });

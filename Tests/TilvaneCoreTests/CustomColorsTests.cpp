#include "TilvaneCore/ImagePalette.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

TEST(CustomColorsText, FormatsUpperCaseHexAndParsesBackStrictly)
{
    EXPECT_EQ(ImagePalette::customColorsText({}), "");
    std::vector<RGBColor> colors;
    for (std::uint32_t i = 1; i <= 16; ++i) colors.push_back(RGBColor::hex(0x0A0B0C * i));
    EXPECT_EQ(ImagePalette::customColorsText(std::span(colors).first(2)), "#0A0B0C, #141618");
    EXPECT_EQ(ImagePalette::parseCustomColors(ImagePalette::customColorsText(colors)), colors);
    // Only two to sixteen distinct colours of six hex digits are accepted.
    const std::string sixteen =
        "000000 000001 000002 000003 000004 000005 000006 000007 "
        "000008 000009 00000A 00000B 00000C 00000D 00000E 00000F";
    // An empty list of colours: the text must be refused.
    const std::pair<std::string, std::vector<std::uint32_t>> rows[] = {
        {"#101820, 335c67\n#E09F3E", {0x101820, 0x335C67, 0xE09F3E}},
        {" ,,#000000\t\t,\r\n ffffff ,", {0x000000, 0xFFFFFF}},
        {"000000\u00A0111111\u2003222222\u3000333333\u2028444444\u0085555555",
         {0x000000, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555}},
        {sixteen, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"", {}},
        {" , \n", {}},
        {"#101820", {}},
        {sixteen + " 000010", {}},
        {"#10182, #FFFFFF", {}},
        {"#1018200, #FFFFFF", {}},
        {"##101820, #FFFFFF", {}},
        {"#10182G, #FFFFFF", {}},
        {"+10182, #FFFFFF", {}},
        {"-10182, #FFFFFF", {}},
        {"0x1018, #FFFFFF", {}},
        {"#0x1018, #FFFFFF", {}},
        {"#101820, #FFFFFF, 101820", {}},
        {"#abcdef, #ABCDEF", {}},
        {"#101820;#FFFFFF", {}},
        {"10\u00AD1820 FFFFFF", {}},
        {"101820\u200BFFFFFF", {}},
        {"\uFF11\uFF10\uFF11\uFF18\uFF12\uFF10 FFFFFF", {}},
        {"101820 \xFF FFFFFF", {}},
    };
    for (const auto& [text, values] : rows) {
        std::vector<RGBColor> expected;
        for (const auto value : values) expected.push_back(RGBColor::hex(value));
        const auto parsed = ImagePalette::parseCustomColors(text);
        EXPECT_EQ(parsed, values.empty() ? std::nullopt : std::optional(expected)) << text;
    }
}

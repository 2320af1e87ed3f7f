#include "TilvaneCore/ImagePalette.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

TEST(RGBColor, HexIgnoresTheTopByteAndJsonHasTheThreeChannelsInOrderAndDecodesStrictly)
{
    EXPECT_EQ(RGBColor::hex(0xFF101820), (RGBColor{16, 24, 32}));
    EXPECT_EQ(nlohmann::ordered_json(RGBColor{16, 24, 32}).dump(), R"({"red":16,"green":24,"blue":32})");
    EXPECT_EQ(nlohmann::json::parse(R"({"blue": 32, "red": 16, "green": 24})").get<RGBColor>(), (RGBColor{16, 24, 32}));
    for (const char* text : {R"({"red": 16, "green": 24})", R"({"red": 16, "green": 24, "blue": 256})",
                             R"({"red": -1, "green": 24, "blue": 32})", R"({"red": 1.5, "green": 24, "blue": 32})",
                             R"({"red": "16", "green": 24, "blue": 32})", R"({"red": null, "green": 24, "blue": 32})",
                             R"([16, 24, 32])"}) {
        EXPECT_THROW(nlohmann::json::parse(text).get<RGBColor>(), json::DecodingError) << text;
    }
}

TEST(ImagePalette, BuiltInLooksUpExactIdsOnlyAndCustomKeepsItsColoursUnchecked)
{
    EXPECT_EQ(ImagePalette::builtIn("zx")->name, "ZX Spectrum");
    EXPECT_EQ(ImagePalette::builtIn("ZX"), nullptr);
    EXPECT_EQ(ImagePalette::builtIn(ImagePalette::customID), nullptr);
    EXPECT_EQ(ImagePalette::custom({RGBColor{1, 2, 3}}),
              (ImagePalette{"custom", "Personalizada", {{1, 2, 3}}, PaletteMapping::nearestRGB}));
    EXPECT_EQ(ImagePalette::customColorsText(ImagePalette::defaultCustomColors()),
              "#101820, #335C67, #E09F3E, #FFF3B0");
    // Equality and hashing use every field.
    const auto a = ImagePalette::custom(ImagePalette::defaultCustomColors());
    EXPECT_EQ(std::hash<ImagePalette>{}(a), std::hash<ImagePalette>{}(ImagePalette::custom(a.colors)));
    auto recoloured = a, renamed = a, remapped = a;
    recoloured.colors[2] = RGBColor{0, 0, 0};
    renamed.name = "Outra";
    remapped.mapping = PaletteMapping::brightnessBands;
    for (const auto& other : {recoloured, renamed, remapped}) {
        EXPECT_NE(a, other);
        EXPECT_NE(std::hash<ImagePalette>{}(a), std::hash<ImagePalette>{}(other));
    }
}

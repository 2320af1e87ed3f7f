#include "TilvaneCore/ImagePalette.hpp"

#include <gtest/gtest.h>

#include <set>
#include <unordered_set>

using namespace tilvane;

TEST(RGBColor, HexIgnoresTheTopByte)
{
    EXPECT_EQ(RGBColor::hex(0x00101820), (RGBColor{16, 24, 32}));
    EXPECT_EQ(RGBColor::hex(0xFF101820), RGBColor::hex(0x00101820));
}

TEST(RGBColor, JsonHasTheThreeChannelsInOrder)
{
    const nlohmann::ordered_json encoded = RGBColor{16, 24, 32};
    EXPECT_EQ(encoded.dump(), R"({"red":16,"green":24,"blue":32})");
    EXPECT_EQ(nlohmann::json::parse(R"({"blue": 32, "red": 16, "green": 24})").get<RGBColor>(), (RGBColor{16, 24, 32}));
}

TEST(RGBColor, JsonDecodingIsStrict)
{
    for (const char* text : {R"({"red": 16, "green": 24})", R"({"red": 16, "green": 24, "blue": 256})",
                             R"({"red": -1, "green": 24, "blue": 32})", R"({"red": 1.5, "green": 24, "blue": 32})",
                             R"({"red": "16", "green": 24, "blue": 32})", R"({"red": null, "green": 24, "blue": 32})",
                             R"([16, 24, 32])"}) {
        EXPECT_THROW(nlohmann::json::parse(text).get<RGBColor>(), json::DecodingError) << text;
    }
}

struct PaletteRow {
    const ImagePalette& (*palette)();
    const char* id;
    const char* name;
    PaletteMapping mapping;
    std::size_t count;
    std::uint32_t first;
    std::uint32_t last;
};

void PrintTo(const PaletteRow& row, std::ostream* out) { *out << row.id; }

class BuiltInPalettes : public testing::TestWithParam<PaletteRow> {};

TEST_P(BuiltInPalettes, HaveTheirIdNameMappingAndColours)
{
    const auto& row = GetParam();
    const ImagePalette& palette = row.palette();
    EXPECT_EQ(palette.id, row.id);
    EXPECT_EQ(palette.name, row.name);
    EXPECT_EQ(palette.mapping, row.mapping);
    ASSERT_EQ(palette.colors.size(), row.count);
    if (row.count > 0) {
        EXPECT_EQ(palette.colors.front(), RGBColor::hex(row.first));
        EXPECT_EQ(palette.colors.back(), RGBColor::hex(row.last));
    }
    EXPECT_EQ(&row.palette(), &palette) << "made once";
}

INSTANTIATE_TEST_SUITE_P(
    Table, BuiltInPalettes,
    testing::Values(PaletteRow{&ImagePalette::original, "original", "Cores originais", PaletteMapping::original, 0, 0, 0},
                    PaletteRow{&ImagePalette::gameBoy, "gameboy", "Game Boy", PaletteMapping::brightnessBands, 4, 0x0F380F, 0x9BBC0F},
                    PaletteRow{&ImagePalette::nes, "nes", "NES", PaletteMapping::nearestRGB, 55, 0x7C7C7C, 0xF8D8F8},
                    PaletteRow{&ImagePalette::doom, "doom", "Doom", PaletteMapping::nearestRGB, 256, 0x000000, 0xA76B6B},
                    PaletteRow{&ImagePalette::zxSpectrum, "zx", "ZX Spectrum", PaletteMapping::nearestRGB, 15, 0x000000, 0xFFFFFF},
                    PaletteRow{&ImagePalette::pico8, "pico8", "PICO-8", PaletteMapping::nearestRGB, 16, 0x000000, 0xFFCCAA},
                    PaletteRow{&ImagePalette::commodore64, "c64", "Commodore 64", PaletteMapping::nearestRGB, 16, 0x000000, 0xBBBBBB},
                    PaletteRow{&ImagePalette::cga, "cga", "CGA", PaletteMapping::nearestRGB, 4, 0x000000, 0xFFFFFF},
                    PaletteRow{&ImagePalette::blackAndWhite, "bw", "Preto e branco", PaletteMapping::blackAndWhite, 2, 0x000000, 0xFFFFFF},
                    PaletteRow{&ImagePalette::grayscale, "grayscale", "Cinza", PaletteMapping::brightnessBands, 4, 0x000000, 0xFFFFFF},
                    PaletteRow{&ImagePalette::green, "green", "Fósforo verde", PaletteMapping::brightnessBands, 4, 0x001500, 0x7CFF9B},
                    PaletteRow{&ImagePalette::amber, "amber", "Âmbar", PaletteMapping::brightnessBands, 4, 0x100800, 0xFFB83E}),
    [](const auto& info) { return std::string(info.param.id); });

TEST(ImagePalette, InnerEntriesAreExact)
{
    EXPECT_EQ(ImagePalette::nes().colors[13], RGBColor::hex(0x000000));
    EXPECT_EQ(ImagePalette::nes().colors[39], RGBColor::hex(0x00E8D8));
    EXPECT_EQ(ImagePalette::pico8().colors[8], RGBColor::hex(0xFF004D));
    EXPECT_EQ(ImagePalette::commodore64().colors[3], RGBColor::hex(0xAAFFEE));
    EXPECT_EQ(ImagePalette::zxSpectrum().colors[1], RGBColor::hex(0x0000CD));
    EXPECT_EQ(ImagePalette::doom().colors[16], RGBColor::hex(0xFFB7B7));
    EXPECT_EQ(ImagePalette::doom().colors[127], RGBColor::hex(0x0B1707));
    EXPECT_EQ(ImagePalette::doom().colors[159], RGBColor::hex(0x373F27));
    EXPECT_EQ(ImagePalette::doom().colors[240], RGBColor::hex(0x000053));
    EXPECT_EQ(ImagePalette::cga().colors[1], RGBColor::hex(0x55FFFF));
}

TEST(ImagePalette, DoomKeepsItsRepeatedColours)
{
    const auto& colors = ImagePalette::doom().colors;
    ASSERT_EQ(colors.size(), 256u);
    const std::unordered_set<RGBColor> distinct(colors.begin(), colors.end());
    EXPECT_LT(distinct.size(), colors.size());
    // White stands at 4, 168, 208 and 224; black at 0 and 247; 0x000053 at 207 and 240.
    for (const std::size_t index : {4u, 168u, 208u, 224u}) EXPECT_EQ(colors[index], RGBColor::hex(0xFFFFFF)) << index;
    EXPECT_EQ(colors[247], RGBColor::hex(0x000000));
    EXPECT_EQ(colors[207], colors[240]);
}

TEST(ImagePalette, AllListsTheTwelveBuiltInPalettesInOrder)
{
    std::vector<std::string> names;
    for (const auto& palette : ImagePalette::all()) names.push_back(palette.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Cores originais", "Game Boy", "NES", "Doom", "ZX Spectrum", "PICO-8",
                                               "Commodore 64", "CGA", "Preto e branco", "Cinza", "Fósforo verde", "Âmbar"}));
    EXPECT_EQ(ImagePalette::all().front(), ImagePalette::original());
    EXPECT_EQ(ImagePalette::all().back(), ImagePalette::amber());
    EXPECT_EQ(ImagePalette::builtIn(ImagePalette::customID), nullptr);
    EXPECT_EQ(ImagePalette::builtIn("zx")->name, "ZX Spectrum");
    EXPECT_EQ(ImagePalette::builtIn("ZX"), nullptr);
}

TEST(ImagePalette, CustomPaletteKeepsItsColoursUnchecked)
{
    const auto single = ImagePalette::custom({RGBColor{1, 2, 3}});
    EXPECT_EQ(single.id, "custom");
    EXPECT_EQ(single.name, "Personalizada");
    EXPECT_EQ(single.mapping, PaletteMapping::nearestRGB);
    EXPECT_EQ(single.colors, (std::vector<RGBColor>{{1, 2, 3}}));
    EXPECT_EQ(ImagePalette::defaultCustomColors(),
              (std::vector<RGBColor>{RGBColor::hex(0x101820), RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E),
                                     RGBColor::hex(0xFFF3B0)}));
}

TEST(ImagePalette, EqualityAndHashingUseEveryField)
{
    const auto a = ImagePalette::custom(ImagePalette::defaultCustomColors());
    const auto b = ImagePalette::custom(ImagePalette::defaultCustomColors());
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<ImagePalette>{}(a), std::hash<ImagePalette>{}(b));

    auto recoloured = a;
    recoloured.colors[2] = RGBColor{0, 0, 0};
    auto renamed = a;
    renamed.name = "Outra";
    auto remapped = a;
    remapped.mapping = PaletteMapping::brightnessBands;
    for (const auto& other : {recoloured, renamed, remapped}) {
        EXPECT_NE(a, other);
        EXPECT_NE(std::hash<ImagePalette>{}(a), std::hash<ImagePalette>{}(other));
    }
}

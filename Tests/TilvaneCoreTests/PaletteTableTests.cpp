// Every colour of every built-in palette, in palette order, against the published tables.
#include "TilvaneCore/ImagePalette.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <tuple>

using namespace tilvane;

namespace {

// The colours as RRGGBB separated by single spaces, the way the tables are published.
std::string tableText(const ImagePalette& palette)
{
    std::string text;
    for (const RGBColor color : palette.colors) {
        char piece[8];
        std::snprintf(piece, sizeof piece, "%02X%02X%02X", color.red, color.green, color.blue);
        if (!text.empty()) text += ' ';
        text += piece;
    }
    return text;
}

struct PublishedTable {
    const ImagePalette& (*palette)();
    const char* id;
    const char* name;
    PaletteMapping mapping;
    const char* colors;
};

const PublishedTable publishedTables[] = {
    {&ImagePalette::original, "original", "Cores originais", PaletteMapping::original, ""},
    {&ImagePalette::gameBoy, "gameboy", "Game Boy", PaletteMapping::brightnessBands, "0F380F 306230 8BAC0F 9BBC0F"},
    {&ImagePalette::nes, "nes", "NES", PaletteMapping::nearestRGB,
     "7C7C7C 0000FC 0000BC 4428BC 940084 A80020 A81000 881400 503000 007800 006800 005800 004058 000000 BCBCBC 0078F8 0058F8 6844FC D800CC E40058 "
     "F83800 E45C10 AC7C00 00B800 00A800 00A844 008888 F8F8F8 3CBCFC 6888FC 9878F8 F878F8 F85898 F87858 FCA044 F8B800 B8F818 58D854 58F898 00E8D8 "
     "787878 FCFCFC A4E4FC B8B8F8 D8B8F8 F8B8F8 F8A4C0 F0D0B0 FCE0A8 F8D878 D8F878 B8F8B8 B8F8D8 00FCFC F8D8F8"},
    {&ImagePalette::doom, "doom", "Doom", PaletteMapping::nearestRGB,
     "000000 1F170B 170F07 4B4B4B FFFFFF 1B1B1B 131313 0B0B0B 070707 2F371F 232B0F 171F07 0F1700 4F3B2B 473323 3F2B1B FFB7B7 F7ABAB F3A3A3 EB9797 "
     "E78F8F DF8787 DB7B7B D37373 CB6B6B C76363 BF5B5B BB5757 B34F4F AF4747 A73F3F A33B3B 9B3333 972F2F 8F2B2B 8B2323 831F1F 7F1B1B 771717 731313 "
     "6B0F0F 670B0B 5F0707 5B0707 530707 4F0000 470000 430000 FFEBDF FFE3D3 FFDBC7 FFD3BB FFCFB3 FFC7A7 FFBF9B FFBB93 FFB383 F7AB7B EFA373 E79B6B "
     "DF9363 D78B5B CF8353 CB7F4F BF7B4B B37347 AB6F43 A36B3F 9B633B 8F5F37 875733 7F532F 774F2B 6B4727 5F4323 533F1F 4B371B 3F2F17 332B13 2B230F "
     "EFEFEF E7E7E7 DFDFDF DBDBDB D3D3D3 CBCBCB C7C7C7 BFBFBF B7B7B7 B3B3B3 ABABAB A7A7A7 9F9F9F 979797 939393 8B8B8B 838383 7F7F7F 777777 6F6F6F "
     "6B6B6B 636363 5B5B5B 575757 4F4F4F 474747 434343 3B3B3B 373737 2F2F2F 272727 232323 77FF6F 6FEF67 67DF5F 5FCF57 5BBF4F 53AF47 4B9F3F 439337 "
     "3F832F 37732B 2F6323 27531B 1F4317 17330F 13230B 0B1707 BFA78F B79F87 AF977F A78F77 9F876F 9B7F6B 937B63 8B735B 836B57 7B634F 775F4B 6F5743 "
     "67533F 5F4B37 574333 533F2F 9F8363 8F7753 836B4B 775F3F 675333 5B472B 4F3B23 43331B 7B7F63 6F7357 676B4F 5B6347 53573B 474F33 3F472B 373F27 "
     "FFFF73 EBDB57 D7BB43 C39B2F AF7B1F 9B5B13 874307 732B00 FFFFFF FFDBDB FFBBBB FF9B9B FF7B7B FF5F5F FF3F3F FF1F1F FF0000 EF0000 E30000 D70000 "
     "CB0000 BF0000 B30000 A70000 9B0000 8B0000 7F0000 730000 670000 5B0000 4F0000 430000 E7E7FF C7C7FF ABABFF 8F8FFF 7373FF 5353FF 3737FF 1B1BFF "
     "0000FF 0000E3 0000CB 0000B3 00009B 000083 00006B 000053 FFFFFF FFEBDB FFD7BB FFC79B FFB37B FFA35B FF8F3B FF7F1B F37317 EB6F0F DF670F D75F0B "
     "CB5707 C34F00 B74700 AF4300 FFFFFF FFFFD7 FFFFB3 FFFF8F FFFF6B FFFF47 FFFF23 FFFF00 A73F00 9F3700 932F00 872300 4F3B27 432F1B 372313 2F1B0B "
     "000053 000047 00003B 00002F 000023 000017 00000B 000000 FF9F43 FFE74B FF7BFF FF00FF CF00CF 9F009B 6F006B A76B6B"},
    {&ImagePalette::zxSpectrum, "zx", "ZX Spectrum", PaletteMapping::nearestRGB,
     "000000 0000CD CD0000 CD00CD 00CD00 00CDCD CDCD00 CDCDCD 0000FF FF0000 FF00FF 00FF00 00FFFF FFFF00 FFFFFF"},
    {&ImagePalette::pico8, "pico8", "PICO-8", PaletteMapping::nearestRGB,
     "000000 1D2B53 7E2553 008751 AB5236 5F574F C2C3C7 FFF1E8 FF004D FFA300 FFEC27 00E436 29ADFF 83769C FF77A8 FFCCAA"},
    {&ImagePalette::commodore64, "c64", "Commodore 64", PaletteMapping::nearestRGB,
     "000000 FFFFFF 880000 AAFFEE CC44CC 00CC55 0000AA EEEE77 DD8855 664400 FF7777 333333 777777 AAFF66 0088FF BBBBBB"},
    {&ImagePalette::cga, "cga", "CGA", PaletteMapping::nearestRGB, "000000 55FFFF FF55FF FFFFFF"},
    {&ImagePalette::blackAndWhite, "bw", "Preto e branco", PaletteMapping::blackAndWhite, "000000 FFFFFF"},
    {&ImagePalette::grayscale, "grayscale", "Cinza", PaletteMapping::brightnessBands, "000000 555555 AAAAAA FFFFFF"},
    {&ImagePalette::green, "green", "Fósforo verde", PaletteMapping::brightnessBands, "001500 003500 008B46 7CFF9B"},
    {&ImagePalette::amber, "amber", "Âmbar", PaletteMapping::brightnessBands, "100800 452000 C26B16 FFB83E"},
};

}  // namespace

TEST(BuiltInPaletteTables, AllListsTheTwelveInOrderWithThePublishedColoursEntryForEntry)
{
    ASSERT_EQ(ImagePalette::all().size(), std::size(publishedTables));
    for (std::size_t i = 0; i < std::size(publishedTables); ++i) {
        const PublishedTable& table = publishedTables[i];
        SCOPED_TRACE(table.id);
        const ImagePalette& palette = table.palette();
        EXPECT_EQ(ImagePalette::all()[i], palette);
        EXPECT_EQ(std::tie(palette.id, palette.name, palette.mapping), std::tie(table.id, table.name, table.mapping));
        EXPECT_EQ(tableText(palette), table.colors);
    }
}

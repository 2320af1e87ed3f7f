#include "TilvaneCore/ImagePalette.hpp"

#include <cstdint>
#include <initializer_list>

namespace tilvane {

namespace {

std::vector<RGBColor> hex(std::initializer_list<std::uint32_t> values)
{
    std::vector<RGBColor> colors;
    colors.reserve(values.size());
    for (const std::uint32_t value : values) {
        colors.push_back(RGBColor::hex(value));
    }
    return colors;
}

}  // namespace

const ImagePalette& ImagePalette::original()
{
    static const ImagePalette palette{"original", "Cores originais", {}, PaletteMapping::original};
    return palette;
}

const ImagePalette& ImagePalette::gameBoy()
{
    static const ImagePalette palette{"gameboy", "Game Boy",
                                      hex({
                                          0x0F380F,
                                          0x306230,
                                          0x8BAC0F,
                                          0x9BBC0F,
                                      }),
                                      PaletteMapping::brightnessBands};
    return palette;
}

const ImagePalette& ImagePalette::nes()
{
    static const ImagePalette palette{
        "nes", "NES",
        hex({
            0x7C7C7C, 0x0000FC, 0x0000BC, 0x4428BC, 0x940084, 0xA80020, 0xA81000, 0x881400, 0x503000, 0x007800,
            0x006800, 0x005800, 0x004058, 0x000000, 0xBCBCBC, 0x0078F8, 0x0058F8, 0x6844FC, 0xD800CC, 0xE40058,
            0xF83800, 0xE45C10, 0xAC7C00, 0x00B800, 0x00A800, 0x00A844, 0x008888, 0xF8F8F8, 0x3CBCFC, 0x6888FC,
            0x9878F8, 0xF878F8, 0xF85898, 0xF87858, 0xFCA044, 0xF8B800, 0xB8F818, 0x58D854, 0x58F898, 0x00E8D8,
            0x787878, 0xFCFCFC, 0xA4E4FC, 0xB8B8F8, 0xD8B8F8, 0xF8B8F8, 0xF8A4C0, 0xF0D0B0, 0xFCE0A8, 0xF8D878,
            0xD8F878, 0xB8F8B8, 0xB8F8D8, 0x00FCFC, 0xF8D8F8,
        }),
        PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::doom()
{
    static const ImagePalette palette{
        "doom", "Doom",
        hex({
            0x000000, 0x1F170B, 0x170F07, 0x4B4B4B, 0xFFFFFF, 0x1B1B1B, 0x131313, 0x0B0B0B, 0x070707, 0x2F371F,
            0x232B0F, 0x171F07, 0x0F1700, 0x4F3B2B, 0x473323, 0x3F2B1B, 0xFFB7B7, 0xF7ABAB, 0xF3A3A3, 0xEB9797,
            0xE78F8F, 0xDF8787, 0xDB7B7B, 0xD37373, 0xCB6B6B, 0xC76363, 0xBF5B5B, 0xBB5757, 0xB34F4F, 0xAF4747,
            0xA73F3F, 0xA33B3B, 0x9B3333, 0x972F2F, 0x8F2B2B, 0x8B2323, 0x831F1F, 0x7F1B1B, 0x771717, 0x731313,
            0x6B0F0F, 0x670B0B, 0x5F0707, 0x5B0707, 0x530707, 0x4F0000, 0x470000, 0x430000, 0xFFEBDF, 0xFFE3D3,
            0xFFDBC7, 0xFFD3BB, 0xFFCFB3, 0xFFC7A7, 0xFFBF9B, 0xFFBB93, 0xFFB383, 0xF7AB7B, 0xEFA373, 0xE79B6B,
            0xDF9363, 0xD78B5B, 0xCF8353, 0xCB7F4F, 0xBF7B4B, 0xB37347, 0xAB6F43, 0xA36B3F, 0x9B633B, 0x8F5F37,
            0x875733, 0x7F532F, 0x774F2B, 0x6B4727, 0x5F4323, 0x533F1F, 0x4B371B, 0x3F2F17, 0x332B13, 0x2B230F,
            0xEFEFEF, 0xE7E7E7, 0xDFDFDF, 0xDBDBDB, 0xD3D3D3, 0xCBCBCB, 0xC7C7C7, 0xBFBFBF, 0xB7B7B7, 0xB3B3B3,
            0xABABAB, 0xA7A7A7, 0x9F9F9F, 0x979797, 0x939393, 0x8B8B8B, 0x838383, 0x7F7F7F, 0x777777, 0x6F6F6F,
            0x6B6B6B, 0x636363, 0x5B5B5B, 0x575757, 0x4F4F4F, 0x474747, 0x434343, 0x3B3B3B, 0x373737, 0x2F2F2F,
            0x272727, 0x232323, 0x77FF6F, 0x6FEF67, 0x67DF5F, 0x5FCF57, 0x5BBF4F, 0x53AF47, 0x4B9F3F, 0x439337,
            0x3F832F, 0x37732B, 0x2F6323, 0x27531B, 0x1F4317, 0x17330F, 0x13230B, 0x0B1707, 0xBFA78F, 0xB79F87,
            0xAF977F, 0xA78F77, 0x9F876F, 0x9B7F6B, 0x937B63, 0x8B735B, 0x836B57, 0x7B634F, 0x775F4B, 0x6F5743,
            0x67533F, 0x5F4B37, 0x574333, 0x533F2F, 0x9F8363, 0x8F7753, 0x836B4B, 0x775F3F, 0x675333, 0x5B472B,
            0x4F3B23, 0x43331B, 0x7B7F63, 0x6F7357, 0x676B4F, 0x5B6347, 0x53573B, 0x474F33, 0x3F472B, 0x373F27,
            0xFFFF73, 0xEBDB57, 0xD7BB43, 0xC39B2F, 0xAF7B1F, 0x9B5B13, 0x874307, 0x732B00, 0xFFFFFF, 0xFFDBDB,
            0xFFBBBB, 0xFF9B9B, 0xFF7B7B, 0xFF5F5F, 0xFF3F3F, 0xFF1F1F, 0xFF0000, 0xEF0000, 0xE30000, 0xD70000,
            0xCB0000, 0xBF0000, 0xB30000, 0xA70000, 0x9B0000, 0x8B0000, 0x7F0000, 0x730000, 0x670000, 0x5B0000,
            0x4F0000, 0x430000, 0xE7E7FF, 0xC7C7FF, 0xABABFF, 0x8F8FFF, 0x7373FF, 0x5353FF, 0x3737FF, 0x1B1BFF,
            0x0000FF, 0x0000E3, 0x0000CB, 0x0000B3, 0x00009B, 0x000083, 0x00006B, 0x000053, 0xFFFFFF, 0xFFEBDB,
            0xFFD7BB, 0xFFC79B, 0xFFB37B, 0xFFA35B, 0xFF8F3B, 0xFF7F1B, 0xF37317, 0xEB6F0F, 0xDF670F, 0xD75F0B,
            0xCB5707, 0xC34F00, 0xB74700, 0xAF4300, 0xFFFFFF, 0xFFFFD7, 0xFFFFB3, 0xFFFF8F, 0xFFFF6B, 0xFFFF47,
            0xFFFF23, 0xFFFF00, 0xA73F00, 0x9F3700, 0x932F00, 0x872300, 0x4F3B27, 0x432F1B, 0x372313, 0x2F1B0B,
            0x000053, 0x000047, 0x00003B, 0x00002F, 0x000023, 0x000017, 0x00000B, 0x000000, 0xFF9F43, 0xFFE74B,
            0xFF7BFF, 0xFF00FF, 0xCF00CF, 0x9F009B, 0x6F006B, 0xA76B6B,
        }),
        PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::zxSpectrum()
{
    static const ImagePalette palette{"zx", "ZX Spectrum",
                                      hex({
                                          0x000000,
                                          0x0000CD,
                                          0xCD0000,
                                          0xCD00CD,
                                          0x00CD00,
                                          0x00CDCD,
                                          0xCDCD00,
                                          0xCDCDCD,
                                          0x0000FF,
                                          0xFF0000,
                                          0xFF00FF,
                                          0x00FF00,
                                          0x00FFFF,
                                          0xFFFF00,
                                          0xFFFFFF,
                                      }),
                                      PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::pico8()
{
    static const ImagePalette palette{"pico8", "PICO-8",
                                      hex({
                                          0x000000,
                                          0x1D2B53,
                                          0x7E2553,
                                          0x008751,
                                          0xAB5236,
                                          0x5F574F,
                                          0xC2C3C7,
                                          0xFFF1E8,
                                          0xFF004D,
                                          0xFFA300,
                                          0xFFEC27,
                                          0x00E436,
                                          0x29ADFF,
                                          0x83769C,
                                          0xFF77A8,
                                          0xFFCCAA,
                                      }),
                                      PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::commodore64()
{
    static const ImagePalette palette{"c64", "Commodore 64",
                                      hex({
                                          0x000000,
                                          0xFFFFFF,
                                          0x880000,
                                          0xAAFFEE,
                                          0xCC44CC,
                                          0x00CC55,
                                          0x0000AA,
                                          0xEEEE77,
                                          0xDD8855,
                                          0x664400,
                                          0xFF7777,
                                          0x333333,
                                          0x777777,
                                          0xAAFF66,
                                          0x0088FF,
                                          0xBBBBBB,
                                      }),
                                      PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::cga()
{
    static const ImagePalette palette{"cga", "CGA",
                                      hex({
                                          0x000000,
                                          0x55FFFF,
                                          0xFF55FF,
                                          0xFFFFFF,
                                      }),
                                      PaletteMapping::nearestRGB};
    return palette;
}

const ImagePalette& ImagePalette::blackAndWhite()
{
    static const ImagePalette palette{"bw", "Preto e branco",
                                      hex({
                                          0x000000,
                                          0xFFFFFF,
                                      }),
                                      PaletteMapping::blackAndWhite};
    return palette;
}

const ImagePalette& ImagePalette::grayscale()
{
    static const ImagePalette palette{"grayscale", "Cinza",
                                      hex({
                                          0x000000,
                                          0x555555,
                                          0xAAAAAA,
                                          0xFFFFFF,
                                      }),
                                      PaletteMapping::brightnessBands};
    return palette;
}

const ImagePalette& ImagePalette::green()
{
    static const ImagePalette palette{"green", "Fósforo verde",
                                      hex({
                                          0x001500,
                                          0x003500,
                                          0x008B46,
                                          0x7CFF9B,
                                      }),
                                      PaletteMapping::brightnessBands};
    return palette;
}

const ImagePalette& ImagePalette::amber()
{
    static const ImagePalette palette{"amber", "Âmbar",
                                      hex({
                                          0x100800,
                                          0x452000,
                                          0xC26B16,
                                          0xFFB83E,
                                      }),
                                      PaletteMapping::brightnessBands};
    return palette;
}

const std::vector<ImagePalette>& ImagePalette::all()
{
    static const std::vector<ImagePalette> palettes{
        original(),    gameBoy(), nes(),           doom(),      zxSpectrum(), pico8(),
        commodore64(), cga(),     blackAndWhite(), grayscale(), green(),      amber(),
    };
    return palettes;
}

const ImagePalette* ImagePalette::builtIn(std::string_view id)
{
    for (const auto& palette : all()) {
        if (palette.id == id) {
            return &palette;
        }
    }
    return nullptr;
}

const std::vector<RGBColor>& ImagePalette::defaultCustomColors()
{
    static const std::vector<RGBColor> colors = hex({0x101820, 0x335C67, 0xE09F3E, 0xFFF3B0});
    return colors;
}

ImagePalette ImagePalette::custom(std::vector<RGBColor> colors)
{
    return ImagePalette{std::string(customID), "Personalizada", std::move(colors), PaletteMapping::nearestRGB};
}

}  // namespace tilvane

// The aperture masks and grilles of the curved screens must not alias against the output
// pixels: a flat grey through a preset may show the mask's own fine pattern, but no rings or
// bands wider than it.
#include "Support/PngFile.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>

namespace tilvane {
namespace {

// Luma in levels (0...255) of every pixel, row by row.
struct Luma {
    int width;
    int height;
    std::vector<double> values;
};

Luma lumaOf(const Image& image)
{
    Luma luma{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            luma.values.push_back(0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]);
        }
    }
    return luma;
}

// One box blur of radius r along rows (step 1) or columns (step width), edges clamped.
void boxBlur(Luma& luma, int radius, bool alongRows)
{
    const int lines = alongRows ? luma.height : luma.width;
    const int length = alongRows ? luma.width : luma.height;
    const std::size_t step = alongRows ? 1 : static_cast<std::size_t>(luma.width);
    std::vector<double> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        const std::size_t start = alongRows ? static_cast<std::size_t>(l) * static_cast<std::size_t>(luma.width)
                                            : static_cast<std::size_t>(l);
        for (int i = 0; i < length; ++i)
            line[static_cast<std::size_t>(i)] = luma.values[start + static_cast<std::size_t>(i) * step];
        const auto at = [&](int i) { return line[static_cast<std::size_t>(std::clamp(i, 0, length - 1))]; };
        double sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += at(i);
        for (int i = 0; i < length; ++i) {
            luma.values[start + static_cast<std::size_t>(i) * step] = sum / (2 * radius + 1);
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

// Three box blurs each way: close to a Gaussian of sigma = sqrt(r (r + 1)).
Luma blurred(Luma luma, int radius)
{
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(luma, radius, true);
        boxBlur(luma, radius, false);
    }
    return luma;
}

// What lies between two blurs: patterns wider than the mask's period (which the fine blur,
// sigma 3.5 pixels, removes) and narrower than the shading of the tube (which the coarse one,
// sigma 16.5 pixels, keeps).
Luma band(const Luma& luma)
{
    Luma result = blurred(luma, 3);
    const Luma coarse = blurred(luma, 16);
    for (std::size_t i = 0; i < result.values.size(); ++i) result.values[i] -= coarse.values[i];
    return result;
}

// Root mean square of the band over the middle of the picture, clear of the screen's edges
// and the bezel.
double bandRms(const Luma& luma)
{
    const Luma banded = band(luma);
    double sum = 0;
    int count = 0;
    for (int y = luma.height * 3 / 20; y < luma.height * 17 / 20; ++y) {
        for (int x = luma.width * 3 / 20; x < luma.width * 17 / 20; ++x) {
            sum += std::pow(banded.values[static_cast<std::size_t>(y * luma.width + x)], 2);
            ++count;
        }
    }
    return std::sqrt(sum / count);
}

// The band of a render, forty times amplified around mid grey, for a reviewer to look at.
void writeBand(const Luma& luma, const std::string& name)
{
    const Luma banded = band(luma);
    std::vector<std::uint8_t> bytes;
    for (const double value : banded.values) {
        const auto level = static_cast<std::uint8_t>(std::clamp(128.0 + 40.0 * value, 0.0, 255.0));
        bytes.insert(bytes.end(), {level, level, level, 255});
    }
    testing::writePng(*Image::make(luma.width, luma.height, std::move(bytes)),
                      std::filesystem::path(TILVANE_TEST_OUTPUT_DIR) / "ripple" / (name + ".png"));
}

// Root mean square over the whole picture of what the fine blur removes.
double fineRms(const Luma& luma)
{
    const Luma fine = blurred(luma, 3);
    double sum = 0;
    for (std::size_t i = 0; i < luma.values.size(); ++i) sum += std::pow(luma.values[i] - fine.values[i], 2);
    return std::sqrt(sum / static_cast<double>(luma.values.size()));
}

// The preset with every mask and grille turned off; the same passes otherwise.
ShaderPreset withoutMasks(ShaderPreset preset)
{
    for (ShaderPass& pass : preset.passes) {
        if (pass.effect == "crt") pass.settings["apertureGrilleStrength"] = 0;
        if (pass.effect == "realisticPhosphor") pass.settings["maskStrength"] = 0;
        if (pass.effect == "crtLottes") pass.settings["mask"] = 0;
    }
    return preset;
}

// What the masks add to a picture: its luma through the preset less its luma through the same
// preset without masks. The grain, scanlines and shading of the tube are the same in both.
Luma maskContribution(ShaderRenderer& renderer, const ImagePointer& picture, const ShaderPreset& preset)
{
    Luma masked = lumaOf(*renderer.render(picture, preset));
    const Luma plain = lumaOf(*renderer.render(picture, withoutMasks(preset)));
    for (std::size_t i = 0; i < masked.values.size(); ++i) masked.values[i] -= plain.values[i];
    return masked;
}

ImagePointer flatGrey(int width, int height, std::uint8_t level)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, level);
    for (std::size_t i = 3; i < bytes.size(); i += 4) bytes[i] = 255;
    return Image::make(width, height, std::move(bytes));
}

class MaskRipple : public ::testing::Test {
protected:
    std::vector<ShaderPreset> presets = loadShaderPresets(ShaderBundle(TILVANE_SHADERS_BUNDLE).presetsFile());
    ShaderRenderer renderer{ShaderBundle(TILVANE_SHADERS_BUNDLE)};
};

TEST_F(MaskRipple, flatGreysShowNoBandsOrRingsAtPreviewSizes)
{
    ASSERT_FALSE(presets.empty());
    for (const ShaderPreset& preset : presets) {
        for (const auto& [width, height] : {std::pair{960, 600}, {960, 720}}) {
            for (const std::uint8_t level : {96, 176}) {
                SCOPED_TRACE(preset.id + " " + std::to_string(width) + "x" + std::to_string(height) + " grey "
                             + std::to_string(level));
                const ImagePointer grey = flatGrey(width, height, level);
                const double ripple = bandRms(maskContribution(renderer, grey, preset));
                if (height == 600 && level == 176) writeBand(lumaOf(*renderer.render(grey, preset)), preset.id);
                std::printf("%s %dx%d grey %d: ripple %.3f\n", preset.id.c_str(), width, height, level, ripple);
                EXPECT_LT(ripple, 0.15) << "luma levels of ripple the masks add";
            }
        }
    }
}

TEST_F(MaskRipple, masksStillShowWhereTheyFitInThePixels)
{
    // The crt grille at the export size, and at 960 × 720, where its period is three pixels.
    const auto crt = std::ranges::find(presets, "tubo-classico", &ShaderPreset::id);
    ASSERT_NE(crt, presets.end());
    for (const auto& [width, height, least] : {std::tuple{2048, 1536, 4.0}, {960, 720, 1.5}}) {
        SCOPED_TRACE(std::to_string(width));
        const double pattern = fineRms(maskContribution(renderer, flatGrey(width, height, 128), *crt));
        std::printf("tubo-classico %dx%d: fine pattern %.3f\n", width, height, pattern);
        EXPECT_GT(pattern, least) << "luma levels of grille left";
    }
}

}  // namespace
}  // namespace tilvane

// Renders the test card through every built-in preset at the preview size and at a large
// export size, and leaves the pictures in the build folder for a reviewer.
#include "Support/PngFile.hpp"
#include "Support/TestCard.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

class PresetGallery : public ::testing::TestWithParam<int> {
protected:
    // Writes the picture for the reviewer and checks that the look changed a tenth of the bytes at least.
    void keep(const Image& result, const std::string& name) const
    {
        ASSERT_EQ(std::pair(result.width(), result.height()), std::pair(card->width(), card->height())) << name;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < card->bytes().size(); ++i) differing += result.bytes()[i] != card->bytes()[i];
        EXPECT_GT(differing, card->bytes().size() / 10) << name;
        testing::writePng(result, folder / (name + ".png"));
    }

    const ImagePointer card = testing::makeTestCard(GetParam());
    const std::filesystem::path folder =
        std::filesystem::path(TILVANE_TEST_OUTPUT_DIR) / "gallery" / std::to_string(GetParam());
    // One renderer per test case: a bundle that cannot be made into one fails every case.
    ShaderRenderer renderer{ShaderBundle(TILVANE_SHADERS_BUNDLE)};
};

TEST_P(PresetGallery, rendersEveryBuiltInPresetAtTheCardsSize)
{
    testing::writePng(*card, folder / "test-card.png");
    const auto presets = loadShaderPresets(ShaderBundle(TILVANE_SHADERS_BUNDLE).presetsFile());
    ASSERT_FALSE(presets.empty());
    for (const ShaderPreset& preset : presets) keep(*renderer.render(card, preset), preset.id);
}

TEST_P(PresetGallery, rendersScreenWideEffectsAndTheBezelAlone)
{
    keep(*renderer.render(card, std::nullopt, ScreenSettings{0.6f, 0.5f, 0.5f}, 0), "screen-scanlines-glow");
    ShaderConfiguration framed;
    framed.bezel = BezelSettings{true, 0.8f, 2.0f, "#C8C2B4", 0.3f};
    keep(*renderer.render(card, framed, 0), "bezel-only");
}

INSTANTIATE_TEST_SUITE_P(Sizes, PresetGallery, ::testing::Values(960, 2048));

}  // namespace
}  // namespace tilvane

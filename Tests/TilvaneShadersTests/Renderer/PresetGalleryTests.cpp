// Renders the test card through every built-in preset at the preview size and at a large
// export size, and leaves the pictures in the build folder for a reviewer.
#include "Support/PngFile.hpp"
#include "Support/TestCard.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace tilvane {
namespace {

class PresetGallery : public ::testing::TestWithParam<int> {
protected:
    // Made in SetUp, not SetUpTestSuite: a renderer that cannot be made must fail each case,
    // never skip it.
    void SetUp() override
    {
        if (renderer == nullptr) {
            renderer = new ShaderRenderer(ShaderBundle(TILVANE_SHADERS_BUNDLE));
        }
    }
    static void TearDownTestSuite()
    {
        delete renderer;
        renderer = nullptr;
    }

    static std::filesystem::path folder(int width)
    {
        return std::filesystem::path(TILVANE_TEST_OUTPUT_DIR) / "gallery" / std::to_string(width);
    }

    static inline ShaderRenderer* renderer = nullptr;
};

std::size_t differingBytes(const Image& a, const Image& b)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.bytes().size(); ++i) {
        count += a.bytes()[i] != b.bytes()[i] ? 1 : 0;
    }
    return count;
}

TEST_P(PresetGallery, rendersEveryBuiltInPresetAtTheCardsSize)
{
    const int width = GetParam();
    const ImagePointer card = testing::makeTestCard(width);
    testing::writePng(*card, folder(width) / "test-card.png");
    const auto presets = loadShaderPresets(ShaderBundle(TILVANE_SHADERS_BUNDLE).presetsFile());
    ASSERT_FALSE(presets.empty());

    for (const ShaderPreset& preset : presets) {
        SCOPED_TRACE(preset.id);
        const ImagePointer result = renderer->render(card, preset);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width(), card->width());
        EXPECT_EQ(result->height(), card->height());
        EXPECT_GT(differingBytes(*result, *card), card->bytes().size() / 10);
        testing::writePng(*result, folder(width) / (preset.id + ".png"));
    }
}

TEST_P(PresetGallery, rendersScreenWideEffectsAndTheBezelAlone)
{
    const int width = GetParam();
    const ImagePointer card = testing::makeTestCard(width);

    const ImagePointer screenOnly = renderer->render(card, std::nullopt, ScreenSettings{0.6f, 0.5f, 0.5f}, 0, false);
    EXPECT_GT(differingBytes(*screenOnly, *card), card->bytes().size() / 10);
    testing::writePng(*screenOnly, folder(width) / "screen-scanlines-glow.png");

    ShaderConfiguration framed;
    framed.bezel = BezelSettings{true, 0.8f, 2.0f, "#C8C2B4", 0.3f};
    const ImagePointer bezelOnly = renderer->render(card, framed, 0, false);
    EXPECT_GT(differingBytes(*bezelOnly, *card), card->bytes().size() / 10);
    testing::writePng(*bezelOnly, folder(width) / "bezel-only.png");
}

INSTANTIATE_TEST_SUITE_P(Sizes, PresetGallery, ::testing::Values(960, 2048));

}  // namespace
}  // namespace tilvane

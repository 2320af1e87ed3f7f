// The compiled programs, drawn one at a time on this thread's own context.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Model/UniformLists.hpp"
#include "TilvaneShaders/Renderer/FullscreenDrawer.hpp"
#include "TilvaneShaders/Renderer/GlContext.hpp"
#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"
#include "TilvaneShaders/Renderer/ShaderSources.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace tilvane {
namespace {

TEST(ShaderLibrary, compilesEveryProgramAndCrtAtIntensityZeroIsAnExactCopy)
{
    const GlContext context;  // current on this thread
    const ShaderLibrary library(loadShaderSources(ShaderBundle(TILVANE_SHADERS_BUNDLE)));
    for (const PipelineRow& row : pipelineTable) EXPECT_NE(library.program(row.function), nullptr) << row.function;
    EXPECT_EQ(library.program("fullscreenVertex"), nullptr);

    FullscreenDrawer drawer;
    const int width = 13, height = 11;
    const auto picture = testing::makePicture(
        width, height,
        [](int x, int y) {
            return testing::Pixel{std::uint8_t(x * 7), std::uint8_t(255 - y * 3), std::uint8_t(x * y + 5),
                                  std::uint8_t(x * 5 + y)};
        },
        AlphaMode::straight);
    const std::vector<std::uint8_t> bytes(picture->bytes().begin(), picture->bytes().end());
    GlTexture input(width, height, TextureFormat::rgba8);
    input.upload(bytes, 0, picture->height());
    const GlTexture output(width, height, TextureFormat::rgba8);
    const ShaderPass copy("crt", 0, {{"curveX", 3}, {"scanLinesStrength", 1}}, true);
    for (const float bezelFlag : {0.0f, 1.0f}) {
        drawer.draw(*library.program("crtFragment"), output, {&input}, uniforms(copy, width, height, true, 2.5f),
                    bezelFlag);
        std::vector<std::uint8_t> copied(bytes.size());
        drawer.readPixels(output, copied);
        EXPECT_EQ(copied, bytes) << "bezel flag " << bezelFlag;
    }
}

TEST(ShaderLibrary, missingSourcesOrFunctionsAreMissingResourcesAndCompileErrorsCarryTheLog)
{
    const GlContext context;
    const ShaderBundle bundle = testing::writeShaderBundle(testing::scratchFolder("missing"), testing::probeSources());
    std::filesystem::remove(bundle.shadersFolder() / "MonitorBezel.glsl");
    EXPECT_EQ(testing::failureOf([&] { loadShaderSources(bundle); }), ShaderRendererErrorCase::missingResources);
    for (const std::string function : {"glitchyFragment", "fullscreenVertex", "phosphorBlurFragment"}) {
        const auto sources =
            std::regex_replace(testing::probeSources(), std::regex("\\b" + function + "\\b"), "renamed");
        EXPECT_EQ(testing::failureOf([&] { ShaderLibrary library(sources); }),
                  ShaderRendererErrorCase::missingResources)
            << function;
    }
    try {
        const ShaderLibrary library(testing::probeSources()
                                    + "\nvec4 brokenHelper(vec2 p) { return undefinedName * p; }\n");
        ADD_FAILURE() << "broken sources must not compile";
    } catch (const ShaderCompileError& error) {
        EXPECT_THAT(error.log(), ::testing::HasSubstr("undefinedName"));
        EXPECT_THAT(error.what(), ::testing::HasSubstr("undefinedName"));
    }
}

}  // namespace
}  // namespace tilvane

// The compiled programs, drawn one at a time on this thread's own context.
#include "Support/ProbeBundle.hpp"

#include "TilvaneShaders/Model/UniformLists.hpp"
#include "TilvaneShaders/Renderer/FullscreenDrawer.hpp"
#include "TilvaneShaders/Renderer/GlContext.hpp"
#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"
#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"
#include "TilvaneShaders/Renderer/ShaderSources.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace tilvane {
namespace {

std::vector<std::uint8_t> gradientBytes(int width, int height)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width * height; ++i) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i * 3),
                                   static_cast<std::uint8_t>(i * 13 + 5), static_cast<std::uint8_t>(i * 5)});
    }
    return bytes;
}

TEST(ShaderLibrary, crtAtIntensityZeroIsAnExactCopyOfItsInput)
{
    const GlContext context;
    const ShaderLibrary library(loadShaderSources(ShaderBundle(TILVANE_SHADERS_BUNDLE)));
    FullscreenDrawer drawer;
    const int width = 13;
    const int height = 11;
    GlTexture input(width, height, TextureFormat::rgba8);
    const auto bytes = gradientBytes(width, height);
    input.upload(bytes);
    const GlTexture output(width, height, TextureFormat::rgba8);

    for (const bool bezel : {false, true}) {
        const ShaderPass copy("crt", 0, {{"curveX", 3}, {"scanLinesStrength", 1}}, true);
        drawer.draw(*library.program("crtFragment"), output, {&input}, uniforms(copy, width, height, true, 2.5f),
                    bezel ? 1.0f : 0.0f);
        std::vector<std::uint8_t> copied(bytes.size());
        drawer.readPixels(output, copied);
        EXPECT_EQ(copied, bytes);
    }
}

TEST(ShaderLibrary, compilesEveryProgramOfThePipelineTable)
{
    const GlContext context;
    const ShaderLibrary library(loadShaderSources(ShaderBundle(TILVANE_SHADERS_BUNDLE)));
    for (const PipelineRow& row : pipelineTable) {
        EXPECT_NE(library.program(row.function), nullptr) << row.function;
    }
    EXPECT_EQ(library.program("fullscreenVertex"), nullptr);
}

TEST(ShaderLibrary, missingSourcesAndFunctionsAreMissingResources)
{
    const GlContext context;
    const auto folder = testing::scratchFolder("missing-sources");
    const ShaderBundle bundle = testing::writeShaderBundle(folder, testing::probeSources());
    std::filesystem::remove(bundle.shadersFolder() / "MonitorBezel.glsl");
    try {
        loadShaderSources(bundle);
        FAIL() << "a missing source must not load";
    } catch (const ShaderRendererError& error) {
        EXPECT_EQ(error.errorCase(), ShaderRendererErrorCase::missingResources);
    }

    for (const char* function : {"glitchyFragment", "fullscreenVertex", "phosphorBlurFragment"}) {
        SCOPED_TRACE(function);
        const std::string sources =
            std::regex_replace(testing::probeSources(), std::regex(std::string("\\b") + function + "\\b"), "renamed");
        try {
            const ShaderLibrary library(sources);
            FAIL() << "a missing function must not compile";
        } catch (const ShaderRendererError& error) {
            EXPECT_EQ(error.errorCase(), ShaderRendererErrorCase::missingResources);
        }
    }
}

TEST(ShaderLibrary, compileErrorsCarryTheCompilersLog)
{
    const GlContext context;
    const std::string broken = testing::probeSources() + "\nvec4 brokenHelper(vec2 p) { return undefinedName * p; }\n";
    try {
        const ShaderLibrary library(broken);
        FAIL() << "broken sources must not compile";
    } catch (const ShaderCompileError& error) {
        EXPECT_THAT(error.log(), ::testing::HasSubstr("undefinedName"));
        EXPECT_THAT(error.what(), ::testing::HasSubstr("undefinedName"));
    }
}

}  // namespace
}  // namespace tilvane

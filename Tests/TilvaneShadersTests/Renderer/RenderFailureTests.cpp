// Failures, cancellation and the shared renderer.
#include "Support/ProbeBundle.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneShaders/Renderer/OpenGL.hpp"
#include "TilvaneShaders/Renderer/RenderEngine.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

ShaderConfiguration animatedPhosphorThenNegative()
{
    ShaderConfiguration configuration;
    configuration.passes = {ShaderPass("realisticPhosphor", 1, {}, true), ShaderPass("negative", 1, {}, true)};
    configuration.motion = true;
    return configuration;
}

template <typename Call>
ShaderRendererErrorCase failureOf(Call&& call)
{
    try {
        call();
    } catch (const ShaderRendererError& error) {
        return error.errorCase();
    }
    ADD_FAILURE() << "no ShaderRendererError was thrown";
    return ShaderRendererErrorCase::unavailable;
}

TEST(RenderFailure, creationFailsWithoutSourcesOrWithBrokenOnes)
{
    const auto empty = testing::scratchFolder("no-bundle");
    EXPECT_EQ(failureOf([&] { ShaderRenderer renderer{ShaderBundle(empty)}; }),
              ShaderRendererErrorCase::missingResources);

    const auto broken = testing::writeShaderBundle(testing::scratchFolder("broken-bundle"),
                                                   testing::probeSources() + "\nvoid oops() { nothing; }\n");
    EXPECT_THROW(ShaderRenderer{broken}, ShaderCompileError);
}

TEST(RenderFailure, badRequestsAreReportedByCase)
{
    ShaderRenderer renderer(testing::writeShaderBundle(testing::scratchFolder("failure-bundle"), testing::probeSources()));
    const ImagePointer picture = testing::probePicture();

    ShaderConfiguration unknown;
    unknown.passes = {ShaderPass("negative", 1, {}, true), ShaderPass("sepia", 1, {}, true)};
    EXPECT_EQ(failureOf([&] { renderer.render(picture, unknown, 0, false); }),
              ShaderRendererErrorCase::missingResources);

    const ShaderConfiguration negative{{ShaderPass("negative", 1, {}, true)}, false, {}};
    EXPECT_EQ(failureOf([&] { renderer.render(nullptr, negative, 0, false); }), ShaderRendererErrorCase::invalidImage);

    GLint limit = 0;
    {
        const GlContext context;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    }
    ASSERT_GT(limit, 0);
    const ImagePointer tooWide = Image::make(limit + 1, 1, std::vector<std::uint8_t>((limit + 1) * 4, 255));
    EXPECT_EQ(failureOf([&] { renderer.render(tooWide, negative, 0, false); }), ShaderRendererErrorCase::invalidImage);

    // Still usable afterwards.
    EXPECT_EQ(renderer.render(picture, negative, 0, false)->width(), picture->width());
}

TEST(RenderFailure, cancellationBeforeTheFirstPassProducesNothing)
{
    ShaderRenderer renderer(testing::writeShaderBundle(testing::scratchFolder("cancel-bundle"), testing::probeSources()));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(renderer.render(testing::probePicture(), animatedPhosphorThenNegative(), 1, true, stop.get_token()),
                 CancellationError);
    EXPECT_TRUE(renderer.phosphorHistory().empty());
}

TEST(RenderFailure, cancellationBetweenPassesKeepsNoHistoryForUnfinishedWork)
{
    RenderEngine engine(testing::writeShaderBundle(testing::scratchFolder("engine-bundle"), testing::probeSources()));
    const ImagePointer picture = testing::probePicture();
    const RenderRequest request{animatedPhosphorThenNegative(), ScreenSettings{}, 1.0f, true};

    int checks = 0;
    const CancellationCheck cancelAtSecondPass = [&checks] {
        if (++checks == 3) {
            throw CancellationError();
        }
    };
    EXPECT_THROW(engine.render(picture, request, cancelAtSecondPass), CancellationError);
    EXPECT_EQ(checks, 3) << "checked before the first pass, then before each pass";
    EXPECT_TRUE(engine.phosphorHistory().empty()) << "the phosphor frame never completed";

    const ImagePointer completed = engine.render(picture, request, [] {});
    ASSERT_EQ(engine.phosphorHistory().size(), 1u);
    EXPECT_EQ(engine.phosphorHistory().at(0).time, 1.0f);
    EXPECT_EQ(testing::pixelAt(*completed, 0, testing::emissionProbeRow)[0], 1) << "first frame";
}

TEST(RenderFailure, aGlErrorFailsTheRenderAndDropsTheHistory)
{
    RenderEngine engine(testing::writeShaderBundle(testing::scratchFolder("gl-error-bundle"), testing::probeSources()));
    const ImagePointer picture = testing::probePicture();
    const RenderRequest request{animatedPhosphorThenNegative(), ScreenSettings{}, 1.0f, true};
    engine.render(picture, request, [] {});
    ASSERT_FALSE(engine.phosphorHistory().empty());

    // Binding a name never made raises GL_INVALID_OPERATION in the middle of the render.
    int checks = 0;
    const CancellationCheck breakTheContext = [&checks] {
        if (++checks == 2) {
            glBindTexture(GL_TEXTURE_2D, 0xdead);
        }
    };
    EXPECT_EQ(failureOf([&] { engine.render(picture, request, breakTheContext); }),
              ShaderRendererErrorCase::renderFailed);
    EXPECT_TRUE(engine.phosphorHistory().empty());
    EXPECT_FALSE(engine.historyConfiguration().has_value());

    engine.render(picture, request, [] {});
    EXPECT_EQ(engine.phosphorHistory().size(), 1u) << "the next frame starts a new history";
}

TEST(RenderFailure, theSharedRendererIsMadeOnceAndNeverRetried)
{
    // This test program has no application bundle beside it, so creation fails and stays failed.
    ShaderRenderer* first = ShaderRenderer::shared();
    EXPECT_EQ(ShaderRenderer::shared(), first);
    if (!std::filesystem::exists(ShaderBundle::application().shadersFolder())) {
        EXPECT_EQ(first, nullptr);
    }
}

TEST(RenderFailure, errorsCarryTheirMessages)
{
    EXPECT_STREQ(ShaderRendererError(ShaderRendererErrorCase::unavailable).what(),
                 "Este computador não disponibilizou OpenGL para os shaders.");
    EXPECT_STREQ(ShaderRendererError(ShaderRendererErrorCase::missingResources).what(),
                 "Os shaders não foram encontrados no aplicativo.");
    EXPECT_STREQ(ShaderRendererError(ShaderRendererErrorCase::invalidImage).what(),
                 "A imagem não pôde ser preparada para o shader.");
    EXPECT_STREQ(ShaderRendererError(ShaderRendererErrorCase::renderFailed).what(),
                 "O shader não conseguiu processar a imagem.");
}

}  // namespace
}  // namespace tilvane

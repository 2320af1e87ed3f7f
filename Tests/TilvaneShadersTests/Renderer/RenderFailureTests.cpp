// Failures, cancellation and the shared renderer.
#include "Support/ProbeBundle.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneShaders/Renderer/OpenGL.hpp"
#include "TilvaneShaders/Renderer/RenderEngine.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;  // the probe helpers

const ShaderConfiguration phosphorThenNegative =
    configurationOf({activePass("realisticPhosphor"), activePass("negative")}, true);
const RenderRequest animatedRequest{phosphorThenNegative, ScreenSettings{}, 1.0f, true};

ShaderBundle probeBundle()
{
    return writeShaderBundle(scratchFolder("probe-bundle"), probeSources());
}

TEST(RenderFailure, creationFailsWithoutSourcesOrWithBrokenOnes)
{
    EXPECT_EQ(failureOf([] { ShaderRenderer renderer{ShaderBundle(scratchFolder("no-bundle"))}; }),
              ShaderRendererErrorCase::missingResources);
    const auto broken = writeShaderBundle(scratchFolder("broken"), probeSources() + "\nvoid oops() { nothing; }\n");
    EXPECT_THROW(ShaderRenderer{broken}, ShaderCompileError);
}

TEST(RenderFailure, badRequestsAreReportedByCaseAndACancelledOneLeavesNoHistory)
{
    ShaderRenderer renderer(probeBundle());
    const ImagePointer picture = probePicture();
    const auto unknown = configurationOf({activePass("negative"), activePass("sepia")});
    EXPECT_EQ(failureOf([&] { renderer.render(picture, unknown, 0); }), ShaderRendererErrorCase::missingResources);
    const auto negative = configurationOf({activePass("negative")});
    EXPECT_EQ(failureOf([&] { renderer.render(nullptr, negative, 0); }), ShaderRendererErrorCase::invalidImage);
    const GLint limit = [] {
        const GlContext context;
        GLint value = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
        return value;
    }();
    ASSERT_GT(limit, 0);
    const ImagePointer tooWide = Image::make(limit + 1, 1, std::vector<std::uint8_t>((limit + 1) * 4, 255));
    EXPECT_EQ(failureOf([&] { renderer.render(tooWide, negative, 0); }), ShaderRendererErrorCase::invalidImage);
    EXPECT_EQ(renderer.render(picture, negative, 0)->width(), picture->width());

    // Cancelled before the first pass: nothing is drawn and no history is kept.
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(renderer.render(picture, phosphorThenNegative, 1, {.temporalHistory = true}, stop.get_token()),
                 CancellationError);
    EXPECT_TRUE(renderer.phosphorHistory().empty());
}

TEST(RenderFailure, cancellationBetweenPassesAndGlErrorsKeepNoHistory)
{
    RenderEngine engine(probeBundle());
    int checks = 0;
    const CancellationCheck cancelAtSecondPass = [&checks] {
        if (++checks == 3) throw CancellationError();
    };
    EXPECT_THROW(engine.render(probePicture(), animatedRequest, cancelAtSecondPass), CancellationError);
    EXPECT_EQ(checks, 3) << "checked before the first pass, then before each pass";
    EXPECT_TRUE(engine.phosphorHistory().empty()) << "the phosphor frame never completed";

    const ImagePointer completed = engine.render(probePicture(), animatedRequest, [] {});
    ASSERT_EQ(engine.phosphorHistory().size(), 1u);
    EXPECT_EQ(engine.phosphorHistory().at(0).time, 1.0f);
    EXPECT_EQ(pixelAt(*completed, 0, emissionProbeRow)[0], 1) << "first frame";

    // Binding a name never made raises GL_INVALID_OPERATION in the middle of the render.
    checks = 0;
    const CancellationCheck breakTheContext = [&checks] {
        if (++checks == 2) glBindTexture(GL_TEXTURE_2D, 0xdead);
    };
    EXPECT_EQ(failureOf([&] { engine.render(probePicture(), animatedRequest, breakTheContext); }),
              ShaderRendererErrorCase::renderFailed);
    EXPECT_TRUE(engine.phosphorHistory().empty());
    EXPECT_FALSE(engine.historyConfiguration().has_value());
    engine.render(probePicture(), animatedRequest, [] {});
    EXPECT_EQ(engine.phosphorHistory().size(), 1u) << "the next frame starts a new history";
}

// Only GPU work that did not complete costs the afterglow: a render that fails otherwise (here between its passes,
// after the phosphor pass was drawn) leaves the history of the last completed frame, which the next frame follows.
TEST(RenderFailure, aFailureOtherThanTheGpuWorkKeepsTheHistory)
{
    RenderEngine engine(probeBundle());
    engine.render(probePicture(), animatedRequest, [] {});
    RenderRequest later = animatedRequest;
    later.time = 1.075f;
    int checks = 0;
    const CancellationCheck failBeforeTheSecondPass = [&checks] {
        if (++checks == 3) throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    };
    EXPECT_EQ(failureOf([&] { engine.render(probePicture(), later, failBeforeTheSecondPass); }),
              ShaderRendererErrorCase::renderFailed);
    ASSERT_EQ(engine.phosphorHistory().size(), 1u);
    EXPECT_EQ(engine.phosphorHistory().at(0).time, 1.0f) << "the failed frame leaves nothing of its own";
    EXPECT_EQ(engine.historyConfiguration(), phosphorThenNegative);

    const ImagePointer next = engine.render(probePicture(), later, [] {});
    EXPECT_EQ(pixelAt(*next, 0, emissionProbeRow)[0], 2) << "the next frame read the first frame's emission";
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
    using enum ShaderRendererErrorCase;
    EXPECT_STREQ(ShaderRendererError(unavailable).what(), "Este computador não disponibilizou OpenGL para os shaders.");
    EXPECT_STREQ(ShaderRendererError(missingResources).what(), "Os shaders não foram encontrados no aplicativo.");
    EXPECT_STREQ(ShaderRendererError(invalidImage).what(), "A imagem não pôde ser preparada para o shader.");
    EXPECT_STREQ(ShaderRendererError(renderFailed).what(), "O shader não conseguiu processar a imagem.");
}

}  // namespace
}  // namespace tilvane

#include "TilvaneShaders/Renderer/RenderEngine.hpp"

#include "TilvaneShaders/Renderer/ImageTransfer.hpp"
#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"
#include "TilvaneShaders/Renderer/ShaderSources.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"
#include "TilvaneShaders/Model/UniformLists.hpp"

#include <memory>
#include <string_view>
#include <vector>

namespace tilvane {
namespace {

// The fragment function that draws an effect in one pass; null for the phosphor chain's effect
// and for any effect nothing draws.
const char* fragmentFunction(std::string_view effect)
{
    if (effect == effect::crt) {
        return "crtFragment";
    }
    if (effect == effect::negative) {
        return "negativeFragment";
    }
    if (effect == effect::mnoise) {
        return "mnoiseFragment";
    }
    if (effect == effect::glitchy) {
        return "glitchyFragment";
    }
    if (effect == effect::crtLottes) {
        return "crtLottesFragment";
    }
    return nullptr;
}

std::vector<int> enabledPassIndices(const std::optional<ShaderConfiguration>& configuration)
{
    std::vector<int> indices;
    if (!configuration) {
        return indices;
    }
    for (std::size_t i = 0; i < configuration->passes.size(); ++i) {
        const ShaderPass& pass = configuration->passes[i];
        if (pass.isOn && pass.intensity > 0) {
            indices.push_back(static_cast<int>(i));
        }
    }
    return indices;
}

GLint queryMaximumTextureSize()
{
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

}  // namespace

RenderEngine::RenderEngine(const ShaderBundle& bundle)
    : library_(loadShaderSources(bundle)),
      phosphorChain_(library_, drawer_, textures_),
      maximumTextureSize_(queryMaximumTextureSize())
{
}

void RenderEngine::resetTemporalHistory()
{
    phosphorHistory_.clear();
    historyConfiguration_.reset();
}

const ShaderProgram& RenderEngine::program(const char* function) const
{
    const ShaderProgram* found = function == nullptr ? nullptr : library_.program(function);
    if (found == nullptr) {
        throw ShaderRendererError(ShaderRendererErrorCase::missingResources);
    }
    return *found;
}

ImagePointer RenderEngine::render(const ImagePointer& image, const RenderRequest& request,
                                  const CancellationCheck& checkCancelled)
{
    checkCancelled();
    if (!image || image->width() < 1 || image->height() < 1) {
        throw ShaderRendererError(ShaderRendererErrorCase::invalidImage);
    }
    const bool hasPasses = !enabledPassIndices(request.configuration).empty();
    const bool hasBezel = request.configuration && request.configuration->bezel.isOn;
    if (!hasPasses && !hasBezel && !request.screen.applies(request.configuration)) {
        return image;
    }
    if (image->width() > maximumTextureSize_ || image->height() > maximumTextureSize_) {
        throw ShaderRendererError(ShaderRendererErrorCase::invalidImage);
    }
    try {
        return draw(*image, request, checkCancelled);
    } catch (const GpuWorkError&) {
        resetTemporalHistory();
        throw;
    }
}

// What one render draws, worked out once.
struct RenderEngine::Frame {
    const RenderRequest& request;
    int width;
    int height;
    std::vector<int> passes;  // indices of the enabled passes
    bool screenApplies;
    bool hasBezel;
};

ImagePointer RenderEngine::draw(const Image& image, const RenderRequest& request,
                                const CancellationCheck& checkCancelled)
{
    const auto& configuration = request.configuration;
    const Frame frame{request,
                      image.width(),
                      image.height(),
                      enabledPassIndices(configuration),
                      request.screen.applies(configuration),
                      configuration && configuration->bezel.isOn};

    // Behind a bezel the result is opaque and nothing applies alpha at read-back, so the
    // picture goes in as it would look on the black glass.
    const std::shared_ptr<GlTexture> source = textures_.take(frame.width, frame.height, TextureFormat::rgba8);
    uploadPicture(*source, image, frame.hasBezel ? UploadColour::overBlack : UploadColour::straight);

    if (configuration && configuration->motion && request.temporalHistory && historyConfiguration_ != configuration) {
        phosphorHistory_.clear();
        historyConfiguration_ = configuration;
    }

    const std::shared_ptr<GlTexture> output = textures_.take(frame.width, frame.height, TextureFormat::rgba8);
    const std::shared_ptr<GlTexture> bezelScreen =
        frame.hasBezel ? textures_.take(frame.width, frame.height, TextureFormat::rgba8, true) : nullptr;
    const GlTexture& screen = frame.hasBezel ? *bezelScreen : *output;

    PhosphorHistoryMap pendingHistory;
    std::vector<std::shared_ptr<GlTexture>> intermediates;
    const GlTexture& passed = drawPasses(frame, *source, screen, checkCancelled, pendingHistory, intermediates);

    if (frame.passes.empty() && !frame.screenApplies) {
        const ShaderPass copy(std::string(effect::crt), 0, {}, true);
        drawer_.draw(program("crtFragment"), screen, {source.get()},
                     uniforms(copy, frame.width, frame.height, false, 0), 0.0f);
    }
    if (frame.screenApplies) {
        drawer_.draw(program("screenEffectsFragment"), screen, {&passed},
                     screenUniforms(request.screen, configuration, frame.width, frame.height), 0.0f);
    }
    if (frame.hasBezel) {
        bezelScreen->generateMipmaps();
        const ShaderProgram* bezel = library_.program("monitorBezelFragment");
        if (bezel == nullptr) {
            throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
        }
        drawer_.draw(*bezel, *output, {bezelScreen.get()},
                     bezelUniforms(configuration->bezel, frame.width, frame.height), 0.0f, InputFiltering::mipmapped);
    }

    glFinish();
    if (glGetError() != GL_NO_ERROR) {
        throw GpuWorkError();
    }
    // Only work that has completed leaves an afterglow for the next frame.
    for (auto& [index, entry] : pendingHistory) {
        phosphorHistory_[index] = std::move(entry);
    }

    std::vector<std::uint8_t> rendered(*Image::byteCount(frame.width, frame.height));
    drawer_.readPixels(*output, rendered);
    return premultipliedResult(frame.width, frame.height, std::move(rendered), frame.hasBezel ? nullptr : &image);
}

const GlTexture& RenderEngine::drawPasses(const Frame& frame, const GlTexture& source, const GlTexture& screen,
                                          const CancellationCheck& checkCancelled, PhosphorHistoryMap& pendingHistory,
                                          std::vector<std::shared_ptr<GlTexture>>& intermediates)
{
    const ShaderConfiguration* configuration = frame.request.configuration ? &*frame.request.configuration : nullptr;
    const float bezelFlag = frame.hasBezel ? 1.0f : 0.0f;
    const GlTexture* input = &source;
    for (std::size_t k = 0; k < frame.passes.size(); ++k) {
        checkCancelled();
        const int index = frame.passes[k];
        const ShaderPass& pass = configuration->passes[static_cast<std::size_t>(index)];
        const bool writesScreen = k + 1 == frame.passes.size() && !frame.screenApplies;
        if (!writesScreen) {
            intermediates.push_back(textures_.take(frame.width, frame.height, TextureFormat::rgba8));
        }
        const GlTexture& target = writesScreen ? screen : *intermediates.back();

        if (pass.effect == effect::realisticPhosphor) {
            const PhosphorFrameRequest request{index, configuration->motion, frame.request.time,
                                               frame.request.temporalHistory, frame.hasBezel};
            if (auto entry = phosphorChain_.draw(*input, target, pass, request, phosphorHistory_)) {
                pendingHistory[index] = std::move(*entry);
            }
        } else {
            drawer_.draw(program(fragmentFunction(pass.effect)), target, {input},
                         uniforms(pass, frame.width, frame.height, configuration->motion, frame.request.time),
                         bezelFlag);
        }
        input = &target;
    }
    return *input;
}

}  // namespace tilvane

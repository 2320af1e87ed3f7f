#include "RenderEngine.hpp"

#include "ImageTransfer.hpp"
#include "ShaderRendererError.hpp"
#include "ShaderSources.hpp"

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

GlTexture uploaded(const Image& image)
{
    try {
        GlTexture texture(image.width(), image.height(), TextureFormat::rgba8);
        texture.upload(straightPixels(image));
        return texture;
    } catch (const ShaderRendererError&) {
        throw ShaderRendererError(ShaderRendererErrorCase::invalidImage);
    }
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
      phosphorChain_(library_, drawer_),
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
    } catch (const ShaderRendererError& error) {
        if (error.errorCase() == ShaderRendererErrorCase::renderFailed) {
            resetTemporalHistory();
        }
        throw;
    }
}

ImagePointer RenderEngine::draw(const Image& image, const RenderRequest& request,
                                const CancellationCheck& checkCancelled)
{
    const int width = image.width();
    const int height = image.height();
    const auto& configuration = request.configuration;
    const std::vector<int> passes = enabledPassIndices(configuration);
    const bool screenApplies = request.screen.applies(configuration);
    const bool hasBezel = configuration && configuration->bezel.isOn;
    const float bezelFlag = hasBezel ? 1.0f : 0.0f;

    const GlTexture source = uploaded(image);

    if (configuration && configuration->motion && request.temporalHistory && historyConfiguration_ != configuration) {
        phosphorHistory_.clear();
        historyConfiguration_ = configuration;
    }

    GlTexture output(width, height, TextureFormat::rgba8);
    std::unique_ptr<GlTexture> bezelScreen =
        hasBezel ? std::make_unique<GlTexture>(width, height, TextureFormat::rgba8, true) : nullptr;
    const GlTexture& screen = hasBezel ? *bezelScreen : output;

    PhosphorHistoryMap pendingHistory;
    std::vector<std::unique_ptr<GlTexture>> intermediates;
    const GlTexture* input = &source;
    for (std::size_t k = 0; k < passes.size(); ++k) {
        checkCancelled();
        const int index = passes[k];
        const ShaderPass& pass = configuration->passes[static_cast<std::size_t>(index)];
        const bool writesScreen = k + 1 == passes.size() && !screenApplies;
        auto fresh = writesScreen ? nullptr : std::make_unique<GlTexture>(width, height, TextureFormat::rgba8);
        const GlTexture& target = writesScreen ? screen : *fresh;

        if (pass.effect == effect::realisticPhosphor) {
            const PhosphorFrameRequest frame{index, configuration->motion, request.time, request.temporalHistory,
                                             hasBezel};
            if (auto entry = phosphorChain_.draw(*input, target, pass, frame, phosphorHistory_)) {
                pendingHistory[index] = std::move(*entry);
            }
        } else {
            const std::vector<float> parameters =
                uniforms(pass, width, height, configuration->motion, request.time);
            drawer_.draw(program(fragmentFunction(pass.effect)), target, {input}, parameters, bezelFlag);
        }
        input = &target;
        if (fresh) {
            intermediates.push_back(std::move(fresh));
        }
    }

    if (passes.empty() && !screenApplies) {
        const ShaderPass copy(std::string(effect::crt), 0, {}, true);
        drawer_.draw(program("crtFragment"), screen, {&source}, uniforms(copy, width, height, false, 0), 0.0f);
    }
    if (screenApplies) {
        drawer_.draw(program("screenEffectsFragment"), screen, {input},
                     screenUniforms(request.screen, configuration, width, height), 0.0f);
    }
    if (hasBezel) {
        bezelScreen->generateMipmaps();
        const ShaderProgram* bezel = library_.program("monitorBezelFragment");
        if (bezel == nullptr) {
            throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
        }
        drawer_.draw(*bezel, output, {bezelScreen.get()}, bezelUniforms(configuration->bezel, width, height), 0.0f,
                     InputFiltering::mipmapped);
    }

    glFinish();
    if (glGetError() != GL_NO_ERROR) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
    for (auto& [index, entry] : pendingHistory) {
        phosphorHistory_[index] = std::move(entry);
    }

    std::vector<std::uint8_t> rendered(*Image::byteCount(width, height));
    drawer_.readPixels(output, rendered);
    return premultipliedResult(width, height, std::move(rendered), hasBezel ? nullptr : &image);
}

}  // namespace tilvane

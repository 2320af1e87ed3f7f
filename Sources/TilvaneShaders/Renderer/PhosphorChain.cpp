#include "TilvaneShaders/Renderer/PhosphorChain.hpp"

#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

#include "TilvaneShaders/Model/UniformLists.hpp"

#include <algorithm>
#include <cmath>

namespace tilvane {
namespace {

constexpr std::size_t bloomStyleSlot = uniform_slots::slotOf(uniform_slots::realisticPhosphor, "PHOSPHOR_BLOOM_STYLE");

PhosphorHistory freshEmission(int width, int height, FullscreenDrawer& drawer, TexturePool& textures)
{
    PhosphorHistory entry;
    for (auto& texture : entry.emission) {
        texture = textures.take(width, height, TextureFormat::rgba16f);
        drawer.clear(*texture);
    }
    return entry;
}

bool fits(const PhosphorHistory& entry, const GlTexture& target)
{
    const auto& first = entry.emission[0];
    return first && entry.emission[1] && first->width() == target.width() && first->height() == target.height();
}

}  // namespace

PhosphorChain::PhosphorChain(const ShaderLibrary& library, FullscreenDrawer& drawer, TexturePool& textures)
    : library_(library), drawer_(drawer), textures_(textures)
{
}

const ShaderProgram& PhosphorChain::program(const char* function) const
{
    const ShaderProgram* found = library_.program(function);
    if (found == nullptr) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
    return *found;
}

std::optional<PhosphorHistory> PhosphorChain::draw(const GlTexture& source, const GlTexture& target,
                                                   const ShaderPass& pass, const PhosphorFrameRequest& request,
                                                   const PhosphorHistoryMap& history)
{
    const int width = target.width();
    const int height = target.height();
    const bool historyInUse = request.motion && request.temporalHistory;

    const auto stored = historyInUse ? history.find(request.passIndex) : history.end();
    PhosphorHistory entry = stored != history.end() && fits(stored->second, target)
                                ? stored->second
                                : freshEmission(width, height, drawer_, textures_);

    const std::shared_ptr<GlTexture> quarterTextureA =
        textures_.take(std::max(1, width / 4), std::max(1, height / 4), TextureFormat::rgba16f);
    const std::shared_ptr<GlTexture> quarterTextureB =
        textures_.take(quarterTextureA->width(), quarterTextureA->height(), TextureFormat::rgba16f);
    const GlTexture& quarterA = *quarterTextureA;
    const GlTexture& quarterB = *quarterTextureB;
    const ShaderProgram& excitation = program("phosphorExcitationFragment");
    const ShaderProgram& blur = program("phosphorBlurFragment");
    const ShaderProgram& composite = program("phosphorCompositeFragment");

    const int next = 1 - entry.current;
    const GlTexture& previousEmission = *entry.emission[static_cast<std::size_t>(entry.current)];
    const GlTexture& newEmission = *entry.emission[static_cast<std::size_t>(next)];

    PhosphorFrame frame;
    frame.motion = request.motion;
    frame.time = std::isfinite(request.time) ? request.time : 0.0f;
    frame.previousFrameKnown = historyInUse && entry.time.has_value() && frame.time >= *entry.time;
    frame.elapsed = frame.previousFrameKnown ? frame.time - *entry.time : 0.0f;
    const std::vector<float> parameters = phosphorUniforms(pass, width, height, frame);
    const float bloomStyle = parameters[bloomStyleSlot];

    drawer_.draw(excitation, newEmission, {&source, &previousEmission}, parameters, 0.0f);
    const float horizontal[] = {static_cast<float>(width), static_cast<float>(height), 1, 0, 4, bloomStyle};
    drawer_.draw(blur, quarterA, {&newEmission}, horizontal, 0.0f);
    const float vertical[] = {
        static_cast<float>(quarterA.width()), static_cast<float>(quarterA.height()), 0, 1, 1, bloomStyle};
    drawer_.draw(blur, quarterB, {&quarterA}, vertical, 0.0f);
    drawer_.draw(composite, target, {&source, &newEmission, &quarterB}, parameters, request.hasBezel ? 1.0f : 0.0f);

    if (!historyInUse) {
        return std::nullopt;
    }
    entry.current = next;
    entry.time = frame.time;
    return entry;
}

}  // namespace tilvane

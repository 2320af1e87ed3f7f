#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include "TilvaneShaders/Renderer/RenderEngine.hpp"

#include "TilvaneCore/Cancellation.hpp"

namespace tilvane {

ShaderRenderer::ShaderRenderer(const ShaderBundle& bundle)
{
    thread_.run([this, &bundle] { engine_ = std::make_unique<RenderEngine>(bundle); });
}

ShaderRenderer::~ShaderRenderer()
{
    thread_.run([this] { engine_.reset(); });
}

ShaderRenderer* ShaderRenderer::shared()
{
    // Kept for the whole run and deliberately never destroyed, so that no GL teardown races
    // the process's exit.
    static ShaderRenderer* const renderer = []() -> ShaderRenderer* {
        try {
            return new ShaderRenderer();
        } catch (...) {
            return nullptr;
        }
    }();
    return renderer;
}

ImagePointer ShaderRenderer::render(const ImagePointer& image, const std::optional<ShaderConfiguration>& configuration,
                                    const ScreenSettings& screen, float time, RenderOptions options,
                                    std::stop_token stop)
{
    RenderRequest request{configuration, screen, time, options.temporalHistory};
    return thread_.run([this, &image, &request, &stop] {
        return engine_->render(image, request, [&stop] { throwIfCancelled(stop); });
    });
}

ImagePointer ShaderRenderer::render(const ImagePointer& image, const ShaderConfiguration& configuration, float time,
                                    RenderOptions options, std::stop_token stop)
{
    return render(image, std::optional(configuration), ScreenSettings{}, time, options, std::move(stop));
}

ImagePointer ShaderRenderer::render(const ImagePointer& image, const ShaderPreset& preset, std::stop_token stop)
{
    return render(image, ShaderConfiguration::fromPreset(preset), 0, {.temporalHistory = true}, std::move(stop));
}

void ShaderRenderer::resetTemporalHistory()
{
    thread_.run([this] { engine_->resetTemporalHistory(); });
}

std::map<int, PhosphorHistoryState> ShaderRenderer::phosphorHistory()
{
    return thread_.run([this] {
        std::map<int, PhosphorHistoryState> states;
        for (const auto& [index, entry] : engine_->phosphorHistory()) {
            const GlTexture& emission = *entry.emission[0];
            states[index] = {emission.width(), emission.height(), entry.current, entry.time};
        }
        return states;
    });
}

std::optional<ShaderConfiguration> ShaderRenderer::historyConfiguration()
{
    return thread_.run([this] { return engine_->historyConfiguration(); });
}

}  // namespace tilvane

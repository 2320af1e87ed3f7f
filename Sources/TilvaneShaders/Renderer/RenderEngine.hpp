#pragma once

#include "TilvaneShaders/Renderer/FullscreenDrawer.hpp"
#include "TilvaneShaders/Renderer/GlContext.hpp"
#include "TilvaneShaders/Renderer/PhosphorChain.hpp"
#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"
#include "TilvaneShaders/Renderer/TexturePool.hpp"

#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tilvane {

// What a render asks for.
struct RenderRequest {
    std::optional<ShaderConfiguration> configuration;
    ScreenSettings screen;
    float time = 0;
    bool temporalHistory = false;
};

// Called before the first pass and between passes; throws to abandon the render.
using CancellationCheck = std::function<void()>;

// The OpenGL side of a renderer: its context, compiled programs, phosphor history and the
// render itself. Lives, works and dies on one thread, the one that made it.
class RenderEngine {
public:
    explicit RenderEngine(const ShaderBundle& bundle);

    ImagePointer render(const ImagePointer& image, const RenderRequest& request,
                        const CancellationCheck& checkCancelled);

    void resetTemporalHistory();
    const PhosphorHistoryMap& phosphorHistory() const noexcept { return phosphorHistory_; }
    const std::optional<ShaderConfiguration>& historyConfiguration() const noexcept { return historyConfiguration_; }

private:
    struct Frame;

    ImagePointer draw(const Image& image, const RenderRequest& request, const CancellationCheck& checkCancelled);
    // Draws the enabled passes one after another; returns the last one's target (the source
    // when there is none). Phosphor entries wait in pendingHistory until the frame completes.
    const GlTexture& drawPasses(const Frame& frame, const GlTexture& source, const GlTexture& screen,
                                const CancellationCheck& checkCancelled, PhosphorHistoryMap& pendingHistory,
                                std::vector<std::shared_ptr<GlTexture>>& intermediates);
    const ShaderProgram& program(const char* function) const;

    GlContext context_;
    ShaderLibrary library_;
    FullscreenDrawer drawer_;
    TexturePool textures_;  // before the history, whose emission textures come from it
    PhosphorChain phosphorChain_;
    GLint maximumTextureSize_ = 0;
    PhosphorHistoryMap phosphorHistory_;
    std::optional<ShaderConfiguration> historyConfiguration_;
};

}  // namespace tilvane

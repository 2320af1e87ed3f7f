#pragma once

#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "TilvaneShaders/Renderer/JobThread.hpp"
#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"

#include <map>
#include <memory>
#include <optional>
#include <stop_token>

namespace tilvane {

class RenderEngine;

// What the history keeps for one phosphor pass, as seen from outside the renderer.
struct PhosphorHistoryState {
    int width = 0;  // size of the emission textures
    int height = 0;
    int current = 0;  // which of the two holds the latest emission
    std::optional<float> time;

    friend bool operator==(const PhosphorHistoryState&, const PhosphorHistoryState&) = default;
};

// How one render treats the phosphor history, named at the call site: `render(..., {.temporalHistory = true})`.
struct RenderOptions {
    // With the configuration's motion, phosphor passes carry their afterglow from call to call.
    bool temporalHistory = false;
};

// Renders pictures through simulated screens on the GPU (OpenGL 3.3 core, headless EGL).
// Each renderer owns one thread and one context; its operations run on that thread one at a
// time, in the order they were called, so one renderer serves callers on any thread. Every
// call blocks its caller until its turn has come and gone.
class ShaderRenderer {
public:
    // Compiles the bundle's shader sources. Throws ShaderRendererError (unavailable without
    // OpenGL, missingResources without a source file or function) or ShaderCompileError.
    explicit ShaderRenderer(const ShaderBundle& bundle = ShaderBundle::application());
    ~ShaderRenderer();

    ShaderRenderer(const ShaderRenderer&) = delete;
    ShaderRenderer& operator=(const ShaderRenderer&) = delete;

    // The process's renderer, made on first use from the application's bundle; null for the
    // rest of the run when that failed (it is never tried again).
    static ShaderRenderer* shared();

    // The picture through the configuration's enabled passes, the screen-wide scanlines and
    // glow and the bezel, at the picture's size, premultiplied. The very same image comes back
    // when nothing applies. `time` is in seconds since the animation began. Throws
    // ShaderRendererError, or CancellationError when `stop` is requested before the first pass or
    // between passes.
    ImagePointer render(const ImagePointer& image, const std::optional<ShaderConfiguration>& configuration,
                        const ScreenSettings& screen, float time, RenderOptions options = {},
                        std::stop_token stop = {});
    ImagePointer render(const ImagePointer& image, const ShaderConfiguration& configuration, float time,
                        RenderOptions options = {}, std::stop_token stop = {});
    // The preset's passes and bezel without motion, neutral screen settings, time 0.
    ImagePointer render(const ImagePointer& image, const ShaderPreset& preset, std::stop_token stop = {});

    // Forgets the phosphor history and the configuration it was built for.
    void resetTemporalHistory();

    std::map<int, PhosphorHistoryState> phosphorHistory();
    std::optional<ShaderConfiguration> historyConfiguration();

private:
    std::unique_ptr<RenderEngine> engine_;
    JobThread thread_;
};

}  // namespace tilvane

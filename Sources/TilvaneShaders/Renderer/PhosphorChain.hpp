#pragma once

#include "TilvaneShaders/Renderer/FullscreenDrawer.hpp"
#include "TilvaneShaders/Renderer/GlTexture.hpp"
#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"
#include "TilvaneShaders/Renderer/TexturePool.hpp"

#include "TilvaneShaders/Model/ShaderPass.hpp"

#include <array>
#include <map>
#include <memory>
#include <optional>

namespace tilvane {

// The afterglow of one phosphor pass between frames of an animation: two emission textures
// used in turn, the one holding the latest emission, and the frame time it was written at.
struct PhosphorHistory {
    std::array<std::shared_ptr<GlTexture>, 2> emission;
    int current = 0;
    std::optional<float> time;
};

// Keyed by the pass's position in the configuration, disabled passes counted.
using PhosphorHistoryMap = std::map<int, PhosphorHistory>;

// The frame a phosphor pass is drawn for.
struct PhosphorFrameRequest {
    int passIndex = 0;
    bool motion = false;
    float time = 0;
    bool temporalHistory = false;
    bool hasBezel = false;
};

// Draws "realisticPhosphor" in four stages: excitation into a 16-bit float emission texture
// (reading the previous emission when one is known), a horizontal blur into a quarter-size
// texture, a vertical blur into a second one, and the composite into the pass's target.
class PhosphorChain {
public:
    PhosphorChain(const ShaderLibrary& library, FullscreenDrawer& drawer, TexturePool& textures);

    // Returns the history entry to keep for this pass once the frame's GPU work has completed,
    // or nothing when the frame does not use the history.
    std::optional<PhosphorHistory> draw(const GlTexture& source, const GlTexture& target, const ShaderPass& pass,
                                        const PhosphorFrameRequest& request, const PhosphorHistoryMap& history);

private:
    const ShaderProgram& program(const char* function) const;

    const ShaderLibrary& library_;
    FullscreenDrawer& drawer_;
    TexturePool& textures_;
};

}  // namespace tilvane

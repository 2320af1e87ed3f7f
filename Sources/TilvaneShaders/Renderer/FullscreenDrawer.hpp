#pragma once

#include "TilvaneShaders/Renderer/GlObjects.hpp"
#include "TilvaneShaders/Renderer/GlTexture.hpp"
#include "TilvaneShaders/Renderer/ShaderLibrary.hpp"

#include <initializer_list>
#include <span>

namespace tilvane {

enum class InputFiltering {
    linear,     // bilinear on level 0
    mipmapped,  // trilinear across the texture's mipmap chain
};

// Draws one triangle that covers a whole target texture: the framebuffer, the empty vertex
// array and the clamp-to-edge samplers that every draw of a renderer shares.
class FullscreenDrawer {
public:
    FullscreenDrawer();

    // Clears target to opaque black, binds inputs to texture units 0, 1, 2…, hands the
    // program its float list and bezel flag and draws. An incomplete framebuffer is
    // ShaderRendererError::renderFailed, a GL error GpuWorkError.
    void draw(const ShaderProgram& program, const GlTexture& target, std::initializer_list<const GlTexture*> inputs,
              std::span<const float> parameters, float bezelFlag, InputFiltering filtering = InputFiltering::linear);

    // Sets every pixel of target to transparent black.
    void clear(const GlTexture& target);

    // Copies level 0 of texture into width × height RGBA bytes, row 0 first.
    void readPixels(const GlTexture& texture, std::span<std::uint8_t> rgba);

private:
    void attach(const GlTexture& target);

    GlFramebufferName framebuffer_;
    GlVertexArrayName emptyVertexArray_;
    GlSamplerName linearSampler_;
    GlSamplerName mipmapSampler_;
};

}  // namespace tilvane

#pragma once

#include "TilvaneShaders/Renderer/GlTexture.hpp"

#include <cstddef>
#include <list>
#include <memory>

namespace tilvane {

// Textures handed back by one render for the next to reuse. On a software renderer a texture
// freshly allocated costs more per pixel than the draw into it (its memory is mapped and
// faulted in anew), so a render of the same size as the last one allocates nothing.
// Every user overwrites a texture it takes (a draw clears its target, an upload fills it), so
// what a reused texture held before never shows. Lives and dies on its context's thread, and
// outlives every texture it hands out.
class TexturePool {
public:
    explicit TexturePool(std::size_t spareLimit = 12) : spareLimit_(spareLimit) {}

    TexturePool(const TexturePool&) = delete;
    TexturePool& operator=(const TexturePool&) = delete;

    // A texture of that size and kind, spare or new; it comes back to the pool when the last
    // pointer to it goes. Throws ShaderRendererError::renderFailed when a new one cannot be made.
    std::shared_ptr<GlTexture> take(int width, int height, TextureFormat format, bool mipmapped = false);

    std::size_t spareCount() const noexcept { return spares_.size(); }

private:
    void giveBack(GlTexture* texture) noexcept;

    std::size_t spareLimit_;
    std::list<std::unique_ptr<GlTexture>> spares_;  // most recently returned first
};

}  // namespace tilvane

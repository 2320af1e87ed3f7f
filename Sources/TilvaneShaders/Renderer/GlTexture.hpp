#pragma once

#include "TilvaneShaders/Renderer/GlObjects.hpp"

#include <cstdint>
#include <span>

namespace tilvane {

enum class TextureFormat {
    rgba8,    // 8-bit normalised colour
    rgba16f,  // 16-bit float colour, for emission and bloom
};

// A two-dimensional texture whose row 0 is the top row of the picture it holds.
// Throws ShaderRendererError::renderFailed when OpenGL cannot allocate it.
class GlTexture {
public:
    GlTexture(int width, int height, TextureFormat format, bool mipmapped = false);

    // Fills rows firstRow ... firstRow + rowCount - 1 of level 0 with width × rowCount RGBA bytes,
    // the top row first.
    void upload(std::span<const std::uint8_t> rgba, int firstRow, int rowCount);
    void generateMipmaps();

    GLuint name() const noexcept { return name_.get(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    TextureFormat format() const noexcept { return format_; }
    bool mipmapped() const noexcept { return mipmapped_; }

private:
    GlTextureName name_;
    int width_;
    int height_;
    TextureFormat format_;
    bool mipmapped_;
};

}  // namespace tilvane

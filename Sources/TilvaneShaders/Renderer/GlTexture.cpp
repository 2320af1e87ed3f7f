#include "TilvaneShaders/Renderer/GlTexture.hpp"

#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

namespace tilvane {
GlTexture::GlTexture(int width, int height, TextureFormat format, bool mipmapped)
    : name_(generatedName<glGenTextures>()), width_(width), height_(height), format_(format), mipmapped_(mipmapped)
{
    if (!name_ || width < 1 || height < 1) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
    glBindTexture(GL_TEXTURE_2D, name_.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, mipmapped ? 1000 : 0);
    const bool isFloat = format == TextureFormat::rgba16f;
    glTexImage2D(GL_TEXTURE_2D, 0, isFloat ? GL_RGBA16F : GL_RGBA8, width, height, 0, GL_RGBA,
                 isFloat ? GL_HALF_FLOAT : GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
}

void GlTexture::upload(std::span<const std::uint8_t> rgba, int firstRow, int rowCount)
{
    glBindTexture(GL_TEXTURE_2D, name_.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, firstRow, width_, rowCount, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GlTexture::generateMipmaps()
{
    glBindTexture(GL_TEXTURE_2D, name_.get());
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace tilvane

#include "TilvaneShaders/Renderer/FullscreenDrawer.hpp"

#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

namespace tilvane {
namespace {

GLuint makeSampler(GLint minification)
{
    const GLuint name = generatedName<glGenSamplers>();
    glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, minification);
    glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}

void throwOnGlError()
{
    if (glGetError() != GL_NO_ERROR) {
        throw GpuWorkError();
    }
}

}  // namespace

FullscreenDrawer::FullscreenDrawer()
    : framebuffer_(generatedName<glGenFramebuffers>()),
      emptyVertexArray_(generatedName<glGenVertexArrays>()),
      linearSampler_(makeSampler(GL_LINEAR)),
      mipmapSampler_(makeSampler(GL_LINEAR_MIPMAP_LINEAR))
{
    throwOnGlError();
}

void FullscreenDrawer::attach(const GlTexture& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.get());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.name(), 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
}

void FullscreenDrawer::draw(const ShaderProgram& program, const GlTexture& target,
                            std::initializer_list<const GlTexture*> inputs, std::span<const float> parameters,
                            float bezelFlag, InputFiltering filtering)
{
    if (parameters.size() > static_cast<std::size_t>(parameterCapacity)) {
        throw ShaderRendererError(ShaderRendererErrorCase::renderFailed);
    }
    attach(target);
    glViewport(0, 0, target.width(), target.height());
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    glUseProgram(program.name.get());
    const GLuint sampler = filtering == InputFiltering::mipmapped ? mipmapSampler_.get() : linearSampler_.get();
    GLuint unit = 0;
    for (const GlTexture* input : inputs) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, input->name());
        glBindSampler(unit, sampler);
        ++unit;
    }
    glUniform1fv(program.parameters, static_cast<GLsizei>(parameters.size()), parameters.data());
    glUniform1f(program.bezelFlag, bezelFlag);
    glBindVertexArray(emptyVertexArray_.get());
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);

    for (GLuint bound = 0; bound < unit; ++bound) {
        glActiveTexture(GL_TEXTURE0 + bound);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindSampler(bound, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    throwOnGlError();
}

void FullscreenDrawer::clear(const GlTexture& target)
{
    attach(target);
    glViewport(0, 0, target.width(), target.height());
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    throwOnGlError();
}

void FullscreenDrawer::readPixels(const GlTexture& texture, std::span<std::uint8_t> rgba)
{
    attach(texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, texture.width(), texture.height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    throwOnGlError();
}

}  // namespace tilvane

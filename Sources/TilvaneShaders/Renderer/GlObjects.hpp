#pragma once

#include "TilvaneShaders/Renderer/OpenGL.hpp"

#include <utility>

namespace tilvane {

// Owns one OpenGL object name and deletes it with Delete; must live and die on the
// thread whose context made it.
template <void (*Delete)(GLuint)>
class GlName {
public:
    GlName() = default;
    explicit GlName(GLuint name) noexcept : name_(name) {}
    ~GlName() { reset(); }

    GlName(GlName&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlName& operator=(GlName&& other) noexcept
    {
        if (this != &other) {
            reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }

    GLuint get() const noexcept { return name_; }
    explicit operator bool() const noexcept { return name_ != 0; }

private:
    void reset() noexcept
    {
        if (name_ != 0) {
            Delete(name_);
            name_ = 0;
        }
    }

    GLuint name_ = 0;
};

// A fresh name from one of the glGen* functions.
template <auto generate>
GLuint generatedName()
{
    GLuint name = 0;
    generate(1, &name);
    return name;
}

namespace gl_delete {
inline void texture(GLuint name)
{
    glDeleteTextures(1, &name);
}
inline void framebuffer(GLuint name)
{
    glDeleteFramebuffers(1, &name);
}
inline void sampler(GLuint name)
{
    glDeleteSamplers(1, &name);
}
inline void vertexArray(GLuint name)
{
    glDeleteVertexArrays(1, &name);
}
inline void shader(GLuint name)
{
    glDeleteShader(name);
}
inline void program(GLuint name)
{
    glDeleteProgram(name);
}
}  // namespace gl_delete

using GlTextureName = GlName<gl_delete::texture>;
using GlFramebufferName = GlName<gl_delete::framebuffer>;
using GlSamplerName = GlName<gl_delete::sampler>;
using GlVertexArrayName = GlName<gl_delete::vertexArray>;
using GlShaderName = GlName<gl_delete::shader>;
using GlProgramName = GlName<gl_delete::program>;

}  // namespace tilvane

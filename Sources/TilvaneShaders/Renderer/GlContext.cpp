#include "TilvaneShaders/Renderer/GlContext.hpp"

#include "TilvaneShaders/Renderer/EglDisplay.hpp"
#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

#include <EGL/eglext.h>

namespace tilvane {

GlContext::GlContext() : display_(eglDisplay())
{
    if (display_ == EGL_NO_DISPLAY || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
    }
    const EGLint attributes[] = {
        EGL_CONTEXT_MAJOR_VERSION,           3,        EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE,
    };
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context_ == EGL_NO_CONTEXT) {
        throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
    }
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) != EGL_TRUE) {
        eglDestroyContext(display_, context_);
        throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
    }
}

GlContext::~GlContext()
{
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    eglReleaseThread();
}

}  // namespace tilvane

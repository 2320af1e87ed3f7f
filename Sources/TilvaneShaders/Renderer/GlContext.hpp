#pragma once

#include <EGL/egl.h>

namespace tilvane {

// One OpenGL 3.3 core context without a surface, made current on the thread that creates
// it; it must be destroyed on that same thread. Throws ShaderRendererError::unavailable
// when the system offers no such context.
class GlContext {
public:
    GlContext();
    ~GlContext();

    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

private:
    EGLDisplay display_;
    EGLContext context_ = EGL_NO_CONTEXT;
};

}  // namespace tilvane

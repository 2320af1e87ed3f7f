#pragma once

#include <EGL/egl.h>

namespace tilvane {

// The process's one EGL display, opened headless on first use and never terminated,
// so it outlives every renderer. Null when no display could be opened (the result of
// the first attempt is kept for the whole run).
EGLDisplay eglDisplay() noexcept;

}  // namespace tilvane

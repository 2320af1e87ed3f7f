#pragma once

// The OpenGL 3.3 core interface of the renderer. Functions are taken straight from
// libOpenGL (GLVND), which exports every core entry point.
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/glcorearb.h>

#pragma once

#include "TilvaneShaders/ShaderBundle.hpp"

#include <string>

namespace tilvane {

// The names of the shader source files, in the order they are joined.
inline constexpr const char* shaderSourceNames[] = {"CRTEffects", "RealisticPhosphor", "MonitorBezel", "ScreenEffects"};

// Reads <name>.glsl of each source from the bundle's shader folder and joins the texts with a
// line feed between them. A missing or unreadable file is ShaderRendererError::missingResources.
std::string loadShaderSources(const ShaderBundle& bundle);

}  // namespace tilvane

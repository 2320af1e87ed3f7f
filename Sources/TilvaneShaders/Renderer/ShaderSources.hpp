#pragma once

#include <filesystem>
#include <string>

namespace tilvane {

// The names of the shader source files, in the order they are joined.
inline constexpr const char* shaderSourceNames[] = {"CRTEffects", "RealisticPhosphor", "MonitorBezel", "ScreenEffects"};

// Reads Resources/Shaders/<name>.glsl of each source from the shader bundle and joins the
// texts with a line feed between them. A missing or unreadable file is
// ShaderRendererError::missingResources.
std::string loadShaderSources(const std::filesystem::path& bundle);

}  // namespace tilvane

#include "TilvaneShaders/Renderer/ShaderSources.hpp"

#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

#include <fstream>
#include <sstream>

namespace tilvane {

std::string loadShaderSources(const ShaderBundle& bundle)
{
    std::string joined;
    bool first = true;
    for (const char* name : shaderSourceNames) {
        const auto path = bundle.shadersFolder() / (std::string(name) + ".glsl");
        std::error_code error;
        std::ifstream file(path, std::ios::binary);
        if (!std::filesystem::is_regular_file(path, error) || !file) {
            throw ShaderRendererError(ShaderRendererErrorCase::missingResources);
        }
        std::ostringstream text;
        text << file.rdbuf();
        if (file.bad()) {
            throw ShaderRendererError(ShaderRendererErrorCase::missingResources);
        }
        if (!first) {
            joined += '\n';
        }
        joined += text.str();
        first = false;
    }
    return joined;
}

}  // namespace tilvane

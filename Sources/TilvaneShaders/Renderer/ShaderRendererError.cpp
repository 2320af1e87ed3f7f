#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"

namespace tilvane {

const char* message(ShaderRendererErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case ShaderRendererErrorCase::unavailable:
        return "Este computador não disponibilizou OpenGL para os shaders.";
    case ShaderRendererErrorCase::missingResources:
        return "Os shaders não foram encontrados no aplicativo.";
    case ShaderRendererErrorCase::invalidImage:
        return "A imagem não pôde ser preparada para o shader.";
    case ShaderRendererErrorCase::renderFailed:
        return "O shader não conseguiu processar a imagem.";
    }
    return "O shader não conseguiu processar a imagem.";
}

ShaderCompileError::ShaderCompileError(const std::string& functionName, const std::string& log)
    : std::runtime_error("O shader " + functionName + " não compilou:\n" + log), functionName_(functionName), log_(log)
{
}

}  // namespace tilvane

#include "TilvanePresets/PersonalPresetError.hpp"

namespace tilvane {

const char* message(PersonalPresetErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case PersonalPresetErrorCase::unsupportedVersion:
        return "Versão dos presets pessoais não suportada. O arquivo foi preservado.";
    case PersonalPresetErrorCase::invalidData:
        return "Arquivo de presets pessoais inválido. O arquivo foi preservado.";
    case PersonalPresetErrorCase::missingPreset:
        return "O preset pessoal não foi encontrado.";
    }
    return "Erro desconhecido dos presets pessoais.";
}

}  // namespace tilvane

#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include <cstdlib>
#include <optional>
#include <string>

namespace tilvane {

const char* message(SupportDirectoryErrorCase errorCase) noexcept
{
    switch (errorCase) {
    case SupportDirectoryErrorCase::unavailable:
        return "Não foi possível encontrar a pasta de suporte do Tilvane. Defina TILVANE_SUPPORT_DIRECTORY, "
               "XDG_DATA_HOME ou HOME com um caminho absoluto.";
    }
    return "Erro desconhecido da pasta de suporte.";
}

namespace {

// The variable's value when it is set to an absolute path, without trailing slashes ("/" stays "/").
std::optional<std::string> absolutePathVariable(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    std::string path(value);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::filesystem::path TilvaneSupportDirectory::url()
{
    if (const auto folder = absolutePathVariable("TILVANE_SUPPORT_DIRECTORY")) {
        return std::filesystem::path(*folder);
    }
    if (const auto dataHome = absolutePathVariable("XDG_DATA_HOME")) {
        return std::filesystem::path(*dataHome) / "Tilvane";
    }
    if (const auto home = absolutePathVariable("HOME")) {
        return std::filesystem::path(*home) / ".local" / "share" / "Tilvane";
    }
    throw SupportDirectoryError(SupportDirectoryErrorCase::unavailable);
}

}  // namespace tilvane

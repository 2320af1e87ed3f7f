#include "Tilvane/Services/PresetDocumentFile.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/StoredFile.hpp"
#include "TilvaneShared/BoundedFileRead.hpp"

#include <cerrno>
#include <string>
#include <system_error>

namespace tilvane {
namespace {

std::string reason(int errorNumber)
{
    switch (errorNumber) {
    case EISDIR:
        return "é uma pasta";
    case ENOENT:
        return "não existe";
    case EACCES:
    case EPERM:
        return "sem permissão de leitura";
    case EINVAL:
        return "não é um arquivo comum";
    default:
        return "erro de leitura " + std::to_string(errorNumber);
    }
}

[[noreturn]] void refuseUnreadable(const std::filesystem::path& path, int errorNumber)
{
    throw PresetDocumentReadError("Não foi possível ler o arquivo “" + path.filename().string()
                                  + "”: " + reason(errorNumber) + ".");
}

}  // namespace

std::string readPresetDocument(const std::filesystem::path& path)
{
    try {
        return readBoundedFile(path, PersonalPresetTransfer::maximumDocumentSize);
    } catch (const std::system_error& error) {
        const int code = error.code().value();
        if (code == EFBIG) throw PersonalPresetError(PersonalPresetErrorCase::invalidData);
        if (code == EINVAL && std::filesystem::is_directory(path)) refuseUnreadable(path, EISDIR);
        refuseUnreadable(path, code);
    }
}

void writePresetDocument(const std::filesystem::path& path, const PersonalPreset& preset)
{
    storedfile::writeAtomically(path, PersonalPresetTransfer::encode(preset));
}

}  // namespace tilvane

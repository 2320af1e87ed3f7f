#include "Tilvane/Services/PresetDocumentFile.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/StoredFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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
        default:
            return "erro de leitura " + std::to_string(errorNumber);
    }
}

[[noreturn]] void refuseUnreadable(const std::filesystem::path& path, int errorNumber)
{
    throw PresetDocumentReadError("Não foi possível ler o arquivo “" + path.filename().string() +
                                  "”: " + reason(errorNumber) + ".");
}

[[noreturn]] void refuseOversized()
{
    throw PersonalPresetError(PersonalPresetErrorCase::invalidData);
}

class ReadDescriptor {
public:
    explicit ReadDescriptor(const std::filesystem::path& path) : descriptor_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (descriptor_ < 0) refuseUnreadable(path, errno);
    }
    ~ReadDescriptor() { ::close(descriptor_); }
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::string readPresetDocument(const std::filesystem::path& path)
{
    constexpr auto limit = PersonalPresetTransfer::maximumDocumentSize;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) refuseUnreadable(path, errno);
    if (S_ISDIR(status.st_mode)) refuseUnreadable(path, EISDIR);
    if (static_cast<std::uintmax_t>(status.st_size) > limit) refuseOversized();

    const ReadDescriptor descriptor(path);
    std::string contents(limit + 1, '\0');
    std::size_t filled = 0;
    while (filled < contents.size()) {
        const ssize_t count = ::read(descriptor.get(), contents.data() + filled, contents.size() - filled);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) refuseUnreadable(path, errno);
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
    }
    if (filled > limit) refuseOversized();
    contents.resize(filled);
    return contents;
}

void writePresetDocument(const std::filesystem::path& path, const PersonalPreset& preset)
{
    storedfile::writeAtomically(path, PersonalPresetTransfer::encode(preset));
}

}  // namespace tilvane

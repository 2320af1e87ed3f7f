#include "TilvanePresets/StoredFile.hpp"

#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/Uuid.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace tilvane::storedfile {
namespace {

[[noreturn]] void throwSystemError(std::error_code code, const std::string& what, const std::filesystem::path& path)
{
    throw std::system_error(code, what + " “" + path.string() + "”");
}

[[noreturn]] void throwSystemError(int errorNumber, const std::string& what, const std::filesystem::path& path)
{
    throwSystemError(std::error_code(errorNumber, std::generic_category()), what, path);
}

// Runs one step of a write and reports its failure in the system's own words, keeping its error code.
template <typename Step>
void describingFailure(const std::string& what, const std::filesystem::path& path, Step step)
{
    try {
        step();
    } catch (const std::system_error& error) {
        throwSystemError(error.code(), what, path);
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor()
    {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return descriptor_; }

private:
    int descriptor_;
};

void createFolder(const std::filesystem::path& folder)
{
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throwSystemError(error, "Não foi possível criar a pasta", folder);
}

}  // namespace

std::optional<std::string> readIfPresent(const std::filesystem::path& path)
{
    FileDescriptor descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (descriptor.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        throwSystemError(errno, "Não foi possível ler o arquivo", path);
    }
    std::string contents;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            throwSystemError(errno, "Não foi possível ler o arquivo", path);
        }
        if (count == 0) break;
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    return contents;
}

void writeAtomically(const std::filesystem::path& path, std::string_view bytes)
{
    createFolder(path.parent_path());

    std::string temporaryName = ".";  // appended piece by piece: GCC 12 misreads "." + std::string (-Wrestrict)
    temporaryName.append(path.filename().string()).append(".").append(Uuid::random().string()).append(".tmp");
    std::optional<AtomicFileWriter> file;
    describingFailure("Não foi possível criar o arquivo", path.parent_path() / temporaryName,
                      [&] { file.emplace(path, temporaryName); });
    describingFailure("Não foi possível gravar o arquivo", path, [&] {
        file->write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        file->sync();
    });
    describingFailure("Não foi possível substituir o arquivo", path, [&] { file->commit(); });
}

void removeIfPresent(const std::filesystem::path& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
        throwSystemError(errno, "Não foi possível apagar o arquivo", path);
    }
}

}  // namespace tilvane::storedfile

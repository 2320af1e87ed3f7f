#include "TilvanePresets/StoredFile.hpp"

#include "TilvaneCore/Uuid.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tilvane::storedfile {
namespace {

[[noreturn]] void throwSystemError(int errorNumber, const std::string& what, const std::filesystem::path& path)
{
    throw std::system_error(errorNumber, std::generic_category(), what + " “" + path.string() + "”");
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

    // Closes now and reports the error that close() gives (a delayed write error, for instance).
    int close()
    {
        const int result = ::close(descriptor_);
        descriptor_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int descriptor_;
};

void createFolder(const std::filesystem::path& folder)
{
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throwSystemError(error.value(), "Não foi possível criar a pasta", folder);
}

void writeAll(int descriptor, std::string_view bytes, const std::filesystem::path& path)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            throwSystemError(errno, "Não foi possível gravar o arquivo", path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void syncFolder(const std::filesystem::path& folder)
{
    FileDescriptor descriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.get() < 0) throwSystemError(errno, "Não foi possível abrir a pasta", folder);
    // Some file systems cannot flush a folder; the rename is then as durable as they make it.
    if (::fsync(descriptor.get()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        throwSystemError(errno, "Não foi possível gravar a pasta", folder);
    }
}

// Removes the temporary file unless it was renamed over the target.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void commit() { committed_ = true; }

private:
    std::filesystem::path path_;
    bool committed_ = false;
};

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
    const std::filesystem::path folder = path.parent_path();
    createFolder(folder);

    const std::string temporaryName = "." + path.filename().string() + "." + Uuid::random().string() + ".tmp";
    const std::filesystem::path temporaryPath = folder / temporaryName;
    FileDescriptor descriptor(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (descriptor.get() < 0) throwSystemError(errno, "Não foi possível criar o arquivo", temporaryPath);
    TemporaryFile temporary(temporaryPath);

    writeAll(descriptor.get(), bytes, path);
    if (::fsync(descriptor.get()) != 0) throwSystemError(errno, "Não foi possível gravar o arquivo", path);
    if (const int closeError = descriptor.close(); closeError != 0) {
        throwSystemError(closeError, "Não foi possível gravar o arquivo", path);
    }
    if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
        throwSystemError(errno, "Não foi possível substituir o arquivo", path);
    }
    temporary.commit();
    syncFolder(folder);
}

void removeIfPresent(const std::filesystem::path& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
        throwSystemError(errno, "Não foi possível apagar o arquivo", path);
    }
}

}  // namespace tilvane::storedfile

#include "TilvanePresets/StoredFile.hpp"

#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/Uuid.hpp"
#include "TilvaneShared/BoundedFileRead.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

namespace tilvane::storedfile {
namespace {

[[noreturn]] void throwSystemError(std::error_code code, const std::string& what, const std::filesystem::path& path)
{
    throw std::system_error(code, what + " “" + path.string() + "”");
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

// Whether `name` is ".<target name>.<UUID>.tmp", the form temporaryNameFor gives.
bool isTemporaryNameOf(std::string_view name, const std::string& targetName)
{
    std::string prefix = ".";  // appended piece by piece: GCC 12 misreads "." + std::string (-Wrestrict)
    prefix.append(targetName).append(".");
    constexpr std::string_view suffix = ".tmp";
    constexpr std::size_t uuidLength = 36;
    return name.size() == prefix.size() + uuidLength + suffix.size() && name.starts_with(prefix)
           && name.ends_with(suffix) && Uuid::parse(name.substr(prefix.size(), uuidLength)).has_value();
}

// Best effort: the new file is in place, and a temporary that cannot be removed now is tried again
// at the next write.
void removeStaleTemporaries(const std::filesystem::path& target) noexcept
{
    const std::string targetName = target.filename().string();
    const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const auto staleBefore = std::chrono::system_clock::now() - staleTemporaryAge;
    std::error_code error;
    for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
         entries.increment(error)) {
        const auto name = entries->path().filename().string();
        struct stat status {};
        if (!isTemporaryNameOf(name, targetName) || ::lstat(entries->path().c_str(), &status) != 0
            || !S_ISREG(status.st_mode)) {
            continue;
        }
        const auto modified = std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec);
        if (modified < staleBefore) ::unlink(entries->path().c_str());
    }
}

// Gives the file at `from` the name `to` unless something already has that name. Returns 0, or the system's error
// number: EEXIST when `to` is taken, ENOENT when nothing is at `from`.
int moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system that cannot rename without replacing (NFS): a hard link claims the name just as surely. Should the
    // old name stay, the bytes are kept all the same, and the next write replaces that name.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

void throwSystemError(int errorNumber, const std::string& what, const std::filesystem::path& path)
{
    throwSystemError(std::error_code(errorNumber, std::generic_category()), what, path);
}

void createFolder(const std::filesystem::path& folder)
{
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throwSystemError(error, "Não foi possível criar a pasta", folder);
}

std::optional<std::string> readIfPresent(const std::filesystem::path& path, std::size_t maximumBytes)
{
    try {
        return readBoundedFile(path, maximumBytes);
    } catch (const std::system_error& error) {
        const int code = error.code().value();
        if (code == ENOENT || code == ENOTDIR) return std::nullopt;
        if (code == EINVAL) throw DescribedFailure(error.code(), "Não é um arquivo comum “" + path.string() + "”");
        if (code == EFBIG) throwSystemError(code, "O arquivo é grande demais", path);
        throwSystemError(code, "Não foi possível ler o arquivo", path);
    }
}

std::string temporaryNameFor(const std::filesystem::path& target)
{
    std::string name = ".";  // appended piece by piece: GCC 12 misreads "." + std::string (-Wrestrict)
    name.append(target.filename().string()).append(".").append(Uuid::random().string()).append(".tmp");
    return name;
}

void writeAtomically(const std::filesystem::path& path, std::string_view bytes)
{
    createFolder(path.parent_path());

    const std::string temporaryName = temporaryNameFor(path);
    std::optional<AtomicFileWriter> file;
    describingFailure("Não foi possível criar um arquivo na pasta", path.parent_path(),
                      [&] { file.emplace(path, temporaryName); });
    describingFailure("Não foi possível gravar o arquivo", path, [&] {
        file->write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        file->sync();
    });
    describingFailure("Não foi possível substituir o arquivo", path, [&] { file->commit(); });
    removeStaleTemporaries(path);
}

void removeIfPresent(const std::filesystem::path& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
        throwSystemError(errno, "Não foi possível apagar o arquivo", path);
    }
}

bool isPresent(const std::filesystem::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) return true;
    if (errno == ENOENT || errno == ENOTDIR) return false;
    throwSystemError(errno, "Não foi possível ler o arquivo", path);
}

std::filesystem::path keptName(const std::filesystem::path& path, std::string_view label, unsigned n)
{
    std::string name = path.stem().string();
    name.append(".").append(label);
    if (n > 1) name.append("-").append(std::to_string(n));
    name.append(path.extension().string());
    return path.parent_path() / name;
}

std::optional<std::filesystem::path> keepAside(const std::filesystem::path& path, std::string_view label)
{
    for (unsigned n = 1;; ++n) {
        const auto kept = keptName(path, label, n);
        const int error = moveWithoutReplacing(path, kept);
        if (error == 0) return kept;
        if (error == ENOENT) return std::nullopt;
        if (error != EEXIST) throwSystemError(error, "Não foi possível guardar o arquivo", path);
    }
}

}  // namespace tilvane::storedfile

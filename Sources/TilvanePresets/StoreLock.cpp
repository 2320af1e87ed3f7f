#include "TilvanePresets/StoreLock.hpp"

#include "TilvanePresets/StoredFile.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace tilvane {
namespace {

constexpr const char* lockFailure = "Não foi possível bloquear o arquivo";

// Another Tilvane holds the lock only while it reads and writes one small file. One that keeps it longer has been
// stopped: the change is refused rather than freezing this window.
constexpr auto lockPatience = std::chrono::seconds(2);
constexpr auto lockRetryInterval = std::chrono::milliseconds(5);

using Deadline = std::chrono::steady_clock::time_point;

// Opens the lock file, making it when there is none, and refuses anything but a regular file.
int openLockFile(const std::filesystem::path& path)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (descriptor < 0) storedfile::throwSystemError(errno, lockFailure, path);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        storedfile::throwSystemError(error, lockFailure, path);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw storedfile::DescribedFailure(std::make_error_code(std::errc::invalid_argument),
                                           "Não é um arquivo comum “" + path.string() + "”");
    }
    return descriptor;
}

enum class Locking { locked, unsupported };

// Locks the open lock file of `file`, waiting for another holder until `deadline`.
Locking waitForLock(int descriptor, const std::filesystem::path& file, const std::filesystem::path& path,
                    Deadline deadline)
{
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == ENOLCK || errno == EOPNOTSUPP) return Locking::unsupported;
        if (errno != EWOULDBLOCK) storedfile::throwSystemError(errno, lockFailure, path);
        if (std::chrono::steady_clock::now() >= deadline) throw StoreLockBusyError(file);
        std::this_thread::sleep_for(lockRetryInterval);
    }
    return Locking::locked;
}

// Whether the open lock file still has its name: neither removed nor replaced by another file since it was opened.
bool isStillNamed(int descriptor, const std::filesystem::path& path)
{
    struct stat held {};
    struct stat named {};
    if (::fstat(descriptor, &held) != 0) storedfile::throwSystemError(errno, lockFailure, path);
    if (::stat(path.c_str(), &named) != 0) {
        if (errno == ENOENT) return false;
        storedfile::throwSystemError(errno, lockFailure, path);
    }
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

StoreLock::StoreLock(const std::filesystem::path& file)
{
    const auto path = lockFileFor(file);
    const Deadline deadline = std::chrono::steady_clock::now() + lockPatience;
    for (;;) {
        const int descriptor = openLockFile(path);
        try {
            if (waitForLock(descriptor, file, path, deadline) == Locking::unsupported) {
                ::close(descriptor);
                return;
            }
            if (isStillNamed(descriptor, path)) {
                descriptor_ = descriptor;
                return;
            }
        } catch (...) {
            ::close(descriptor);
            throw;
        }
        // Whoever locks the file now at the name would share this turn: take that one.
        ::close(descriptor);
        if (std::chrono::steady_clock::now() >= deadline) throw StoreLockBusyError(file);
    }
}

StoreLock::~StoreLock()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

std::filesystem::path StoreLock::lockFileFor(const std::filesystem::path& file)
{
    std::string name = ".";  // appended piece by piece: GCC 12 misreads "." + std::string (-Wrestrict)
    name.append(file.filename().string()).append(".lock");
    return file.parent_path() / name;
}

StoreLockBusyError::StoreLockBusyError(const std::filesystem::path& file)
    : storedfile::DescribedFailure(std::make_error_code(std::errc::operation_would_block),
                                   "Outro Tilvane está usando o arquivo “" + file.string() + "”. Tente novamente.")
{
}

}  // namespace tilvane

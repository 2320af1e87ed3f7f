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

// Waits, at most lockPatience, for the lock of the open lock file.
void waitForLock(int descriptor, const std::filesystem::path& path)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) storedfile::throwSystemError(errno, lockFailure, path);
    if (!S_ISREG(status.st_mode)) storedfile::throwSystemError(EINVAL, "Não é um arquivo comum", path);
    const auto deadline = std::chrono::steady_clock::now() + lockPatience;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            storedfile::throwSystemError(errno, lockFailure, path);
        }
        std::this_thread::sleep_for(lockRetryInterval);
    }
}

}  // namespace

StoreLock::StoreLock(const std::filesystem::path& file)
{
    const auto path = lockFileFor(file);
    descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (descriptor_ < 0) storedfile::throwSystemError(errno, lockFailure, path);
    try {
        waitForLock(descriptor_, path);
    } catch (...) {
        ::close(descriptor_);
        throw;
    }
}

StoreLock::~StoreLock()
{
    ::close(descriptor_);
}

std::filesystem::path StoreLock::lockFileFor(const std::filesystem::path& file)
{
    std::string name = ".";  // appended piece by piece: GCC 12 misreads "." + std::string (-Wrestrict)
    name.append(file.filename().string()).append(".lock");
    return file.parent_path() / name;
}

}  // namespace tilvane

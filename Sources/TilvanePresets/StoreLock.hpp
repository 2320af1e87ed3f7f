#pragma once

#include <filesystem>

namespace tilvane {

// While it lives, no other StoreLock of the same file, in this process or another, does: an exclusive advisory
// lock (flock) on the hidden file ".<name>.lock" beside the file, made on first use and left in place (removing it
// would let a process that opened it before lock a file that no longer has the name). Waits for another holder, up
// to two seconds. Throws std::system_error when the lock file cannot be made or opened (the folder must exist), is
// not a regular file, or another holder keeps it longer (EWOULDBLOCK).
class StoreLock {
public:
    explicit StoreLock(const std::filesystem::path& file);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // ".<name>.lock" beside `file`.
    static std::filesystem::path lockFileFor(const std::filesystem::path& file);

private:
    int descriptor_ = -1;
};

}  // namespace tilvane

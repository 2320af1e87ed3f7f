#pragma once

#include "TilvanePresets/StoredFile.hpp"

#include <filesystem>

namespace tilvane {

// While it lives, no other StoreLock of the same file, in this process or another, does: an exclusive advisory
// lock (flock) on the hidden file ".<name>.lock" beside the file, made on first use and left in place (removing it
// would let a process that opened it before lock a file that no longer has the name). Once locked, the lock file
// must still be the one at its name: one removed or replaced meanwhile is let go and the name's file is locked
// instead. Waits for another holder, up to two seconds, and then throws StoreLockBusyError. Throws
// std::system_error when the lock file cannot be made or opened (the folder must exist) or is not a regular file.
// On a file system that does not lock (ENOLCK, EOPNOTSUPP: NFS without its lock service) it holds nothing, and
// the writes it would have ordered still replace each file whole.
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

// Another Tilvane kept the lock of `file` for longer than the wait. Its code is EWOULDBLOCK; what() says so in
// words the user can act on: "Outro Tilvane está usando o arquivo “…”. Tente novamente."
class StoreLockBusyError : public storedfile::DescribedFailure {
public:
    explicit StoreLockBusyError(const std::filesystem::path& file);
};

}  // namespace tilvane

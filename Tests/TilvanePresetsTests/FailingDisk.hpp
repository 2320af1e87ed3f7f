#pragma once

// Ways to make a write fail in a test, also when the tests run as root (who writes into read-only
// folders regardless).

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace tilvane::testing {

// While it lives, no file of the process may grow past `bytes`: a larger write fails with EFBIG,
// as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

// Makes `folder` read-only; returns false when that does not stop this process from creating
// files in it (root), after putting the permissions back.
inline bool makeReadOnly(const std::filesystem::path& folder)
{
    using std::filesystem::perms;
    std::filesystem::permissions(folder, perms::owner_read | perms::owner_exec);
    const auto probe = folder / ".probe";
    const bool stillWritable = std::ofstream(probe).is_open();
    if (stillWritable) {
        std::filesystem::remove(probe);
        std::filesystem::permissions(folder, perms::owner_all);
    }
    return !stillWritable;
}

}  // namespace tilvane::testing

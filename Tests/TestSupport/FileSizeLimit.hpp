#pragma once

#include "TestSupport/ResourceLimit.hpp"

#include <sys/resource.h>

#include <csignal>

namespace tilvane::testing {

// While it lives, no file of the process may grow past `bytes`: with SIGXFSZ ignored, a larger write fails
// with EFBIG, as on a full disk (unlike a read-only folder, this stops root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)), limit_(RLIMIT_FSIZE, bytes)
    {
    }
    ~FileSizeLimit() { std::signal(SIGXFSZ, previousHandler_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*previousHandler_)(int);
    ResourceLimit limit_;  // lifted before the signal's handler comes back
};

// In a child process about to start a program (QProcess::setChildProcessModifier): as after `ulimit -f` in a shell,
// no file the program writes may grow past `bytes`, and going past it raises SIGXFSZ with its default action, unless
// the program itself decides otherwise. Only calls that are safe between fork and exec.
inline void limitFileSizeOfChild(rlim_t bytes) noexcept
{
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limited{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limited);
}

}  // namespace tilvane::testing

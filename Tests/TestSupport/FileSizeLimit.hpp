#pragma once

#include <sys/resource.h>

#include <csignal>

namespace tilvane::testing {

// While it lives, no file of the process may grow past `bytes`: with SIGXFSZ ignored, a larger write fails
// with EFBIG, as on a full disk (unlike a read-only folder, this stops root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limited{bytes, previous_.rlim_max};
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
    void (*previousHandler_)(int);
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

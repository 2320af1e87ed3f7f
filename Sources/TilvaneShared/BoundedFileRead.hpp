#pragma once

// Reading a whole file that anyone may have put in place: never blocks on what is not a regular file
// (a FIFO, a device), refuses it, and refuses a file by its size before reading it. Header-only and
// free of the project's other code, so that every module can read its documents the same way.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

namespace tilvane {

// The bytes of the regular file at `path`, at most `maximumBytes` of them. Throws std::system_error:
// ENOENT or ENOTDIR when there is no such file, EINVAL when it is not a regular file, EFBIG when it
// is longer than maximumBytes, or the system's code when opening or reading fails.
inline std::string readBoundedFile(const std::filesystem::path& path, std::size_t maximumBytes)
{
    const auto fail = [](int code) { throw std::system_error(code, std::generic_category()); };
    // O_NONBLOCK: opening a FIFO that has no writer would otherwise wait forever.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        fail(errno);
    }
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        fail(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        fail(EINVAL);
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maximumBytes) {
        fail(EFBIG);
    }
    std::string contents;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        if (count == 0) {
            return contents;
        }
        // The file may have grown since it was measured.
        if (contents.size() + static_cast<std::size_t>(count) > maximumBytes) {
            fail(EFBIG);
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace tilvane

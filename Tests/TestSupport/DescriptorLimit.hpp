#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <vector>

namespace tilvane::testing {

// While it lives, the process can open only `available` more file descriptors: the next open fails with EMFILE, as
// when a process has run out of them.
class DescriptorLimit {
public:
    explicit DescriptorLimit(unsigned available)
    {
        getrlimit(RLIMIT_NOFILE, &previous_);
        // The lowest free numbers, which the next opens would take: all below the last of them are in use.
        std::vector<int> lowestFree;
        for (unsigned taken = 0; taken <= available; ++taken) lowestFree.push_back(::open("/dev/null", O_RDONLY));
        const rlimit limited{static_cast<rlim_t>(lowestFree.back()), previous_.rlim_max};
        for (const int descriptor : lowestFree) ::close(descriptor);
        setrlimit(RLIMIT_NOFILE, &limited);
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &previous_); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

private:
    rlimit previous_{};
};

}  // namespace tilvane::testing

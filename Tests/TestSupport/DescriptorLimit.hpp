#pragma once

#include "TestSupport/ResourceLimit.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace tilvane::testing {

// While it lives, the process can open only `available` more file descriptors: the next open fails with EMFILE, as
// when a process has run out of them.
class DescriptorLimit {
public:
    explicit DescriptorLimit(unsigned available) : limit_(RLIMIT_NOFILE, lowestFreeAfter(available)) {}

private:
    // The descriptor number that `available` more opens would reach: all below it are then in use.
    static rlim_t lowestFreeAfter(unsigned available)
    {
        std::vector<int> lowestFree;
        for (unsigned taken = 0; taken <= available; ++taken) lowestFree.push_back(::open("/dev/null", O_RDONLY));
        for (const int descriptor : lowestFree) ::close(descriptor);
        return static_cast<rlim_t>(lowestFree.back());
    }

    ResourceLimit limit_;
};

}  // namespace tilvane::testing

#pragma once

#include "TestSupport/ResourceLimit.hpp"

#include <unistd.h>

#include <cstddef>
#include <fstream>

namespace tilvane::testing {

// While it lives, the process may map only about `bytes` more memory than it has mapped now: a larger allocation fails
// (std::bad_alloc), as when memory runs out.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(std::size_t bytes) : limit_(RLIMIT_AS, mappedBytes() + bytes) {}

private:
    static rlim_t mappedBytes()
    {
        std::size_t mappedPages = 0;
        std::ifstream("/proc/self/statm") >> mappedPages;
        return static_cast<rlim_t>(mappedPages * ::sysconf(_SC_PAGESIZE));
    }

    ResourceLimit limit_;
};

}  // namespace tilvane::testing

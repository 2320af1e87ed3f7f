#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>

namespace tilvane::testing {

// While it lives, the process may map only about `bytes` more memory than it has mapped now: a larger allocation fails
// (std::bad_alloc), as when memory runs out.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(std::size_t bytes)
    {
        getrlimit(RLIMIT_AS, &previous_);
        std::size_t mappedPages = 0;
        std::ifstream("/proc/self/statm") >> mappedPages;
        const rlimit limited{static_cast<rlim_t>(mappedPages * ::sysconf(_SC_PAGESIZE) + bytes), previous_.rlim_max};
        setrlimit(RLIMIT_AS, &limited);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &previous_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit previous_{};
};

}  // namespace tilvane::testing

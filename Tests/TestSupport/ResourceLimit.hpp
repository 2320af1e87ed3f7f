#pragma once

#include <sys/resource.h>

namespace tilvane::testing {

// While it lives, the process's soft limit on `resource` is `value` (the hard limit stays); the limit before comes
// back when it goes.
class ResourceLimit {
public:
    using Resource = decltype(RLIMIT_NOFILE);

    ResourceLimit(Resource resource, rlim_t value) : resource_(resource)
    {
        getrlimit(resource_, &previous_);
        const rlimit limited{value, previous_.rlim_max};
        setrlimit(resource_, &limited);
    }
    ~ResourceLimit() { setrlimit(resource_, &previous_); }
    ResourceLimit(const ResourceLimit&) = delete;
    ResourceLimit& operator=(const ResourceLimit&) = delete;

private:
    Resource resource_;
    rlimit previous_{};
};

}  // namespace tilvane::testing

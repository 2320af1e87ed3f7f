#include "VipsRuntime.hpp"

namespace tilvane {

bool startVips() noexcept
{
    // A function-local static is initialised exactly once even under concurrent first calls.
    static const bool started = [] {
        if (VIPS_INIT("tilvane") != 0) {
            return false;
        }
        vips_block_untrusted_set(TRUE);
        vips_cache_set_max(0);
        return true;
    }();
    return started;
}

}  // namespace tilvane

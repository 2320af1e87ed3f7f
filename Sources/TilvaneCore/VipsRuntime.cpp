#include "TilvaneCore/VipsRuntime.hpp"

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

VipsImagePointer decodedInMemory(VipsImagePointer pipeline)
{
    if (!pipeline) {
        return nullptr;
    }
    vips_image_set_int(pipeline.get(), VIPS_META_CONCURRENCY, 1);
    VipsImagePointer decoded(vips_image_copy_memory(pipeline.get()));
    if (decoded) {
        // The copy inherits the pipeline's metadata, the limit included.
        vips_image_remove(decoded.get(), VIPS_META_CONCURRENCY);
    }
    return decoded;
}

}  // namespace tilvane

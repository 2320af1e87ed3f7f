#include "TilvaneCore/VipsRuntime.hpp"

#include <algorithm>
#include <array>
#include <cctype>

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

std::string takeVipsErrors()
{
    const std::unique_ptr<char, decltype(&g_free)> errors(vips_error_buffer_copy(), g_free);
    return errors ? std::string(errors.get()) : std::string();
}

bool tellOfExhaustion(std::string_view errors)
{
    // libvips' allocations ("out of memory --- size == 512MB", "failed to allocate 8 bytes"), its worker threads
    // ("unable to create thread"), libjpeg ("Insufficient memory (case 4)"), libpng ("Out of Memory"), libtiff
    // ("Not enough memory"), libwebp ("VP8_STATUS_OUT_OF_MEMORY", "picture memory error") and the system's own
    // words for ENOMEM and EAGAIN.
    static constexpr std::array phrases{
        std::string_view("out of memory"),
        std::string_view("out_of_memory"),
        std::string_view("insufficient memory"),
        std::string_view("not enough memory"),
        std::string_view("failed to allocate"),
        std::string_view("memory error"),
        std::string_view("cannot allocate memory"),
        std::string_view("unable to create thread"),
        std::string_view("resource temporarily unavailable"),
    };
    std::string lowered(errors);
    std::ranges::transform(lowered, lowered.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::ranges::any_of(phrases,
                               [&lowered](std::string_view phrase) { return lowered.find(phrase) != lowered.npos; });
}

}  // namespace tilvane

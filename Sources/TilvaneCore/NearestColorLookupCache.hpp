#pragma once

#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/NearestColorLookup.hpp"

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tilvane {

// One nearest-colour lookup per palette value, built on the first request and shared by every
// conversion of the process. Safe to use from several threads at once.
class NearestColorLookupCache {
public:
    // Distinct palettes kept at once; past it the oldest entry gives way (lookups already handed
    // out stay valid). Each edit of a custom palette is a new palette, so the cache must not grow forever.
    static constexpr std::size_t capacity = 64;

    static NearestColorLookupCache& shared();

    // The lookup of exactly this palette (id, name, colours and mapping), built while the lock is
    // held so that concurrent first requests build it once. Throws std::invalid_argument for a
    // palette without colours or with more than 65536.
    std::shared_ptr<const NearestColorLookup> table(const ImagePalette& palette);

private:
    std::mutex lock_;
    std::unordered_map<ImagePalette, std::shared_ptr<const NearestColorLookup>> tables_;
    std::deque<ImagePalette> insertionOrder_;
};

}  // namespace tilvane

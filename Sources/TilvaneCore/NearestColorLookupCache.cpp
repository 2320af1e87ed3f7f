#include "TilvaneCore/NearestColorLookupCache.hpp"

namespace tilvane {

NearestColorLookupCache& NearestColorLookupCache::shared()
{
    static NearestColorLookupCache cache;
    return cache;
}

std::shared_ptr<const NearestColorLookup> NearestColorLookupCache::table(const ImagePalette& palette)
{
    const std::lock_guard guard(lock_);
    if (const auto found = tables_.find(palette); found != tables_.end()) {
        return found->second;
    }
    auto lookup = std::make_shared<const NearestColorLookup>(palette.colors);
    if (tables_.size() == capacity) {
        tables_.erase(insertionOrder_.front());
        insertionOrder_.pop_front();
    }
    tables_.emplace(palette, lookup);
    insertionOrder_.push_back(palette);
    return lookup;
}

}  // namespace tilvane

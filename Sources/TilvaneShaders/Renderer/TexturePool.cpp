#include "TilvaneShaders/Renderer/TexturePool.hpp"

#include <algorithm>

namespace tilvane {

std::shared_ptr<GlTexture> TexturePool::take(int width, int height, TextureFormat format, bool mipmapped)
{
    std::unique_ptr<GlTexture> texture;
    const auto spare = std::ranges::find_if(spares_, [&](const std::unique_ptr<GlTexture>& candidate) {
        return candidate->width() == width && candidate->height() == height && candidate->format() == format
               && candidate->mipmapped() == mipmapped;
    });
    if (spare != spares_.end()) {
        texture = std::move(*spare);
        spares_.erase(spare);
    } else {
        texture = std::make_unique<GlTexture>(width, height, format, mipmapped);
    }
    return std::shared_ptr<GlTexture>(texture.release(), [this](GlTexture* returned) { giveBack(returned); });
}

void TexturePool::giveBack(GlTexture* texture) noexcept
{
    std::unique_ptr<GlTexture> owned(texture);
    try {
        spares_.push_front(std::move(owned));
    } catch (...) {
        return;  // not kept: deleted with `owned`
    }
    while (spares_.size() > spareLimit_) {
        spares_.pop_back();
    }
}

}  // namespace tilvane

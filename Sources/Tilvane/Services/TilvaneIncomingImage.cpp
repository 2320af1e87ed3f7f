#include "Tilvane/Services/TilvaneIncomingImage.hpp"

#include "Tilvane/Services/LocalFileURL.hpp"

#include <utility>

namespace tilvane {

TilvaneIncomingImage& TilvaneIncomingImage::shared()
{
    static TilvaneIncomingImage slot;
    return slot;
}

void TilvaneIncomingImage::receive(const QUrl& url)
{
    if (const auto path = localFilePath(url)) receive(*path);
}

void TilvaneIncomingImage::receive(const std::filesystem::path& path)
{
    pendingURL_ = path;
    emit didReceive();
}

std::optional<std::filesystem::path> TilvaneIncomingImage::take()
{
    return std::exchange(pendingURL_, std::nullopt);
}

TilvaneLifecycle& TilvaneLifecycle::shared()
{
    static TilvaneLifecycle lifecycle;
    return lifecycle;
}

}  // namespace tilvane

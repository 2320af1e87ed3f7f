#include "Tilvane/Services/TilvaneIncomingImage.hpp"

#include <QFile>

#include <utility>

namespace tilvane {

TilvaneIncomingImage& TilvaneIncomingImage::shared()
{
    static TilvaneIncomingImage slot;
    return slot;
}

void TilvaneIncomingImage::receive(const QUrl& url)
{
    if (!url.isLocalFile()) return;
    receive(std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString()));
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

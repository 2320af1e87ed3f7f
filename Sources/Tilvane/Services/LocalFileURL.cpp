#include "Tilvane/Services/LocalFileURL.hpp"

#include "TilvanePresets/Url.hpp"

namespace tilvane {

std::optional<std::filesystem::path> localFilePath(const QUrl& url)
{
    // QUrl keeps percent-encoded bytes that are not UTF-8 in its encoded form only.
    const auto parsed = Url::parse(url.toEncoded().toStdString());
    return parsed ? parsed->localFilePath() : std::nullopt;
}

}  // namespace tilvane

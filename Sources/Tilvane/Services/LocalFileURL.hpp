#pragma once

#include <QUrl>

#include <filesystem>
#include <optional>

namespace tilvane {

// The local path of a file URL (dropped or handed over by the desktop), its bytes exactly as the URL
// encodes them, so a name that is not UTF-8 survives; nothing for any other URL.
std::optional<std::filesystem::path> localFilePath(const QUrl& url);

}  // namespace tilvane

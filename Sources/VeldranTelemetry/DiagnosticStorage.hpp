#pragma once

#include <QString>

#include <functional>
#include <optional>

class QSettings;

namespace veldran {

// The private cache folder in which crash reports wait between runs, split into generations: each period
// of consent uses <base>/<generation UUID>, remembered in the settings under "betaDiagnosticsGeneration".
class DiagnosticStorage {
public:
    // Deletes the file or folder at the path, contents included; false when that failed.
    using RemoveOperation = std::function<bool(const QString& path)>;

    static constexpr const char* generationKey = "betaDiagnosticsGeneration";

    // base: the folder holding the generations; without one it is
    // $XDG_CACHE_HOME/<bundle identifier>/BetaDiagnostics.
    DiagnosticStorage(const QString& bundleIdentifier, QSettings& defaults, std::optional<QString> base = std::nullopt,
                      RemoveOperation remove = removeRecursively);

    // The generation folder for a run with consent, created owner-only if needed; nothing when it cannot be.
    std::optional<QString> directoryForConsentedRun();

    // Forgets the generation and deletes the base folder with every generation in it (failures ignored).
    void purge();

    const std::optional<QString>& base() const noexcept { return base_; }

    static bool removeRecursively(const QString& path);

private:
    QSettings& defaults_;
    std::optional<QString> base_;
    RemoveOperation remove_;
};

}  // namespace veldran

#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace veldran {

class Bundle;

// Which build is running and how it may report. The two gates (usageAvailable, diagnosticsAvailable)
// are recomputed on every read and only open for a well-formed beta build.
struct TelemetryConfiguration {
    std::string app;
    std::string bundleIdentifier;
    std::optional<std::string> projectToken;
    std::optional<std::string> sentryDSN;
    std::string environment;
    std::string version;
    std::string build;
    bool analyticsIPStorageDisabled = false;
    bool sentryIPStorageDisabled = false;
    bool sentryGeolocationDisabled = false;

    // Reads the bundle's identifier and information keys; every missing or ill-typed key takes its default.
    static TelemetryConfiguration bundled(const std::string& app, const Bundle& bundle);

    bool usageAvailable() const;
    bool diagnosticsAvailable() const;

    // The base properties of every analytics event (twelve keys, values keep their JSON types).
    nlohmann::ordered_json properties() const;

    // bundleIdentifier "@" version "+" build.
    std::string releaseName() const;

    friend bool operator==(const TelemetryConfiguration&, const TelemetryConfiguration&) = default;

private:
    bool validBetaBuild() const;
};

// Host suffixes of the crash-reporting service's ingest domains (default, US and EU regions).
inline constexpr const char* crashIngestHostSuffixes[] = {
    ".ingest.sentry.io",
    ".ingest.us.sentry.io",
    ".ingest.de.sentry.io",
};

}  // namespace veldran

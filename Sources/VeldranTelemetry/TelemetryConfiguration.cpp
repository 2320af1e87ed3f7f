#include "VeldranTelemetry/TelemetryConfiguration.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/Dsn.hpp"
#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace veldran {
namespace {

// An optional "+" or "-" followed by one or more digits, within the signed 64-bit range.
bool isSignedInteger(std::string_view text)
{
    std::string_view digits = text;
    if (digits.starts_with('+') || digits.starts_with('-')) digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    if (text.starts_with('+')) text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool hasIngestHost(const std::string& host)
{
    for (const std::string_view suffix : crashIngestHostSuffixes) {
        if (host.size() > suffix.size() && host.ends_with(suffix)) return true;
    }
    return false;
}

}  // namespace

TelemetryConfiguration TelemetryConfiguration::bundled(const std::string& app, const Bundle& bundle)
{
    TelemetryConfiguration configuration;
    configuration.app = app;
    configuration.bundleIdentifier = bundle.identifier().value_or("studio.veldran." + app);
    configuration.projectToken = bundle.text("VeldranAnalyticsProjectToken");
    configuration.sentryDSN = bundle.text("VeldranSentryDSN");
    configuration.environment = bundle.text("VeldranTelemetryEnvironment").value_or("development");
    configuration.version = bundle.text("CFBundleShortVersionString").value_or("development");
    configuration.build = bundle.text("CFBundleVersion").value_or("development");
    configuration.analyticsIPStorageDisabled = bundle.boolean("VeldranAnalyticsIPStorageDisabled").value_or(false);
    configuration.sentryIPStorageDisabled = bundle.boolean("VeldranSentryIPStorageDisabled").value_or(false);
    configuration.sentryGeolocationDisabled = bundle.boolean("VeldranSentryGeolocationDisabled").value_or(false);
    return configuration;
}

bool TelemetryConfiguration::validBetaBuild() const
{
    return isSnakeCaseName(app) && environment == "beta" && isMarketingVersion(version) && isBuildNumber(build);
}

bool TelemetryConfiguration::usageAvailable() const
{
    return validBetaBuild() && analyticsIPStorageDisabled && projectToken && projectToken->starts_with("phc_");
}

bool TelemetryConfiguration::diagnosticsAvailable() const
{
    if (!validBetaBuild() || !sentryIPStorageDisabled || !sentryGeolocationDisabled || !sentryDSN) return false;
    const auto dsn = Dsn::parse(*sentryDSN);
    return dsn && dsn->scheme == "https" && !dsn->host.empty() && !dsn->password && dsn->user && !dsn->user->empty()
           && !dsn->port && hasIngestHost(dsn->host) && isSignedInteger(dsn->lastPathComponent());
}

nlohmann::ordered_json TelemetryConfiguration::properties() const
{
    return {
        {"platform", platformName()},
        {"surface", "native"},
        {"schema_version", 1},
        {"app", app},
        {"app_version", version},
        {"app_build", build},
        {"environment", environment},
        {"os_version", osVersion()},
        {"architecture", architectureName()},
        {"$process_person_profile", false},
        {"$geoip_disable", true},
        {"$ip", nullptr},
    };
}

std::string TelemetryConfiguration::releaseName() const
{
    return bundleIdentifier + "@" + version + "+" + build;
}

}  // namespace veldran

#include "VeldranTelemetry/CrashReporter.hpp"

#include "VeldranTelemetry/CrashClient.hpp"
#include "VeldranTelemetry/DiagnosticSanitizer.hpp"
#include "VeldranTelemetry/DiagnosticStorage.hpp"
#include "VeldranTelemetry/PrivateNetworkAccess.hpp"

#include <QNetworkAccessManager>

namespace veldran {

CrashReporter::CrashReporter(const std::string& bundleIdentifier, QSettings& defaults,
                             std::unique_ptr<DiagnosticStorage> storage, SanitizedEventObserver observeSanitizedEvent,
                             std::optional<QUrl> ingestOrigin)
    : storage_(storage ? std::move(storage)
                       : std::make_unique<DiagnosticStorage>(QString::fromStdString(bundleIdentifier), defaults)),
      observeSanitizedEvent_(std::move(observeSanitizedEvent)),
      ingestOrigin_(std::move(ingestOrigin))
{
}

// Disarms the client on the way out but deletes nothing: only stopAndPurge() purges.
CrashReporter::~CrashReporter() = default;

void CrashReporter::start(const TelemetryConfiguration& configuration)
{
    if (!configuration.diagnosticsAvailable() || active_) return;
    const auto folder = storage_->directoryForConsentedRun();
    if (!folder) return;
    session_.reset(PrivateNetworkAccess::makeManager(nullptr));
    gate_ = std::make_shared<DiagnosticConsentGate>();
    gate_->open();
    active_ = true;

    CrashClientOptions options;
    options.dsn = *configuration.sentryDSN;
    options.environment = configuration.environment;
    options.releaseName = configuration.releaseName();
    options.cacheDirectoryPath = *folder;
    options.session = session_.get();
    options.beforeSend = [gate = gate_, configuration,
                          observer = observeSanitizedEvent_](CrashEvent event) -> std::optional<CrashEvent> {
        if (!gate->isOpen()) return std::nullopt;
        auto sanitized = DiagnosticSanitizer::sanitize(std::move(event), configuration);
        if (sanitized && observer) observer(*sanitized);
        return sanitized;
    };
    client_ = std::make_unique<CrashClient>(ingestOrigin_);
    if (!client_->start(std::move(options))) {
        gate_->close();
        client_.reset();
        session_.reset();
        active_ = false;
    }
}

void CrashReporter::stopAndPurge()
{
    gate_->close();
    session_.reset();
    if (active_) client_->close();
    client_.reset();
    active_ = false;
    storage_->purge();
}

void CrashReporter::captureFailure(const std::string& name,
                                   const std::optional<std::pair<std::string, std::string>>& detail)
{
    if (!active_ || !gate_->isOpen()) return;
    std::map<std::string, std::string> tags;
    if (detail) tags.insert(*detail);
    client_->capture(CrashLevel::error, name, tags);
}

}  // namespace veldran

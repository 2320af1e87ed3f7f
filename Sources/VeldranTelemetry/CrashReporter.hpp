#pragma once

#include "VeldranTelemetry/CrashEvent.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"

#include <QUrl>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class QNetworkAccessManager;
class QSettings;

namespace veldran {

class CrashClient;
class DiagnosticStorage;

// The crash and failure reporting back end of the telemetry object.
class CrashReporting {
public:
    virtual ~CrashReporting() = default;
    virtual void start(const TelemetryConfiguration& configuration) = 0;
    virtual void stopAndPurge() = 0;
    virtual void captureFailure(const std::string& name,
                                const std::optional<std::pair<std::string, std::string>>& detail) = 0;
};

// A lock-guarded switch read by the before-send hook on whatever thread sends, written by the main thread.
class DiagnosticConsentGate {
public:
    void open() { set(true); }
    void close() { set(false); }
    bool isOpen() const
    {
        std::lock_guard guard(lock_);
        return value_;
    }

private:
    void set(bool value)
    {
        std::lock_guard guard(lock_);
        value_ = value;
    }

    mutable std::mutex lock_;
    bool value_ = false;
};

// Starts crash reporting with locked-down options when the build and the user allow it, stops it and deletes
// every stored diagnostic when consent is withdrawn, and sends failure reports. Every outgoing event passes
// the consent gate and then the sanitizer.
class CrashReporter final : public CrashReporting {
public:
    using SanitizedEventObserver = std::function<void(const CrashEvent&)>;

    // Without a storage it makes one for the bundle identifier in the default cache folder. ingestOrigin
    // (tests only) redirects uploads to a loopback origin.
    CrashReporter(const std::string& bundleIdentifier, QSettings& defaults,
                  std::unique_ptr<DiagnosticStorage> storage = nullptr,
                  SanitizedEventObserver observeSanitizedEvent = {}, std::optional<QUrl> ingestOrigin = std::nullopt);
    ~CrashReporter() override;

    void start(const TelemetryConfiguration& configuration) override;
    void stopAndPurge() override;
    void captureFailure(const std::string& name,
                        const std::optional<std::pair<std::string, std::string>>& detail) override;

    bool isActive() const noexcept { return active_; }
    // The client while active: lets callers follow the uploads of stored reports.
    CrashClient* client() const noexcept { return client_.get(); }

private:
    std::shared_ptr<DiagnosticConsentGate> gate_ = std::make_shared<DiagnosticConsentGate>();
    std::unique_ptr<QNetworkAccessManager> session_;
    bool active_ = false;
    std::unique_ptr<DiagnosticStorage> storage_;
    SanitizedEventObserver observeSanitizedEvent_;
    std::optional<QUrl> ingestOrigin_;
    std::unique_ptr<CrashClient> client_;
};

}  // namespace veldran

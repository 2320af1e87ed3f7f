#pragma once

#include "VeldranTelemetry/AnalyticsTransport.hpp"
#include "VeldranTelemetry/CrashReporter.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"
#include "VeldranTelemetry/TelemetryEvent.hpp"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QSettings;

namespace veldran {

// The one object through which the application reports beta usage events and failures, behind the build's
// gates and the user's two consents (stored in the settings, on until turned off). Use from the main thread.
//
//     Telemetry telemetry(TelemetryConfiguration::bundled("tilvane", Bundle::main()), settings);
//     telemetry.start();                                        // once launching has finished
//     telemetry.record(TilvaneEvent::exportStarted, TilvaneExportFormat::png);
//
// where rawValue(TilvaneEvent), rawValue(TilvaneExportFormat) and detailKey(TilvaneExportFormat) are the
// application's own functions (see TelemetryEvent.hpp).
class Telemetry : public QObject {
    Q_OBJECT

public:
    using Detail = std::pair<std::string, std::string>;
    // Milliseconds since 1970.
    using Clock = std::function<std::int64_t()>;

    static constexpr const char* usageConsentKey = "betaUsageConsent";
    static constexpr const char* diagnosticsConsentKey = "betaDiagnosticsConsent";
    static constexpr const char* installationKey = "betaAnonymousInstallation";

    // Without a transport or a crash reporter it makes its own; reads the stored consents and sends nothing.
    Telemetry(TelemetryConfiguration configuration, QSettings& defaults,
              std::unique_ptr<AnalyticsTransport> transport = nullptr,
              std::unique_ptr<CrashReporting> diagnostics = nullptr, Clock clock = {}, QObject* parent = nullptr);
    ~Telemetry() override;

    const TelemetryConfiguration& configuration() const noexcept { return configuration_; }
    bool usageAvailable() const { return configuration_.usageAvailable(); }
    bool diagnosticsAvailable() const { return configuration_.diagnosticsAvailable(); }

    bool usageEnabled() const { return usageConsent_ && usageAvailable(); }
    void setUsageEnabled(bool enabled);
    bool diagnosticsEnabled() const { return diagnosticsConsent_ && diagnosticsAvailable(); }
    void setDiagnosticsEnabled(bool enabled);

    // Once per run, at launch: applies the stored consents and sends "app_opened".
    void start();

    template <TelemetryEvent Event>
    void record(Event event)
    {
        send(std::string(rawValue(event)), std::nullopt);
    }

    template <TelemetryEvent Event, TelemetryDetail DetailValue>
    void record(Event event, DetailValue detail)
    {
        send(std::string(rawValue(event)), detailOf(detail));
    }

    // As record, and also a failure report to the crash reporter when diagnostics are on.
    template <TelemetryEvent Event>
    void recordFailure(Event event)
    {
        recordFailure(std::string(rawValue(event)), std::nullopt);
    }

    template <TelemetryEvent Event, TelemetryDetail DetailValue>
    void recordFailure(Event event, DetailValue detail)
    {
        recordFailure(std::string(rawValue(event)), detailOf(detail));
    }

    void feedbackOpened();

signals:
    void usageEnabledChanged(bool enabled);
    void diagnosticsEnabledChanged(bool enabled);

private:
    template <TelemetryDetail DetailValue>
    static Detail detailOf(DetailValue detail)
    {
        return {std::string(detailKey(detail)), std::string(rawValue(detail))};
    }

    void send(const std::string& name, const std::optional<Detail>& detail);
    void recordFailure(const std::string& name, const std::optional<Detail>& detail);
    std::optional<std::string> eventName(const std::string& name) const;
    bool validDetail(const Detail& detail) const;
    std::string installationIdentifier();
    std::int64_t nextEventTime();
    void forgetInstallation();

    QSettings& defaults_;
    TelemetryConfiguration configuration_;
    std::unique_ptr<AnalyticsTransport> transport_;
    std::unique_ptr<CrashReporting> diagnostics_;
    Clock clock_;
    bool usageConsent_ = true;
    bool diagnosticsConsent_ = true;
    bool started_ = false;
    std::optional<std::string> openingRecordedForIdentifier_;
    std::int64_t lastEventTime_ = 0;
};

}  // namespace veldran

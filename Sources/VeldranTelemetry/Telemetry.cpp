#include "VeldranTelemetry/Telemetry.hpp"

#include "VeldranTelemetry/DiagnosticStorage.hpp"
#include "VeldranTelemetry/PostHogTransport.hpp"
#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <QDateTime>
#include <QSettings>
#include <QUuid>

#include <chrono>

namespace veldran {
namespace {

constexpr const char* appOpened = "app_opened";

// A stored Boolean, also as the "true"/"false" text an INI file gives back; anything else counts as absent.
std::optional<bool> storedBoolean(const QSettings& defaults, const char* key)
{
    const QVariant value = defaults.value(QLatin1String(key));
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        if (value.toString() == QLatin1String("true")) return true;
        if (value.toString() == QLatin1String("false")) return false;
    }
    return std::nullopt;
}

std::int64_t systemMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

Telemetry::Telemetry(TelemetryConfiguration configuration, QSettings& defaults,
                     std::unique_ptr<AnalyticsTransport> transport, std::unique_ptr<CrashReporting> diagnostics,
                     Clock clock, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      configuration_(std::move(configuration)),
      transport_(transport ? std::move(transport) : std::make_unique<PostHogTransport>()),
      diagnostics_(diagnostics ? std::move(diagnostics)
                               : std::make_unique<CrashReporter>(configuration_.bundleIdentifier, defaults)),
      clock_(clock ? std::move(clock) : Clock(systemMilliseconds)),
      usageConsent_(storedBoolean(defaults, usageConsentKey).value_or(true)),
      diagnosticsConsent_(storedBoolean(defaults, diagnosticsConsentKey).value_or(true))
{
}

Telemetry::~Telemetry() = default;

void Telemetry::setUsageEnabled(bool enabled)
{
    if (enabled == usageConsent_) return;
    const bool wasEnabled = usageEnabled();
    usageConsent_ = enabled && usageAvailable();
    defaults_.setValue(QLatin1String(usageConsentKey), usageConsent_);
    if (usageConsent_) {
        send(appOpened, std::nullopt);
    } else {
        transport_->cancel();
        forgetInstallation();
    }
    if (usageEnabled() != wasEnabled) emit usageEnabledChanged(usageEnabled());
}

void Telemetry::setDiagnosticsEnabled(bool enabled)
{
    if (enabled == diagnosticsConsent_) return;
    const bool wasEnabled = diagnosticsEnabled();
    diagnosticsConsent_ = enabled && diagnosticsAvailable();
    defaults_.setValue(QLatin1String(diagnosticsConsentKey), diagnosticsConsent_);
    if (diagnosticsEnabled())
        diagnostics_->start(configuration_);
    else
        diagnostics_->stopAndPurge();
    if (diagnosticsEnabled() != wasEnabled) emit diagnosticsEnabledChanged(diagnosticsEnabled());
}

void Telemetry::start()
{
    if (started_) return;
    started_ = true;
    if (!usageEnabled()) {
        transport_->cancel();
        forgetInstallation();
    }
    if (diagnosticsEnabled())
        diagnostics_->start(configuration_);
    else
        diagnostics_->stopAndPurge();
    send(appOpened, std::nullopt);
}

void Telemetry::feedbackOpened()
{
    send("feedback_opened", std::nullopt);
}

void Telemetry::recordFailure(const std::string& name, const std::optional<Detail>& detail)
{
    send(name, detail);
    const auto fullName = eventName(name);
    if (!diagnosticsConsent_ || !diagnosticsAvailable() || !fullName) return;
    if (detail && !validDetail(*detail)) return;
    diagnostics_->captureFailure(*fullName, detail);
}

std::optional<std::string> Telemetry::eventName(const std::string& name) const
{
    if (!isSnakeCaseName(name)) return std::nullopt;
    return configuration_.app + "_" + name;
}

bool Telemetry::validDetail(const Detail& detail) const
{
    return isSnakeCaseName(detail.first) && !configuration_.properties().contains(detail.first)
           && isDetailValue(detail.second);
}

void Telemetry::send(const std::string& name, const std::optional<Detail>& detail)
{
    if (!usageEnabled() || !configuration_.projectToken) return;
    const auto fullName = eventName(name);
    if (!fullName || (detail && !validDetail(*detail))) return;
    if (name != appOpened && !openingRecordedForIdentifier_) send(appOpened, std::nullopt);

    const std::string identifier = installationIdentifier();
    if (name == appOpened) {
        if (openingRecordedForIdentifier_ == identifier) return;
        openingRecordedForIdentifier_ = identifier;
    }
    auto properties = configuration_.properties();
    if (detail) properties[detail->first] = detail->second;
    const QString time = QDateTime::fromMSecsSinceEpoch(nextEventTime(), Qt::UTC).toString(Qt::ISODateWithMs);
    nlohmann::ordered_json event;
    event["event"] = *fullName;
    event["distinct_id"] = identifier;
    event["properties"] = std::move(properties);
    event["timestamp"] = time.toStdString();
    nlohmann::ordered_json batch;
    batch["api_key"] = *configuration_.projectToken;
    batch["batch"] = nlohmann::ordered_json::array();
    batch["batch"].push_back(std::move(event));
    std::string body;
    try {
        body = batch.dump();
    } catch (const nlohmann::json::exception&) {
        return;
    }
    transport_->send(QByteArray::fromStdString(body));
}

std::string Telemetry::installationIdentifier()
{
    const QVariant stored = defaults_.value(QLatin1String(installationKey));
    if (stored.typeId() == QMetaType::QString) {
        const std::string text = stored.toString().toStdString();
        if (isUuidText(text)) return text;
    }
    const QString fresh = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    defaults_.setValue(QLatin1String(installationKey), fresh);
    return fresh.toStdString();
}

// Whole milliseconds, strictly increasing: max(now, last + 1).
std::int64_t Telemetry::nextEventTime()
{
    lastEventTime_ = std::max(clock_(), lastEventTime_ + 1);
    return lastEventTime_;
}

void Telemetry::forgetInstallation()
{
    defaults_.remove(QLatin1String(installationKey));
}

}  // namespace veldran

#include "Tilvane/App/AppTelemetry.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/Telemetry.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"
#include "VeldranUpdater/AppUpdater.hpp"

#include <QSettings>

namespace tilvane {

veldran::Telemetry& AppTelemetry::shared()
{
    static QSettings defaults;
    static veldran::Telemetry telemetry(veldran::TelemetryConfiguration::bundled("tilvane", veldran::Bundle::main()),
                                        defaults);
    return telemetry;
}

veldran::AppUpdater& AppUpdates::shared()
{
    static veldran::AppUpdater updater(QStringLiteral("tilvane"));
    return updater;
}

void AppTelemetrySink::record(TilvaneEvent event, std::optional<TilvaneExportFormat> format)
{
    if (format) {
        AppTelemetry::shared().record(event, *format);
    } else {
        AppTelemetry::shared().record(event);
    }
}

void AppTelemetrySink::recordFailure(TilvaneEvent event, std::optional<TilvaneExportFormat> format)
{
    if (format) {
        AppTelemetry::shared().recordFailure(event, *format);
    } else {
        AppTelemetry::shared().recordFailure(event);
    }
}

}  // namespace tilvane

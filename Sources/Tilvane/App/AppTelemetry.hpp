#pragma once

#include "Tilvane/Editor/EditorServices.hpp"

namespace veldran {
class AppUpdater;
class Telemetry;
}  // namespace veldran

namespace tilvane {

// The process's telemetry object, made on first use from the main bundle for the application "tilvane".
class AppTelemetry {
public:
    static veldran::Telemetry& shared();
};

// The process's updater for the application "tilvane", made on first use.
class AppUpdates {
public:
    static veldran::AppUpdater& shared();
};

// Hands the editor's events to AppTelemetry::shared().
class AppTelemetrySink : public TelemetrySink {
public:
    void record(TilvaneEvent event, std::optional<TilvaneExportFormat> format) override;
    void recordFailure(TilvaneEvent event, std::optional<TilvaneExportFormat> format) override;
};

}  // namespace tilvane

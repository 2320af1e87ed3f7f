#pragma once

#include <QString>
#include <QWidget>

namespace veldran {

class Telemetry;
class TelemetrySettingsSection;

// The privacy piece of the application's settings window: the privacy section, padded and 430 wide.
class TelemetrySettingsView : public QWidget {
    Q_OBJECT

public:
    TelemetrySettingsView(Telemetry& telemetry, const QString& appName, const QString& neverSent,
                          QWidget* parent = nullptr);

    TelemetrySettingsSection& section() const { return *section_; }

private:
    TelemetrySettingsSection* section_;
};

}  // namespace veldran

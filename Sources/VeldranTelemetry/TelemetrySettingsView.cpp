#include "VeldranTelemetry/TelemetrySettingsView.hpp"

#include "VeldranTelemetry/TelemetrySettingsSection.hpp"

#include <QVBoxLayout>

namespace veldran {

TelemetrySettingsView::TelemetrySettingsView(Telemetry& telemetry, const QString& appName, const QString& neverSent,
                                             QWidget* parent)
    : QWidget(parent), section_(new TelemetrySettingsSection(telemetry, appName, neverSent, this))
{
    setFixedWidth(430);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 26, 26, 26);
    layout->addWidget(section_);
}

}  // namespace veldran

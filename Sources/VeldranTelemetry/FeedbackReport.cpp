#include "VeldranTelemetry/FeedbackReport.hpp"

#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"

namespace veldran {

QString feedbackReport(const TelemetryConfiguration& configuration, const QString& appName, const QString& message)
{
    return QStringLiteral("Feedback do ") + appName + QLatin1Char('\n') + QStringLiteral("Versão: ")
           + QString::fromStdString(configuration.version) + QStringLiteral(" (")
           + QString::fromStdString(configuration.build) + QStringLiteral(")\n") + QStringLiteral("Linux: ")
           + QString::fromStdString(osVersion()) + QLatin1Char('\n') + QStringLiteral("Arquitetura: ")
           + QLatin1String(architectureName()) + QLatin1Char('\n') + QLatin1Char('\n') + message;
}

QUrl feedbackMailURL(const QString& report)
{
    return QUrl::fromEncoded("mailto:?body=" + QUrl::toPercentEncoding(report), QUrl::StrictMode);
}

bool isShareableFeedback(const QString& message)
{
    return !message.trimmed().isEmpty();
}

}  // namespace veldran

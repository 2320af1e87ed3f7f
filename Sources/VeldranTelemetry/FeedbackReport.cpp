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
    QString body = report;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Each "%" of the encoded body starts a triplet, so "%0A" is a line feed and nothing else.
    const QByteArray encoded = QUrl::toPercentEncoding(body).replace("%0A", "%0D%0A");
    return QUrl::fromEncoded("mailto:?body=" + encoded, QUrl::StrictMode);
}

QString typedText(const QString& rawDocumentText)
{
    QString text = rawDocumentText;
    for (QChar& character : text) {
        if (character == QChar::ParagraphSeparator || character == QChar::LineSeparator) character = u'\n';
    }
    return text;
}

bool isShareableFeedback(const QString& message)
{
    return !message.trimmed().isEmpty();
}

}  // namespace veldran

#pragma once

#include <QString>
#include <QUrl>

namespace veldran {

struct TelemetryConfiguration;

// The text shared from the feedback form: a short technical header, an empty line, then the message exactly
// as typed.
QString feedbackReport(const TelemetryConfiguration& configuration, const QString& appName, const QString& message);

// A `mailto:` address with no recipient and no subject whose body is `report`, every character but the unreserved
// ones percent-encoded, so that "&", "=", "+", "#", "%" and line breaks reach the mail client unchanged.
QUrl feedbackMailURL(const QString& report);

// Whether the message holds anything but white space and line breaks.
bool isShareableFeedback(const QString& message);

}  // namespace veldran

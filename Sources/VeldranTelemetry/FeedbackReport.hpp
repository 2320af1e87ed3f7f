#pragma once

#include <QString>

namespace veldran {

struct TelemetryConfiguration;

// The text shared from the feedback form: a short technical header, an empty line, then the message exactly
// as typed.
QString feedbackReport(const TelemetryConfiguration& configuration, const QString& appName, const QString& message);

// Whether the message holds anything but white space and line breaks.
bool isShareableFeedback(const QString& message);

}  // namespace veldran

#pragma once

#include <QString>
#include <QUrl>

namespace veldran {

struct TelemetryConfiguration;

// The text shared from the feedback form: a short technical header, an empty line, then the message exactly
// as typed.
QString feedbackReport(const TelemetryConfiguration& configuration, const QString& appName, const QString& message);

// A `mailto:` address with no recipient and no subject whose body is `report`, every character but the unreserved
// ones percent-encoded, so that "&", "=", "+", "#", "%" and line breaks reach the mail client unchanged. Every line
// break ("\n", "\r\n" or "\r") is written "%0D%0A", as mail bodies have them (RFC 6068).
QUrl feedbackMailURL(const QString& report);

// The text a user typed into a text document, from the document's raw text: its paragraph and line separators
// (U+2029, U+2028) become line feeds, and every other character stays as typed (a no-break space too).
QString typedText(const QString& rawDocumentText);

// Whether the message holds anything but white space and line breaks.
bool isShareableFeedback(const QString& message);

}  // namespace veldran

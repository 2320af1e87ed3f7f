#pragma once

#include "VeldranTelemetry/TelemetryFeedbackView.hpp"

#include <QPointer>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace veldran {

class Telemetry;

// "Privacidade e beta": the two consent switches with their explanations, what is never sent, and the
// button that opens the feedback sheet. Switches show the effective consents and are disabled where the
// build does not allow them.
class TelemetrySettingsSection : public QWidget {
    Q_OBJECT

public:
    TelemetrySettingsSection(Telemetry& telemetry, QString appName, const QString& neverSent,
                             QWidget* parent = nullptr);

    // The feedback sheet while it is shown.
    TelemetryFeedbackView* feedbackView() const { return feedback_; }

private:
    void refresh();
    void openFeedback();

    Telemetry& telemetry_;
    QString appName_;
    QCheckBox* usageSwitch_;
    QCheckBox* diagnosticsSwitch_;
    QLabel* diagnosticsNote_;
    QPointer<TelemetryFeedbackView> feedback_;
};

}  // namespace veldran

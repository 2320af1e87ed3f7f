#pragma once

#include "VeldranTelemetry/TelemetryConfiguration.hpp"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace veldran {

// The feedback sheet: the user types a message and copies it, with a short technical header, to the
// clipboard to share it as they choose. Nothing is stored or sent.
class TelemetryFeedbackView : public QDialog {
    Q_OBJECT

public:
    TelemetryFeedbackView(TelemetryConfiguration configuration, QString appName, QWidget* parent = nullptr);

    QString report() const;

private:
    void share();

    TelemetryConfiguration configuration_;
    QString appName_;
    QPlainTextEdit* message_;
    QPushButton* share_;
};

}  // namespace veldran

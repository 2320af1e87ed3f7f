#pragma once

#include "VeldranTelemetry/TelemetryConfiguration.hpp"

#include <QDialog>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace veldran {

// The feedback sheet: the user types a message and shares it, with a short technical header, through a menu of
// choices under the share button: copy it to the clipboard, or hand it to the desktop's mail client. Nothing is
// stored or sent by the sheet itself, and sharing leaves it open, saying "Copiado." or that no mail client opened.
class TelemetryFeedbackView : public QDialog {
    Q_OBJECT

public:
    TelemetryFeedbackView(TelemetryConfiguration configuration, QString appName, QWidget* parent = nullptr);

    QString report() const;

private:
    void showShareChoices();
    void copyReport();
    void mailReport();
    QString message() const;
    // Shows `note` (or none) in place of the one shown.
    void showNote(QLabel* note);

    TelemetryConfiguration configuration_;
    QString appName_;
    QPlainTextEdit* message_;
    QPushButton* share_;
    QMenu* shareChoices_;
    QLabel* copiedNote_;
    QLabel* mailFailedNote_;
};

}  // namespace veldran

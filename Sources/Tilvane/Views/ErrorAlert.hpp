#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace tilvane {

// The alert that tells a failure: "Não foi possível concluir" with the message below and the button "OK". It
// deletes itself when closed; the caller opens it.
QMessageBox* makeErrorAlert(const QString& message, QWidget* parent);

}  // namespace tilvane

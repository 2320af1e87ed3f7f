#include "Tilvane/Views/ErrorAlert.hpp"

#include <QMessageBox>

namespace tilvane {

QMessageBox* makeErrorAlert(const QString& message, QWidget* parent)
{
    const QString title = QStringLiteral("Não foi possível concluir");
    auto* alert = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, parent);
    alert->setObjectName(QStringLiteral("errorAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alert->setInformativeText(message);
    return alert;
}

}  // namespace tilvane

#include "VeldranUpdater/DialogUserDriver.hpp"

#include <QMessageBox>
#include <QPushButton>

namespace veldran {
namespace {

bool askUser(const QString& title, const QString& text, const QString& informativeText, const QString& acceptTitle,
             const QString& rejectTitle)
{
    QMessageBox box(QMessageBox::Question, title, text);
    box.setInformativeText(informativeText);
    QPushButton* accept = box.addButton(acceptTitle, QMessageBox::AcceptRole);
    QPushButton* reject = box.addButton(rejectTitle, QMessageBox::RejectRole);
    box.setDefaultButton(reject);
    box.exec();
    return box.clickedButton() == accept;
}

QString itemName(const AppcastItem& item)
{
    return item.title.isEmpty() ? item.displayVersion : item.title;
}

}  // namespace

bool DialogUserDriver::confirmDownload(const AppcastItem& item)
{
    return askUser(QStringLiteral("Atualização disponível"),
                   QStringLiteral("Uma nova versão está disponível: %1.").arg(itemName(item)),
                   QStringLiteral("Nada é baixado sem a sua confirmação. Deseja baixá-la agora?"),
                   QStringLiteral("Baixar"), QStringLiteral("Agora não"));
}

bool DialogUserDriver::confirmInstall(const AppcastItem& item)
{
    return askUser(QStringLiteral("Instalar atualização"),
                   QStringLiteral("%1 foi baixada e verificada.").arg(itemName(item)),
                   QStringLiteral("O aplicativo será fechado, atualizado e aberto de novo."),
                   QStringLiteral("Instalar e reiniciar"), QStringLiteral("Cancelar"));
}

void DialogUserDriver::showUpToDate()
{
    QMessageBox::information(nullptr, QStringLiteral("Buscar atualizações"),
                             QStringLiteral("Você já está usando a versão mais recente."));
}

void DialogUserDriver::showFailure(const QString& message)
{
    QMessageBox::warning(nullptr, QStringLiteral("Não foi possível atualizar"), message);
}

}  // namespace veldran

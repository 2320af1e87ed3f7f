#include "Tilvane/Views/PresetSheets.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/PresetNameSheet.hpp"

#include <QMessageBox>
#include <QPushButton>

namespace tilvane {

PresetSheets::PresetSheets(ContentView& view, QWidget* window) : QObject(window), view_(view), window_(window) {}

void PresetSheets::present()
{
    presentNameSheet();
    presentDeleteAlert();
}

void PresetSheets::presentNameSheet()
{
    const auto& state = view_.state();
    if (!state.showingNameDialog) {
        if (nameSheet_) nameSheet_->close();
        return;
    }
    if (nameSheet_ || !window_->isVisible()) return;
    const auto title = state.nameDialogMode == NameDialogMode::create ? QStringLiteral("Salvar Preset")
                                                                      : QStringLiteral("Renomear Preset");
    nameSheet_ = new PresetNameSheet(
        title, QString::fromStdString(state.presetName), [this] { return view_.commitNameDialog(); }, window_);
    nameSheet_->setObjectName(QStringLiteral("presetNameSheet"));
    nameSheet_->setAttribute(Qt::WA_DeleteOnClose);
    connect(nameSheet_, &PresetNameSheet::nameEdited, this,
            [this](const QString& name) { view_.setPresetName(name.toStdString()); });
    connect(nameSheet_, &QDialog::rejected, this, [this] { view_.cancelNameDialog(); });
    nameSheet_->open();
}

void PresetSheets::presentDeleteAlert()
{
    const auto& state = view_.state();
    if (!state.showingDeleteAlert) {
        if (deleteAlert_) deleteAlert_->close();
        return;
    }
    if (deleteAlert_ || !window_->isVisible()) return;
    const auto name = state.presetPendingDeletion
                          ? QString::fromStdString(shownPresetName(state.presetPendingDeletion->name))
                          : QStringLiteral("pessoal");
    const auto title = QStringLiteral("Excluir preset ") + name + QStringLiteral("?");
    deleteAlert_ = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, window_);
    deleteAlert_->setObjectName(QStringLiteral("deletePresetAlert"));
    deleteAlert_->setAttribute(Qt::WA_DeleteOnClose);
    deleteAlert_->setInformativeText(QStringLiteral("O preset será removido deste computador."));
    auto* remove = deleteAlert_->addButton(QStringLiteral("Excluir preset"), QMessageBox::DestructiveRole);
    auto* cancel = deleteAlert_->addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    remove->setObjectName(QStringLiteral("confirmDeletePreset"));
    cancel->setObjectName(QStringLiteral("cancelDeletePreset"));
    // A destructive choice takes a deliberate Tab or its own press: Return and Space at once keep the preset.
    deleteAlert_->setDefaultButton(cancel);
    connect(remove, &QPushButton::clicked, this, [this] { view_.confirmDeletePreset(); });
    connect(cancel, &QPushButton::clicked, this, [this] { view_.cancelDeletePreset(); });
    connect(deleteAlert_, &QMessageBox::rejected, this, [this] {
        if (view_.state().showingDeleteAlert) view_.cancelDeletePreset();
    });
    deleteAlert_->open();
}

}  // namespace tilvane

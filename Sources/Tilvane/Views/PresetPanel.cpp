#include "Tilvane/Views/PresetPanel.hpp"

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/WrappedText.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace tilvane {

PresetPanel::PresetPanel(QWidget* parent) : VTWindow(QStringLiteral("Seus presets"), QStringLiteral("▢"), {}, parent)
{
    auto* column = addContentColumn(*this, 8);
    const auto newRow = [column] {
        auto* row = new QHBoxLayout;
        row->setSpacing(8);
        column->addLayout(row);
        return row;
    };

    nameRow_ = new QWidget;
    auto* nameRow = new QHBoxLayout(nameRow_);
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->setSpacing(8);
    name_ = new WrappedText(QString(), VTTextStyle::pixelSM, &VTTheme::fgMuted);  // a long name wraps beside the chip
    name_->setObjectName(QStringLiteral("presetNameCaption"));
    draft_ = new VTChip(QStringLiteral("rascunho"));
    draft_->setObjectName(QStringLiteral("presetDraftChip"));
    nameRow->addWidget(name_);
    nameRow->addWidget(draft_);
    nameRow->addStretch(1);
    column->addWidget(nameRow_);

    auto* actions = newRow();
    create_ = addButton(QStringLiteral("Criar novo preset"), QStringLiteral("plus"), "createPreset",
                        &PresetPanel::createRequested);
    save_ = addButton(QStringLiteral("Salvar alterações"), QStringLiteral("square.and.arrow.down"), "savePreset",
                      &PresetPanel::saveRequested);
    rename_ = addButton(QStringLiteral("Renomear preset"), QStringLiteral("pencil"), "renamePreset",
                        &PresetPanel::renameRequested);
    restore_ = addButton(QStringLiteral("Restaurar valores salvos"), QStringLiteral("arrow.uturn.backward"),
                         "restorePreset", &PresetPanel::restoreRequested);
    delete_ = addButton(QStringLiteral("Excluir preset pessoal"), QStringLiteral("trash"), "deletePreset",
                        &PresetPanel::deleteRequested);
    for (auto* button : {create_, save_, rename_, restore_, delete_}) actions->addWidget(button);
    actions->addStretch(1);

    auto* files = newRow();
    files->addWidget(new PixelCaption(QStringLiteral("Arquivo")));
    files->addStretch(1);
    import_ = addButton(QStringLiteral("Importar preset JSON"), QStringLiteral("tray.and.arrow.down"), "importPreset",
                        &PresetPanel::importRequested);
    export_ = addButton(QStringLiteral("Exportar preset salvo"), QStringLiteral("square.and.arrow.up"), "exportPreset",
                        &PresetPanel::exportRequested);
    files->addWidget(import_);
    files->addWidget(export_);
    setState({});
}

PresetActionButton* PresetPanel::addButton(const QString& title, const QString& symbol, const char* name,
                                           void (PresetPanel::*request)())
{
    auto* button = new PresetActionButton(title, symbol);
    button->setObjectName(QLatin1String(name));
    connect(button, &QAbstractButton::clicked, this, request);
    return button;
}

void PresetPanel::setState(const PresetPanelState& state)
{
    const auto rules = presetButtonRules(state);
    setActive(state.selected.has_value());
    nameRow_->setHidden(!state.selected);
    draft_->setHidden(!state.hasUnsavedChanges);
    if (state.selected) {
        const auto name = QString::fromStdString(state.selected->name);
        name_->setText(QString::fromStdString(shownPresetName(state.selected->name)), name);
        const auto deleteTitle = QStringLiteral("Excluir preset pessoal ") + name;
        delete_->setToolTip(deleteTitle);
        delete_->setAccessibleName(deleteTitle);
    }
    create_->setEnabled(rules.createEnabled);
    // Before they are turned off or hidden: a focused button that is would send the focus on down the window, out
    // of sight.
    if (!rules.selectionButtonsShown) moveFocusOffSelectionButtons();
    save_->setEnabled(rules.saveEnabled);
    restore_->setEnabled(rules.restoreEnabled);
    import_->setEnabled(rules.importEnabled);
    export_->setEnabled(rules.exportEnabled);
    for (auto* button : selectionButtons()) button->setHidden(!rules.selectionButtonsShown);
}

void PresetPanel::moveFocusOffSelectionButtons()
{
    QWidget* focused = window()->focusWidget();
    const auto buttons = selectionButtons();
    if (focused == nullptr || !focused->isVisible() || !create_->isEnabled()
        || std::find(buttons.begin(), buttons.end(), focused) == buttons.end())
        return;
    create_->setFocus(VTKeyboardFocus::isShownOn(*focused) ? Qt::TabFocusReason : Qt::OtherFocusReason);
    emit focusMoved(create_);
}

}  // namespace tilvane

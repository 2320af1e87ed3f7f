#include "Tilvane/Views/InspectorColumn.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Views/InspectorPanel.hpp"
#include "Tilvane/Views/PresetPanel.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"

#include <QVBoxLayout>

namespace tilvane {

InspectorColumn::InspectorColumn(ContentView& view, QWidget* parent) : QWidget(parent), view_(view)
{
    setObjectName(QStringLiteral("inspector"));
    setFixedWidth(columnWidth);
    vtPage(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel_ = new InspectorPanel(view_.builtInPresets());
    layout->addWidget(panel_);

    connect(panel_, &InspectorPanel::visualEdited, &view_, &ContentView::setVisual);
    connect(panel_, &InspectorPanel::maxDimensionEdited, &view_, &ContentView::setMaxDimension);
    connect(panel_, &InspectorPanel::removeShaderRequested, &view_, &ContentView::removeShader);
    connect(panel_, &InspectorPanel::controlsRebuilt, this, &InspectorColumn::controlsRebuilt);
    auto* presets = panel_->presetPanel();
    connect(presets, &PresetPanel::createRequested, &view_, &ContentView::beginCreatePreset);
    connect(presets, &PresetPanel::saveRequested, &view_, [this] { view_.saveSelectedPreset(); });
    connect(presets, &PresetPanel::renameRequested, &view_, &ContentView::beginRenamePreset);
    connect(presets, &PresetPanel::restoreRequested, &view_, &ContentView::restoreSavedPreset);
    connect(presets, &PresetPanel::deleteRequested, &view_, &ContentView::requestDeletePreset);
    connect(presets, &PresetPanel::importRequested, &view_, &ContentView::importPersonalPreset);
    connect(presets, &PresetPanel::exportRequested, &view_, &ContentView::exportSelectedPreset);
}

void InspectorColumn::refresh()
{
    const auto& state = view_.state();
    panel_->setValues({
        .visual = state.visual,
        .shaderID = state.shaderID,
        .maxDimension = state.maxDimension,
        .selectedPersonalPreset = view_.selectedPersonalPreset(),
        .hasUnsavedChanges = view_.hasUnsavedChanges(),
        .presetStoreAvailable = state.presetStoreAvailable,
        .reduceMotion = state.reduceMotion,
    });
}

}  // namespace tilvane

#include "Tilvane/Views/InspectorPanel.hpp"

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/DitherPanel.hpp"
#include "Tilvane/Views/ImageAdjustmentsPanel.hpp"
#include "Tilvane/Views/PalettePanel.hpp"
#include "Tilvane/Views/PixelSizePanel.hpp"
#include "Tilvane/Views/PresetPanel.hpp"
#include "Tilvane/Views/ScreenPanel.hpp"
#include "Tilvane/Views/ScrollAnchor.hpp"
#include "Tilvane/Views/ShaderInspector.hpp"
#include "Tilvane/Views/WorkingSizePanel.hpp"

#include <QVBoxLayout>

namespace tilvane {

InspectorScrollTarget scrollTargetFor(const PresetSelection& shaderID)
{
    if (!shaderID) return InspectorScrollTarget::screenControls;
    if (shaderID->starts_with(personalSelectionPrefix)) return InspectorScrollTarget::personalPresetControls;
    return InspectorScrollTarget::shaderControls;
}

InspectorPanel::InspectorPanel(std::vector<ShaderPreset> builtInPresets, ColorPicker picker, QWidget* parent)
    : QScrollArea(parent), anchor_(new ScrollAnchor(*this))
{
    setObjectName(QStringLiteral("inspectorPanel"));
    // The controls are the keyboard's stops and the column scrolls to show the focused one; the column is no stop.
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("inspectorContent"));
    // The content is as wide as the viewport whatever its blocks ask for, so that its margins never change: a row
    // that asks for more room is narrowed instead of widening the column under the scroll bar.
    content->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(24);

    shader_ = new ShaderInspector(std::move(builtInPresets), picker);
    shader_->setObjectName(QStringLiteral("shaderControls"));
    connect(shader_, &ShaderInspector::configurationEdited, this, [this](const ShaderConfiguration& configuration) {
        auto edited = values_.visual;
        edited.shader = configuration;
        values_.visual = edited;
        emit visualEdited(edited);
    });
    connect(shader_, &ShaderInspector::restorePersonalRequested, this, &InspectorPanel::visualEdited);
    connect(shader_, &ShaderInspector::removeRequested, this, &InspectorPanel::removeShaderRequested);
    connect(shader_, &ShaderInspector::controlsRebuilt, this, &InspectorPanel::controlsRebuilt);
    connect(shader_, &ShaderInspector::keyboardFocusMoved, anchor_, &ScrollAnchor::keepInView);

    palette_ = new PalettePanel(picker);
    palette_->setObjectName(QStringLiteral("visualControls"));
    pixelSize_ = new PixelSizePanel;
    pixelSize_->setObjectName(QStringLiteral("pixelControls"));
    presets_ = new PresetPanel;
    presets_->setObjectName(QStringLiteral("personalPresetControls"));
    connect(presets_, &PresetPanel::focusMoved, anchor_, &ScrollAnchor::keepInView);
    adjustments_ = new ImageAdjustmentsPanel;
    adjustments_->setObjectName(QStringLiteral("imageControls"));
    dither_ = new DitherPanel;
    dither_->setObjectName(QStringLiteral("ditherControls"));
    screen_ = new ScreenPanel;
    screen_->setObjectName(QStringLiteral("screenControls"));
    workingSize_ = new WorkingSizePanel;
    workingSize_->setObjectName(QStringLiteral("workingSizeControls"));
    connect(workingSize_, &WorkingSizePanel::maxDimensionEdited, this, [this](int maxDimension) {
        values_.maxDimension = maxDimension;
        emit maxDimensionEdited(maxDimension);
    });

    visualPanels_ = {palette_, pixelSize_, adjustments_, dither_, screen_};
    for (QWidget* block : std::initializer_list<QWidget*>{shader_, palette_, pixelSize_, presets_, adjustments_,
                                                          dither_, screen_, workingSize_}) {
        column->addWidget(block);
    }
    column->addStretch(1);
    for (VisualPanel* panel : visualPanels_) {
        connect(panel, &VisualPanel::visualEdited, this, [this](const VisualSettings& edited) {
            values_.visual = edited;
            emit visualEdited(edited);
        });
    }
    setWidget(content);
    // The column's page colour shows through: the scroll area would fill the content with the palette's window
    // colour, which is not the page colour in every theme.
    content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    display(values_);
}

QWidget* InspectorPanel::scrollTarget(InspectorScrollTarget target) const
{
    switch (target) {
    case InspectorScrollTarget::shaderControls:
        return shader_;
    case InspectorScrollTarget::personalPresetControls:
        return presets_;
    case InspectorScrollTarget::screenControls:
        return screen_;
    }
    return shader_;
}

void InspectorPanel::setValues(const InspectorValues& values)
{
    // The window's first values are its initial selection, which does not scroll.
    const bool selectionChanged = received_ && values.shaderID != values_.shaderID;
    received_ = true;
    display(values);
    if (selectionChanged) anchor_->hold(scrollTarget(scrollTargetFor(values.shaderID)));
}

void InspectorPanel::display(const InspectorValues& values)
{
    values_ = values;
    shader_->setPresetID(values.shaderID);
    shader_->setPersonalPreset(values.selectedPersonalPreset);
    shader_->setConfiguration(values.visual.shader);
    shader_->setReduceMotion(values.reduceMotion);
    for (VisualPanel* panel : visualPanels_) panel->setVisual(values.visual);
    presets_->setState({values.selectedPersonalPreset, values.hasUnsavedChanges, values.presetStoreAvailable});
    workingSize_->setMaxDimension(values.maxDimension);
}

}  // namespace tilvane

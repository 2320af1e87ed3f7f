#include "Tilvane/Views/ScreenPanel.hpp"

#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include <QVBoxLayout>

namespace tilvane {
namespace {

using ScreenField = float ScreenSettings::*;

}  // namespace

ScreenPanel::ScreenPanel(QWidget* parent) : VisualPanel(QStringLiteral("Tela"), false, parent)
{
    auto* column = addContentColumn(*this, 12);

    const auto addSwitch = [&](const QString& title, const char* name, ScreenField field) {
        auto* control = new PixelSwitch(title);
        control->setObjectName(QLatin1String(name));
        connect(control, &PixelSwitch::valueEdited, this, [this, field](bool on) {
            edit([&](VisualSettings& visual) { visual.screen.*field = on ? switchedOnStrength : 0.0f; });
        });
        column->addWidget(control);
        return control;
    };
    const auto addSlider = [&](const QString& label, const char* name, ScreenField field) {
        auto* control = new ShaderValueControl(label, {0.0f, 1.0f});
        control->setObjectName(QLatin1String(name));
        connect(control, &ShaderValueControl::valueEdited, this,
                [this, field](float value) { edit([&](VisualSettings& visual) { visual.screen.*field = value; }); });
        column->addWidget(control);
        return control;
    };
    const auto addCaption = [&](const QString& title, const char* name) {
        auto* caption = new WrappedText(title, VTTextStyle::pixelSM, &VTTheme::fgMuted);
        caption->setObjectName(QLatin1String(name));
        column->addWidget(caption);
        return caption;
    };

    scanlineSwitch_ = addSwitch(QStringLiteral("Varredura"), "scanlineSwitch", &ScreenSettings::scanlineStrength);
    scanlineStrength_ = addSlider(QStringLiteral("Intensidade"), "scanlineStrength", &ScreenSettings::scanlineStrength);
    scanlineThickness_ =
        addSlider(QStringLiteral("Espessura"), "scanlineThickness", &ScreenSettings::scanlineThickness);
    scanlineCaption_ = addCaption(QStringLiteral("Varredura Controlada Pelo Shader"), "scanlineCaption");
    column->addWidget(new VTHairline(Qt::Horizontal));
    glowSwitch_ = addSwitch(QStringLiteral("Brilho do monitor"), "glowSwitch", &ScreenSettings::glowStrength);
    glowStrength_ = addSlider(QStringLiteral("Intensidade"), "glowStrength", &ScreenSettings::glowStrength);
    glowCaption_ = addCaption(QStringLiteral("Brilho Controlado Pelo Shader"), "glowCaption");
}

void ScreenPanel::refresh()
{
    const auto& screen = visual().screen;
    const bool shaderScanlines = ScreenSettings::shaderProvidesScanlines(visual().shader);
    const bool shaderGlow = ScreenSettings::shaderProvidesGlow(visual().shader);
    scanlineSwitch_->setOn(screen.scanlineStrength > 0);
    scanlineStrength_->setValue(screen.scanlineStrength);
    scanlineThickness_->setValue(screen.scanlineThickness);
    for (QWidget* control : {static_cast<QWidget*>(scanlineSwitch_), static_cast<QWidget*>(scanlineStrength_),
                             static_cast<QWidget*>(scanlineThickness_)}) {
        control->setEnabled(!shaderScanlines);
    }
    scanlineCaption_->setVisible(shaderScanlines);
    glowSwitch_->setOn(screen.glowStrength > 0);
    glowStrength_->setValue(screen.glowStrength);
    glowSwitch_->setEnabled(!shaderGlow);
    glowStrength_->setEnabled(!shaderGlow);
    glowCaption_->setVisible(shaderGlow);
}

}  // namespace tilvane

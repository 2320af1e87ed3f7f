#include "Tilvane/Views/ImageAdjustmentsPanel.hpp"

#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "VemiTerminal/Components/VTButton.hpp"

#include <QVBoxLayout>

namespace tilvane {
namespace {

struct Adjustment {
    const char* label;
    const char* name;
    float ImageAdjustments::*field;
    float lower;
    float upper;
};

constexpr std::array<Adjustment, 3> adjustments{{
    {"Exposição", "exposure", &ImageAdjustments::exposure, -2.0f, 2.0f},
    {"Contraste", "contrast", &ImageAdjustments::contrast, 0.5f, 1.5f},
    {"Gamma", "gamma", &ImageAdjustments::gamma, 0.5f, 2.0f},
}};

}  // namespace

ImageAdjustmentsPanel::ImageAdjustmentsPanel(QWidget* parent) : VisualPanel(QStringLiteral("Imagem"), false, parent)
{
    auto* column = addContentColumn(*this, 12);
    for (std::size_t index = 0; index < adjustments.size(); ++index) {
        const auto& adjustment = adjustments[index];
        auto* control =
            new ShaderValueControl(QString::fromUtf8(adjustment.label), {adjustment.lower, adjustment.upper});
        control->setObjectName(QLatin1String(adjustment.name));
        connect(control, &ShaderValueControl::valueEdited, this, [this, field = adjustment.field](float value) {
            edit([&](VisualSettings& visual) { visual.adjustments.*field = value; });
        });
        column->addWidget(control);
        controls_[index] = control;
    }
    restore_ = new VTButton(QStringLiteral("Restaurar Ajustes"), vtPixel);
    restore_->setObjectName(QStringLiteral("restoreAdjustments"));
    connect(restore_, &QAbstractButton::clicked, this,
            [this] { edit([](VisualSettings& visual) { visual.adjustments = ImageAdjustments{}; }); });
    column->addWidget(restore_, 0, Qt::AlignLeft);
}

void ImageAdjustmentsPanel::refresh()
{
    const auto& current = visual().adjustments;
    for (std::size_t index = 0; index < adjustments.size(); ++index) {
        controls_[index]->setValue(current.*adjustments[index].field);
    }
    restore_->setEnabled(!(current.exposure == 0 && current.contrast == 1 && current.gamma == 1));
}

}  // namespace tilvane

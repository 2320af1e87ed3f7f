#include "Tilvane/Views/ShaderParameterControls.hpp"

#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "TilvaneShaders/Model/ShaderParameter.hpp"
#include "VemiTerminal/Components/VTText.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tilvane {

namespace shader_parameters {
namespace {

constexpr int rasterSpacing = 4;
constexpr int rowSpacing = 8;
constexpr float switchFallbackThreshold = 0.5f;

QString controlName(const char* kind, int index, const std::string& key)
{
    return QStringLiteral("%1:%2:%3").arg(QLatin1String(kind)).arg(index).arg(QString::fromStdString(key));
}

QWidget* numberControl(ShaderConfigurationBinding& binding, int index, const ShaderParameter& parameter)
{
    auto* control = new ShaderValueControl(QString::fromStdString(parameter.label), parameter.range);
    control->setObjectName(controlName("parameter", index, parameter.key));
    binding.bindValue(control, index, parameter.key, parameter.standard);
    return control;
}

QWidget* switchControl(ShaderConfigurationBinding& binding, int index, const ShaderParameter& parameter)
{
    auto* control = new PixelSwitch(QString::fromStdString(parameter.label));
    control->setObjectName(controlName("parameter", index, parameter.key));
    binding.bind([&binding, control, index, key = parameter.key, fallback = parameter.standard](const auto&) {
        control->setOn(binding.value(index, key, fallback) >= switchFallbackThreshold);
    });
    QObject::connect(control, &PixelSwitch::valueEdited, control, [&binding, index, key = parameter.key](bool on) {
        binding.writePass(index, [&](ShaderPass& pass) { pass.settings[key] = on ? 1.0f : 0.0f; });
    });
    return control;
}

QWidget* colorControl(ShaderConfigurationBinding& binding, int index, const ShaderParameter& parameter,
                      const ColorPicker& picker)
{
    const QString title = QString::fromStdString(parameter.label);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(rowSpacing);
    layout->addWidget(new VTText(title, VTTextStyle::pixelSM));
    layout->addStretch(1);
    auto* well = new ColorWell(title, picker);
    well->setObjectName(controlName("parameter", index, parameter.key));
    well->setAccessibleName(title);
    layout->addWidget(well);
    binding.bind([&binding, well, index, prefix = parameter.key](const auto&) {
        const ColorValue color = storedColor(binding, index, prefix);
        well->setColor(displayColor(color.red, color.green, color.blue));
    });
    QObject::connect(well, &ColorWell::picked, well, [&binding, index, prefix = parameter.key](const QColor& picked) {
        const auto components = srgbComponents(picked);
        if (!components) return;
        binding.writePass(index, [&](ShaderPass& pass) {
            pass.settings[prefix + "R"] = static_cast<float>(components->red);
            pass.settings[prefix + "G"] = static_cast<float>(components->green);
            pass.settings[prefix + "B"] = static_cast<float>(components->blue);
        });
    });
    return row;
}

QWidget* rasterControl(ShaderConfigurationBinding& binding, int index, const ShaderParameter& parameter)
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(rasterSpacing);
    layout->addWidget(new PixelCaption(QString::fromStdString(parameter.label)));
    auto* grid = newChoiceGrid();
    for (int choice = 0; choice < static_cast<int>(rasterChoices.size()); ++choice) {
        auto* chip = new PixelChoiceButton(rasterChoices[static_cast<std::size_t>(choice)]);
        chip->setObjectName(controlName("raster", index, parameter.key) + QStringLiteral(":%1").arg(choice));
        addChoice(*grid, chip, choice);
        // A missing value selects "Varredura", whatever the table's standard says.
        binding.bind([&binding, chip, index, choice, key = parameter.key](const auto&) {
            chip->setSelected(rasterSelection(binding.value(index, key, 1)) == choice);
        });
        QObject::connect(chip, &QAbstractButton::clicked, chip, [&binding, index, choice, key = parameter.key] {
            binding.writePass(index, [&](ShaderPass& pass) { pass.settings[key] = static_cast<float>(choice); });
        });
    }
    layout->addLayout(grid);
    return column;
}

}  // namespace

bool isCurvatureKey(std::string_view key)
{
    return key == "curvature" || key == "curveX" || key == "curveY" || key == "warpStrength";
}

std::optional<int> rasterSelection(float stored)
{
    if (!std::isfinite(stored)) return std::nullopt;
    const float nearest = std::round(stored);
    if (nearest < 0 || nearest >= static_cast<float>(rasterChoices.size())) return std::nullopt;
    return static_cast<int>(nearest);
}

ColorValue storedColor(const ShaderConfigurationBinding& binding, int index, const std::string& prefix)
{
    const ColorValue unset{0, 0.02f, 0.09f};
    if (binding.pass(index) == nullptr) return unset;
    const bool phosphor = prefix == "phosphor";
    return {binding.value(index, prefix + "R", 0), binding.value(index, prefix + "G", phosphor ? 0.8f : unset.green),
            binding.value(index, prefix + "B", phosphor ? 0.4f : unset.blue)};
}

void addControls(QBoxLayout* layout, ShaderConfigurationBinding& binding, int index, const std::string& effect,
                 const ColorPicker& picker)
{
    const std::vector<ShaderParameter> table = ShaderParameter::forEffect(effect);
    const bool bezelOn = binding.current() && binding.current()->bezel.isOn;
    for (const auto& parameter : table) {
        if (bezelOn && isCurvatureKey(parameter.key)) continue;
        switch (parameter.kind) {
        case ShaderParameter::Kind::number:
            layout->addWidget(numberControl(binding, index, parameter));
            break;
        case ShaderParameter::Kind::color:
            layout->addWidget(colorControl(binding, index, parameter, picker));
            break;
        case ShaderParameter::Kind::raster:
            layout->addWidget(rasterControl(binding, index, parameter));
            break;
        case ShaderParameter::Kind::switchValue:
            layout->addWidget(switchControl(binding, index, parameter));
            break;
        }
    }
    const bool ownsCurvature =
        std::any_of(table.begin(), table.end(), [](const ShaderParameter& p) { return isCurvatureKey(p.key); });
    if (bezelOn && ownsCurvature) {
        auto* note = new WrappedText(QStringLiteral("Curvatura Controlada Pela Moldura"), VTTextStyle::pixelSM,
                                     &VTTheme::fgMuted);
        note->setObjectName(QStringLiteral("curvatureNote:%1").arg(index));
        layout->addWidget(note);
    }
}

}  // namespace shader_parameters

}  // namespace tilvane

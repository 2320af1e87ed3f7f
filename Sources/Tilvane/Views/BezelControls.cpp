#include "Tilvane/Views/BezelControls.hpp"

#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tilvane {

namespace bezel_controls {
namespace {

constexpr int rowSpacing = 8;
constexpr float unboundValue = 0.5f;

std::optional<std::uint32_t> parseHex(QStringView digits)
{
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == u'+' || digits.front() == u'-')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    if (digits.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar digit : digits) {
        const int nibble = digit >= u'0' && digit <= u'9'   ? digit.unicode() - u'0'
                           : digit >= u'a' && digit <= u'f' ? digit.unicode() - u'a' + 10
                           : digit >= u'A' && digit <= u'F' ? digit.unicode() - u'A' + 10
                                                            : -1;
        if (nibble < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(nibble);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    if (negative && value != 0) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

int channel(double component)
{
    return std::clamp(static_cast<int>(std::round(component * 255)), 0, 255);
}

ShaderValueControl* slider(ShaderConfigurationBinding& binding, const QString& label, ShaderValueControl::Range range,
                           const char* name, float BezelSettings::*field)
{
    auto* control = new ShaderValueControl(label, range);
    control->setObjectName(QLatin1String(name));
    binding.bind([control, field](const ShaderConfigurationBinding::Configuration& configuration) {
        control->setValue(configuration ? configuration->bezel.*field : unboundValue);
    });
    QObject::connect(control, &ShaderValueControl::valueEdited, control, [&binding, field](float value) {
        binding.write([&](ShaderConfiguration& configuration) { configuration.bezel.*field = value; });
    });
    return control;
}

}  // namespace

const std::array<Material, 6>& materials()
{
    static const std::array<Material, 6> table{{{QStringLiteral("Grafite"), "#161718"},
                                                {QStringLiteral("Preto"), "#050505"},
                                                {QStringLiteral("Bege"), "#C5BA9A"},
                                                {QStringLiteral("Marfim"), "#E4DECC"},
                                                {QStringLiteral("Cinza"), "#90999C"},
                                                {QStringLiteral("Bronze"), "#8A634A"}}};
    return table;
}

QColor colorFromText(const std::string& text)
{
    const QString whole = QString::fromStdString(text);
    const qsizetype first = whole.isEmpty() ? 0 : whole.front().isHighSurrogate() && whole.size() > 1 ? 2 : 1;
    const std::uint32_t value = parseHex(QStringView(whole).mid(first)).value_or(defaultColor);
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::optional<std::string> textFromColor(const std::optional<QColor>& picked)
{
    const auto components = srgbComponents(picked);
    if (!components) return std::nullopt;
    return QString::asprintf("#%02X%02X%02X", channel(components->red), channel(components->green),
                             channel(components->blue))
        .toStdString();
}

void addControls(QBoxLayout* layout, ShaderConfigurationBinding& binding, const BezelSettings& bezel,
                 const ColorPicker& picker)
{
    auto* bezelSwitch = new PixelSwitch(QStringLiteral("Moldura"));
    bezelSwitch->setObjectName(QStringLiteral("bezelSwitch"));
    binding.bind([bezelSwitch](const ShaderConfigurationBinding::Configuration& configuration) {
        bezelSwitch->setOn(configuration && configuration->bezel.isOn);
    });
    QObject::connect(bezelSwitch, &PixelSwitch::valueEdited, bezelSwitch, [&binding](bool on) {
        binding.write([on](ShaderConfiguration& configuration) { configuration.bezel.isOn = on; });
    });
    layout->addWidget(bezelSwitch);
    if (!bezel.isOn) return;

    layout->addWidget(
        slider(binding, QStringLiteral("Curvatura"), {0, 3}, "bezelCurvature", &BezelSettings::curvature));
    layout->addWidget(slider(binding, QStringLiteral("Profundidade"), {0, 1}, "bezelDepth", &BezelSettings::depth));
    layout->addWidget(slider(binding, QStringLiteral("Suavidade do reflexo"), {0, 1}, "bezelReflection",
                             &BezelSettings::reflectionSoftness));
    layout->addWidget(new PixelCaption(QStringLiteral("Material")));

    auto* grid = newChoiceGrid();
    for (std::size_t i = 0; i < materials().size(); ++i) {
        const Material& material = materials()[i];
        auto* chip = new PixelChoiceButton(material.name);
        chip->setObjectName(QStringLiteral("material:") + material.name);
        addChoice(*grid, chip, static_cast<int>(i));
        binding.bind([chip, color = material.color](const ShaderConfigurationBinding::Configuration& configuration) {
            chip->setSelected(configuration && configuration->bezel.color == color);
        });
        QObject::connect(chip, &QAbstractButton::clicked, chip, [&binding, color = material.color] {
            binding.write([&](ShaderConfiguration& configuration) { configuration.bezel.color = color; });
        });
    }
    layout->addLayout(grid);

    auto* colorRow = new QHBoxLayout;
    colorRow->setSpacing(rowSpacing);
    colorRow->addWidget(new PixelCaption(QStringLiteral("Cor Personalizada")));
    colorRow->addStretch(1);
    auto* well = new ColorWell(QStringLiteral("Cor personalizada"), picker);
    well->setObjectName(QStringLiteral("bezelColorWell"));
    well->setAccessibleName(QStringLiteral("Cor personalizada da moldura"));
    binding.bind([well](const ShaderConfigurationBinding::Configuration& configuration) {
        well->setColor(colorFromText(configuration ? configuration->bezel.color : std::string("#161718")));
    });
    QObject::connect(well, &ColorWell::picked, well, [&binding](const QColor& picked) {
        const auto text = textFromColor(picked);
        if (!text) return;
        binding.write([&](ShaderConfiguration& configuration) { configuration.bezel.color = *text; });
    });
    colorRow->addWidget(well);
    layout->addLayout(colorRow);
}

}  // namespace bezel_controls

}  // namespace tilvane

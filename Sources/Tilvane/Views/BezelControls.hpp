#pragma once

#include "Tilvane/Views/ColorPicker.hpp"
#include "Tilvane/Views/ShaderConfigurationBinding.hpp"

#include <QColor>
#include <QString>
#include <array>
#include <optional>
#include <string>

class QBoxLayout;

namespace tilvane {

// The content of the inspector's "Moldura" window: the bezel switch and, while the bezel is on, its curvature,
// depth and reflection sliders, six materials and a free colour.
namespace bezel_controls {

struct Material {
    QString name;
    std::string color;  // "#RRGGBB", compared exactly
};
// "Grafite", "Preto", "Bege", "Marfim", "Cinza", "Bronze".
const std::array<Material, 6>& materials();

// 0x161718.
inline constexpr unsigned defaultColor = 0x161718;

// The colour a stored text shows: its first character dropped, the rest read as a hexadecimal number that fits in 32
// bits (optionally signed; "-0" is zero), else the default; only the lowest 24 bits count.
QColor colorFromText(const std::string& text);
// "#RRGGBB" of a picked colour's sRGB components, rounded and clamped; nothing when it cannot be converted.
std::optional<std::string> textFromColor(const std::optional<QColor>& picked);

// Appends the panel's controls for `bezel` to `layout`, bound through `binding`.
void addControls(QBoxLayout* layout, ShaderConfigurationBinding& binding, const BezelSettings& bezel,
                 const ColorPicker& picker);

}  // namespace bezel_controls

}  // namespace tilvane

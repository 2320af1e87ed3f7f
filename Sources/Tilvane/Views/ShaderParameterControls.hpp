#pragma once

#include "Tilvane/Views/ColorPicker.hpp"
#include "Tilvane/Views/ShaderConfigurationBinding.hpp"

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>

class QBoxLayout;

namespace tilvane {

// The controls of one pass's effect parameters, as the shader inspector lists them under the intensity: a value
// control per number, a colour well per colour (three keys: prefix + "R", "G", "B"), four raster chips, or a
// switch. While the bezel is on it owns the screen curvature: the curvature keys are hidden and a note says so.
namespace shader_parameters {

// "curvature", "curveX", "curveY", "warpStrength".
bool isCurvatureKey(std::string_view key);

// "Suave", "Varredura", "Pontos", "RGB", stored as their index.
inline const std::array<QString, 4> rasterChoices{QStringLiteral("Suave"), QStringLiteral("Varredura"),
                                                  QStringLiteral("Pontos"), QStringLiteral("RGB")};
// The raster choice a stored value selects: the nearest index (halves away from zero); nothing for a value that is
// not finite or does not round to a choice.
std::optional<int> rasterSelection(float stored);

struct ColorValue {
    float red;
    float green;
    float blue;
    friend bool operator==(const ColorValue&, const ColorValue&) = default;
};
// The colour stored under `prefix` in pass `index`: missing channels take (0, 0.8, 0.4) for "phosphor" and
// (0, 0.02, 0.09) otherwise; (0, 0.02, 0.09) without configuration or pass.
ColorValue storedColor(const ShaderConfigurationBinding& binding, int index, const std::string& prefix);

// Appends the controls of pass `index` (effect `effect`) to `layout`, bound through `binding`.
void addControls(QBoxLayout* layout, ShaderConfigurationBinding& binding, int index, const std::string& effect,
                 const ColorPicker& picker);

}  // namespace shader_parameters

}  // namespace tilvane

#pragma once

#include "Tilvane/Views/VisualPanel.hpp"

namespace tilvane {

class PixelSwitch;
class ShaderValueControl;
class WrappedText;

// "Tela": the screen-wide scanlines and glow. A group is disabled, and says so, while a pass of
// the shader draws that effect itself; its stored values are kept.
class ScreenPanel : public VisualPanel {
    Q_OBJECT
public:
    // The strength a switch turned on writes.
    static constexpr float switchedOnStrength = 0.35f;

    explicit ScreenPanel(QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    PixelSwitch* scanlineSwitch_;
    ShaderValueControl* scanlineStrength_;
    ShaderValueControl* scanlineThickness_;
    WrappedText* scanlineCaption_;
    PixelSwitch* glowSwitch_;
    ShaderValueControl* glowStrength_;
    WrappedText* glowCaption_;
};

}  // namespace tilvane

#pragma once

#include "Tilvane/Views/VisualPanel.hpp"

#include <array>

namespace tilvane {

class PixelCaption;
class PixelChoiceButton;

// "Dither": one choice per dithering mode and a caption that depends on the palette.
class DitherPanel : public VisualPanel {
    Q_OBJECT
public:
    explicit DitherPanel(QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    std::array<PixelChoiceButton*, 3> choices_{};
    PixelCaption* caption_;
};

}  // namespace tilvane

#pragma once

#include "Tilvane/Views/VisualPanel.hpp"

#include <array>

class VTButton;

namespace tilvane {

class ShaderValueControl;

// "Imagem": exposure, contrast and gamma within the ranges the converter accepts, and a button that
// puts all three back to neutral.
class ImageAdjustmentsPanel : public VisualPanel {
    Q_OBJECT
public:
    explicit ImageAdjustmentsPanel(QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    std::array<ShaderValueControl*, 3> controls_{};
    VTButton* restore_;
};

}  // namespace tilvane

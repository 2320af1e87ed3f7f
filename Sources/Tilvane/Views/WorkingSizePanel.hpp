#pragma once

#include "VemiTerminal/Components/VTWindow.hpp"

#include <array>

namespace tilvane {

class PixelChoiceButton;

// "Trabalho": the longest side a picture is reduced to when it is loaded, 1024, 2048 or 4096.
class WorkingSizePanel : public VTWindow {
    Q_OBJECT
public:
    static constexpr std::array<int, 3> sizes{1024, 2048, 4096};

    explicit WorkingSizePanel(QWidget* parent = nullptr);

    // Shows the size without emitting.
    void setMaxDimension(int maxDimension);

signals:
    void maxDimensionEdited(int maxDimension);

private:
    std::array<PixelChoiceButton*, sizes.size()> choices_{};
};

}  // namespace tilvane

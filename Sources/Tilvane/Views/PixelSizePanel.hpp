#pragma once

#include "Tilvane/Views/VisualPanel.hpp"

class QHBoxLayout;
class VTGlyph;

namespace tilvane {

class PixelSlider;

// "Pixel": the block size as a badge, "−" and "+" buttons and a slider, all within 2...40.
class PixelSizePanel : public VisualPanel {
    Q_OBJECT
public:
    static constexpr int smallest = 2;
    static constexpr int largest = 40;

    explicit PixelSizePanel(QWidget* parent = nullptr);

protected:
    void refresh() override;

private:
    void writePixelSize(std::int64_t pixelSize);

    QHBoxLayout* badgeRow_;
    VTGlyph* badge_ = nullptr;
    PixelSlider* slider_;
};

}  // namespace tilvane

#pragma once

#include "Tilvane/Views/PixelTrackControl.hpp"

#include "TilvaneShaders/Model/ShaderParameter.hpp"

namespace tilvane {

// The labelled slider of one Float setting: the caption with the value printed at its right end, and under it a
// 20-px track area with an 8-px track and a 12 × 20 thumb. A press in the track area, and the drag it starts,
// write lower + span × t with no stepping; the caption line takes no press; the accessibility actions and the
// arrow keys step by a twentieth of the span, Page Up and Page Down by a tenth. Disabled, it is drawn at half opacity
// and ignores every write.
class ShaderValueControl : public PixelTrackControl {
    Q_OBJECT
public:
    using Range = ShaderParameter::Range;

    static constexpr int trackAreaHeight = 20;
    static constexpr int captionSpacing = 4;

    ShaderValueControl(const QString& label, Range range, QWidget* parent = nullptr);

    float value() const { return value_; }
    void setValue(float value);
    const Range& range() const { return range_; }
    QString label() const { return label_; }

    // The value printed as it is: no decimals for a span of 100 or more, three below 0.1, else two.
    QString formatted() const;
    QRect trackArea() const override;
    // The value a pointer at `x` of a track area `width` wide gives; a position that is not a number counts as 0.
    static float valueForPointer(double x, double width, Range range);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QString accessibleValue() const override { return formatted(); }
    void accessibleIncrement() override;
    void accessibleDecrement() override;

signals:
    void valueEdited(float value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void writeFromPointer(double x) override;
    void writeBound(bool upper) override;
    void stepPage(int direction) override;

private:
    float span() const { return range_.upperBound - range_.lowerBound; }
    float stepBase() const;
    // Writes the value one `parts`-th of the span above stepBase() (`direction` 1) or below it (-1), stopping at the
    // bound it goes towards.
    void step(int direction, float parts);
    int captionHeight() const;
    void write(float value);

    QString label_;
    Range range_;
    float value_;
};

}  // namespace tilvane

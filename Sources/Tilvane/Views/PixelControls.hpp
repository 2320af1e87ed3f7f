#pragma once

#include "Tilvane/Views/AccessibleControl.hpp"
#include "Tilvane/Views/PixelTrackControl.hpp"

#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Components/VTText.hpp"

#include <QAbstractButton>
#include <QWidget>

class VTKeyboardFocus;

namespace tilvane {

// The editor's small square-cornered controls. Each reads the theme of its window on every paint, outlines with a
// 1-px stroke inside its bounds and redraws at once (no animation). Values come in through setters that do not
// emit; a user's write is reported through a signal.

// A muted caption: the title verbatim in `pixelSM`, `fgMuted`.
class PixelCaption : public VTText {
    Q_OBJECT
public:
    explicit PixelCaption(const QString& title, QWidget* parent = nullptr);
};

// How a switch is laid out, named at the call site: `PixelSwitch(title, {.compact = true})`.
struct PixelSwitchOptions {
    bool compact = false;  // the track alone, without the title beside it
};

// An on/off switch: a 48 × 24 track whose 18-px knob sits left when off and right when on, after the title in
// `pixelMD` (left out when compact). The whole row toggles on a click, which also gives it focus, and Space
// toggles it; focus the keyboard uses draws the kit's focus ring in `fg` around the track, 1 px clear of its
// outline, in a margin the switch keeps for it on every side of the track, so that the track and the knob look the
// same focused or not. Inside a disabled container it is drawn at half opacity and does not react.
class PixelSwitch : public QWidget, public AccessibleControl {
    Q_OBJECT
public:
    static constexpr int trackWidth = 48;
    static constexpr int trackHeight = 24;
    static constexpr int knobSide = 18;
    // Room around the track for the focus ring: a 1-px gap, then the 2-px ring.
    static constexpr int ringMargin = 3;

    explicit PixelSwitch(const QString& title, PixelSwitchOptions options = {}, QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    QString title() const { return title_; }
    // Where the track lies in the widget's coordinates: at the right end, centred from top to bottom, inside the
    // ring's margin.
    QRect trackRect() const;
    // The rectangle whose inner 2 px the focus ring covers.
    QRect focusRingRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QString accessibleValue() const override;
    bool isAccessibleCheckable() const override { return true; }
    bool isAccessibleChecked() const override { return on_; }
    bool isAccessiblePressable() const override { return true; }
    void accessiblePress() override { toggleByUser(); }

signals:
    void valueEdited(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void toggleByUser();
    void describe();

    QString title_;
    bool compact_;
    bool on_ = false;
    bool pressed_ = false;
    VTKeyboardFocus* keyboardFocus_;
};

// A selectable chip around a label: `pixelMD`, padded 8 and 4, filled `barBgActive` while selected (whatever
// the pointer does), `chipBg` under the pointer or while pressed, else `bgWindow`; 1-px `border` outline. The
// label is the text centred across the chip, or, with a trailing widget (a palette swatch), the text at the left
// on one line and the widget at the right end, at least 8 px after it. The click action is the caller's
// (`clicked`). Focus the keyboard uses draws the kit's focus ring just inside the outline, in the label's colour.
class PixelChoiceButton : public QAbstractButton, public AccessibleControl {
    Q_OBJECT
public:
    explicit PixelChoiceButton(const QString& label, QWidget* trailing = nullptr, QWidget* parent = nullptr);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isHovering() const { return hovering_; }
    // The label's colour: `barFgActive` while selected, else `fg`.
    QColor foreground() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    bool isAccessibleSelectable() const override { return true; }
    bool isAccessibleSelected() const override { return selected_; }
    bool isAccessiblePressable() const override { return true; }
    void accessiblePress() override { click(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor background() const;
    void placeTrailing();

    QWidget* trailing_;
    bool selected_ = false;
    bool hovering_ = false;
    VTKeyboardFocus* keyboardFocus_;
};

// The colour of a label that has none of its own at `widget`: a choice button's label colour inside one, else the
// surrounding text colour (a kit window's content colour, else `fg`).
QColor labelForeground(const QWidget* widget);

// A strip of at most `limit` 8 × 12 squares sampled evenly from a palette's colours, outlined as one row; "∵"
// for a palette without colours.
class PaletteSwatch : public QWidget {
    Q_OBJECT
public:
    static constexpr int squareWidth = 8;
    static constexpr int squareHeight = 12;

    PaletteSwatch(const ImagePalette& palette, int limit, QWidget* parent = nullptr);

    void setPalette(const ImagePalette& palette);
    bool showsGlyph() const { return palette_.colors.empty(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RGBColor> sampled() const;

    ImagePalette palette_;
    int limit_;
};

// An integer slider: a 20-px band, centred in the height it is given, across the width it is given (see
// PixelTrackControl); the accessibility actions and the arrow keys step by 1, Page Up and Page Down by a tenth of
// the range rounded to whole steps (at least 1).
class PixelSlider : public PixelTrackControl {
    Q_OBJECT
public:
    static constexpr int height = 20;

    PixelSlider(int lower, int upper, const QString& label, QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    int lower() const { return lower_; }
    int upper() const { return upper_; }

    // The value a pointer at `x` gives on a slider `width` wide; a position that is not a number counts as 0.
    static int valueForPointer(double x, double width, int lower, int upper);

    QRect trackArea() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QString accessibleValue() const override;
    void accessibleIncrement() override;
    void accessibleDecrement() override;

signals:
    void valueEdited(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void writeFromPointer(double x) override;
    void writeBound(bool upper) override;
    void stepPage(int direction) override;

private:
    void write(int value);

    int value_;
    int lower_;
    int upper_;
};

// A 1-px rule in `border`, as long as its container allows.
class VTHairline : public QWidget {
    Q_OBJECT
public:
    explicit VTHairline(Qt::Orientation axis, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation axis_;
};

}  // namespace tilvane

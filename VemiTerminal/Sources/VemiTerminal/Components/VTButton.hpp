#pragma once

#include "VemiTerminal/Components/VTOverflowLayer.hpp"

class VTKeyboardFocus;

#include <QAbstractButton>
#include <QPointer>
#include <QStringList>
#include <optional>

// The kit's button looks. `primary`: a pink block that darkens under the pointer or while pressed; `ghost`: bare
// muted text, underlined under the pointer; `pixel` and `pixelPink`: a bordered block with a hard shadow that
// sinks 2 pt into it while pressed.
struct VTButtonStyle {
    enum class Kind { primary, ghost, pixel, pixelPink };
    Kind kind;

    bool operator==(const VTButtonStyle&) const = default;
};

inline constexpr VTButtonStyle vtPrimary{VTButtonStyle::Kind::primary};
inline constexpr VTButtonStyle vtGhost{VTButtonStyle::Kind::ghost};
inline constexpr VTButtonStyle vtPixel{VTButtonStyle::Kind::pixel};
inline constexpr VTButtonStyle vtPixelPink{VTButtonStyle::Kind::pixelPink};

// A push button drawn in one kit style. A disabled button is drawn at opacity 0.4 and still tracks hovering.
// Keyboard focus (not a click) outlines it 2 pt inside in the theme's `fg`.
class VTButton : public QAbstractButton, public VTOverflowing {
    Q_OBJECT
public:
    VTButton(const QString& text, VTButtonStyle style, QWidget* parent = nullptr);
    ~VTButton() override;

    // Gives the label a fixed width, the text centred in it, so that the button keeps its size whatever it says;
    // nothing gives the label its text's own width.
    void setLabelWidth(std::optional<qreal> width);
    // Gives the label the width of the widest of `labels`, so that the button keeps its size whichever it says.
    void fitLabelWidth(const QStringList& labels);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    void paintWithOverflow(QPainter& painter) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool isPixel() const;
    // Where the text starts, before any press offset.
    QPointF labelOrigin() const;
    void paintLook(QPainter& painter);

    VTButtonStyle style_;
    std::optional<qreal> labelWidth_;
    bool hovering_ = false;
    VTKeyboardFocus* keyboardFocus_;
    QPointer<VTOverflowLayer> overflow_;
};

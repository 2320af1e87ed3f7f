#include "Tilvane/Views/ColorWell.hpp"

#include "Tilvane/Views/PixelPainting.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTKeyboardFocus.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QPainter>
#include <QPointer>
#include <utility>

namespace tilvane {

namespace {
constexpr int wellWidth = 40;
constexpr int wellHeight = 22;
constexpr int inset = 3;
}  // namespace

ColorWell::ColorWell(const QString& pickerTitle, ColorPicker picker, QWidget* parent)
    : QAbstractButton(parent),
      pickerTitle_(pickerTitle),
      picker_(std::move(picker)),
      color_(Qt::black),
      keyboardFocus_(new VTKeyboardFocus(this))
{
    installAccessibleControlFactory();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::pick);
}

void ColorWell::setColor(const QColor& color)
{
    if (color_ == color) return;
    color_ = color;
    update();
}

QSize ColorWell::sizeHint() const
{
    return {wellWidth, wellHeight};
}

QString ColorWell::accessibleValue() const
{
    return color_.name(QColor::HexRgb).toUpper();
}

void ColorWell::paintEvent(QPaintEvent*)
{
    const VTTheme& theme = vtTheme(this);
    QPainter painter(this);
    paintWithOpacity(painter, size(), controlOpacity(*this), [&](QPainter& p) {
        p.fillRect(rect(), theme.bgWindow);
        p.fillRect(rect().adjusted(inset, inset, -inset, -inset), color_);
        vtStrokeInside(p, rect(), theme.border);
        if (keyboardFocus_->isShown()) paintFocusRingInside(p, rect(), 1, theme.fg);
    });
}

void ColorWell::pick()
{
    if (!picker_ || !isEnabled()) return;
    // The picker waits for the user while the window goes on: a well removed meanwhile (the picker with it, hence the
    // copy), or whose window has closed, takes no colour.
    const QPointer<ColorWell> well(this);
    const ColorPicker picker = picker_;
    const std::optional<QColor> choice = picker(color_, pickerTitle_, this);
    if (!well || !isVisible()) return;
    if (choice && choice->isValid()) emit picked(*choice);
}

}  // namespace tilvane

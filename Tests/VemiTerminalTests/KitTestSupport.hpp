#pragma once

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTTextField.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <gtest/gtest.h>
#include <QApplication>
#include <QColor>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QWidget>

#include <vector>

inline const QColor white(255, 255, 255);

// `top` laid over an opaque `bottom` (source-over), as 8-bit channels.
inline QColor over(const QColor& top, const QColor& bottom = white)
{
    const double alpha = top.alphaF();
    auto mix = [&](double t, double b) { return static_cast<int>(std::lround((t * alpha + b * (1 - alpha)) * 255)); };
    return QColor(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()), mix(top.blueF(), bottom.blueF()));
}

inline ::testing::AssertionResult colourNear(const QColor& actual, const QColor& expected, int tolerance = 2)
{
    const auto near = [&](int a, int e) { return std::abs(a - e) <= tolerance; };
    if (near(actual.red(), expected.red()) && near(actual.green(), expected.green())
        && near(actual.blue(), expected.blue()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// The widget rendered at one pixel per point.
inline QImage snapshot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `area` are within `tolerance` of `colour`.
inline int countColour(const QImage& image, QRect area, const QColor& colour, int tolerance)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += colourNear(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
    return count;
}

// The bounds of whatever differs from `ground` inside `area` (empty when nothing does).
inline QRect inkBounds(const QImage& image, const QColor& ground, QRect area, int tolerance)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!colourNear(image.pixelColor(x, y), ground, tolerance)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// `widget` at `size` (its size hint when empty) under a root carrying `appearance`, rendered; the root owns it.
inline QImage renderThemed(QWidget* widget, VTAppearance appearance, QSize size = {})
{
    QWidget root;
    widget->setParent(&root);
    widget->resize(size.isEmpty() ? widget->sizeHint() : size);
    vemiTerminal(&root, appearance);
    return snapshot(*widget);
}

// Sends `widget` the focus event of `type` as if focus came or went for `reason`.
inline void sendFocus(QWidget* widget, QEvent::Type type, Qt::FocusReason reason)
{
    QFocusEvent event(type, reason);
    QApplication::sendEvent(widget, &event);
}

// A 2-point outline in `colour` inside every edge of `image` (checked at the middle of each edge), with the
// third pixel in still as in `unfocused`.
inline ::testing::AssertionResult focusOutline(const QImage& image, const QImage& unfocused, const QColor& colour)
{
    const int w = image.width(), h = image.height();
    const QPoint inner[] = {{0, h / 2}, {1, h / 2}, {w - 1, h / 2}, {w - 2, h / 2},
                            {w / 2, 0}, {w / 2, 1}, {w / 2, h - 1}, {w / 2, h - 2}};
    for (QPoint point : inner)
        if (!colourNear(image.pixelColor(point), colour))
            return ::testing::AssertionFailure() << "outline pixel " << point.x() << "," << point.y() << ": "
                                                 << colourNear(image.pixelColor(point), colour).message();
    for (QPoint point : {QPoint(2, h / 2), QPoint(w - 3, h / 2)})
        if (image.pixelColor(point) != unfocused.pixelColor(point))
            return ::testing::AssertionFailure()
                   << "pixel " << point.x() << "," << point.y() << " changed: the outline is thicker than 2";
    return ::testing::AssertionSuccess();
}

// Each fixed appearance with the theme it resolves to.
struct ThemeCase {
    VTAppearance appearance;
    const VTTheme& theme;
};
inline std::vector<ThemeCase> bothThemes()
{
    return {{VTAppearance::vemi, VTTheme::vemi()}, {VTAppearance::noite, VTTheme::noite()}};
}
// Runs check(appearance, theme) for each fixed appearance, traced with the theme's name.
template <typename Check>
void forBothThemes(Check check)
{
    for (const auto& [appearance, theme] : bothThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        check(appearance, theme);
    }
}

// A white root carrying a theme, for components grabbed over a known ground.
struct Stage {
    QWidget root;
    explicit Stage(VTAppearance appearance, QSize size = {400, 300})
    {
        root.setAutoFillBackground(true);
        vemiTerminal(&root, appearance);
        QPalette palette = root.palette();
        palette.setColor(QPalette::Window, white);
        root.setPalette(palette);
        root.resize(size);
    }
    void show() { root.show(), QApplication::processEvents(); }
};

// `subject` at the top left of a row, followed by a 20 × 20 neighbour `spacing` points away.
template <typename Subject>
struct RowStage : Stage {
    Subject* subject;
    QWidget* neighbour = new QWidget;
    RowStage(VTAppearance appearance, Subject* placed, int spacing) : Stage(appearance, {260, 160}), subject(placed)
    {
        auto* layout = new QHBoxLayout(&root);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->setSpacing(spacing);
        neighbour->setFixedSize(20, 20);
        layout->addWidget(subject, 0, Qt::AlignTop);
        layout->addWidget(neighbour, 0, Qt::AlignTop);
        layout->addStretch(1);
        show();
    }
    // The root's pixel at an offset from the subject's top left.
    QColor at(int dx, int dy) { return snapshot(root).pixelColor(subject->x() + dx, subject->y() + dy); }
};

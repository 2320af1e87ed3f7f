#pragma once

// Where the application's focusable controls draw the kit's focus ring, in which colour, and whether a picture of
// them shows it; what the focus tests share besides.

#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QDir>
#include <QImage>
#include <QRect>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tilvane::testing {

struct FocusRing {
    QRect rect;  // in the control's coordinates
    QColor colour;
};

// The ring `control` draws while focus the keyboard uses is on it: around a slider's track area; around a switch's
// track, clear of its outline; just inside the outline of a choice chip (in its label's colour) and of a colour well;
// inside the border a gallery card has when selected; at a kit button's edges. Nothing for any other widget.
inline std::optional<FocusRing> focusRingOf(const QWidget& control)
{
    const VTTheme& theme = vtTheme(&control);
    if (const auto* track = qobject_cast<const PixelTrackControl*>(&control))
        return FocusRing{track->trackArea(), theme.fg};
    if (const auto* toggle = qobject_cast<const PixelSwitch*>(&control))
        return FocusRing{toggle->focusRingRect(), theme.fg};
    if (const auto* choice = qobject_cast<const PixelChoiceButton*>(&control))
        return FocusRing{choice->rect().adjusted(1, 1, -1, -1), choice->foreground()};
    if (qobject_cast<const ColorWell*>(&control) != nullptr)
        return FocusRing{control.rect().adjusted(1, 1, -1, -1), theme.fg};
    if (qobject_cast<const ShaderGalleryCard*>(&control) != nullptr)
        return FocusRing{control.rect().adjusted(2, 2, -2, -2), theme.fg};
    if (qobject_cast<const VTButton*>(&control) != nullptr) return FocusRing{control.rect(), theme.fg};
    return std::nullopt;
}

// Whether `image` shows `ring` with the control's top-left corner at `origin`: 2 px of the ring's colour inside
// each edge of its rectangle, looked at in the middle of each edge.
inline bool showsRing(const QImage& image, const FocusRing& ring, QPoint origin = {})
{
    const QRect r = ring.rect.translated(origin);
    const QPoint centre = r.center();
    const QPoint points[] = {{r.left(), centre.y()},      {r.left() + 1, centre.y()},  {r.right(), centre.y()},
                             {r.right() - 1, centre.y()}, {centre.x(), r.top()},       {centre.x(), r.top() + 1},
                             {centre.x(), r.bottom()},    {centre.x(), r.bottom() - 1}};
    for (const QPoint point : points) {
        if (!image.rect().contains(point)) return false;
        const QColor shown = image.pixelColor(point);
        if (std::abs(shown.red() - ring.colour.red()) > 2 || std::abs(shown.green() - ring.colour.green()) > 2
            || std::abs(shown.blue() - ring.colour.blue()) > 2)
            return false;
    }
    return true;
}

// Makes `window` the active window, which focus needs.
inline void activate(QWidget& window)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A widget by its class and object name, for failure messages.
inline std::string describe(const QWidget* widget)
{
    if (widget == nullptr) return "no widget";
    return std::string(widget->metaObject()->className()) + " '" + widget->objectName().toStdString() + "'";
}

// A picture of `window` into the build's screenshot folder "Focus", as `name`.png.
inline void saveFocusPicture(QWidget& window, const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus"));
    window.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus/%1.png").arg(name));
}

}  // namespace tilvane::testing

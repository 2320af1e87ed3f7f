// The built application in a real X server, in both themes: a click on the block-size slider gives it focus, an
// arrow key then moves it by one block and the kit's focus ring shows around it; Tab moves the ring on to the next
// control and Backtab brings it back. Screenshots go to Screenshots/Xvfb/focus-*.

#include "EditorTestServices.hpp"
#include "FocusRingSupport.hpp"
#include "XvfbSupport.hpp"

#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Views/EditorWindow.hpp"

#include <QDir>
#include <QSettings>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

// A control of the editor window: where it lies and the ring it draws, in the window's coordinates.
struct PlacedControl {
    QString name;
    QRect bounds;
    FocusRing ring;
};

PlacedControl placed(QWidget& window, QWidget& control)
{
    const QPoint origin = control.mapTo(&window, QPoint());
    const FocusRing ring = focusRingOf(control).value_or(FocusRing{});
    return {control.objectName(), QRect(origin, control.size()), {ring.rect.translated(origin), ring.colour}};
}

// The block-size slider and the control Tab leads to from it, in an editor window of the application's size laid
// out offscreen in this process in the same theme, with its slider drawn as it is before any click. The window is
// tall enough for the control after the slider to show whole, so that focusing it does not scroll the column.
constexpr QSize windowSize(1280, 880);

struct FocusLayout {
    explicit FocusLayout(VTAppearance appearance)
    {
        EditorTestServices fixture;
        EditorWindow window(fixture.services());
        vemiTerminal(&window, appearance);
        window.view().setAppearance(appearance);
        window.resize(windowSize);
        window.show();
        QCoreApplication::processEvents();
        fixture.jobs->runAll();
        window.refresh();
        QCoreApplication::processEvents();
        auto* slider = window.findChild<PixelSlider*>(QStringLiteral("pixelSizeSlider"));
        if (slider == nullptr) return;
        this->slider = placed(window, *slider);
        sliderPicture = slider->grab().toImage().convertToFormat(QImage::Format_RGB32);
        lower = slider->lower();
        upper = slider->upper();
        QWidget* next = slider->nextInFocusChain();
        while (next != slider
               && !((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(&window) && next->isEnabled()
                    && focusRingOf(*next).has_value())) {
            next = next->nextInFocusChain();
        }
        if (next != slider) afterSlider = placed(window, *next);
    }

    PlacedControl slider, afterSlider;
    QImage sliderPicture;
    int lower = 0, upper = 0;
};

// Where `picture` appears pixel for pixel on `screen`, by its top-left corner.
std::optional<QPoint> findPicture(const QImage& screen, const QImage& picture)
{
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (screen.pixel(left + x, top + y) != picture.pixel(x, y)) return false;
        return true;
    };
    for (int top = 0; top + picture.height() <= screen.height(); ++top)
        for (int left = 0; left + picture.width() <= screen.width(); ++left)
            if (matchesAt(left, top)) return QPoint(left, top);
    return std::nullopt;
}

// The block size kept in the last session once it reads `expected`; what it read last otherwise.
std::int64_t waitForStoredPixelSize(const QString& file, std::int64_t expected)
{
    return storedPixelSize(
        waitForJson(file, [expected](const nlohmann::json& session) { return storedPixelSize(session) == expected; }));
}

class XvfbFocus : public XvfbWindow {
protected:
    void run(VTAppearance appearance)
    {
        const QString theme = vtRawValue(appearance);
        QSettings(file(QStringLiteral("config/Tilvane/Tilvane.conf")), QSettings::IniFormat)
            .setValue(TilvaneApp::appearanceKey, theme);
        const FocusLayout layout(appearance);
        ASSERT_FALSE(layout.slider.name.isEmpty()) << "no block-size slider in the editor window";
        ASSERT_FALSE(layout.afterSlider.name.isEmpty()) << "Tab leads from the slider to no control";

        auto running = launch({writePicture(QStringLiteral("foto.png"), QColor(230, 40, 200))});
        ASSERT_TRUE(pollUntil(
            [this] {
                return xdotool(x,
                               QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowsize --sync %1 %2")
                                   .arg(windowSize.width())
                                   .arg(windowSize.height()));
            },
            30s))
            << "the window never showed";
        // The window's menu bar lies above what the offscreen window shows: the slider itself says where it is.
        std::optional<QPoint> found;
        const QImage ready = waitForScreen(
            x, [&](const QImage& screen) { return (found = findPicture(screen, layout.sliderPicture)).has_value(); },
            QStringLiteral("focus-slider-missing-") + theme);
        ASSERT_FALSE(ready.isNull()) << "the block-size slider never showed as laid out";
        const QPoint origin = *found - layout.slider.bounds.topLeft();
        const auto ringAt = [&](const PlacedControl& control) {
            return [&control, origin](const QImage& screen) { return showsRing(screen, control.ring, origin); };
        };
        EXPECT_FALSE(ringAt(layout.slider)(ready));

        // A click three quarters along the track: the slider takes focus and that value, without a ring.
        const QRect track = layout.slider.ring.rect;
        const int clickX = track.left() + track.width() * 3 / 4;
        const int clicked =
            PixelSlider::valueForPointer(clickX - track.left(), track.width(), layout.lower, layout.upper);
        ASSERT_TRUE(clickAt(x, origin + QPoint(clickX, track.center().y())));
        const QString session = file(QStringLiteral("support/last-session.json"));
        ASSERT_EQ(waitForStoredPixelSize(session, clicked), clicked) << "the click did not reach the slider";
        EXPECT_FALSE(ringAt(layout.slider)(screenshot(x))) << "a click alone shows no ring";

        // An arrow key moves it by one and shows where the keys go.
        ASSERT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
        ASSERT_TRUE(xdotool(x, QStringLiteral("key Right")));
        EXPECT_EQ(waitForStoredPixelSize(session, clicked + 1), clicked + 1) << "the arrow key did not reach it";
        const QImage arrowed = waitForScreen(x, ringAt(layout.slider), QStringLiteral("focus-slider-ring-") + theme);
        ASSERT_FALSE(arrowed.isNull()) << "no ring around the slider after the arrow key";
        saveScreenshot(arrowed, QStringLiteral("focus-slider-") + theme);

        // Tab moves the ring on; Backtab brings it back.
        ASSERT_TRUE(xdotool(x, QStringLiteral("key Tab")));
        const QImage tabbed = waitForScreen(
            x,
            [&](const QImage& screen) { return ringAt(layout.afterSlider)(screen) && !ringAt(layout.slider)(screen); },
            QStringLiteral("focus-tab-") + theme);
        ASSERT_FALSE(tabbed.isNull()) << "Tab did not move the ring to " << layout.afterSlider.name.toStdString();
        saveScreenshot(tabbed, QStringLiteral("focus-tab-") + theme);
        ASSERT_TRUE(xdotool(x, QStringLiteral("key shift+Tab")));
        const QImage back = waitForScreen(
            x,
            [&](const QImage& screen) { return ringAt(layout.slider)(screen) && !ringAt(layout.afterSlider)(screen); },
            QStringLiteral("focus-backtab-") + theme);
        EXPECT_FALSE(back.isNull()) << "Backtab did not bring the ring back to the slider";
        quit(*running);
    }
};

TEST_F(XvfbFocus, ClickedSliderTakesArrowKeysAndTabMovesTheRingInNoite)
{
    run(VTAppearance::noite);
}

TEST_F(XvfbFocus, ClickedSliderTakesArrowKeysAndTabMovesTheRingInVemi)
{
    run(VTAppearance::vemi);
}

}  // namespace
}  // namespace tilvane::testing

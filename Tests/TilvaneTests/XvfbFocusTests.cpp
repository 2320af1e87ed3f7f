// The built application in a real X server, in both themes: a click on the block-size slider gives it focus, an
// arrow key then moves it by one block and the kit's focus ring shows around it; Tab moves the ring on to the next
// control and Backtab brings it back. A round of Tab through the whole window shows the ring at every stop.
// The same rounds follow the window into the states Space on a gallery card, the "Moldura" switch and "Personalizada"
// bring. Screenshots go to Screenshots/Xvfb/focus-*.

#include "FocusRingSupport.hpp"
#include "PanelTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "ShownEditorSupport.hpp"
#include "TabRoundSupport.hpp"
#include "XvfbSupport.hpp"

#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Views/EditorWindow.hpp"

#include <QApplication>
#include <QSettings>
#include <QTest>

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

bool isGalleryCard(const PlacedControl& control)
{
    return control.name == QStringLiteral("noShaderCard") || control.name.startsWith(QStringLiteral("shaderCard:"));
}

// The block-size slider and the control Tab leads to from it, in an editor window of the application's size laid
// out offscreen in this process in the same theme, with its slider drawn as it is before any click. The window is
// tall enough for the control after the slider to show whole, so that focusing it does not scroll the column.
constexpr QSize windowSize(1280, 880);

struct FocusLayout {
    explicit FocusLayout(VTAppearance appearance)
    {
        const ShownEditor editor(appearance, panels::builtInPresets(), windowSize);
        EditorWindow& window = *editor.window;
        auto* slider = editor.child<PixelSlider>("pixelSizeSlider");
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

// The states a round of Tab walks the window through, each reached from the one before by Tab, as often as it takes
// to come to `pressed`, and Space there.
struct FocusState {
    const char* name;
    const char* pressed;  // nothing for the window as it starts
};
constexpr FocusState focusStates[] = {{"plain picture", nullptr},
                                      {"Tubo Clássico", "shaderCard:tubo-classico"},
                                      {"bezel on", "bezelSwitch"},
                                      {"Personalizada", "paletteChoice.custom"}};

// In one state: how many presses of Tab led to the control Space was pressed on, then a round of Tab and one of
// Backtab from the focus back to it, each stop as it lies once the key has reached it.
struct StateRounds {
    int tabsToPressed = 0;
    std::vector<PlacedControl> tab, backtab;
};

// The rounds of each of focusStates through an editor window whose central area has `size`, laid out offscreen in
// this process with the application's built-in presets, from the focus the window gives itself when it becomes
// active; and the stops that draw no ring of the kit's.
struct FocusRounds {
    FocusRounds(VTAppearance appearance, QSize size)
    {
        const ShownEditor editor(appearance, panels::builtInPresets(), size,
                                 [](EditorTestServices& services) { services.renderer = &testRenderer(); });
        editor.settle();
        editor.window->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.window)) return;
        for (const FocusState& state : focusStates) {
            StateRounds rounds;
            if (state.pressed != nullptr) {
                while (QApplication::focusWidget()->objectName() != QLatin1String(state.pressed)
                       && rounds.tabsToPressed < mostStops) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    ++rounds.tabsToPressed;
                }
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
                editor.settle();
            }
            rounds.tab = walk(*editor.window, Qt::Key_Tab);
            rounds.backtab = walk(*editor.window, Qt::Key_Backtab);
            states.push_back(std::move(rounds));
        }
    }

    std::vector<StateRounds> states;
    QStringList ringless;

private:
    static constexpr int mostStops = 200;

    std::vector<PlacedControl> walk(QWidget& window, Qt::Key key)
    {
        std::vector<PlacedControl> stops;
        round(key, mostStops, [&](QWidget& stop) {
            if (!focusRingOf(stop)) ringless.append(QString::fromStdString(describe(&stop)));
            stops.push_back(placed(window, stop));
        });
        return stops;
    }
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
    // Launches the application in `appearance` on a picture, in a window of windowSize, and finds on the screen the
    // block-size slider as `layout` lays it out: `origin` is where the offscreen window's top-left corner lies there.
    void launchShowing(const FocusLayout& layout, VTAppearance appearance)
    {
        const QString theme = vtRawValue(appearance);
        QSettings(file(QStringLiteral("config/Tilvane/Tilvane.conf")), QSettings::IniFormat)
            .setValue(TilvaneApp::appearanceKey, theme);
        ASSERT_FALSE(layout.slider.name.isEmpty()) << "no block-size slider in the editor window";

        running = launch({writePicture(QStringLiteral("foto.png"), QColor(230, 40, 200))});
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
        ready = waitForScreen(
            x, [&](const QImage& screen) { return (found = findPicture(screen, layout.sliderPicture)).has_value(); },
            QStringLiteral("focus-slider-missing-") + theme);
        ASSERT_FALSE(ready.isNull()) << "the block-size slider never showed as laid out";
        origin = *found - layout.slider.bounds.topLeft();
    }

    void TearDown() override
    {
        if (running) quit(*running);
        XvfbWindow::TearDown();
    }

    // Whether `screen` shows the ring `control` draws.
    bool showsRingOf(const QImage& screen, const PlacedControl& control) const
    {
        return showsRing(screen, control.ring, origin);
    }

    // Presses `key` once for each of `stops` and waits each time for the ring to move to that stop. The screens where
    // the ring comes into the gallery and leaves it are kept.
    void walk(const std::vector<PlacedControl>& stops, const QString& key)
    {
        QImage previous = screenshot(x);
        for (std::size_t index = 0; index < stops.size(); ++index) {
            const PlacedControl& stop = stops[index];
            const PlacedControl* left = index > 0 ? &stops[index - 1] : nullptr;
            ASSERT_TRUE(xdotool(x, QStringLiteral("key ") + key));
            const QImage shown = waitForScreen(
                x,
                [&](const QImage& screen) {
                    return screen != previous && showsRingOf(screen, stop)
                           && (left == nullptr || left->ring.rect == stop.ring.rect || !showsRingOf(screen, *left));
                },
                QStringLiteral("focus-round-%1-%2-%3").arg(key).arg(index + 1).arg(stop.name), 20s);
            ASSERT_FALSE(shown.isNull()) << key.toStdString() << " " << index + 1 << " showed no ring on "
                                         << stop.name.toStdString();
            if (left != nullptr && isGalleryCard(*left) != isGalleryCard(stop)) {
                saveScreenshot(shown,
                               QStringLiteral("focus-round-%1-%2").arg(key, QString(stop.name).replace(u':', u'-')));
            }
            previous = shown;
        }
    }

    void run(VTAppearance appearance)
    {
        const QString theme = vtRawValue(appearance);
        const FocusLayout layout(appearance);
        ASSERT_FALSE(layout.afterSlider.name.isEmpty()) << "Tab leads from the slider to no control";
        launchShowing(layout, appearance);
        ASSERT_FALSE(HasFatalFailure());
        const auto ringAt = [this](const PlacedControl& control) {
            return [this, &control](const QImage& screen) { return showsRingOf(screen, control); };
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
    }

    std::unique_ptr<QProcess> running;
    QImage ready;  // the screen once the window showed the slider
    QPoint origin;
};

TEST_F(XvfbFocus, ClickedSliderTakesArrowKeysAndTabMovesTheRingInNoite)
{
    run(VTAppearance::noite);
}

TEST_F(XvfbFocus, ClickedSliderTakesArrowKeysAndTabMovesTheRingInVemi)
{
    run(VTAppearance::vemi);
}

// Each press of Tab in the real window brings the ring to the control the offscreen round reaches with it, wherever
// the strip or the column has scrolled it to: no stop draws nothing, from "Abrir" through the bar, the gallery's
// cards and the inspector's controls back to "Abrir"; and so for Backtab the other way. So again after Space on
// "Tubo Clássico", on the "Moldura" switch and on "Personalizada", each reached by Tab, as the offscreen window
// predicts for the panels and rows these bring.
TEST_F(XvfbFocus, EveryStopOfARoundOfTabOrBacktabThroughTheWindowShowsTheRingInEachState)
{
    const VTAppearance appearance = VTAppearance::noite;
    const FocusLayout layout(appearance);
    launchShowing(layout, appearance);
    ASSERT_FALSE(HasFatalFailure());
    const QRect frame = windowOnScreen(x).value_or(QRect());
    ASSERT_FALSE(frame.isEmpty());
    // Laid out in the room the real window's menu bar leaves, so that the column and the strip scroll as on screen.
    const FocusRounds rounds(appearance, QSize(frame.width(), frame.bottom() + 1 - origin.y()));
    EXPECT_TRUE(rounds.ringless.isEmpty())
        << "stops that draw no ring of the kit's: " << rounds.ringless.join(QStringLiteral(", ")).toStdString();
    ASSERT_EQ(rounds.states.size(), std::size(focusStates));

    ASSERT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
    for (std::size_t index = 0; index < std::size(focusStates); ++index) {
        const FocusState& state = focusStates[index];
        const StateRounds& predicted = rounds.states[index];
        SCOPED_TRACE(state.name);
        ASSERT_GT(predicted.tab.size(), 20u) << "Tab never came back to where it started, or went round too soon";
        ASSERT_EQ(predicted.backtab.size(), predicted.tab.size());
        if (state.pressed != nullptr) {
            ASSERT_TRUE(xdotool(x, QStringLiteral("key") + QStringLiteral(" Tab").repeated(predicted.tabsToPressed)
                                       + QStringLiteral(" space")));
            ASSERT_FALSE(waitForStillScreen(x).isNull()) << "the window never settled after Space";
        }
        walk(predicted.tab, QStringLiteral("Tab"));
        ASSERT_FALSE(HasFatalFailure());
        walk(predicted.backtab, QStringLiteral("shift+Tab"));
        ASSERT_FALSE(HasFatalFailure());
    }
}

}  // namespace
}  // namespace tilvane::testing

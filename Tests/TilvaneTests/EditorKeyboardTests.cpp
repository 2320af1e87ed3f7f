// The editor window driven by the keyboard alone, with real keys sent to the focus widget, in both themes: a focused
// switch reads as it is, its ring around the track; "Excluir preset" leaves the focus on "+", in view and with its
// ring; the delete alert opens on "Cancelar", so a key pressed at once keeps the preset; the sliders take Home, End,
// Page Up and Page Down while the column stays where it is. Pictures go to Screenshots/Focus.

#include "FocusRingSupport.hpp"
#include "KeyboardEditorSupport.hpp"
#include "PanelTestSupport.hpp"
#include "TabRoundSupport.hpp"

#include "Tilvane/Views/ShaderValueControl.hpp"

#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace tilvane::testing {
namespace {

using namespace panels;

void chooseTubeWithItsBezel(KeyboardEditor& editor)
{
    editor.press(QStringLiteral("shaderCard:tubo-classico"));
    editor.press(QStringLiteral("bezelSwitch"));
}

// A widget's picture into Screenshots/Focus, as `name`.png.
void saveControlPicture(QWidget& control, const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus"));
    control.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus/%1.png").arg(name));
}

// MARK: Switches

// The track a switch in that state shows: its ground, the 18-px knob 3 px inside the left end (off) or the right end
// (on), the 1-px outline.
QImage trackOf(bool on, const VTTheme& theme)
{
    QImage track(PixelSwitch::trackWidth, PixelSwitch::trackHeight, QImage::Format_RGB32);
    track.fill(on ? theme.barBgActive : theme.chipBg);
    QPainter painter(&track);
    const int knobX = on ? PixelSwitch::trackWidth - 3 - PixelSwitch::knobSide : 3;
    painter.fillRect(QRect(knobX, 3, PixelSwitch::knobSide, PixelSwitch::knobSide), on ? theme.barFgActive : theme.fg);
    painter.setPen(theme.border);
    painter.drawRect(track.rect().adjusted(0, 0, -1, -1));
    return track;
}

// What a picture of the switch says of its state, read as the eye reads it: the track of one state, pixel for pixel,
// or nothing when it is neither.
std::optional<bool> stateShown(QWidget& control)
{
    const auto& toggle = static_cast<const PixelSwitch&>(control);
    const QImage track = snapshot(control).copy(toggle.trackRect());
    const VTTheme& theme = vtTheme(&control);
    for (const bool on : {false, true}) {
        if (track == trackOf(on, theme)) return on;
    }
    return std::nullopt;
}

// The switch shows its state focused and not, with the ring only while focused.
void expectReadsAsItIs(QWidget& control, const QString& picture)
{
    const auto& toggle = static_cast<const PixelSwitch&>(control);
    control.clearFocus();
    EXPECT_EQ(stateShown(control), toggle.isOn()) << "unfocused";
    EXPECT_FALSE(showsRing(snapshot(control), *focusRingOf(control)));
    control.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(stateShown(control), toggle.isOn()) << "focused";
    EXPECT_TRUE(showsRing(snapshot(control), *focusRingOf(control)));
    saveControlPicture(control, picture);
}

struct SwitchStateRow {
    const char* name;
    std::function<void(KeyboardEditor&)> enter;
};

const SwitchStateRow switchStates[] = {
    {"plain picture", [](KeyboardEditor&) {}},
    {"Tubo Clássico with its bezel", chooseTubeWithItsBezel},
};

TEST(EditorKeyboard, AFocusedSwitchReadsAsItIsOnAndOffWithItsRingAroundTheTrack)
{
    for (const ThemeRow& theme : bothThemes) {
        for (const SwitchStateRow& state : switchStates) {
            SCOPED_TRACE(std::string(state.name) + ", " + theme.name);
            KeyboardEditor editor(theme.appearance);
            state.enter(editor);
            QStringList names;
            for (PixelSwitch* toggle : columnContent(*editor.window).findChildren<PixelSwitch*>()) {
                if (toggle->isVisibleTo(editor.window) && toggle->isEnabled()) names << toggle->objectName();
            }
            ASSERT_GE(names.size(), 2);
            for (const QString& name : names) {
                SCOPED_TRACE(name.toStdString());
                const QString picture =
                    QStringLiteral("switch-%1-%2-").arg(name, QLatin1String(theme.name)).remove(u':');
                const bool wasOn = static_cast<const PixelSwitch&>(editor.named(name)).isOn();
                expectReadsAsItIs(editor.named(name), picture + (wasOn ? u"on"_qs : u"off"_qs));

                // Space flips it where it is, the focus staying on it (or on the switch that replaces it).
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
                editor.settle();
                ASSERT_EQ(QApplication::focusWidget(), &editor.named(name)) << describe(QApplication::focusWidget());
                const auto& flipped = static_cast<const PixelSwitch&>(editor.named(name));
                ASSERT_NE(flipped.isOn(), wasOn);
                EXPECT_EQ(stateShown(editor.named(name)), !wasOn) << "focused, just flipped";
                EXPECT_TRUE(showsRing(snapshot(editor.named(name)), *focusRingOf(editor.named(name))));
                expectReadsAsItIs(editor.named(name), picture + (wasOn ? u"off"_qs : u"on"_qs));

                editor.press(name);  // back as it was, so the next switches are those of this state
            }
        }
    }
}

// MARK: Deleting a preset

// Opens the delete alert of the selected personal preset from its trash button, as the keyboard does.
QMessageBox* openDeleteAlertByKeyboard(KeyboardEditor& editor)
{
    QWidget& trash = editor.named(QStringLiteral("deletePreset"));
    trash.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&trash, Qt::Key_Space);
    editor.settle();
    auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (alert == nullptr || alert->objectName() != QLatin1String("deletePresetAlert")) return nullptr;
    EXPECT_TRUE(QTest::qWaitForWindowActive(alert));
    return alert;
}

// Lets the alert go and the window have the keyboard again (the desktop makes it active; offscreen, the test does).
void backToTheWindow(KeyboardEditor& editor)
{
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    editor.settle();
    activate(*editor.window);
    editor.settle();
}

TEST(EditorKeyboard, APresetDeletedByKeyboardLeavesTheFocusOnPlusInViewWithItsRing)
{
    for (const ThemeRow& theme : bothThemes) {
        SCOPED_TRACE(theme.name);
        KeyboardEditor editor(theme.appearance);
        editor.createPersonalPreset("Meu visual");
        QMessageBox* alert = openDeleteAlertByKeyboard(editor);
        ASSERT_NE(alert, nullptr) << describe(QApplication::activeModalWidget());
        for (int press = 0; press < 4 && QApplication::focusWidget()->objectName() != "confirmDeletePreset"; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget()->objectName().toStdString(), "confirmDeletePreset");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        backToTheWindow(editor);

        ASSERT_TRUE(editor.window->view().state().personalPresets.empty());
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName().toStdString(), "createPreset") << describe(focus);
        EXPECT_TRUE(inViewOfTheColumn(*editor.window, *focus)) << describe(focus);
        EXPECT_TRUE(showsRing(snapshot(*focus), *focusRingOf(*focus))) << describe(focus);
        saveFocusPicture(*editor.window, QStringLiteral("delete-by-keyboard-%1").arg(QLatin1String(theme.name)));

        // The keyboard goes on from there: the next button of the panel.
        QTest::keyClick(focus, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), "importPreset");
    }
}

// The destructive choice needs a deliberate Tab: Space or Return at once, and Escape, keep the preset, and the focus
// comes back to the trash button with its ring.
TEST(EditorKeyboard, TheDeleteAlertOpensOnCancelarSoThatAKeyAtOnceKeepsThePreset)
{
    const std::pair<const char*, Qt::Key> keys[] = {
        {"Space", Qt::Key_Space}, {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}};
    for (const auto& [keyName, key] : keys) {
        SCOPED_TRACE(keyName);
        KeyboardEditor editor;
        editor.createPersonalPreset("Meu visual");
        const auto selected = editor.window->view().state().shaderID;
        QMessageBox* alert = openDeleteAlertByKeyboard(editor);
        ASSERT_NE(alert, nullptr) << describe(QApplication::activeModalWidget());
        auto* cancel = alert->findChild<QPushButton*>(QStringLiteral("cancelDeletePreset"));
        EXPECT_EQ(alert->defaultButton(), cancel);
        EXPECT_EQ(QApplication::focusWidget(), cancel) << describe(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), key);
        backToTheWindow(editor);

        EXPECT_EQ(editor.window->view().state().personalPresets.size(), 1u);
        EXPECT_EQ(editor.window->view().state().shaderID, selected);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName().toStdString(), "deletePreset") << describe(focus);
        EXPECT_TRUE(showsRing(snapshot(*focus), *focusRingOf(*focus))) << describe(focus);
    }
}

// MARK: Sliders

double valueOf(const QWidget& control)
{
    if (const auto* slider = qobject_cast<const PixelSlider*>(&control)) return slider->value();
    return static_cast<const ShaderValueControl&>(control).value();
}

struct SliderRow {
    const char* name;
    const char* control;
    double lower;
    double upper;
};

const SliderRow sliderRows[] = {
    {"block size (whole pixels)", "pixelSizeSlider", 2, 40},
    {"exposure", "exposure", -2, 2},
    {"a pass's intensity", "intensity:0", 0, 1},
    {"the bezel's curvature", "bezelCurvature", 0, 3},
};

TEST(EditorKeyboard, EverySliderTakesHomeEndAndPageKeysWhileTheColumnStaysWhereItIs)
{
    KeyboardEditor editor;
    chooseTubeWithItsBezel(editor);
    QScrollBar& scroll = *editor.child<QScrollArea>("inspectorPanel")->verticalScrollBar();
    for (const SliderRow& row : sliderRows) {
        SCOPED_TRACE(row.name);
        const QString name = QLatin1String(row.control);
        // The slider focused (a key pressed, as reaching it takes) and towards the middle of the column, which could
        // scroll either way.
        QWidget& slider = editor.named(name);
        slider.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&slider, Qt::Key_Shift);
        const QWidget& column = columnContent(*editor.window);
        const int viewport = editor.child<QScrollArea>("inspectorPanel")->viewport()->height();
        scroll.setValue(std::clamp(boundsIn(slider, column).center().y() - viewport / 2, 1, scroll.maximum() - 1));
        editor.settle();
        const int scrolledTo = scroll.value();
        ASSERT_GT(scrolledTo, 0);
        ASSERT_LT(scrolledTo, scroll.maximum());
        ASSERT_TRUE(inViewOfTheColumn(*editor.window, slider));

        const auto pressed = [&](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            editor.settle();
            EXPECT_EQ(scroll.value(), scrolledTo) << "the column moved";
            EXPECT_EQ(QApplication::focusWidget(), &editor.named(name)) << describe(QApplication::focusWidget());
            return valueOf(editor.named(name));
        };
        EXPECT_DOUBLE_EQ(pressed(Qt::Key_End), row.upper);
        EXPECT_DOUBLE_EQ(pressed(Qt::Key_PageUp), row.upper) << "no further than the upper bound";
        EXPECT_DOUBLE_EQ(pressed(Qt::Key_Home), row.lower);
        EXPECT_DOUBLE_EQ(pressed(Qt::Key_PageDown), row.lower) << "no further than the lower bound";
        const double arrow = pressed(Qt::Key_Right) - row.lower;
        pressed(Qt::Key_Home);
        const double page = pressed(Qt::Key_PageUp) - row.lower;
        EXPECT_GT(page, arrow) << "a page is a larger step than an arrow";
        EXPECT_NEAR(page, (row.upper - row.lower) / 10, arrow / 2) << "a tenth of the range";
        EXPECT_NEAR(pressed(Qt::Key_PageDown), row.lower, 1e-6);
        EXPECT_TRUE(showsRing(snapshot(editor.named(name)), *focusRingOf(editor.named(name))));
    }
}

}  // namespace
}  // namespace tilvane::testing

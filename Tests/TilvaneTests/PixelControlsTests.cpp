#include "PanelTestSupport.hpp"

#include "Tilvane/Views/PixelControls.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"

#include <QSignalSpy>

#include <cmath>
#include <limits>

namespace tilvane::testing {

namespace {

using namespace panels;

// MARK: PixelSwitch

TEST(PixelSwitchTest, TrackAndKnobTakeTheirStateColoursInBothThemes)
{
    for (const auto& row : bothThemes) {
        SCOPED_TRACE(row.name);
        for (const bool on : {false, true}) {
            SCOPED_TRACE(on ? "on" : "off");
            auto* control = new PixelSwitch(QStringLiteral("Animação"), {.compact = true});
            control->setOn(on);
            Stage stage(control, row.appearance);
            const VTTheme& theme = stage.theme();
            // The 48 × 24 track, with room for the focus ring around it.
            const int margin = PixelSwitch::ringMargin;
            ASSERT_EQ(control->size(), QSize(48 + 2 * margin, 24 + 2 * margin));
            ASSERT_EQ(control->trackRect(), QRect(margin, margin, 48, 24));
            const QImage image = snapshot(*control).copy(control->trackRect());
            // Knob 18 × 18 at x 3 (off) or 27 (on) of the track.
            EXPECT_TRUE(sameColour(image.pixelColor(0, 0), theme.border));
            const QColor ground = on ? theme.barBgActive : theme.chipBg;
            const QColor knob = on ? theme.barFgActive : theme.fg;
            const int knobLeft = on ? 27 : 3;
            const int freeX = on ? 10 : 36;
            EXPECT_TRUE(sameColour(image.pixelColor(freeX, 12), ground));
            EXPECT_TRUE(sameColour(image.pixelColor(knobLeft, 3), knob));
            EXPECT_TRUE(sameColour(image.pixelColor(knobLeft + 17, 20), knob));
            EXPECT_TRUE(sameColour(image.pixelColor(knobLeft - 1, 12), ground));
            EXPECT_TRUE(sameColour(image.pixelColor(knobLeft + 18, 12), ground));
        }
    }
}

TEST(PixelSwitchTest, AClickAnywhereOnTheRowTogglesAndReportsTheNewValue)
{
    auto* control = new PixelSwitch(QStringLiteral("Moldura"));
    Stage stage(control, VTAppearance::vemi, 260);
    QSignalSpy edited(control, &PixelSwitch::valueEdited);
    ASSERT_EQ(control->trackRect().right(), control->width() - 1 - PixelSwitch::ringMargin);

    struct Row {
        const char* name;
        QPoint at;
    };
    const Row rows[] = {{"title", {4, control->height() / 2}},
                        {"gap", {control->trackRect().left() - 20, control->height() / 2}},
                        {"track", control->trackRect().center()}};
    bool expected = false;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clickAt(*control, row.at);
        expected = !expected;
        EXPECT_EQ(control->isOn(), expected);
        ASSERT_EQ(edited.size(), 1);
        EXPECT_EQ(edited.takeFirst().at(0).toBool(), expected);
    }
    control->setOn(false);
    EXPECT_TRUE(edited.isEmpty()) << "setOn does not report";
    EXPECT_TRUE(sameColour(pixel(*control, control->trackRect().topLeft() + QPoint(36, 12)), stage.theme().chipBg));
}

TEST(PixelSwitchTest, ACompactSwitchStillNamesItselfByItsTitle)
{
    auto* control = new PixelSwitch(QStringLiteral("Ativar CRT"), {.compact = true});
    Stage stage(control);
    QAccessibleInterface& access = accessible(*control);
    EXPECT_EQ(access.text(QAccessible::Name), "Ativar CRT");
    EXPECT_EQ(control->toolTip(), "Ativar CRT: desligado");
    EXPECT_FALSE(access.state().checked);

    accessibleAction(*control, QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(control->isOn());
    EXPECT_EQ(access.text(QAccessible::Value), "Ligado");
    EXPECT_TRUE(access.state().checked);
}

TEST(PixelSwitchTest, InsideADisabledContainerItIsDimmedAndIgnoresClicks)
{
    auto* container = new QWidget;
    auto* control = new PixelSwitch(QStringLiteral("Animação"), {.compact = true}, container);
    control->setGeometry(0, 0, 48, 24);
    container->setFixedSize(48, 24);
    Stage stage(container);
    const QImage enabled = snapshot(*control);
    container->setEnabled(false);
    QSignalSpy edited(control, &PixelSwitch::valueEdited);
    clickAt(*control, control->rect().center());
    accessibleAction(*control, QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(control->isOn());
    EXPECT_EQ(edited.size(), 0);

    expectHalfway(pixel(*control, {10, 12}), enabled.pixelColor(10, 12), stage.root->palette().color(QPalette::Window));
}

// MARK: PixelChoiceButton

TEST(PixelChoiceButtonTest, FillFollowsSelectionThenHoverOrPress)
{
    for (const auto& theme : bothThemes) {
        SCOPED_TRACE(theme.name);
        struct Row {
            const char* name;
            bool selected;
            bool hovered;
            bool pressed;
            QColor VTTheme::*fill;
            QColor VTTheme::*text;
        };
        const Row rows[] = {
            {"plain", false, false, false, &VTTheme::bgWindow, &VTTheme::fg},
            {"hovered", false, true, false, &VTTheme::chipBg, &VTTheme::fg},
            {"pressed", false, false, true, &VTTheme::chipBg, &VTTheme::fg},
            {"selected", true, false, false, &VTTheme::barBgActive, &VTTheme::barFgActive},
            {"selected and hovered", true, true, false, &VTTheme::barBgActive, &VTTheme::barFgActive},
            {"selected and pressed", true, false, true, &VTTheme::barBgActive, &VTTheme::barFgActive},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            auto* button = new PixelChoiceButton(QStringLiteral("Grafite"));
            button->setSelected(row.selected);
            Stage stage(button, theme.appearance);
            if (row.hovered) {
                QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
                QCoreApplication::sendEvent(button, &enter);
            } else {
                QEvent leave(QEvent::Leave);
                QCoreApplication::sendEvent(button, &leave);
            }
            EXPECT_EQ(button->isHovering(), row.hovered);
            button->setDown(row.pressed);
            const QImage image = snapshot(*button);
            EXPECT_TRUE(sameColour(image.pixelColor(2, 2), stage.theme().*row.fill));
            EXPECT_TRUE(sameColour(image.pixelColor(0, 0), stage.theme().border));
            EXPECT_GT(countColour(image, image.rect().adjusted(1, 0, -1, 0), stage.theme().*row.text), 5) << "label";
        }
    }
}

TEST(PixelChoiceButtonTest, SelectedStateReachesAccessibilityAndClicksAreTheCallers)
{
    auto* button = new PixelChoiceButton(QStringLiteral("RGB"));
    Stage stage(button);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    EXPECT_FALSE(accessible(*button).state().selected);
    button->setSelected(true);
    EXPECT_TRUE(accessible(*button).state().selected);
    EXPECT_EQ(accessible(*button).text(QAccessible::Name), "RGB");
    clickAt(*button, button->rect().center());
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_TRUE(button->isSelected());
}

TEST(PixelChoiceButtonTest, ATrailingSwatchSitsAtTheRightEndAndTakesTheChipsTextColour)
{
    auto* swatch = new PaletteSwatch(ImagePalette::original(), 8);
    auto* button = new PixelChoiceButton(QStringLiteral("Cores originais"), swatch);
    button->setSelected(true);
    Stage stage(button, VTAppearance::noite, 260);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    EXPECT_EQ(swatch->geometry().right(), 260 - 8 - 1) << "padded 8 from the right end";
    EXPECT_GE(swatch->x(), vtCeil(vtTextLineSize(VTTextStyle::pixelMD, button->text())).width() + 8 + 8);
    clickAt(*button, swatch->geometry().center());
    EXPECT_EQ(clicked.size(), 1) << "a click on the swatch is the button's";

    // The glyph of a palette without colours has no colour of its own: it takes the selected chip's text colour.
    EXPECT_GT(countColour(snapshot(*button), swatch->geometry(), stage.theme().barFgActive), 2);
}

TEST(PixelChoiceButtonTest, ATrailingSwatchIsHiddenFromAccessibility)
{
    auto* swatch = new PaletteSwatch(ImagePalette::nes(), 8);
    auto* button = new PixelChoiceButton(QStringLiteral("NES"), swatch);
    Stage stage(button, VTAppearance::vemi, 260);
    EXPECT_TRUE(reachesAccessibly(*stage.root, *button));
    EXPECT_FALSE(reachesAccessibly(*stage.root, *swatch));
    EXPECT_EQ(accessible(*button).childCount(), 0);
}

// MARK: PaletteSwatch

TEST(PaletteSwatchTest, SamplesEvenlyAndStartsWithTheFirstColour)
{
    struct Row {
        const char* name;
        const ImagePalette& palette;
        int limit;
        std::vector<int> indexes;
    };
    const Row rows[] = {
        {"55 colours at 8", ImagePalette::nes(), 8, {0, 6, 13, 20, 27, 34, 41, 48}},
        {"16 colours at 8", ImagePalette::pico8(), 8, {0, 2, 4, 6, 8, 10, 12, 14}},
        {"4 colours at 8", ImagePalette::gameBoy(), 8, {0, 1, 2, 3}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* swatch = new PaletteSwatch(row.palette, row.limit);
        Stage stage(swatch);
        ASSERT_EQ(swatch->size(), QSize(8 * static_cast<int>(row.indexes.size()), 12));
        const QImage image = snapshot(*swatch);
        for (std::size_t i = 0; i < row.indexes.size(); ++i) {
            const auto color = row.palette.colors[static_cast<std::size_t>(row.indexes[i])];
            EXPECT_TRUE(sameColour(image.pixelColor(static_cast<int>(i) * 8 + 4, 6),
                                   QColor(color.red, color.green, color.blue)))
                << "square " << i;
        }
        EXPECT_TRUE(sameColour(image.pixelColor(0, 0), stage.theme().border));
        EXPECT_TRUE(sameColour(image.pixelColor(image.width() - 1, 11), stage.theme().border));
    }
}

TEST(PaletteSwatchTest, APaletteWithoutColoursShowsTheGlyphButALimitOfZeroDoesNot)
{
    auto* original = new PaletteSwatch(ImagePalette::original(), 8);
    auto* none = new PaletteSwatch(ImagePalette::pico8(), 0);
    Stage first(original);
    Stage second(none);
    EXPECT_TRUE(original->showsGlyph());
    const QImage glyph = snapshot(*original);
    EXPECT_LT(countColour(glyph, glyph.rect(), glyph.pixelColor(0, 0)), glyph.width() * glyph.height() - 2)
        << "the glyph is drawn";
    EXPECT_FALSE(none->showsGlyph());
    EXPECT_EQ(none->sizeHint(), QSize(0, 12));
}

// MARK: PixelSlider

TEST(PixelSliderTest, APressJumpsToThePointerAndTheEndsClamp)
{
    auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
    slider->setValue(21);
    Stage stage(slider, VTAppearance::vemi, 212);
    ASSERT_EQ(slider->size(), QSize(212, 20));
    QSignalSpy edited(slider, &PixelSlider::valueEdited);
    struct Row {
        const char* name;
        int x;
        int expected;
    };
    const Row rows[] = {
        {"the middle writes even an unchanged value", 106, 21},
        {"left of the thumb's half width", 2, 2},
        {"the thumb's half width", 6, 2},
        {"right end", 206, 40},
        {"beyond the right end", 211, 40},
        {"one step in", 12, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clickAt(*slider, {row.x, 10});
        ASSERT_EQ(edited.size(), 1);
        EXPECT_EQ(edited.takeFirst().at(0).toInt(), row.expected);
        EXPECT_EQ(slider->value(), row.expected);
    }
}

TEST(PixelSliderTest, OnlyTheTwentyPixelBandTakesAPress)
{
    auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
    slider->setValue(21);
    slider->setFixedHeight(40);
    Stage stage(slider, VTAppearance::vemi, 212);
    QSignalSpy edited(slider, &PixelSlider::valueEdited);
    clickAt(*slider, {2, 4});
    clickAt(*slider, {206, 35});
    EXPECT_TRUE(edited.isEmpty()) << "above and below the band";
    QTest::mousePress(slider, Qt::LeftButton, {}, {206, 25});
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 20), slider->mapToGlobal(QPointF(2, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &move);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, {2, 20});
    ASSERT_EQ(edited.size(), 2);
    EXPECT_EQ(edited.at(0).at(0).toInt(), 40);
    EXPECT_EQ(edited.at(1).at(0).toInt(), 2) << "a drag from the band follows the pointer";
    const QImage image = snapshot(*slider);
    EXPECT_TRUE(sameColour(image.pixelColor(5, 10), stage.theme().border)) << "the thumb's top edge";
    EXPECT_FALSE(sameColour(image.pixelColor(5, 9), stage.theme().border)) << "nothing drawn above the band";
}

TEST(PixelSliderTest, PointerArithmeticHandlesDegenerateInput)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(PixelSlider::valueForPointer(nan, 212, 2, 40), 2);
    EXPECT_EQ(PixelSlider::valueForPointer(100, 212, 7, 7), 7) << "equal bounds give the lower bound";
    EXPECT_EQ(PixelSlider::valueForPointer(6.5, 5, 0, 10), 5) << "a slider narrower than the thumb uses usable 1";
    EXPECT_EQ(PixelSlider::valueForPointer(6 + 200 * 0.5125, 212, 0, 40), 21) << "halves round away from zero";
}

TEST(PixelSliderTest, DrawsTheFillUpToTheThumbsCentre)
{
    auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
    slider->setValue(21);
    Stage stage(slider, VTAppearance::noite, 212);
    const QImage image = snapshot(*slider);
    const VTTheme& theme = stage.theme();
    // Thumb at x 100…111; fill up to 106 under it; empty track after it.
    EXPECT_TRUE(sameColour(image.pixelColor(50, 10), theme.btnBg));
    EXPECT_TRUE(sameColour(image.pixelColor(105, 10), theme.bgWindow)) << "thumb body";
    EXPECT_TRUE(sameColour(image.pixelColor(100, 1), theme.border)) << "thumb outline";
    EXPECT_TRUE(sameColour(image.pixelColor(150, 10), theme.bgWindow));
}

TEST(PixelSliderTest, AccessibilityReadsPixelsAndStepsWithinTheRange)
{
    auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
    slider->setValue(8);
    Stage stage(slider, VTAppearance::vemi, 212);
    QSignalSpy edited(slider, &PixelSlider::valueEdited);
    EXPECT_EQ(accessible(*slider).text(QAccessible::Value), "8 px");
    accessibleAction(*slider, QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(slider->value(), 9);
    slider->setValue(40);
    accessibleAction(*slider, QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(slider->value(), 40);
    slider->setValue(2);
    accessibleAction(*slider, QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(slider->value(), 2);
    EXPECT_EQ(edited.size(), 3) << "setValue does not report";
}

// MARK: VTHairline

TEST(VTHairlineTest, IsOnePixelAcrossItsContainerInBorderColour)
{
    auto* line = new VTHairline(Qt::Horizontal);
    Stage stage(line, VTAppearance::noite, 120);
    EXPECT_EQ(line->size(), QSize(120, 1));
    EXPECT_TRUE(sameColour(pixel(*line, {60, 0}), stage.theme().border));
    VTHairline vertical(Qt::Vertical);
    EXPECT_EQ(vertical.maximumWidth(), 1);
}

}  // namespace

}  // namespace tilvane::testing

// Every focusable control of the application takes focus from Tab and from a click, and shows where the keys go
// with the kit's focus ring: at once when focus came from the keyboard, after the first key when it came from a
// click, never without focus. Pictures of the focused controls go to Screenshots/Focus.

#include "FocusRingSupport.hpp"
#include "PanelTestSupport.hpp"

#include "Tilvane/Views/ShaderValueControl.hpp"

#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace tilvane::testing {
namespace {

using namespace panels;

// What the control shows of its value, to see that a key reached it (buttons are seen through `clicked`).
using Reading = std::function<QString(const QWidget&)>;

struct ControlRow {
    const char* name;
    std::function<QWidget*()> make;
    Qt::Key key;  // what a keyboard user presses in it
    Reading reading;
};

template <class Control>
Reading readingOf(const std::function<QString(const Control&)>& read)
{
    return [read](const QWidget& widget) { return read(static_cast<const Control&>(widget)); };
}

const ControlRow controlRows[] = {
    {"block-size slider",
     [] {
         auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
         slider->setValue(20);
         return slider;
     },
     Qt::Key_Right, readingOf<PixelSlider>([](const PixelSlider& s) { return QString::number(s.value()); })},
    {"value slider",
     [] {
         auto* control = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
         control->setValue(0.5f);
         return control;
     },
     Qt::Key_Left, readingOf<ShaderValueControl>([](const ShaderValueControl& c) { return c.formatted(); })},
    {"switch", [] { return new PixelSwitch(QStringLiteral("Moldura")); }, Qt::Key_Space,
     readingOf<PixelSwitch>([](const PixelSwitch& s) { return s.accessibleValue(); })},
    {"compact switch, on",
     [] {
         auto* toggle = new PixelSwitch(QStringLiteral("Ativar CRT"), {.compact = true});
         toggle->setOn(true);
         return toggle;
     },
     Qt::Key_Space, readingOf<PixelSwitch>([](const PixelSwitch& s) { return s.accessibleValue(); })},
    {"choice row", [] { return new PixelChoiceButton(QStringLiteral("Bayer")); }, Qt::Key_Space, {}},
    {"selected choice row",
     [] {
         auto* choice = new PixelChoiceButton(QStringLiteral("Nenhum"));
         choice->setSelected(true);
         return choice;
     },
     Qt::Key_Space,
     {}},
    {"palette row",
     [] { return new PixelChoiceButton(QStringLiteral("Game Boy"), new PaletteSwatch(ImagePalette::gameBoy(), 8)); },
     Qt::Key_Space,
     {}},
    {"gallery card",
     [] {
         auto* card = new ShaderGalleryCard(std::string("crt"), false);
         card->setName(QStringLiteral("CRT"));
         return card;
     },
     Qt::Key_Space,
     {}},
    {"selected gallery card",
     [] {
         auto* card = new ShaderGalleryCard(std::nullopt, false);
         card->setName(QStringLiteral("Sem Shader"));
         card->setSelected(true);
         return card;
     },
     Qt::Key_Space,
     {}},
    {"colour well",
     [] {
         auto* well = new ColorWell(QStringLiteral("Cor personalizada"), {});
         well->setColor(QColor(200, 40, 60));
         return well;
     },
     Qt::Key_Space,
     {}},
};

// The whole round for one control: the policy, the ring after Tab and gone with focus, a click that focuses
// without a ring, then a key that does its work and brings the ring.
void checkFocus(const ControlRow& row, VTAppearance appearance, const char* themeName)
{
    QWidget* control = row.make();
    Stage stage(control, appearance, 240);
    activate(*stage.root);
    control->clearFocus();  // the window gave it focus when it became active
    EXPECT_EQ(control->focusPolicy(), Qt::StrongFocus);

    const QImage unfocused = snapshot(*control);
    const auto ring = focusRingOf(*control);
    ASSERT_TRUE(ring.has_value());
    EXPECT_FALSE(showsRing(unfocused, *ring));
    control->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(showsRing(snapshot(*control), *ring)) << "focus from Tab";
    saveFocusPicture(*stage.root,
                     QString::fromLatin1(row.name).remove(u',').replace(u' ', u'-') + u'-' + QLatin1String(themeName));
    control->clearFocus();
    EXPECT_EQ(snapshot(*control), unfocused) << "no ring once focus has gone";

    clickAt(*control, ring->rect.center());
    ASSERT_TRUE(control->hasFocus()) << "a click gives focus";
    EXPECT_FALSE(showsRing(snapshot(*control), *focusRingOf(*control))) << "a click alone shows no ring";

    auto* button = qobject_cast<QAbstractButton*>(control);
    std::optional<QSignalSpy> clicks;
    if (button != nullptr) clicks.emplace(button, &QAbstractButton::clicked);
    const QString before = row.reading ? row.reading(*control) : QString();
    QTest::keyClick(control, row.key);
    if (row.reading) {
        EXPECT_NE(row.reading(*control), before) << "the key reached the control";
    }
    if (clicks) {
        EXPECT_EQ(clicks->size(), 1) << "the key pressed the button";
    }
    EXPECT_TRUE(showsRing(snapshot(*control), *focusRingOf(*control))) << "a key shows where the keys go";
}

TEST(ControlFocusTest, EveryControlKindTakesFocusFromTabAndClickAndShowsTheRingOnlyWhileTheKeyboardUsesIt)
{
    for (const ThemeRow& theme : bothThemes) {
        for (const ControlRow& row : controlRows) {
            SCOPED_TRACE(std::string(row.name) + ", " + theme.name);
            checkFocus(row, theme.appearance, theme.name);
        }
    }
}

// Tab and Backtab move the one ring from control to control: only the focused control shows it.
TEST(ControlFocusTest, TabMovesTheRingFromControlToControl)
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
    auto* toggle = new PixelSwitch(QStringLiteral("Moldura"));
    auto* choice = new PixelChoiceButton(QStringLiteral("Bayer"));
    const QList<QWidget*> controls{slider, toggle, choice};
    for (QWidget* control : controls) layout->addWidget(control);
    Stage stage(column, VTAppearance::noite, 240);
    activate(*stage.root);

    const auto ringsShown = [&] {
        QList<QWidget*> shown;
        for (QWidget* control : controls)
            if (showsRing(snapshot(*control), *focusRingOf(*control))) shown.append(control);
        return shown;
    };
    slider->clearFocus();  // the window gave it focus when it became active
    slider->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(ringsShown(), QList<QWidget*>{slider});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(ringsShown(), QList<QWidget*>{toggle});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(ringsShown(), QList<QWidget*>{choice});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(ringsShown(), QList<QWidget*>{toggle});
}

}  // namespace
}  // namespace tilvane::testing

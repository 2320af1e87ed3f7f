// Tab goes through the editor window in the order of the screen in every state the window comes to: from "Abrir"
// along the bar, the gallery's cards left to right, then the inspector column top to bottom (left to right within
// a row) and back to "Abrir"; Backtab goes the exact reverse way. Space on a control whose press rebuilds it keeps
// the focus on it, or on its replacement, inside the column and in view. The order of each state goes to
// Screenshots/Focus/tab-order.txt, pictures of the presses to Screenshots/Focus/press-*.

#include "FocusRingSupport.hpp"
#include "KeyboardEditorSupport.hpp"
#include "PanelTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "ShownEditorSupport.hpp"
#include "TabRoundSupport.hpp"

#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/Url.hpp"

#include <QFile>
#include <QScrollArea>
#include <QTextStream>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace tilvane::testing {
namespace {

const std::string tube = "tubo-classico";

ShaderConfiguration tubeConfiguration()
{
    for (const ShaderPreset& preset : panels::builtInPresets()) {
        if (preset.id == tube) return ShaderConfiguration::fromPreset(preset);
    }
    throw std::runtime_error("no preset " + tube);
}

// Leaves a last session that shows a picture under "Tubo Clássico".
void leaveTubeSession(EditorTestServices& fixture)
{
    const auto picture = writeImageFile(fixture.file("foto.png"), 80, 60);
    VisualSettings look = initialVisualSettings();
    look.shader = tubeConfiguration();
    LastSessionStore(fixture.sessionFile()).save(LastSession{Url::file(picture), look, tube, 2048, 0.5});
}

// Whether `next` comes after `previous` in the order of the screen: to its right within one row (the two overlap
// from top to bottom), else below it.
bool followsOnScreen(const QRect& previous, const QRect& next)
{
    const bool sameRow = previous.top() <= next.bottom() && next.top() <= previous.bottom();
    return sameRow ? next.left() > previous.right() : next.top() > previous.bottom();
}

struct StateRow {
    const char* name;
    std::function<void(EditorTestServices&)> prepare;
    std::function<void(KeyboardEditor&)> enter;
};

const StateRow states[] = {
    {"plain picture", {}, [](KeyboardEditor&) {}},
    {"Tubo Clássico", {}, [](KeyboardEditor& editor) { editor.press(QStringLiteral("shaderCard:tubo-classico")); }},
    {"Tubo Clássico after a restart", leaveTubeSession, [](KeyboardEditor&) {}},
    {"bezel on",
     {},
     [](KeyboardEditor& editor) {
         editor.press(QStringLiteral("shaderCard:tubo-classico"));
         editor.press(QStringLiteral("bezelSwitch"));
     }},
    {"Personalizada", {}, [](KeyboardEditor& editor) { editor.press(QStringLiteral("paletteChoice.custom")); }},
    {"after creating a personal preset", {}, [](KeyboardEditor& editor) { editor.createPersonalPreset("Meu visual"); }},
    {"after deleting a personal preset",
     {},
     [](KeyboardEditor& editor) {
         editor.createPersonalPreset("Primeiro");
         editor.createPersonalPreset("Segundo");
         editor.deleteSelectedPersonalPreset();
     }},
};

void writeOrder(const char* state, const QList<QWidget*>& stops)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus"));
    QFile file(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus/tab-order.txt"));
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    QTextStream out(&file);
    out << state << ":";
    for (const QWidget* stop : stops) out << " | " << stopName(*stop);
    out << "\n";
}

TEST(WindowTabOrder, ARoundOfTabGoesInTheOrderOfTheScreenAndBacktabTheReverseInEveryState)
{
    QFile::remove(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus/tab-order.txt"));
    for (const StateRow& state : states) {
        SCOPED_TRACE(state.name);
        KeyboardEditor editor(VTAppearance::noite, state.prepare);
        state.enter(editor);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        QWidget& open = editor.named(QStringLiteral("openButton"));
        open.setFocus(Qt::TabFocusReason);

        const QList<QWidget*> tab = round(Qt::Key_Tab);
        ASSERT_FALSE(tab.isEmpty());
        ASSERT_EQ(tab.back(), &open) << "Tab never came back to \"Abrir\"";
        const QList<QWidget*> backtab = round(Qt::Key_Backtab);
        QList<QWidget*> reversed(tab.rbegin() + 1, tab.rend());
        reversed.append(&open);
        EXPECT_EQ(backtab, reversed) << "Backtab is not the reverse of Tab";
        writeOrder(state.name, tab);

        // Every control Tab can reach is a stop, once.
        const std::set<QWidget*> stops(tab.begin(), tab.end());
        EXPECT_EQ(stops.size(), static_cast<std::size_t>(tab.size())) << "a stop comes twice";
        EXPECT_EQ(stops, editor.reachableControls());

        // The bar, then the cards left to right, then the column in the order of the screen.
        QWidget& window = *editor.window;
        QWidget& column = columnContent(window);
        const QList<ShaderGalleryCard*> cards = window.findChild<ShaderGallery*>(QStringLiteral("gallery"))->cards();
        QList<QWidget*> walked{&open};
        walked.append(tab.first(tab.size() - 1));
        qsizetype cardsSeen = 0;
        for (qsizetype index = 1; index < walked.size(); ++index) {
            const QWidget& previous = *walked[index - 1];
            const QWidget& stop = *walked[index];
            SCOPED_TRACE("stop " + std::to_string(index) + ": " + stopName(stop).toStdString());
            const WindowRegion from = regionOf(window, previous);
            const WindowRegion to = regionOf(window, stop);
            ASSERT_NE(to, WindowRegion::elsewhere);
            ASSERT_LE(from, to) << "after " << stopName(previous).toStdString();
            if (to == WindowRegion::gallery) {
                ASSERT_LT(cardsSeen, cards.size());
                EXPECT_EQ(&stop, cards[cardsSeen++]) << "the cards go left to right";
            }
            if (from != to) continue;
            const QWidget& area = to == WindowRegion::column ? column : *stop.parentWidget();
            EXPECT_TRUE(followsOnScreen(boundsIn(previous, area), boundsIn(stop, area)))
                << stopName(previous).toStdString() << " at " << describe(&previous) << " "
                << boundsIn(previous, area).y() << ", then " << boundsIn(stop, area).y();
        }
        EXPECT_EQ(cardsSeen, cards.size());
    }
}

struct PressRow {
    const char* name;
    std::function<void(KeyboardEditor&)> enter;
    const char* pressed;
    const char* focusAfter;
};

void chooseTube(KeyboardEditor& editor)
{
    editor.press(QStringLiteral("shaderCard:tubo-classico"));
}

void chooseCustomPalette(KeyboardEditor& editor)
{
    editor.press(QStringLiteral("paletteChoice.custom"));
}

const PressRow presses[] = {
    {"the pass row's toggle, folding", chooseTube, "passToggle:0", "passToggle:0"},
    {"the pass row's toggle, unfolding",
     [](KeyboardEditor& editor) {
         chooseTube(editor);
         editor.press(QStringLiteral("passToggle:0"));
     },
     "passToggle:0", "passToggle:0"},
    {"Restaurar preset, as chosen", chooseTube, "restoreButton", "restoreButton"},
    {"Restaurar preset, bezel turned on",
     [](KeyboardEditor& editor) {
         chooseTube(editor);
         editor.press(QStringLiteral("bezelSwitch"));
     },
     "restoreButton", "restoreButton"},
    {"Restaurar preset of a personal preset",
     [](KeyboardEditor& editor) {
         chooseTube(editor);
         editor.createPersonalPreset("Meu tubo");
         editor.press(QStringLiteral("bezelSwitch"));
     },
     "restoreButton", "restoreButton"},
    {"the Moldura switch, on", chooseTube, "bezelSwitch", "bezelSwitch"},
    {"the Moldura switch, off",
     [](KeyboardEditor& editor) {
         chooseTube(editor);
         editor.press(QStringLiteral("bezelSwitch"));
     },
     "bezelSwitch", "bezelSwitch"},
    {"the shader's remove button", chooseTube, "removeShaderButton", "paletteChoice.original"},
    {"a custom colour's remove button: the one taking its place", chooseCustomPalette, "removeButton", "removeButton"},
    {"+ Adicionar Cor", chooseCustomPalette, "addColorButton", "addColorButton"},
    {"+ Adicionar Cor for the last colour the palette holds: the new row's well",
     [](KeyboardEditor& editor) {
         chooseCustomPalette(editor);
         while (editor.window->findChildren<QWidget*>(QStringLiteral("colorWell")).size() < 15) {
             editor.press(QStringLiteral("addColorButton"));
         }
     },
     "addColorButton", "colorWell"},
};

TEST(WindowTabOrder, SpaceOnAControlItsPressRebuildsKeepsTheFocusThereInsideTheColumnAndInView)
{
    for (const panels::ThemeRow& theme : panels::bothThemes) {
        for (const PressRow& row : presses) {
            SCOPED_TRACE(std::string(row.name) + ", " + theme.name);
            KeyboardEditor editor(theme.appearance);
            row.enter(editor);
            QWidget& window = *editor.window;
            editor.named(QLatin1String(row.pressed)).setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            editor.settle();

            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_EQ(focus->objectName(), QLatin1String(row.focusAfter)) << describe(focus);
            ASSERT_EQ(regionOf(window, *focus), WindowRegion::column) << describe(focus);
            EXPECT_TRUE(inViewOfTheColumn(window, *focus)) << describe(focus);
            EXPECT_TRUE(showsRing(panels::snapshot(*focus), *focusRingOf(*focus)))
                << "the ring left " << describe(focus);
            saveFocusPicture(window,
                             QStringLiteral("press-%1-%2")
                                 .arg(QString::fromLatin1(row.pressed).replace(u':', u'-'), QLatin1String(theme.name)));

            // And the keyboard goes on from there, down the column.
            const QRect pressedAt = boundsIn(*focus, columnContent(window));
            QTest::keyClick(focus, Qt::Key_Tab);
            QWidget* next = QApplication::focusWidget();
            ASSERT_EQ(regionOf(window, *next), WindowRegion::column) << describe(next);
            EXPECT_TRUE(followsOnScreen(pressedAt, boundsIn(*next, columnContent(window)))) << describe(next);
        }
    }
}

// A click that rebuilds the control it lands on leaves the focus on the replacement too, but as focus from a click:
// without the ring the keyboard's focus shows.
TEST(WindowTabOrder, AClickOnTheMolduraSwitchKeepsTheFocusOnItWithoutARing)
{
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "turning it on" : "turning it off");
        KeyboardEditor editor;
        chooseTube(editor);
        if (!on) editor.press(QStringLiteral("bezelSwitch"));
        auto* bezel = qobject_cast<PixelSwitch*>(&editor.named(QStringLiteral("bezelSwitch")));
        ASSERT_NE(bezel, nullptr);
        QTest::mouseClick(bezel, Qt::LeftButton, {}, bezel->trackRect().center());
        editor.settle();

        auto* focus = qobject_cast<PixelSwitch*>(QApplication::focusWidget());
        ASSERT_NE(focus, nullptr) << describe(QApplication::focusWidget());
        EXPECT_EQ(focus->objectName(), QStringLiteral("bezelSwitch"));
        EXPECT_EQ(focus->isOn(), on);
        EXPECT_FALSE(showsRing(panels::snapshot(*focus), *focusRingOf(*focus))) << "a click shows no ring";
    }
}

}  // namespace
}  // namespace tilvane::testing

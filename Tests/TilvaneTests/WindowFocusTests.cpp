// Tab and Backtab through the editor window, in both themes: every stop shows that it has focus. The gallery strip and
// the inspector column are no stops of their own: Tab goes from the bar to the first card and from the last card to
// the column's first control, and the strip or the column scrolls to show the control wherever the focus came from.
// Pictures of those two stops go to Screenshots/Focus.

#include "FocusRingSupport.hpp"
#include "PanelTestSupport.hpp"
#include "ShownEditorSupport.hpp"
#include "TabRoundSupport.hpp"

#include "Tilvane/Views/InspectorPanel.hpp"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace tilvane::testing {
namespace {

using namespace panels;

// Whether the window shows, where its focus widget lies, that the widget has focus: the window's picture there
// changes when the focus leaves. The focus comes back as from Tab.
::testing::AssertionResult showsFocus(QWidget& window)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != &window)
        return ::testing::AssertionFailure() << "no focus in the window";
    const QRect area = QRect(focus->mapTo(&window, QPoint()), focus->size()) & window.rect();
    const QImage focused = window.grab(area).toImage();
    focus->clearFocus();
    const QImage unfocused = window.grab(area).toImage();
    focus->setFocus(Qt::TabFocusReason);
    if (!area.isEmpty() && focused != unfocused) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << describe(focus) << " shows nothing of its focus";
}

// Whether `control` draws the kit's focus ring now.
bool showsKitRing(QWidget& control)
{
    const auto ring = focusRingOf(control);
    return ring.has_value() && showsRing(snapshot(control), *ring);
}

// An editor window with the built-in presets, so that the strip of cards is wider than the stage, and active.
struct FocusedEditor : ShownEditor {
    explicit FocusedEditor(VTAppearance appearance) : ShownEditor(appearance, builtInPresets()) { activate(*window); }

    QList<ShaderGalleryCard*> cards() const { return child<ShaderGallery>("gallery")->cards(); }
    QWidget& column() const { return *child<InspectorPanel>("inspectorPanel")->widget(); }

    // Presses Tab or Backtab in the focus widget; the widget it leads to.
    static QWidget* press(Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget(), key);
        return QApplication::focusWidget();
    }
};

TEST(WindowFocus, TabLeadsFromTheBarToTheFirstCardAndFromTheLastCardIntoTheColumnAndEachShowsItsFocus)
{
    for (const ThemeRow& theme : bothThemes) {
        SCOPED_TRACE(theme.name);
        FocusedEditor editor(theme.appearance);
        const auto cards = editor.cards();
        ASSERT_GT(cards.size(), 2);

        editor.child<QWidget>("exportGIFButton")->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(FocusedEditor::press(Qt::Key_Tab), cards.front())
            << "reached " << describe(QApplication::focusWidget());
        EXPECT_TRUE(showsFocus(*editor.window));
        EXPECT_TRUE(showsKitRing(*cards.front()));
        saveFocusPicture(*editor.window, QStringLiteral("window-first-card-") + QLatin1String(theme.name));

        cards.back()->setFocus(Qt::TabFocusReason);
        QWidget* reached = FocusedEditor::press(Qt::Key_Tab);
        ASSERT_TRUE(editor.column().isAncestorOf(reached)) << "reached " << describe(reached);
        EXPECT_TRUE(showsFocus(*editor.window));
        EXPECT_TRUE(showsKitRing(*reached)) << describe(reached);
        saveFocusPicture(*editor.window, QStringLiteral("window-column-") + QLatin1String(theme.name));
    }
}

// The strip or the column scrolled away from the control Tab comes to from outside it: it scrolls to show it.
TEST(WindowFocus, TabIntoAStripOrColumnScrolledAwayBringsTheControlIntoView)
{
    for (const ThemeRow& theme : bothThemes) {
        SCOPED_TRACE(theme.name);
        FocusedEditor editor(theme.appearance);
        auto* strip = editor.child<QScrollArea>("galleryScroll");
        auto* column = editor.child<QScrollArea>("inspectorPanel");
        strip->horizontalScrollBar()->setValue(strip->horizontalScrollBar()->maximum());
        column->verticalScrollBar()->setValue(column->verticalScrollBar()->maximum());
        ASSERT_GT(strip->horizontalScrollBar()->value(), 0);
        ASSERT_GT(column->verticalScrollBar()->value(), 0);

        editor.child<QWidget>("exportGIFButton")->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(FocusedEditor::press(Qt::Key_Tab), editor.cards().front());
        EXPECT_TRUE(showsFocus(*editor.window));

        editor.cards().back()->setFocus(Qt::TabFocusReason);
        FocusedEditor::press(Qt::Key_Tab);
        EXPECT_TRUE(showsFocus(*editor.window));
    }
}

// From the focus the window gives itself when it becomes active, Tab runs through every control and back again, and
// so does Backtab the other way.
TEST(WindowFocus, EveryStopOfARoundOfTabOrBacktabShowsItsFocus)
{
    constexpr int mostStops = 200;
    for (const ThemeRow& theme : bothThemes) {
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            SCOPED_TRACE(std::string(theme.name) + (key == Qt::Key_Tab ? ", Tab" : ", Backtab"));
            FocusedEditor editor(theme.appearance);
            QWidget* start = QApplication::focusWidget();
            ASSERT_NE(start, nullptr);
            int stop = 0;
            const QList<QWidget*> stops =
                round(key, mostStops, [&](QWidget&) { EXPECT_TRUE(showsFocus(*editor.window)) << "stop " << ++stop; });
            ASSERT_FALSE(stops.isEmpty());
            EXPECT_EQ(stops.back(), start) << "the round never came back to where it started";
            for (QWidget* card : editor.cards()) EXPECT_TRUE(stops.contains(card)) << describe(card);
            EXPECT_TRUE(stops.contains(editor.child<QWidget>("pixelSizeSlider")));
        }
    }
}

}  // namespace
}  // namespace tilvane::testing

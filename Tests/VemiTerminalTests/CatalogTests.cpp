#include "KitTestSupport.hpp"

#include "VemiTerminal/Catalog/VTCatalogView.hpp"
#include "VemiTerminal/Components/VTButton.hpp"

#include <QAbstractButton>
#include <QTest>

namespace {

TEST(VTCatalogViewTest, PickerReThemesTheWholePageAndTypingChangesOnlyTheQuery)
{
    VTCatalogView catalogue;
    catalogue.resize(1100, 800);
    catalogue.show(), QApplication::processEvents();
    EXPECT_EQ(catalogue.appearance(), VTAppearance::system);

    auto* noite = catalogue.findChild<QAbstractButton*>(QStringLiteral("appearance:noite"));
    auto* vemi = catalogue.findChild<QAbstractButton*>(QStringLiteral("appearance:vemi"));
    ASSERT_TRUE(noite && vemi);
    noite->click();
    EXPECT_EQ(catalogue.appearance(), VTAppearance::noite);
    const QList<VTWindow*> windows = catalogue.findChildren<VTWindow*>();
    ASSERT_EQ(windows.size(), 3);
    for (VTWindow* window : windows) EXPECT_EQ(vtTheme(window), VTTheme::noite());
    const QPoint kedu = windows[0]->mapTo(&catalogue, QPoint(3, 3));
    EXPECT_TRUE(colourNear(snapshot(catalogue).pixelColor(kedu), VTTheme::noite().barBg));

    auto* search = catalogue.findChild<VTTextField*>();
    ASSERT_TRUE(search && search->placeholderText() == QStringLiteral("Buscar"));
    QTest::keyClicks(search, QStringLiteral("pixel"));  // typing changes only the query
    EXPECT_EQ(catalogue.query(), QStringLiteral("pixel"));
    EXPECT_EQ(catalogue.appearance(), VTAppearance::noite);

    vemi->click();
    EXPECT_EQ(vtTheme(windows[0]), VTTheme::vemi());
    EXPECT_TRUE(vemi->isChecked() && !noite->isChecked());
}

TEST(VTCatalogViewTest, WindowsKeepTheirWidthsAndTypographyListsEveryStyle)
{
    VTCatalogView catalogue;
    for (int width : {700, 1400}) {
        catalogue.resize(catalogue.fullPageSize(width));
        catalogue.show(), QApplication::processEvents();
        QList<int> widths;
        for (VTWindow* window : catalogue.findChildren<VTWindow*>()) widths.append(window->width());
        EXPECT_EQ(widths, QList<int>({240, 220, 180}));
    }
    QStringList typography;
    for (VTText* text : catalogue.findChildren<VTText*>()) {
        if (text->text().endsWith(QStringLiteral(" — Tomamos a direção oposta"))) {
            typography.append(text->text().section(u' ', 0, 0));
            if (typography.size() == 1) {
                EXPECT_EQ(text->style(), VTTextStyle::displayMD);  // displayXL is shown smaller
            }
        }
    }
    EXPECT_EQ(typography.size(), 11);
    EXPECT_EQ(typography.first(), QStringLiteral("displayXL"));
    EXPECT_EQ(typography.last(), QStringLiteral("code"));
}

TEST(VTCatalogViewTest, SystemAppearanceLooksExactlyLikeTheThemeItResolvesTo)
{
    const QPalette original = QApplication::palette();
    const std::tuple<const char*, int, VTAppearance> rows[] = {{"light desktop", 239, VTAppearance::vemi},
                                                               {"dark desktop", 40, VTAppearance::noite}};
    for (const auto& [name, grey, fixed] : rows) {
        SCOPED_TRACE(name);
        QPalette desktop = original;
        desktop.setColor(QPalette::Window, QColor(grey, grey, grey));
        QApplication::setPalette(desktop);
        auto render = [&](VTAppearance appearance, QRect* picker) {
            VTCatalogView catalogue;
            catalogue.setAppearance(appearance);
            catalogue.resize(catalogue.fullPageSize(1100));
            catalogue.show(), QApplication::processEvents();
            const QWidget* segments =
                catalogue.findChild<QAbstractButton*>(QStringLiteral("appearance:vemi"))->parentWidget();
            *picker = QRect(segments->mapTo(&catalogue, QPoint(0, 0)), segments->size());
            return snapshot(catalogue);
        };
        QRect picker;
        const QImage system = render(VTAppearance::system, &picker), chosen = render(fixed, &picker);
        ASSERT_EQ(system.size(), chosen.size());
        int differing = 0;
        for (int y = 0; y < system.height(); ++y)
            for (int x = 0; x < system.width(); ++x)
                differing += !picker.contains(x, y) && system.pixel(x, y) != chosen.pixel(x, y);
        EXPECT_EQ(differing, 0);  // only the picker's chosen segment may differ
    }
    QApplication::setPalette(original);
}

TEST(VTCatalogViewTest, EveryButtonShowsKeyboardFocusOnly)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        VTCatalogView catalogue;
        catalogue.setAppearance(appearance);
        catalogue.resize(catalogue.fullPageSize(1100));
        catalogue.show(), QApplication::processEvents();
        QStringList names;
        for (QAbstractButton* button : catalogue.findChildren<QAbstractButton*>()) {
            SCOPED_TRACE(button->text().toStdString());
            names.append(button->text());
            const QImage unfocused = snapshot(*button);
            sendFocus(button, QEvent::FocusIn, Qt::MouseFocusReason);
            EXPECT_EQ(snapshot(*button), unfocused);
            sendFocus(button, QEvent::FocusOut, Qt::MouseFocusReason);
            sendFocus(button, QEvent::FocusIn, Qt::TabFocusReason);
            EXPECT_TRUE(focusOutline(snapshot(*button), unfocused, theme.fg));
            sendFocus(button, QEvent::FocusOut, Qt::TabFocusReason);
        }
        // The navigation links, the theme picker, and the primary, ghost and pixel buttons.
        EXPECT_EQ(names.size(), 9) << names.join(u',').toStdString();
    });
}

TEST(VTCatalogViewTest, TabMovesAVisibleOutlineAndAClickDoesNotShowOne)
{
    VTCatalogView catalogue;
    catalogue.setAppearance(VTAppearance::vemi);
    catalogue.resize(1100, 800);
    catalogue.show();
    catalogue.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&catalogue));
    auto* link = qobject_cast<QAbstractButton*>(catalogue.findChildren<VTButton*>().first());
    ASSERT_TRUE(link != nullptr);
    const QImage unfocused = snapshot(*link);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_TRUE(link->hasFocus());
    EXPECT_EQ(snapshot(*link), unfocused);
    QTest::keyClick(link, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_TRUE(link->hasFocus());
    EXPECT_TRUE(focusOutline(snapshot(*link), unfocused, VTTheme::vemi().fg));
}

}  // namespace

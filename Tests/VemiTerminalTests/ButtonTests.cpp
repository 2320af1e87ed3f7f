#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTButton.hpp"

#include <QEnterEvent>
#include <QTest>

namespace {

struct ButtonScene : RowStage<VTButton> {
    ButtonScene(VTButtonStyle style, VTAppearance appearance)
        : RowStage(appearance, new VTButton(QStringLiteral("Executar"), style), 3)
    {
    }

    void hover(bool inside)
    {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(subject, inside ? static_cast<QEvent*>(&enter) : &leave);
    }
};

TEST(VTButtonTest, PrimaryDarkensOnHoverAndPressAndFadesWhenDisabled)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        ButtonScene scene(vtPrimary, appearance);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
        scene.hover(true);
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover)));
        scene.hover(false);
        scene.subject->setDown(true);  // pressed without the pointer over it
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover)));
        scene.subject->setDown(false);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
        scene.subject->setEnabled(false);  // drawn at 40 %, still tracking the pointer
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(theme.btnBg, 0.4))));
        scene.hover(true);
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(over(theme.btnBgHover), 0.4))));
    });
}

TEST(VTButtonTest, GhostUnderlinesOnlyUnderThePointer)
{
    ButtonScene scene(vtGhost, VTAppearance::vemi);
    auto mutedRows = [&] {
        const QImage image = snapshot(*scene.subject);
        const int span = image.width() - 16;
        int rows = 0;
        for (int y = 0; y < image.height(); ++y)
            rows += countColour(image, QRect(8, y, span, 1), over(VTTheme::vemi().fgMuted), 30) > span * 9 / 10;
        return rows;
    };
    EXPECT_EQ(mutedRows(), 0);
    scene.subject->setDown(true);
    EXPECT_EQ(mutedRows(), 0);  // pressing changes nothing
    scene.subject->setDown(false);
    scene.hover(true);
    EXPECT_GE(mutedRows(), 1);  // a solid line across the label
}

TEST(VTButtonTest, PixelButtonSinksIntoItsShadowWhenPressedAndFadesAsOneBlock)
{
    for (VTButtonStyle style : {vtPixel, vtPixelPink}) {
        forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
            ButtonScene scene(style, appearance);
            const QColor body = style == vtPixel ? theme.bgWindow : theme.btnBg;
            const int width = scene.subject->width(), height = scene.subject->height(), middle = height / 2;
            const QColor shadow = over(theme.shadowColor);
            const int neighbourX = scene.neighbour->x();
            EXPECT_EQ(neighbourX, scene.subject->x() + width + 3);  // the shadow takes no layout space

            EXPECT_TRUE(colourNear(scene.at(0, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), shadow));
            EXPECT_TRUE(colourNear(scene.at(4, height + 2), shadow));
            EXPECT_TRUE(colourNear(scene.at(2, height + 2), white));
            scene.hover(true);  // the pixel kinds ignore the pointer
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));

            scene.subject->setDown(true);
            EXPECT_TRUE(colourNear(scene.at(2, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), theme.border));  // moved by (2, 2)
            EXPECT_TRUE(colourNear(scene.at(width + 3, middle), white));         // no shadow shows
            EXPECT_EQ(scene.neighbour->x(), neighbourX);
            scene.subject->setDown(false);
            scene.subject->setEnabled(false);
            // The look is composited first: the body hides the shadow under it, the whole block fades.
            EXPECT_TRUE(colourNear(scene.at(1, middle), over(vtWithOpacity(body, 0.4))));
            EXPECT_TRUE(colourNear(scene.at(0, middle), over(vtWithOpacity(theme.border, 0.4))));
        });
    }
}

TEST(VTButtonTest, AGivenLabelWidthSizesTheButtonAndCentresTheText)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        for (const char* text : {"Vemi", "Noite"}) {
            SCOPED_TRACE(text);
            ButtonScene scene(vtPixel, appearance);
            scene.subject->setText(QString::fromLatin1(text));
            scene.subject->setLabelWidth(64);
            QCoreApplication::processEvents();
            ASSERT_EQ(scene.subject->width(), 64 + 2 * 8);
            const QImage image = snapshot(*scene.subject);
            const QRect inside = image.rect().adjusted(1, 1, -1, -1);  // within the 1-pt outline
            const QRect ink = inkBounds(image, theme.bgWindow, inside, 2);
            ASSERT_FALSE(ink.isEmpty());
            EXPECT_NEAR(ink.left() - inside.left(), inside.right() - ink.right(), 2) << "as much room left as right";
        }
    });
}

TEST(VTButtonTest, ALabelFittedToSeveralTextsKeepsTheSizeOfTheWidestWhicheverItSays)
{
    const QStringList labels{QStringLiteral("Exportar PNG"), QStringLiteral("Exportando…"), QStringLiteral("Ok")};
    const std::pair<const char*, VTButtonStyle> kinds[] = {
        {"primary", vtPrimary}, {"ghost", vtGhost}, {"pixel", vtPixel}};
    for (const auto& [name, style] : kinds) {
        SCOPED_TRACE(name);
        QSize widest;
        for (const QString& label : labels) {
            const QSize natural = VTButton(label, style).sizeHint();
            if (natural.width() > widest.width()) widest = natural;
        }
        VTButton fitted(labels.front(), style);
        fitted.fitLabelWidth(labels);
        for (const QString& label : labels) {
            fitted.setText(label);
            EXPECT_EQ(fitted.sizeHint(), widest) << label.toStdString();
        }
    }
}

TEST(VTButtonTest, KeyboardFocusDrawsATwoPointOutlineInTheForegroundAndMouseFocusDrawsNone)
{
    const std::pair<const char*, VTButtonStyle> kinds[] = {
        {"primary", vtPrimary}, {"ghost", vtGhost}, {"pixel", vtPixel}, {"pixelPink", vtPixelPink}};
    for (const auto& [name, style] : kinds) {
        SCOPED_TRACE(name);
        forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
            ButtonScene scene(style, appearance);
            const QImage unfocused = snapshot(*scene.subject);
            sendFocus(scene.subject, QEvent::FocusIn, Qt::MouseFocusReason);
            EXPECT_EQ(snapshot(*scene.subject), unfocused);  // a click shows no outline
            sendFocus(scene.subject, QEvent::FocusOut, Qt::MouseFocusReason);
            for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::ShortcutFocusReason}) {
                sendFocus(scene.subject, QEvent::FocusIn, reason);
                EXPECT_TRUE(focusOutline(snapshot(*scene.subject), unfocused, theme.fg)) << reason;
                sendFocus(scene.subject, QEvent::FocusOut, Qt::TabFocusReason);
                EXPECT_EQ(snapshot(*scene.subject), unfocused);
            }
        });
    }
}

// The menu bar gives the focus back when the keyboard lets it go: focus the keyboard uses, outlined.
TEST(VTButtonTest, FocusTheMenuBarGivesBackIsOutlined)
{
    ButtonScene scene(vtPixel, VTAppearance::noite);
    const QImage unfocused = snapshot(*scene.subject);
    sendFocus(scene.subject, QEvent::FocusIn, Qt::MenuBarFocusReason);
    EXPECT_TRUE(focusOutline(snapshot(*scene.subject), unfocused, VTTheme::noite().fg));
}

// Another window or a popup over the button's window takes the focus and gives it back: the outline comes back as
// it went, on the button that held the focus or on the one that holds it when the window has it again.
TEST(VTButtonTest, FocusThatLeavesWithItsWindowComesBackAsItWent)
{
    struct Row {
        const char* name;
        Qt::FocusReason cameBy;
        Qt::FocusReason windowReason;
        bool outlined;
    };
    const Row rows[] = {
        {"Tab, then an alert", Qt::TabFocusReason, Qt::ActiveWindowFocusReason, true},
        {"Tab, then a popup", Qt::TabFocusReason, Qt::PopupFocusReason, true},
        {"a click, then an alert", Qt::MouseFocusReason, Qt::ActiveWindowFocusReason, false},
        {"a click, then a popup", Qt::MouseFocusReason, Qt::PopupFocusReason, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ButtonScene scene(vtPixel, VTAppearance::vemi);
        auto* other = new VTButton(QStringLiteral("Outro"), vtPixel, &scene.root);
        other->resize(other->sizeHint());
        other->show();
        const QImage unfocused = snapshot(*scene.subject);
        const QImage otherUnfocused = snapshot(*other);
        const QColor ink = VTTheme::vemi().fg;

        sendFocus(scene.subject, QEvent::FocusIn, row.cameBy);
        sendFocus(scene.subject, QEvent::FocusOut, row.windowReason);
        EXPECT_EQ(snapshot(*scene.subject), unfocused) << "no outline while the window is away";
        sendFocus(scene.subject, QEvent::FocusIn, row.windowReason);
        EXPECT_EQ(static_cast<bool>(focusOutline(snapshot(*scene.subject), unfocused, ink)), row.outlined);

        // The focus went on to another button while the window was away.
        sendFocus(scene.subject, QEvent::FocusOut, row.windowReason);
        sendFocus(other, QEvent::FocusIn, row.windowReason);
        EXPECT_EQ(static_cast<bool>(focusOutline(snapshot(*other), otherUnfocused, ink)), row.outlined);
    }
}

// A click focuses without an outline; once a key is pressed in the button the keyboard is in use there and the
// outline shows, until the next click.
TEST(VTButtonTest, AfterAClickTheFirstKeyPressedShowsTheOutline)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        ButtonScene scene(vtPixel, appearance);
        scene.root.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.root));
        const QImage unfocused = snapshot(*scene.subject);
        QTest::mouseClick(scene.subject, Qt::LeftButton);
        ASSERT_TRUE(scene.subject->hasFocus());
        EXPECT_EQ(snapshot(*scene.subject), unfocused);
        QTest::keyClick(scene.subject, Qt::Key_Shift);
        EXPECT_TRUE(focusOutline(snapshot(*scene.subject), unfocused, theme.fg));
        QTest::mouseClick(scene.subject, Qt::LeftButton);
        EXPECT_EQ(snapshot(*scene.subject), unfocused);
    });
}

}  // namespace

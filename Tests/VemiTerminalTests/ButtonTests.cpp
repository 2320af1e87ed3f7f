#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QEnterEvent>
#include <gtest/gtest.h>

namespace {

struct ButtonScene : RowStage {
    VTButton* button;

    ButtonScene(VTButtonStyle style, VTAppearance appearance)
        : ButtonScene(new VTButton(QStringLiteral("Executar"), style), appearance) {}
    ButtonScene(VTButton* subject, VTAppearance appearance) : RowStage(appearance, subject, 3), button(subject) {}

    void hover(bool inside) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, inside ? static_cast<QEvent*>(&enter) : &leave);
    }

    QColor at(int dx, int dy) { return pixelAt(snapshot(root), button->x() + dx, button->y() + dy); }
};

TEST(VTButtonTest, PrimaryDarkensOnHoverAndPressInBothThemes) {
    for (const auto& [appearance, theme] : bothThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        ButtonScene scene(vtPrimary, appearance);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
        scene.hover(true);
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover)));
        scene.hover(false);
        scene.button->setDown(true);  // pressed without the pointer over it
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover)));
        scene.button->setDown(false);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
    }
}

TEST(VTButtonTest, DisabledButtonsAreDrawnAtFortyPercentAndStillTrackHover) {
    ButtonScene scene(vtPrimary, VTAppearance::vemi);
    const VTTheme& theme = VTTheme::vemi();
    scene.button->setEnabled(false);
    EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(theme.btnBg, 0.4))));
    scene.hover(true);
    EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(over(theme.btnBgHover), 0.4))));

    ButtonScene pixel(vtPixel, VTAppearance::vemi);
    pixel.button->setEnabled(false);
    const int middle = pixel.button->height() / 2;
    // The look is composited first: the body hides the shadow under it, the whole block fades.
    EXPECT_TRUE(colourNear(pixel.at(2, middle), over(vtWithOpacity(theme.bgWindow, 0.4))));
    EXPECT_TRUE(colourNear(pixel.at(0, middle), over(vtWithOpacity(theme.border, 0.4))));
}

TEST(VTButtonTest, GhostUnderlinesOnlyUnderThePointer) {
    ButtonScene scene(vtGhost, VTAppearance::vemi);
    auto mutedRows = [&] {
        const QImage image = snapshot(*scene.button);
        const int span = image.width() - 16;
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            rows += countColour(image, QRect(8, y, span, 1), over(VTTheme::vemi().fgMuted), 30) > span * 9 / 10;
        }
        return rows;
    };
    EXPECT_EQ(mutedRows(), 0);
    scene.button->setDown(true);
    EXPECT_EQ(mutedRows(), 0);  // pressing changes nothing
    scene.button->setDown(false);
    scene.hover(true);
    EXPECT_GE(mutedRows(), 1);  // a solid line across the label
}

TEST(VTButtonTest, PixelButtonSinksIntoItsShadowWhenPressed) {
    for (VTButtonStyle style : {vtPixel, vtPixelPink}) {
        for (const auto& [appearance, theme] : bothThemes()) {
            SCOPED_TRACE(theme.name.toStdString());
            ButtonScene scene(style, appearance);
            const QColor body = style == vtPixel ? theme.bgWindow : theme.btnBg;
            const int width = scene.button->width();
            const int height = scene.button->height();
            const int middle = height / 2;
            const QColor shadow = over(theme.shadowColor);
            const int neighbourX = scene.neighbour->x();
            EXPECT_EQ(neighbourX, scene.button->x() + width + 3);  // the shadow takes no layout space

            EXPECT_TRUE(colourNear(scene.at(0, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), shadow));
            EXPECT_TRUE(colourNear(scene.at(4, height + 2), shadow));
            EXPECT_TRUE(colourNear(scene.at(2, height + 2), white));
            scene.hover(true);  // the pixel kinds ignore the pointer
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));

            scene.button->setDown(true);
            EXPECT_TRUE(colourNear(scene.at(2, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), theme.border));  // moved by (2, 2)
            EXPECT_TRUE(colourNear(scene.at(width + 3, middle), white));         // no shadow shows
            EXPECT_EQ(scene.neighbour->x(), neighbourX);
        }
    }
}

}  // namespace

#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <gtest/gtest.h>

namespace {

const QColor ground(255, 255, 255);

struct ButtonScene {
    QWidget root;
    VTButton* button;
    QWidget* neighbour;

    ButtonScene(VTButtonStyle style, VTAppearance appearance) {
        root.setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(&root);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->setSpacing(3);
        button = new VTButton(QStringLiteral("Executar"), style);
        neighbour = new QWidget;
        neighbour->setFixedSize(20, 20);
        layout->addWidget(button, 0, Qt::AlignTop);
        layout->addWidget(neighbour, 0, Qt::AlignTop);
        layout->addStretch(1);
        vemiTerminal(&root, appearance);
        QPalette white = root.palette();
        white.setColor(QPalette::Window, ground);
        root.setPalette(white);
        root.resize(240, 80);
        root.show();
        QApplication::processEvents();
    }

    void hover(bool inside) {
        if (inside) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(button, &leave);
        }
    }

    QColor at(int dx, int dy) { return pixelAt(snapshot(root), button->x() + dx, button->y() + dy); }
};

TEST(VTButtonTest, PrimaryDarkensOnHoverAndPressInBothThemes) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        ButtonScene scene(vtPrimary, appearance);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
        scene.hover(true);
        EXPECT_TRUE(scene.button->isHovering());
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover, ground)));
        scene.hover(false);
        scene.button->setDown(true);  // pressed without the pointer over it
        EXPECT_TRUE(colourNear(scene.at(2, 2), over(theme.btnBgHover, ground)));
        scene.button->setDown(false);
        EXPECT_TRUE(colourNear(scene.at(2, 2), theme.btnBg));
    }
}

TEST(VTButtonTest, DisabledButtonsAreDrawnAtFortyPercentAndStillTrackHover) {
    ButtonScene scene(vtPrimary, VTAppearance::vemi);
    const VTTheme& theme = VTTheme::vemi();
    scene.button->setEnabled(false);
    EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(theme.btnBg, 0.4), ground)));
    scene.hover(true);
    EXPECT_TRUE(colourNear(scene.at(2, 2), over(vtWithOpacity(over(theme.btnBgHover, ground), 0.4), ground)));

    ButtonScene pixel(vtPixel, VTAppearance::vemi);
    pixel.button->setEnabled(false);
    const int middle = pixel.button->height() / 2;
    // The look is composited first: the body hides the shadow under it, the whole block fades.
    EXPECT_TRUE(colourNear(pixel.at(2, middle), over(vtWithOpacity(theme.bgWindow, 0.4), ground)));
    EXPECT_TRUE(colourNear(pixel.at(0, middle), over(vtWithOpacity(theme.border, 0.4), ground)));
}

TEST(VTButtonTest, GhostUnderlinesOnlyUnderThePointer) {
    ButtonScene scene(vtGhost, VTAppearance::vemi);
    auto mutedRows = [&] {
        const QImage image = snapshot(*scene.button);
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            int muted = 0;
            for (int x = 8; x < image.width() - 8; ++x) {
                muted += colourNear(image.pixelColor(x, y), over(VTTheme::vemi().fgMuted, ground), 30) ? 1 : 0;
            }
            rows += muted > (image.width() - 16) * 9 / 10 ? 1 : 0;
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
        for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
            const VTTheme& theme = vtResolveTheme(appearance, false);
            SCOPED_TRACE(theme.name.toStdString());
            ButtonScene scene(style, appearance);
            const QColor body = style == vtPixel ? theme.bgWindow : theme.btnBg;
            const int width = scene.button->width();
            const int height = scene.button->height();
            const int middle = height / 2;
            const QColor shadow = over(theme.shadowColor, ground);
            const int neighbourX = scene.neighbour->x();
            EXPECT_EQ(neighbourX, scene.button->x() + width + 3);  // the shadow takes no layout space

            EXPECT_TRUE(colourNear(scene.at(0, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), shadow));
            EXPECT_TRUE(colourNear(scene.at(4, height + 2), shadow));
            EXPECT_TRUE(colourNear(scene.at(2, height + 2), ground));
            scene.hover(true);  // the pixel kinds ignore the pointer
            EXPECT_TRUE(colourNear(scene.at(1, middle), body));

            scene.button->setDown(true);
            EXPECT_TRUE(colourNear(scene.at(1, middle), ground));
            EXPECT_TRUE(colourNear(scene.at(2, middle), theme.border));
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), theme.border));  // moved by (2, 2)
            EXPECT_TRUE(colourNear(scene.at(width + 3, middle), ground));        // no shadow shows
            EXPECT_TRUE(colourNear(scene.at(middle, height + 1), theme.border));
            EXPECT_EQ(scene.neighbour->x(), neighbourX);

            scene.button->setDown(false);
            EXPECT_TRUE(colourNear(scene.at(width + 1, middle), shadow));
        }
    }
}

}  // namespace

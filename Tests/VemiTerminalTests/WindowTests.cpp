#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

#include <QApplication>
#include <QHBoxLayout>
#include <gtest/gtest.h>

namespace {

const QColor ground(255, 255, 255);

// A window of fixed width beside a neighbour, on a plain white ground.
struct WindowScene {
    QWidget root;
    VTWindow* window;
    QWidget* neighbour;

    WindowScene(VTAppearance appearance, bool active, bool vemiBody) {
        root.setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(&root);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->setSpacing(8);
        window = new VTWindow(QStringLiteral("KEDU"), QStringLiteral("\u25A2"), active, vemiBody);
        window->setFixedWidth(120);
        window->setContent(new VTText(QStringLiteral("texto"), VTTextStyle::pixelMD));
        neighbour = new QWidget;
        neighbour->setFixedSize(30, 30);
        layout->addWidget(window, 0, Qt::AlignTop);
        layout->addWidget(neighbour, 0, Qt::AlignTop);
        layout->addStretch(1);
        vemiTerminal(&root, appearance);
        QPalette white = root.palette();
        white.setColor(QPalette::Window, ground);
        root.setPalette(white);
        root.resize(260, 160);
        root.show();
        QApplication::processEvents();
    }
};

TEST(VTWindowTest, TitleBarColoursFollowStateAndTheme) {
    struct Row {
        const char* name;
        VTAppearance appearance;
        bool active;
        bool vemiBody;
        QColor bar;
        QColor barText;
        QColor body;
    };
    using P = VTPalette;
    const Row rows[] = {
        {"vemi inactive", VTAppearance::vemi, false, false, P::ink(), P::silver(), P::paper()},
        {"vemi active", VTAppearance::vemi, true, false, P::ink(), P::vemi(), P::paper()},
        {"noite inactive", VTAppearance::noite, false, false, P::graphite(), P::silver(), P::coal()},
        {"noite active", VTAppearance::noite, true, false, P::vemi(), P::ink(), P::coal()},
        {"pink body wins over active", VTAppearance::noite, true, true, P::ink(), P::vemi(), P::vemi()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WindowScene scene(row.appearance, row.active, row.vemiBody);
        EXPECT_EQ(scene.window->barBackground(), row.bar);
        EXPECT_EQ(scene.window->barForeground(), row.barText);
        const QImage image = snapshot(scene.root);
        const QPoint origin = scene.window->pos();
        EXPECT_TRUE(colourNear(pixelAt(image, origin.x() + 3, origin.y() + 3), row.bar));
        const int barHeight = scene.window->titleBarHeight();
        EXPECT_TRUE(colourNear(pixelAt(image, origin.x() + 3, origin.y() + barHeight + 3), row.body));
        // The title is drawn in the bar's text colour somewhere right of the padding.
        bool titleSeen = false;
        for (int x = origin.x() + 8; x < origin.x() + 40 && !titleSeen; ++x) {
            for (int y = origin.y() + 2; y < origin.y() + barHeight - 2 && !titleSeen; ++y) {
                titleSeen = colourNear(pixelAt(image, x, y), row.barText, 40);
            }
        }
        EXPECT_TRUE(titleSeen);
    }
}

TEST(VTWindowTest, ControlGlyphSitsAtTheBarsTrailingPadding) {
    WindowScene scene(VTAppearance::vemi, false, false);
    const QImage image = snapshot(*scene.window);
    const int width = image.width();
    const int barHeight = scene.window->titleBarHeight();
    const int controlWidth = static_cast<int>(vtTextLineSize(VTTextStyle::pixelMD, QStringLiteral("\u25A2")).width());
    int inControl = 0;
    for (int y = 1; y < barHeight - 1; ++y) {
        for (int x = width - 8; x < width - 1; ++x) {
            EXPECT_TRUE(colourNear(pixelAt(image, x, y), VTPalette::ink())) << x << "," << y;  // the padding
        }
        for (int x = width - 8 - controlWidth; x < width - 8; ++x) {
            inControl += colourNear(pixelAt(image, x, y), VTPalette::silver(), 40) ? 1 : 0;
        }
    }
    EXPECT_GT(inControl, 10);
}

TEST(VTWindowTest, BorderIsInsideAndShadowOutsideWithoutMovingNeighbours) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        WindowScene scene(appearance, false, true);  // the pink body still takes outline and shadow from the theme
        const QRect frame = scene.window->geometry();
        EXPECT_EQ(scene.neighbour->x(), frame.right() + 1 + 8);
        const QImage image = snapshot(scene.root);
        const int middle = frame.top() + frame.height() / 2;
        EXPECT_TRUE(colourNear(pixelAt(image, frame.left(), middle), theme.border));
        EXPECT_TRUE(colourNear(pixelAt(image, frame.right(), middle), theme.border));
        EXPECT_TRUE(colourNear(pixelAt(image, frame.left() + 1, middle), VTPalette::vemi()));
        EXPECT_TRUE(colourNear(pixelAt(image, frame.left() + frame.width() / 2, frame.bottom()), theme.border));
        const QColor shadow = over(theme.shadowColor, ground);
        for (int step = 1; step <= 4; ++step) {
            EXPECT_TRUE(colourNear(pixelAt(image, frame.right() + step, middle), shadow)) << step;
            EXPECT_TRUE(colourNear(pixelAt(image, frame.left() + 20, frame.bottom() + step), shadow)) << step;
        }
        EXPECT_TRUE(colourNear(pixelAt(image, frame.right() + 5, middle), ground));
        EXPECT_TRUE(colourNear(pixelAt(image, frame.right() + 2, frame.top() + 2), ground));  // offset down by 4
        EXPECT_TRUE(colourNear(pixelAt(image, frame.left() + 2, frame.bottom() + 2), ground));  // and right by 4
    }
}

TEST(VTWindowTest, ContentTextTakesInkOnThePinkBodyAndFgOtherwise) {
    WindowScene plain(VTAppearance::noite, false, false);
    WindowScene pink(VTAppearance::noite, false, true);
    EXPECT_EQ(plain.window->contentForeground(), VTPalette::mist());
    EXPECT_EQ(pink.window->contentForeground(), VTPalette::ink());
    auto* text = plain.window->findChild<VTText*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(vtForeground(text), VTPalette::mist());
    EXPECT_EQ(text->pos(), QPoint(12, plain.window->titleBarHeight() + 12));
}

TEST(VTWindowTest, FlexibleContentFillsThePanelWidthAndFixedContentSitsTopLeft) {
    struct Row {
        const char* name;
        QSizePolicy::Policy horizontal;
        int expectedWidth;
    };
    const Row rows[] = {
        {"expanding content fills the width", QSizePolicy::Expanding, 200 - 2 * 12},
        {"preferred content fills the width", QSizePolicy::Preferred, 200 - 2 * 12},
        {"fixed content keeps its width", QSizePolicy::Fixed, 50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget root;
        auto* window = new VTWindow(QStringLiteral("Ajustes"), QStringLiteral("\u25A2"), false, false, &root);
        auto* content = new QWidget;
        content->setMinimumSize(30, 20);
        content->setSizePolicy(row.horizontal, QSizePolicy::Preferred);
        if (row.horizontal == QSizePolicy::Fixed) {
            content->setFixedSize(50, 20);
        }
        window->setContent(content);
        window->setGeometry(0, 0, 200, 150);
        root.resize(220, 170);
        root.show();
        QApplication::processEvents();
        EXPECT_EQ(content->pos(), QPoint(12, window->titleBarHeight() + 12));
        EXPECT_EQ(content->width(), row.expectedWidth);
        EXPECT_EQ(content->height(), 20);  // its own height, at the top
    }
}

TEST(VTGlyphTest, PaintsItsBadgeInTheGlyphColours) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        QWidget root;
        auto* glyph = new VTGlyph(QStringLiteral("KEDU"), &root);
        glyph->resize(glyph->sizeHint());
        vemiTerminal(&root, appearance);
        const QImage image = snapshot(*glyph);
        SCOPED_TRACE(theme.name.toStdString());
        EXPECT_TRUE(colourNear(pixelAt(image, 1, 1), theme.glyphBg));
        EXPECT_EQ(glyph->sizeHint().height(), std::ceil(vtNaturalLineHeight(VTTextStyle::pixelLG)));
        // The text stands in `glyphFg` between paddings of 4: nothing but the badge in the outer 4 columns.
        int textPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool text = colourNear(pixelAt(image, x, y), theme.glyphFg, 12);
                textPixels += text ? 1 : 0;
                if (x < 4 || x >= image.width() - 4) {
                    EXPECT_TRUE(colourNear(pixelAt(image, x, y), theme.glyphBg)) << x << "," << y;
                }
            }
        }
        EXPECT_GT(textPixels, 40);
    }
}

}  // namespace

#include "KitTestSupport.hpp"


namespace {

// A 120-point window beside a neighbour 8 points away, on a plain white ground.
struct WindowScene : RowStage<VTWindow> {
    WindowScene(VTAppearance appearance, bool active, bool vemiBody)
        : RowStage(appearance, new VTWindow(QStringLiteral("KEDU"), QStringLiteral("\u25A2"), active, vemiBody), 8) {
        subject->setFixedWidth(120);
        subject->setContent(new VTText(QStringLiteral("texto"), VTTextStyle::pixelMD));
        show();
    }
};

TEST(VTWindowTest, TitleBarColoursFollowStateAndTheme) {
    using P = VTPalette;
    const std::tuple<const char*, VTAppearance, bool, bool, QColor, QColor, QColor, QColor> rows[] = {
        {"vemi inactive", VTAppearance::vemi, false, false, P::ink(), P::silver(), P::paper(), P::ink()},
        {"vemi active", VTAppearance::vemi, true, false, P::ink(), P::vemi(), P::paper(), P::ink()},
        {"noite inactive", VTAppearance::noite, false, false, P::graphite(), P::silver(), P::coal(), P::mist()},
        {"noite active", VTAppearance::noite, true, false, P::vemi(), P::ink(), P::coal(), P::mist()},
        {"pink body wins over active", VTAppearance::noite, true, true, P::ink(), P::vemi(), P::vemi(), P::ink()},
    };
    const int controlWidth = static_cast<int>(vtTextLineSize(VTTextStyle::pixelMD, QStringLiteral("\u25A2")).width());
    for (const auto& [name, appearance, active, vemiBody, bar, barText, body, content] : rows) {
        SCOPED_TRACE(name);
        WindowScene scene(appearance, active, vemiBody);
        const QImage image = snapshot(*scene.subject);
        const int barHeight = scene.subject->titleBarHeight();
        EXPECT_TRUE(colourNear(image.pixelColor(3, 3), bar));
        EXPECT_TRUE(colourNear(image.pixelColor(3, barHeight + 3), body));
        // The title is drawn in the bar's text colour right of the padding.
        EXPECT_GT(countColour(image, QRect(8, 2, 32, barHeight - 4), barText, 40), 0);
        // The control glyph stands left of the trailing padding of 8.
        const QRect padding(image.width() - 8, 1, 7, barHeight - 2);
        EXPECT_EQ(countColour(image, padding, bar, 2), padding.width() * padding.height());
        const QRect control(padding.left() - controlWidth, 1, controlWidth, barHeight - 2);
        EXPECT_GT(countColour(image, control, barText, 40), 10);
        EXPECT_EQ(vtForeground(scene.subject->findChild<VTText*>()), content);  // ink on the pink body
    }
}

TEST(VTWindowTest, BorderIsInsideAndShadowOutsideWithoutMovingNeighbours) {
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        WindowScene scene(appearance, false, true);  // the pink body still takes outline and shadow from the theme
        const QRect frame = scene.subject->geometry();
        EXPECT_EQ(scene.neighbour->x(), frame.right() + 1 + 8);
        const QImage image = snapshot(scene.root);
        const int middle = frame.top() + frame.height() / 2;
        EXPECT_TRUE(colourNear(image.pixelColor(frame.left(), middle), theme.border));
        EXPECT_TRUE(colourNear(image.pixelColor(frame.right(), middle), theme.border));
        EXPECT_TRUE(colourNear(image.pixelColor(frame.left() + 1, middle), VTPalette::vemi()));
        EXPECT_TRUE(colourNear(image.pixelColor(frame.left() + frame.width() / 2, frame.bottom()), theme.border));
        const QColor shadow = over(theme.shadowColor);
        EXPECT_EQ(countColour(image, QRect(frame.right() + 1, middle, 4, 1), shadow, 2), 4);
        EXPECT_EQ(countColour(image, QRect(frame.left() + 20, frame.bottom() + 1, 1, 4), shadow, 2), 4);
        EXPECT_TRUE(colourNear(image.pixelColor(frame.right() + 5, middle), white));
        EXPECT_TRUE(colourNear(image.pixelColor(frame.right() + 2, frame.top() + 2), white));  // offset down by 4
        EXPECT_TRUE(colourNear(image.pixelColor(frame.left() + 2, frame.bottom() + 2), white));  // and right by 4
    });
}

TEST(VTWindowTest, FlexibleContentFillsThePanelWidthAndFixedContentSitsTopLeft) {
    using Row = std::pair<QSizePolicy::Policy, int>;
    for (const auto& [policy, expectedWidth] : {Row{QSizePolicy::Preferred, 176}, Row{QSizePolicy::Fixed, 50}}) {
        SCOPED_TRACE(expectedWidth);
        VTWindow window(QStringLiteral("Ajustes"), QStringLiteral("\u25A2"), false, false);
        auto* content = new QWidget;
        content->setMinimumSize(30, 20);
        content->setSizePolicy(policy, QSizePolicy::Preferred);
        if (policy == QSizePolicy::Fixed) content->setFixedSize(50, 20);
        window.setContent(content);
        window.resize(200, 150);
        window.show(), QApplication::processEvents();
        EXPECT_EQ(content->geometry(), QRect(12, window.titleBarHeight() + 12, expectedWidth, 20));
    }
}

}  // namespace

#include "KitTestSupport.hpp"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// A 120-point window beside a neighbour 8 points away, on a plain white ground.
struct WindowScene : RowStage<VTWindow> {
    WindowScene(VTAppearance appearance, bool active, bool vemiBody)
        : RowStage(
            appearance,
            new VTWindow(QStringLiteral("KEDU"), QStringLiteral("\u25A2"), {.active = active, .vemiBody = vemiBody}), 8)
    {
        subject->setFixedWidth(120);
        subject->setContent(new VTText(QStringLiteral("texto"), VTTextStyle::pixelMD));
        show();
    }
};

TEST(VTWindowTest, TitleBarColoursFollowStateAndTheme)
{
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
        EXPECT_EQ(scene.subject->bodyBackground(), body);  // what controls on the body paint their ground with
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

// How many pixels of `widget`, inside the window that holds it, are drawn in `ink`.
int inkPixels(VTWindow& window, const QWidget& widget, const QColor& ink)
{
    const QRect area(widget.mapTo(&window, QPoint()), widget.size());
    return countColour(snapshot(window), area, ink, 24);
}

::testing::AssertionResult hasPixelMDFace(const QWidget& widget)
{
    const QFont expected = vtFont(VTTextStyle::pixelMD);
    const QFont actual = widget.font();
    if (actual.family() == expected.family() && actual.pixelSize() == expected.pixelSize()
        && QFontInfo(actual).family() == QFontInfo(expected).family())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "font " << actual.toString().toStdString();
}

TEST(VTWindowTest, APlainLabelAsContentTakesThePixelFaceAndTheContentInkAlsoAfterAThemeSwitch)
{
    using P = VTPalette;
    struct Row {
        const char* name;
        VTWindowOptions options;
        VTAppearance first, second;
        QColor firstInk, secondInk;
    };
    const Row rows[] = {
        {"inactive, Vemi then Noite", {}, VTAppearance::vemi, VTAppearance::noite, P::ink(), P::mist()},
        {"inactive, Noite then Vemi", {}, VTAppearance::noite, VTAppearance::vemi, P::mist(), P::ink()},
        {"active, Vemi then Noite", {.active = true}, VTAppearance::vemi, VTAppearance::noite, P::ink(), P::mist()},
        {"active, Noite then Vemi", {.active = true}, VTAppearance::noite, VTAppearance::vemi, P::mist(), P::ink()},
        {"pink body, Vemi then Noite", {.vemiBody = true}, VTAppearance::vemi, VTAppearance::noite, P::ink(), P::ink()},
        {"pink body, Noite then Vemi", {.vemiBody = true}, VTAppearance::noite, VTAppearance::vemi, P::ink(), P::ink()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Stage stage(row.first, {260, 120});
        auto* window = new VTWindow(QStringLiteral("Nota"), std::nullopt, row.options, &stage.root);
        auto* label = new QLabel(QStringLiteral("MMMM"));
        window->setContent(label);
        window->setGeometry(10, 10, 200, 80);
        stage.show();
        EXPECT_TRUE(hasPixelMDFace(*label));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), row.firstInk);
        EXPECT_GT(inkPixels(*window, *label, row.firstInk), 20);

        vemiTerminal(&stage.root, row.second);
        QApplication::processEvents();
        EXPECT_TRUE(hasPixelMDFace(*label));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), row.secondInk);
        EXPECT_GT(inkPixels(*window, *label, row.secondInk), 20);
    }
}

TEST(VTWindowTest, WidgetsInsideTheContentInheritFaceAndInkUnlessTheySetTheirOwn)
{
    const QColor own(0, 160, 0);
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        for (const bool vemiBody : {false, true}) {
            SCOPED_TRACE(vemiBody ? "pink body" : "theme body");
            Stage stage(appearance, {300, 200});
            auto* window = new VTWindow(QStringLiteral("Nota"), std::nullopt, {.vemiBody = vemiBody}, &stage.root);
            auto* container = new QWidget;
            auto* layout = new QVBoxLayout(container);
            auto* field = new QLineEdit(QStringLiteral("MMMM"));
            auto* styled = new QLabel(QStringLiteral("MMMM"));
            vtTextStyle(styled, VTTextStyle::code);
            QPalette colours = styled->palette();
            colours.setColor(QPalette::WindowText, own);
            styled->setPalette(colours);
            auto* kitField = new VTTextField(QStringLiteral("Nome"));
            layout->addWidget(field);
            layout->addWidget(styled);
            layout->addWidget(kitField);
            window->setContent(container);
            window->setGeometry(10, 10, 260, 160);
            stage.show();

            const QColor ink = vemiBody ? VTPalette::ink() : theme.fg;
            EXPECT_TRUE(hasPixelMDFace(*field));
            EXPECT_EQ(field->palette().color(QPalette::Text), ink);
            // The field's ground keeps the ink readable: paper on the pink body, the theme's window colour else.
            EXPECT_EQ(field->palette().color(QPalette::Base), vemiBody ? VTPalette::paper() : theme.bgWindow);
            EXPECT_GT(inkPixels(*window, *field, ink), 20);
            EXPECT_EQ(styled->font().family(), vtFont(VTTextStyle::code).family());
            EXPECT_GT(inkPixels(*window, *styled, own), 20);
            EXPECT_EQ(inkPixels(*window, *styled, ink), 0);
            EXPECT_EQ(kitField->palette().color(QPalette::Base), QColor(Qt::transparent));  // the kit paints its own
        }
    });
}

TEST(VTWindowTest, BorderIsInsideAndShadowOutsideWithoutMovingNeighbours)
{
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
        EXPECT_TRUE(colourNear(image.pixelColor(frame.right() + 2, frame.top() + 2), white));    // offset down by 4
        EXPECT_TRUE(colourNear(image.pixelColor(frame.left() + 2, frame.bottom() + 2), white));  // and right by 4
    });
}

TEST(VTWindowTest, FlexibleContentFillsThePanelWidthAndFixedContentSitsTopLeft)
{
    using Row = std::pair<QSizePolicy::Policy, int>;
    for (const auto& [policy, expectedWidth] : {Row{QSizePolicy::Preferred, 176}, Row{QSizePolicy::Fixed, 50}}) {
        SCOPED_TRACE(expectedWidth);
        VTWindow window(QStringLiteral("Ajustes"), QStringLiteral("\u25A2"));
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

// Windows with a line of text each, stacked in `column` without margins or a stretch item.
std::vector<VTWindow*> stackWindows(QWidget* column, int count, int spacing)
{
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    std::vector<VTWindow*> windows;
    for (int index = 0; index < count; ++index) {
        windows.push_back(new VTWindow(QStringLiteral("Painel %1").arg(index), QStringLiteral("\u25A2")));
        windows.back()->setContent(new VTText(QStringLiteral("texto"), VTTextStyle::pixelMD));
        layout->addWidget(windows.back());
    }
    return windows;
}

TEST(VTWindowTest, KeepsItsContentHeightInATallColumn)
{
    QWidget column;
    const std::vector<VTWindow*> windows = stackWindows(&column, 3, 0);
    column.resize(300, 600);
    column.show(), QApplication::processEvents();
    const int textHeight = VTText(QStringLiteral("texto"), VTTextStyle::pixelMD).sizeHint().height();
    for (VTWindow* window : windows) {
        EXPECT_EQ(window->height(), window->titleBarHeight() + 12 + textHeight + 12);
        EXPECT_EQ(window->width(), 300);  // only the width is flexible
    }
}

TEST(VTWindowTest, ShadowIsClippedByTheScrollAreaThatHoldsTheWindow)
{
    const QColor header(0, 200, 0);
    QWidget root;
    auto* layout = new QVBoxLayout(&root);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* above = new QWidget;
    above->setFixedHeight(60);
    above->setAutoFillBackground(true);
    QPalette abovePalette = above->palette();
    abovePalette.setColor(QPalette::Window, header);
    above->setPalette(abovePalette);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* page = new QWidget;
    stackWindows(page, 8, 0);
    scroll->setWidget(page);
    layout->addWidget(above);
    layout->addWidget(scroll);
    root.resize(300, 400);
    vemiTerminal(&root, VTAppearance::noite);  // a shadow colour that shows on any ground
    root.show(), QApplication::processEvents();
    scroll->verticalScrollBar()->setValue(150);
    QApplication::processEvents();

    const QImage image = snapshot(root);
    const QRect headerArea(0, 0, 300, 60);
    EXPECT_EQ(countColour(image, headerArea, header, 0), headerArea.width() * headerArea.height());
    QScrollBar* bar = scroll->verticalScrollBar();
    const QRect barArea(bar->mapTo(&root, QPoint(0, 0)), bar->size());
    EXPECT_TRUE(image.copy(barArea) == snapshot(*bar)) << "something is drawn over the scroll bar";
}

TEST(VTWindowTest, LongControlTextWrapsInsideTheBarBesideTheWholeTitle)
{
    const VTTheme& theme = VTTheme::vemi();
    Stage stage(VTAppearance::vemi, {240, 200});
    auto* window = new VTWindow(QStringLiteral("Curto"), QStringLiteral("controle muito comprido que não cabe"));
    window->setParent(&stage.root);
    window->setContent(new VTText(QStringLiteral("texto"), VTTextStyle::pixelMD));
    window->setFixedWidth(180);
    window->move(10, 10);
    window->resize(180, window->sizeHint().height());
    stage.show();

    const QImage image = snapshot(*window);
    const int barHeight = window->titleBarHeight();
    const int lineHeight = static_cast<int>(std::ceil(vtNaturalLineHeight(VTTextStyle::pixelMD)));
    EXPECT_GE(barHeight, 2 * lineHeight + 4);  // the control wrapped onto more lines and the bar grew
    EXPECT_EQ(window->findChild<VTText*>()->y(), barHeight + 12);
    // All the bar's text lies between its paddings of 8.
    const QRect inBar = inkBounds(image, theme.barBg, QRect(1, 1, image.width() - 2, barHeight - 2), 40);
    EXPECT_GE(inBar.left(), 8);
    EXPECT_LE(inBar.right(), image.width() - 9);
    // The title is shown whole, and the spacing and spacer after it stay clear.
    const int titleWidth =
        static_cast<int>(std::ceil(vtTextLineSize(VTTextStyle::pixelMD, QStringLiteral("Curto")).width()));
    EXPECT_GT(countColour(image, QRect(8, 1, titleWidth, barHeight - 2), theme.barFg, 40), 10);
    EXPECT_EQ(inkBounds(image, theme.barBg, QRect(8 + titleWidth, 1, 16, barHeight - 2), 40), QRect());
    EXPECT_EQ(
        countColour(image, QRect(1, barHeight, image.width() - 2, image.height() - barHeight - 1), theme.barFg, 20), 0);
}

}  // namespace

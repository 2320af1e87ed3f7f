// The built application in a real X server: each new selection ends with its panel at the top of the inspector
// column, a rename leaves the column where it was, choosing a bezel material keeps the panels' margins, and an
// export under way moves none of the navigation bar's buttons.

#include "EditorTestServices.hpp"
#include "PanelTestSupport.hpp"
#include "XvfbSupport.hpp"

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/InspectorPanel.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QLayout>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

const QColor pictureColour(230, 40, 200);
const std::string bege = "#C5BA9A";  // the colour of the "Bege" bezel material

// A panel's title bar as the column shows it: how far below the viewport's top its outline row lies, and whether
// the bar is drawn active.
struct TitleBar {
    int offset;
    bool active;
    friend bool operator==(const TitleBar&, const TitleBar&) = default;
};

void PrintTo(const TitleBar& bar, std::ostream* out)
{
    *out << bar.offset << (bar.active ? " active" : "");
}

// The title bars down the line `x` (just inside the panels' left outline) from `top` for `height` rows: a row of
// the outline's colour over rows of one bar colour. In Noite the active bar has a colour of its own.
std::vector<TitleBar> barsOnScreen(const QImage& screen, int x, int top, int height)
{
    const VTTheme& theme = VTTheme::noite();
    std::vector<TitleBar> bars;
    for (int y = top; y + 3 < top + height; ++y) {
        const QRgb bar = screen.pixel(x, y + 1);
        const bool active = bar == theme.barBgActive.rgb();
        if (screen.pixel(x, y) == theme.border.rgb() && (active || bar == theme.barBg.rgb())
            && screen.pixel(x, y + 3) == bar) {
            bars.push_back({y - top, active});
        }
    }
    return bars;
}

// The editor window laid out offscreen in this process with the application's built-in presets and the same stored
// ones, driven through the same selections, so that the test knows where cards, panels and buttons lie. Points are
// in the window's central area; the real window's menu bar above it is measured on the screen.
class ReferenceWindow {
public:
    explicit ReferenceWindow(const std::vector<PersonalPreset>& presets)
    {
        fixture.shaderPresets = panels::builtInPresets();
        PersonalPresetStore(fixture.presetsFile()).save(presets);
        window = std::make_unique<EditorWindow>(fixture.services());
        vemiTerminal(window.get(), VTAppearance::noite);
        window->resize(1280, 800);
        window->show();
        settle();
    }

    void settle()
    {
        for (int turn = 0; turn < 5; ++turn) {
            fixture.jobs->runAll();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // Gives the central area the height the real window's menu bar leaves it.
    void fitTo(int centralHeight)
    {
        window->resize(1280, centralHeight);
        settle();
    }

    ContentView& view() { return window->view(); }

    QWidget& named(const QString& name) const
    {
        auto* widget = window->findChild<QWidget*>(name);
        if (widget == nullptr) throw std::runtime_error("no child named " + name.toStdString());
        return *widget;
    }

    QRect rect(const QString& name) const
    {
        const QWidget& widget = named(name);
        return {widget.mapTo(window.get(), QPoint(0, 0)), widget.size()};
    }

    // The row of the hairline under the navigation bar.
    int hairlineRow() const { return rect(QStringLiteral("navigationBar")).bottom() + 1; }

    InspectorPanel& column() const { return *window->findChild<InspectorPanel*>(); }
    QRect viewport() const
    {
        QWidget* viewport = column().viewport();
        return {viewport->mapTo(window.get(), QPoint(0, 0)), viewport->size()};
    }
    int contentMargin() const { return column().widget()->layout()->contentsMargins().left(); }
    // Where a widget of the column lies in its content: its top-left corner, and its centre.
    QPoint inContent(const QString& name) const { return named(name).mapTo(column().widget(), QPoint(0, 0)); }
    QPoint centreInContent(const QString& name) const { return inContent(name) + named(name).rect().center(); }

    // The title bars the column shows scrolled as far toward `target` as its content allows (at its top without).
    std::vector<TitleBar> barsShowing(const std::optional<QString>& target = std::nullopt) const
    {
        QWidget* content = column().widget();
        const int height = column().viewport()->height();
        const int scroll = target ? std::clamp(inContent(*target).y(), 0, std::max(0, content->height() - height)) : 0;
        std::vector<TitleBar> bars;
        for (const VTWindow* panel : content->findChildren<VTWindow*>()) {
            const QPoint at = panel->mapTo(content, QPoint(0, 0));
            const int offset = at.y() - scroll;
            if (panel->isVisibleTo(content) && at.x() == contentMargin() && offset >= 0 && offset + 3 < height) {
                bars.push_back({offset, panel->isActive()});
            }
        }
        std::sort(bars.begin(), bars.end(), [](const TitleBar& a, const TitleBar& b) { return a.offset < b.offset; });
        return bars;
    }

    EditorTestServices fixture;
    std::unique_ptr<EditorWindow> window;
};

// Polls the screen until `condition` holds on two screens in a row (the layout has stopped moving); the last
// screen either way.
QImage waitForSteadyScreen(const XvfbDisplay& x, const std::function<bool(const QImage&)>& condition,
                           const QString& name)
{
    QImage screen;
    int inARow = 0;
    pollUntil(
        [&] {
            screen = screenshot(x);
            inARow = !screen.isNull() && condition(screen) ? inARow + 1 : 0;
            return inARow == 2;
        },
        60s);
    if (inARow < 2) saveScreenshot(screen, name + QStringLiteral("-timed-out"));
    return screen;
}

// The application launched with a picture and the stored presets, and the reference window fitted to it.
class XvfbInspector : public XvfbWindow {
protected:
    void SetUp() override
    {
        XvfbWindow::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        PersonalPresetStore(file(QStringLiteral("support/personal-presets.json")).toStdString()).save(presets);
        running = launch({writePicture(QStringLiteral("foto.png"), pictureColour)});
        ASSERT_TRUE(pollUntil([this] { return (frame = windowOnScreen(x).value_or(QRect())).width() > 0; }, 60s));
        // The navigation bar's hairline, found down the bar's empty right end: below the menu bar, under a run of
        // the page colour.
        const VTTheme& theme = VTTheme::noite();
        const int column = frame.right() - 4;
        const QImage shown = waitForScreen(
            x,
            [&](const QImage& screen) {
                for (int y = frame.top() + 8; y < frame.bottom(); ++y) {
                    bool page = true;
                    for (int above = 1; above <= 8 && page; ++above) {
                        page = screen.pixel(column, y - above) == theme.bgPage.rgb();
                    }
                    if (page && screen.pixel(column, y) == theme.border.rgb()) {
                        central = QPoint(frame.left(), y - reference.hairlineRow());
                        return true;
                    }
                }
                return false;
            },
            QStringLiteral("inspector-window"));
        ASSERT_FALSE(shown.isNull()) << "the window never drew its navigation bar";
        reference.fitTo(frame.bottom() + 1 - central.y());
        viewport = reference.viewport().translated(central);
    }

    void TearDown() override
    {
        if (running) quit(*running);
        XvfbWindow::TearDown();
    }

    QPoint onScreen(const QRect& inCentral) const { return central + inCentral.center(); }
    // A point of the column's content on the screen while the column shows its content from `scroll`.
    QPoint inColumn(const QPoint& inContent, int scroll = 0) const
    {
        return viewport.topLeft() + inContent - QPoint(0, scroll);
    }
    int barLine() const { return viewport.left() + reference.contentMargin() + 3; }
    std::vector<TitleBar> bars(const QImage& screen) const
    {
        return barsOnScreen(screen, barLine(), viewport.top(), viewport.height());
    }
    QImage columnOf(const QImage& screen) const { return screen.copy(viewport.adjusted(-8, 0, 0, 0)); }

    // Waits until the column shows `expected` on a still screen and checks it.
    QImage expectColumn(const std::vector<TitleBar>& expected, const QString& name)
    {
        const QImage screen = waitForSteadyScreen(
            x, [&](const QImage& shown) { return bars(shown) == expected; }, name);
        EXPECT_EQ(bars(screen), expected) << name.toStdString();
        saveScreenshot(columnOf(screen), QStringLiteral("inspector-") + name);
        return screen;
    }

    std::vector<PersonalPreset> presets = panels::personalPresetsOfTwoHeights();
    ReferenceWindow reference{presets};
    std::unique_ptr<QProcess> running;
    QRect frame;
    QPoint central;  // the top-left corner of the window's central area on the screen
    QRect viewport;  // the inspector column's viewport on the screen
};

QString cardFor(const PresetSelection& selection)
{
    return selection ? QStringLiteral("shaderCard:") + QString::fromStdString(*selection)
                     : QStringLiteral("noShaderCard");
}

TEST_F(XvfbInspector, EachSelectionEndsWithItsPanelAtTheTopAndARenameLeavesTheColumnWhereItWas)
{
    expectColumn(reference.barsShowing(), QStringLiteral("start"));

    const auto first = personalSelectionID(presets[0].id);
    const auto second = personalSelectionID(presets[1].id);
    struct Step {
        const char* name;
        PresetSelection selection;
        const char* target;
    };
    const Step steps[] = {
        {"built-in", "tubo-classico", "shaderControls"},
        {"built-in-to-personal", first, "personalPresetControls"},
        {"personal-to-personal", second, "personalPresetControls"},
        {"personal-to-none", std::nullopt, "screenControls"},
        {"none-to-personal", first, "personalPresetControls"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const QPoint card = onScreen(reference.rect(cardFor(step.selection)));
        reference.view().selectFromGallery(step.selection);
        reference.settle();
        ASSERT_TRUE(clickAt(x, card));
        const auto expected = reference.barsShowing(QLatin1String(step.target));
        ASSERT_FALSE(expected.empty());
        expectColumn(expected, QLatin1String(step.name));
    }
    const QString target = QStringLiteral("personalPresetControls");
    ASSERT_EQ(reference.barsShowing(target).front(), (TitleBar{0, true})) << "\"Seus presets\" can reach the top";

    // Rename the selected preset through its sheet: the column stays where the selection put it.
    const std::vector<TitleBar> beforeRename = reference.barsShowing(target);
    ASSERT_TRUE(clickAt(
        x, inColumn(reference.centreInContent(QStringLiteral("renamePreset")), reference.inContent(target).y())));
    ASSERT_TRUE(pollUntil([this] { return tilvaneWindowCount(x) == 2; }, 30s)) << "the name sheet did not open";
    xdotool(x, QStringLiteral("key ctrl+a"));
    xdotool(x, QStringLiteral("type --delay 40"), {QStringLiteral("Monitor Da Sala")});
    xdotool(x, QStringLiteral("key Return"));
    const QString presetsFile = file(QStringLiteral("support/personal-presets.json"));
    ASSERT_TRUE(pollUntil(
        [&] {
            const auto stored = PersonalPresetStore(presetsFile.toStdString()).load();
            return tilvaneWindowCount(x) == 1 && !stored.empty() && stored.front().name == "Monitor Da Sala";
        },
        30s))
        << "the new name was not stored";
    expectColumn(beforeRename, QStringLiteral("after-rename"));
}

// The first column, scanning left from the viewport's right edge along `row`, that has the theme's outline colour:
// the right edge of the panel crossing that row.
int panelRightEdge(const QImage& screen, const QRect& viewport, int row, const VTTheme& theme)
{
    for (int x = viewport.right(); x > viewport.left(); --x) {
        if (screen.pixel(x, row) == theme.border.rgb()) return x;
    }
    return -1;
}

TEST_F(XvfbInspector, ChoosingABezelMaterialKeepsThePanelsMarginsInBothThemes)
{
    // A personal preset whose name fits beside the remove button, until the "ajustado" chip joins them.
    const auto selection = personalSelectionID(presets[0].id);
    reference.view().selectFromGallery(selection);
    reference.settle();
    ASSERT_TRUE(clickAt(x, onScreen(reference.rect(cardFor(selection)))));
    expectColumn(reference.barsShowing(QStringLiteral("personalPresetControls")), QStringLiteral("monitor"));

    // Back to the column's top, where the shader inspector and its bezel window are.
    const QPoint over = viewport.center();
    xdotool(x, QStringLiteral("mousemove --sync %1 %2").arg(over.x()).arg(over.y()));
    for (int step = 0; step < 60; ++step) xdotool(x, QStringLiteral("click 4"));
    expectColumn(reference.barsShowing(), QStringLiteral("monitor-top"));

    const QRect shaderWindow(reference.inContent(QStringLiteral("shaderWindow")),
                             reference.named(QStringLiteral("shaderWindow")).size());
    const int titleRow = inColumn(shaderWindow.topLeft()).y() + 2;
    const int rightEdge = inColumn(shaderWindow.topRight()).x();
    ASSERT_EQ(viewport.right() - rightEdge, reference.contentMargin()) << "the panels keep the column's margin";
    const QPoint themeButton = onScreen(reference.rect(QStringLiteral("themeButton")));
    // Noite's page colour is opaque, Vemi's is laid over the window: the theme shows in the column's top margin.
    const auto expectEdge = [&](VTAppearance appearance, const QString& name) {
        const bool noite = appearance == VTAppearance::noite;
        const VTTheme& theme = noite ? VTTheme::noite() : VTTheme::vemi();
        const QPoint margin = viewport.topLeft() + QPoint(2, 2);
        const QImage screen = waitForSteadyScreen(
            x, [&](const QImage& shown) { return (shown.pixel(margin) == VTTheme::noite().bgPage.rgb()) == noite; },
            name);
        EXPECT_EQ(panelRightEdge(screen, viewport, titleRow, theme), rightEdge) << name.toStdString();
        saveScreenshot(columnOf(screen), QStringLiteral("inspector-") + name);
    };
    expectEdge(VTAppearance::noite, QStringLiteral("bezel-before-noite"));

    // Collapsing the pass brings the bezel's materials into view.
    ASSERT_TRUE(clickAt(x, inColumn(reference.centreInContent(QStringLiteral("passToggle:0")))));
    QTest::mouseClick(&reference.named(QStringLiteral("passToggle:0")), Qt::LeftButton);
    reference.settle();
    expectColumn(reference.barsShowing(), QStringLiteral("monitor-collapsed"));
    expectEdge(VTAppearance::noite, QStringLiteral("collapsed-noite"));
    ASSERT_TRUE(clickAt(x, themeButton));
    expectEdge(VTAppearance::vemi, QStringLiteral("bezel-before-vemi"));

    const QPoint material = inColumn(reference.centreInContent(QStringLiteral("material:Bege")));
    ASSERT_TRUE(viewport.contains(material));
    ASSERT_TRUE(clickAt(x, material));
    auto look = reference.view().state().visual;
    ASSERT_TRUE(look.shader.has_value());
    look.shader->bezel.color = bege;
    reference.view().setVisual(look);
    reference.settle();
    ASSERT_TRUE(reference.named(QStringLiteral("adjustedChip")).isVisibleTo(&reference.column()));
    const QPoint chip = inColumn(reference.inContent(QStringLiteral("adjustedChip")) + QPoint(2, 2));
    const QImage chosen = waitForSteadyScreen(
        x, [&](const QImage& shown) { return shown.pixel(chip) == VTTheme::vemi().chipBg.rgb(); },
        QStringLiteral("bezel-chosen"));
    EXPECT_EQ(chosen.pixel(chip), VTTheme::vemi().chipBg.rgb()) << "the \"ajustado\" chip beside the name";
    expectEdge(VTAppearance::vemi, QStringLiteral("bezel-after-vemi"));
    ASSERT_TRUE(clickAt(x, themeButton));
    expectEdge(VTAppearance::noite, QStringLiteral("bezel-after-noite"));
}

// The columns of `row` between `left` and `right` that the buttons (and their shadows) cover: those not of the
// page colour.
std::vector<int> buttonColumns(const QImage& screen, int row, int left, int right)
{
    std::vector<int> columns;
    for (int x = left; x <= right; ++x) {
        if (screen.pixel(x, row) != VTTheme::noite().bgPage.rgb()) columns.push_back(x);
    }
    return columns;
}

TEST_F(XvfbInspector, AnExportUnderWayMovesNoneOfTheBarsButtons)
{
    // A shaded GIF takes long enough to be seen under way.
    reference.view().selectFromGallery("tubo-classico");
    reference.settle();
    ASSERT_TRUE(clickAt(x, onScreen(reference.rect(cardFor("tubo-classico")))));

    const QRect open = reference.rect(QStringLiteral("openButton")).translated(central);
    const QRect png = reference.rect(QStringLiteral("exportPNGButton")).translated(central);
    const QRect gif = reference.rect(QStringLiteral("exportGIFButton")).translated(central);
    const QRect bar = reference.rect(QStringLiteral("navigationBar")).translated(central);
    const int row = png.center().y();
    const int left = open.left() - 8;
    const int right = gif.right() + 8;
    const QPoint body = png.topLeft() + QPoint(2, 2);  // inside the outline, clear of the label
    const auto enabled = [&](const QImage& screen) { return screen.pixel(body) == VTTheme::noite().btnBg.rgb(); };

    const QImage idle = waitForSteadyScreen(x, enabled, QStringLiteral("export-idle"));
    ASSERT_TRUE(enabled(idle)) << "the export buttons never became available";
    saveScreenshot(idle.copy(bar), QStringLiteral("navigation-bar-idle-noite"));

    ASSERT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key ctrl+g")));
    ASSERT_TRUE(pollUntil([this] { return tilvaneWindowCount(x) == 2; }, 30s)) << "the GIF dialog did not open";
    // The dialog proposes foto-tilvane.gif beside the picture: accept it once it takes keys.
    bool accepted = false;
    for (int attempt = 0; attempt < 10 && !accepted; ++attempt) {
        xdotool(x, QStringLiteral("key Return"));
        accepted = pollUntil([this] { return tilvaneWindowCount(x) == 1; }, 3s);
    }
    ASSERT_TRUE(accepted) << "the GIF dialog did not close";

    QImage exporting;
    ASSERT_TRUE(pollUntil([&] { return !enabled(exporting = screenshot(x)); }, 60s)) << "no export under way";
    saveScreenshot(exporting.copy(bar), QStringLiteral("navigation-bar-exporting-noite"));
    EXPECT_EQ(buttonColumns(exporting, row, left, right), buttonColumns(idle, row, left, right))
        << "every button of the bar keeps its place and width";
    const QRect openAndTheme(open.topLeft() - QPoint(2, 2), QPoint(png.left() - 2, open.bottom() + 6));
    EXPECT_EQ(exporting.copy(openAndTheme), idle.copy(openAndTheme)) << "\"Abrir\" and the theme button stand still";

    const QString gifPath = file(QStringLiteral("foto-tilvane.gif"));
    EXPECT_TRUE(pollUntil([&gifPath] { return QFile::exists(gifPath); }, 180s)) << "the GIF was not written";
}

}  // namespace
}  // namespace tilvane::testing

#include "EditorTestServices.hpp"
#include "Tilvane/Views/NavigationBar.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QDir>

#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

// A navigation bar alone, `width` wide, showing `state`.
struct ShownBar {
    ShownBar(const ContentViewState& state, int width)
    {
        vemiTerminal(&bar, state.appearance);
        bar.setState(state);
        bar.resize(width, bar.sizeHint().height());
        bar.show();
        QCoreApplication::processEvents();
    }

    void show(const ContentViewState& state)
    {
        vemiTerminal(&bar, state.appearance);
        bar.setState(state);
        QCoreApplication::processEvents();
    }

    QWidget& child(const char* name) const
    {
        auto* widget = bar.findChild<QWidget*>(QLatin1String(name));
        if (widget == nullptr) throw std::runtime_error(std::string("no child named ") + name);
        return *widget;
    }

    QRect inBar(const QWidget& widget) const { return {widget.mapTo(&bar, QPoint(0, 0)), widget.size()}; }

    // The right edge of the brand word and icon, in the bar's coordinates.
    int brandRight() const
    {
        const auto* navBar = bar.findChild<VTNavBar*>();
        const int subtitle = inBar(child("subtitle")).left();
        int right = 0;
        for (const QWidget* part : navBar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect shown = inBar(*part);
            if (part->isVisible() && shown.left() < subtitle) right = std::max(right, shown.right());
        }
        return right;
    }

    NavigationBar bar;
};

ContentViewState showing(const std::string& name, VTAppearance appearance)
{
    ContentViewState state;
    state.sourceName = name;
    state.source = solidImage(1920, 1080);
    state.appearance = appearance;
    return state;
}

TEST(NavigationBarTest, OpenAndThemeButtonsKeepTheirWidthAndPlaceAcrossThemes)
{
    ShownBar shown(showing("gato.png", VTAppearance::noite), 1200);
    auto& open = shown.child("openButton");
    auto& theme = shown.child("themeButton");
    const QRect openBefore = shown.inBar(open);
    const QRect themeBefore = shown.inBar(theme);
    EXPECT_EQ(static_cast<VTButton&>(theme).text(), QStringLiteral("Vemi"));
    EXPECT_EQ(open.width(), 64 + 2 * 8) << "a 64-px label inside the pixel padding";
    EXPECT_EQ(theme.width(), open.width());

    shown.show(showing("gato.png", VTAppearance::vemi));
    EXPECT_EQ(static_cast<VTButton&>(theme).text(), QStringLiteral("Noite"));
    EXPECT_EQ(shown.inBar(open), openBefore);
    EXPECT_EQ(shown.inBar(theme), themeBefore);
}

TEST(NavigationBarTest, AnExportUnderWayMovesNoneOfTheBarsButtons)
{
    const QDir folder(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        auto idle = showing("gato.png", appearance);
        idle.pixelGrid = solidImage(240, 135);
        auto exporting = idle;
        exporting.isExporting = true;
        ShownBar shown(idle, 1200);
        const char* const buttons[] = {"openButton", "themeButton", "exportPNGButton", "exportGIFButton"};
        std::vector<QRect> idlePlaces;
        for (const char* name : buttons) idlePlaces.push_back(shown.inBar(shown.child(name)));
        EXPECT_TRUE(shown.bar.grab().save(
            folder.filePath(QStringLiteral("navigation-bar-idle-%1.png").arg(vtRawValue(appearance)))));

        shown.show(exporting);
        EXPECT_EQ(static_cast<VTButton&>(shown.child("exportPNGButton")).text(), QStringLiteral("Exportando…"));
        EXPECT_EQ(static_cast<VTButton&>(shown.child("exportGIFButton")).text(), QStringLiteral("Exportando…"));
        for (std::size_t index = 0; index < std::size(buttons); ++index) {
            EXPECT_EQ(shown.inBar(shown.child(buttons[index])), idlePlaces[index]) << buttons[index];
        }
        EXPECT_TRUE(shown.bar.grab().save(
            folder.filePath(QStringLiteral("navigation-bar-exporting-%1.png").arg(vtRawValue(appearance)))));
    }
}

TEST(NavigationBarTest, AtTheWindowsMinimumWidthTheSubtitleKeepsItsDistanceFromTheBrand)
{
    constexpr int minimumWidth = 900;
    constexpr int barSpacing = 16;
    struct Row {
        const char* name;
        std::string sourceName;
        bool processing;
    };
    const Row rows[] = {
        {"nothing open", "", false},
        {"a short name", "gato.png", false},
        {"a long name", "fotografia-do-gato-no-telhado-ao-entardecer-em-alta-resolucao.png", false},
        {"a long name with the status chip", "fotografia-do-gato-no-telhado-ao-entardecer.png", true},
    };
    const QDir folder(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + " " + vtRawValue(appearance).toStdString());
            auto state = row.sourceName.empty() ? ContentViewState{} : showing(row.sourceName, appearance);
            state.appearance = appearance;
            state.isProcessing = row.processing;
            ShownBar shown(state, minimumWidth);
            ASSERT_EQ(shown.bar.width(), minimumWidth);
            EXPECT_GE(shown.inBar(shown.child("subtitle")).left() - shown.brandRight() - 1, barSpacing);
            EXPECT_LE(shown.inBar(shown.child("exportGIFButton")).right(), minimumWidth - 1 - barSpacing)
                << "the trailing buttons stay whole";
            EXPECT_EQ(shown.child("statusChip").isVisible(), row.processing);
        }
        ShownBar longest(showing(rows[2].sourceName, appearance), minimumWidth);
        EXPECT_TRUE(longest.bar.grab().save(
            folder.filePath(QStringLiteral("navigation-bar-900-") + vtRawValue(appearance) + QStringLiteral(".png"))));
    }
}

}  // namespace
}  // namespace tilvane::testing

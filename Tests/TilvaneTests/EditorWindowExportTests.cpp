#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"

#include "Tilvane/Views/EditorWindow.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

// The bar's button, the menu item and the shortcut of each export are one command: while an export
// runs, none of them starts another.
TEST(EditorWindowExport, ButtonsMenuItemsAndShortcutsShareOneCommand)
{
    EditorTestServices fixture;
    TemporaryFolder folder;
    fixture.sample = stripedImage(64, 48);
    fixture.dialogs->pngDestination = folder.path() / "a.png";
    fixture.dialogs->gifDestination = GIFDestination{folder.path() / "a.gif", 512, 1};
    EditorWindow window(fixture.services());
    vemiTerminal(&window, VTAppearance::noite);
    window.resize(1100, 700);
    window.show();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
    fixture.jobs->runAll();
    QCoreApplication::processEvents();

    auto* pngButton = window.findChild<VTButton*>(QStringLiteral("exportPNGButton"));
    auto* gifButton = window.findChild<VTButton*>(QStringLiteral("exportGIFButton"));
    ASSERT_NE(pngButton, nullptr);
    ASSERT_NE(gifButton, nullptr);
    ASSERT_TRUE(window.exportPNGAction()->isEnabled());

    QTest::mouseClick(pngButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.view().state().isExporting);
    EXPECT_EQ(fixture.dialogs->savePanels.size(), 1u);
    for (QAction* action : {window.exportPNGAction(), window.exportGIFAction()}) {
        EXPECT_FALSE(action->isEnabled());
        EXPECT_EQ(action->text(), QStringLiteral("Exportando…"));
    }
    EXPECT_FALSE(pngButton->isEnabled());
    EXPECT_FALSE(gifButton->isEnabled());
    QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(fixture.dialogs->savePanels.size(), 1u) << "no second export while one runs";

    fixture.jobs->runAll();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.view().state().isExporting);
    EXPECT_TRUE(gifButton->isEnabled());
    EXPECT_TRUE(window.exportGIFAction()->isEnabled());
    QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(fixture.dialogs->gifDialogs.size(), 1u) << "Ctrl+G runs the GIF command once it is enabled";
    fixture.jobs->runAll();
}

// A load changes the model many times; the export commands are drawn with the rest of the window, once per
// event-loop turn, so they never flicker through the intermediate states.
TEST(EditorWindowExport, ALoadRedrawsTheExportCommandsWithTheWindow)
{
    EditorTestServices fixture;
    TemporaryFolder folder;
    fixture.sample = stripedImage(64, 48);
    EditorWindow window(fixture.services());
    window.show();
    QCoreApplication::processEvents();
    fixture.jobs->runAll();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.exportPNGAction()->isEnabled());

    int modelChanges = 0;
    QObject::connect(&window.view(), &ContentView::changed, [&] { ++modelChanges; });
    int drawnStates = 0;
    QObject::connect(window.exportPNGAction(), &QAction::changed, [&] { ++drawnStates; });
    window.view().loadImage(writeImageFile(folder.path() / "nova.png", 40, 30), ImageOrigin::chosen);
    EXPECT_TRUE(window.exportPNGAction()->isEnabled()) << "drawn with the window, not on the model's signal";
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.exportPNGAction()->isEnabled()) << "nothing to export while loading";
    fixture.jobs->runAll();
    QCoreApplication::processEvents();

    EXPECT_GE(modelChanges, 6);
    EXPECT_TRUE(window.exportPNGAction()->isEnabled());
    EXPECT_EQ(drawnStates, 2) << "disabled once while loading, enabled once when done";
}

// The stage shows the shaded preview and the gallery the thumbnails, in both themes.
TEST(EditorWindowExport, StageShowsTheShaderPreviewAndGalleryItsThumbnails)
{
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        EditorTestServices fixture;
        fixture.sample = stripedImage(640, 420);
        EditorServices services = fixture.services();
        services.renderer = [] { return &testRenderer(); };
        services.shaderPresets = [] { return builtInPresets(); };
        EditorWindow window(services);
        vemiTerminal(&window, appearance);
        window.view().setAppearance(appearance);
        window.resize(1200, 760);
        window.show();
        QCoreApplication::processEvents();
        fixture.jobs->runAll();
        VisualSettings visual = window.view().state().visual;
        visual.shader = ShaderConfiguration::fromPreset(presetWithEffect("crt"));
        visual.screen.glowStrength = 0.3f;
        window.view().setVisual(visual);
        fixture.jobs->runAll();
        fixture.clock->advance(ContentView::screenThumbnailRefreshDelay);
        fixture.jobs->runAll();
        QCoreApplication::processEvents();

        const ContentViewState& state = window.view().state();
        ASSERT_TRUE(state.shaderImage);
        EXPECT_EQ(state.shaderImage->width(), 640);
        EXPECT_EQ(state.shaderThumbnails.size(), builtInPresets().size());
        ASSERT_TRUE(state.screenThumbnail);
        const QString name = appearance == VTAppearance::noite ? QStringLiteral("preview-noite.png")
                                                               : QStringLiteral("preview-vemi.png");
        QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
        EXPECT_TRUE(window.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/") + name));
    }
}

}  // namespace
}  // namespace tilvane::testing

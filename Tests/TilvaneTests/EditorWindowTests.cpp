#include "ShownEditorSupport.hpp"
#include "Tilvane/Views/ComparisonView.hpp"
#include "Tilvane/Views/EditorStage.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/InspectorColumn.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"
#include "Tilvane/Views/WrappedText.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

QString screenshotPath(const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    return QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/") + name + QStringLiteral(".png");
}

TEST(EditorWindow, LaysOutBarStageGalleryAndInspectorAroundTheSample)
{
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        ShownEditor editor(appearance);
        EXPECT_EQ(editor.window->minimumSize(), QSize(900, 620));
        for (const char* part : {"navigationBar", "comparison", "gallery"}) {
            EXPECT_NE(editor.child<QWidget>(part), nullptr) << part;
        }
        ASSERT_NE(editor.child<InspectorColumn>("inspector"), nullptr);
        EXPECT_EQ(editor.child<InspectorColumn>("inspector")->width(), 300);
        EXPECT_EQ(editor.child<QWidget>("subtitle")->accessibleName(), QStringLiteral("Exemplo Tilvane · 64 × 48 px"));
        EXPECT_TRUE(editor.child<VTButton>("exportPNGButton")->isEnabled());
        EXPECT_TRUE(editor.window->exportPNGAction()->isEnabled());
        EXPECT_TRUE(editor.window->exportGIFAction()->isEnabled());
        editor.window->grab().save(screenshotPath(QStringLiteral("window-sample-") + vtRawValue(appearance)));
    }
}

// The column only lays out the panels; the window presents the dialogs the state asks for.
TEST(EditorWindow, TheWindowPresentsThePresetDialogsNotTheInspectorColumn)
{
    EditorTestServices fixture;
    const auto view = fixture.shownWindow();
    InspectorColumn column(*view);
    column.show();
    view->beginCreatePreset();
    ASSERT_TRUE(view->state().showingNameDialog);
    column.refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(column.findChild<QDialog*>(QStringLiteral("presetNameSheet")), nullptr);

    ShownEditor editor;
    editor.window->view().beginCreatePreset();
    QCoreApplication::processEvents();
    auto* sheet = editor.child<QDialog>("presetNameSheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(editor.window->inspector()->findChild<QDialog*>(QStringLiteral("presetNameSheet")), nullptr);
}

TEST(EditorWindow, TheGalleryAndTheInspectorShowOnlyTheBuiltInPresetsTheModelReadFromItsServices)
{
    const ShaderPreset duo{"duo", "Duo", {ShaderPass("crt", 0.8f, {}, true)}, BezelSettings{}};
    const ShaderPreset solo{"solo", "Solo", {ShaderPass("negative", 1, {}, true)}, BezelSettings{}};
    struct Row {
        const char* name;
        std::vector<ShaderPreset> presets;
        QStringList cards;
    };
    const Row rows[] = {
        {"no presets", {}, {QStringLiteral("noShaderCard")}},
        {"two presets",
         {duo, solo},
         {QStringLiteral("noShaderCard"), QStringLiteral("shaderCard:duo"), QStringLiteral("shaderCard:solo")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShownEditor editor(VTAppearance::noite, row.presets);
        QStringList cards;
        for (const QWidget* card : editor.child<ShaderGallery>("gallery")->cards()) cards << card->objectName();
        EXPECT_EQ(cards.join(u' ').toStdString(), row.cards.join(u' ').toStdString());
    }

    ShownEditor editor(VTAppearance::noite, {duo, solo});
    auto* card = editor.child<ShaderGalleryCard>("shaderCard:solo");
    ASSERT_NE(card, nullptr);
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(70, 40));
    for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
    const ContentViewState& state = editor.window->view().state();
    EXPECT_EQ(state.shaderID, "solo");
    EXPECT_EQ(state.visual.shader, ShaderConfiguration::fromPreset(solo));
    auto* presetName = editor.child<WrappedText>("presetName");
    ASSERT_NE(presetName, nullptr) << "the inspector knows the picked preset";
    EXPECT_EQ(presetName->text(), QStringLiteral("Solo"));
}

TEST(EditorWindow, DroppingFilesOpensTheFirstLocalOneOnly)
{
    ShownEditor editor;
    auto* comparison = editor.child<ComparisonView>("comparison");
    const auto first = writeImageFile(editor.fixture.file("first.png"), 30, 20);
    const auto second = writeImageFile(editor.fixture.file("second.png"), 20, 30);
    auto mime = [](const QList<QUrl>& urls) {
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    };
    const QPoint centre = comparison->rect().center();

    std::unique_ptr<QMimeData> hovering(mime({QUrl::fromLocalFile(QString::fromStdString(first.string()))}));
    QDragEnterEvent enter(centre, Qt::CopyAction, hovering.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(comparison, &enter);
    EXPECT_TRUE(editor.window->view().state().isDropTargeted);
    QCoreApplication::processEvents();
    EXPECT_TRUE(editor.child<QWidget>("dropOverlay")->isVisible());
    editor.window->grab().save(screenshotPath(QStringLiteral("window-drop-target")));

    std::unique_ptr<QMimeData> dropped(mime({QUrl::fromLocalFile(QString::fromStdString(first.string())),
                                             QUrl::fromLocalFile(QString::fromStdString(second.string()))}));
    QDropEvent drop(centre, Qt::CopyAction, dropped.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(comparison, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_FALSE(editor.window->view().state().isDropTargeted);
    editor.fixture.jobs->runAll();
    EXPECT_EQ(editor.window->view().state().sourceURL, first);

    std::unique_ptr<QMimeData> link(mime({QUrl(QStringLiteral("https://example.com/gato.png")),
                                          QUrl::fromLocalFile(QString::fromStdString(second.string()))}));
    QDropEvent refused(centre, Qt::CopyAction, link.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(comparison, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_TRUE(editor.fixture.jobs->pending.empty()) << "a web link opens nothing, and the rest is ignored";
    EXPECT_EQ(editor.window->view().state().sourceURL, first);
}

TEST(EditorWindow, ThemeButtonAsksForTheOtherTheme)
{
    ShownEditor editor(VTAppearance::noite);
    auto* theme = editor.child<VTButton>("themeButton");
    EXPECT_EQ(theme->text(), QStringLiteral("Vemi"));
    QSignalSpy requests(&editor.window->view(), &ContentView::appearanceRequested);
    theme->click();
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests.takeFirst().at(0).value<VTAppearance>(), VTAppearance::vemi);
    editor.window->view().setAppearance(VTAppearance::vemi);
    QCoreApplication::processEvents();
    EXPECT_EQ(theme->text(), QStringLiteral("Noite"));
}

TEST(EditorWindow, OpenButtonAndPlaceholderUseTheOpenPanel)
{
    ShownEditor editor;
    editor.fixture.dialogs->imageToOpen = writeImageFile(editor.fixture.file("chosen.png"), 12, 12);
    editor.child<VTButton>("openButton")->click();
    editor.fixture.jobs->runAll();
    EXPECT_EQ(editor.window->view().state().sourceURL, editor.fixture.dialogs->imageToOpen);

    editor.fixture.dialogs->imageToOpen.reset();
    editor.child<VTButton>("openButton")->click();
    EXPECT_TRUE(editor.fixture.jobs->pending.empty()) << "a cancelled panel changes nothing";
}

TEST(EditorWindow, ErrorAlertShowsTheMessageAndItsOKClearsIt)
{
    ShownEditor editor;
    const QString shownBefore = editor.child<QWidget>("subtitle")->accessibleName();
    editor.window->view().loadImage(editor.fixture.file("missing.png"), ImageOrigin::chosen);
    editor.fixture.jobs->runAll();
    for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
    auto* alert = editor.window->findChild<QMessageBox*>(QStringLiteral("errorAlert"));
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Não foi possível concluir"));
    EXPECT_EQ(alert->informativeText(), QStringLiteral("O arquivo selecionado não pôde ser lido como imagem."));
    ASSERT_EQ(alert->buttons().size(), 1);
    EXPECT_EQ(alert->buttons().first()->text(), QStringLiteral("OK"));
    editor.window->grab().save(screenshotPath(QStringLiteral("window-open-failed")));
    alert->buttons().first()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.window->view().state().errorMessage(), std::nullopt);
    EXPECT_EQ(editor.child<QWidget>("subtitle")->accessibleName(), shownBefore) << "the sample is still shown";
}

TEST(EditorWindow, CtrlShiftBTogglesTheGripOfThisWindowOnly)
{
    ShownEditor first;
    ShownEditor second;
    QTest::keyClick(first.child<ComparisonView>("comparison"), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(first.window->view().state().showsCompareHandle);
    EXPECT_TRUE(second.window->view().state().showsCompareHandle);
    QCoreApplication::processEvents();
    EXPECT_FALSE(first.child<ComparisonView>("comparison")->showsHandle());
}

}  // namespace
}  // namespace tilvane::testing

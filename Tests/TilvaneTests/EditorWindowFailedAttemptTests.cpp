// What the window shows after failed attempts: one alert per failure, one after the other in the order they
// happened; and, after a failed read at another working size, the size the kept picture was read at.

#include "ShownEditorSupport.hpp"
#include "Tilvane/Views/PixelControls.hpp"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QPointer>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

QString screenshotPath(const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    return QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/") + name + QStringLiteral(".png");
}

void settle()
{
    for (int turn = 0; turn < 3; ++turn) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The error alerts on screen.
QList<QMessageBox*> shownErrorAlerts(const ShownEditor& editor)
{
    QList<QMessageBox*> shown;
    for (auto* alert : editor.window->findChildren<QMessageBox*>(QStringLiteral("errorAlert"))) {
        if (alert->isVisible()) shown.append(alert);
    }
    return shown;
}

TEST(EditorWindowFailedAttempt, TwoFailuresShowTwoAlertsOneAfterTheOtherEachPutAwayOnItsOwn)
{
    const QString texts[] = {QStringLiteral("O arquivo selecionado não pôde ser lido como imagem."),
                             QStringLiteral("Não foi possível salvar o PNG.")};
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        ShownEditor editor(appearance);
        editor.window->view().loadImage(editor.fixture.file("missing.png"), ImageOrigin::chosen);
        editor.fixture.jobs->runAll();
        editor.fixture.dialogs->pngDestination = editor.fixture.file("gone") / "export.png";
        editor.window->view().exportPNG();
        editor.fixture.jobs->runAll();
        settle();

        // Guarded, so that a new alert made at the address of a deleted one is not taken for it.
        QPointer<QMessageBox> previous;
        for (std::size_t index = 0; index < std::size(texts); ++index) {
            const auto shown = shownErrorAlerts(editor);
            ASSERT_EQ(shown.size(), 1) << "one alert at a time";
            QMessageBox* alert = shown.first();
            EXPECT_NE(alert, previous.data()) << "each message has an alert of its own";
            EXPECT_EQ(alert->windowTitle(), QStringLiteral("Não foi possível concluir"));
            EXPECT_EQ(alert->informativeText(), texts[index]);
            alert->grab().save(
                screenshotPath(QStringLiteral("error-alert-%1-%2").arg(index + 1).arg(vtRawValue(appearance))));
            previous = alert;
            alert->buttons().first()->click();
            settle();
        }
        EXPECT_TRUE(shownErrorAlerts(editor).isEmpty());
        EXPECT_EQ(editor.window->view().state().errorMessage(), std::nullopt);
    }
}

TEST(EditorWindowFailedAttempt, AFailedReadAtAnotherWorkingSizeShowsTheSizeTheKeptPictureWasReadAt)
{
    ShownEditor editor;
    const auto photo = writeImageFile(editor.fixture.file("photo.png"), 300, 200);
    editor.window->view().loadImage(photo, ImageOrigin::chosen);
    editor.fixture.jobs->runAll();
    editor.child<PixelChoiceButton>("maxDimension.4096")->click();
    editor.fixture.jobs->runAll();
    ASSERT_EQ(editor.window->view().state().maxDimension, 4096);

    writeBytes(photo, "no longer a picture");
    editor.child<PixelChoiceButton>("maxDimension.1024")->click();
    EXPECT_TRUE(editor.child<PixelChoiceButton>("maxDimension.1024")->isSelected()) << "the choice shows at once";
    editor.fixture.jobs->runAll();
    settle();

    EXPECT_EQ(editor.window->view().state().maxDimension, 4096);
    EXPECT_TRUE(editor.child<PixelChoiceButton>("maxDimension.4096")->isSelected());
    EXPECT_FALSE(editor.child<PixelChoiceButton>("maxDimension.1024")->isSelected());
}

}  // namespace
}  // namespace tilvane::testing

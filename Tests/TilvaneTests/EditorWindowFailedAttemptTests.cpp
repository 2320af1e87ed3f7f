// What the window shows after failed attempts: after a failed read at another working size, the size the kept picture
// was read at.

#include "ShownEditorSupport.hpp"
#include "Tilvane/Views/PixelControls.hpp"

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

void settle()
{
    for (int turn = 0; turn < 3; ++turn) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

// The real dialogs wait in an event loop of their own over the active window. A window destroyed during that wait
// takes its dialogs with it: each wait then ends as a cancelled one, and nothing is read from a dialog that is gone.

#include "Tilvane/Editor/SavePanels.hpp"
#include "Tilvane/Views/ColorPicker.hpp"
#include "Tilvane/Views/FileDialogs.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tilvane::testing {
namespace {

// Opens one dialog over a window; the window is destroyed as soon as the dialog shows. True when the dialog answered
// as a cancelled one.
struct DialogRow {
    const char* name;
    std::function<bool()> answersNothing;
};

TEST(FileDialogsWait, AWindowDestroyedWhileItsDialogWaitsCancelsTheDialog)
{
    FileDialogs dialogs;
    const DialogRow rows[] = {
        {"open an image", [&] { return !dialogs.chooseImageToOpen(); }},
        {"import a preset", [&] { return !dialogs.choosePresetToImport(); }},
        {"export a preset", [&] { return !dialogs.choosePresetDestination(presetSavePanel()); }},
        {"export a PNG", [&] { return !dialogs.choosePNGDestination(pngSavePanel("foto-tilvane")); }},
        {"export a GIF",
         [&] {
             const GIFDestination answer =
                 dialogs.chooseGIFDestination(gifSavePanel("foto-tilvane"), 2048, 3, GIFDialogContext{80, 60, true});
             return !answer.file && answer.maxDimension == 2048 && answer.duration == 3;
         }},
        {"pick a colour",
         [] { return !systemColorPicker()(Qt::red, QStringLiteral("Cor 1"), QApplication::activeWindow()); }},
    };
    for (const DialogRow& row : rows) {
        SCOPED_TRACE(row.name);
        QPointer<QWidget> window = new QWidget;
        window->show();
        QApplication::setActiveWindow(window);
        ASSERT_EQ(QApplication::activeWindow(), window.data());
        bool dialogShown = false;
        QTimer::singleShot(0, [&] {
            dialogShown = QApplication::activeModalWidget() != nullptr
                          && QApplication::activeModalWidget()->parentWidget() == window.data();
            delete window.data();
        });
        EXPECT_TRUE(row.answersNothing());
        EXPECT_TRUE(dialogShown) << "the dialog stood over the window";
        EXPECT_TRUE(window.isNull());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no dialog is left behind";
    }
}

}  // namespace
}  // namespace tilvane::testing

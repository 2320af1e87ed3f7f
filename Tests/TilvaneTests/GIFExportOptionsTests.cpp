#include "Tilvane/Editor/SavePanels.hpp"
#include "Tilvane/Views/FileDialogs.hpp"
#include "Tilvane/Views/GIFExportOptions.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "VemiTerminal/Components/VTText.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QSignalSpy>

namespace tilvane {
namespace {

PixelChoiceButton* button(QWidget& root, const char* name)
{
    return root.findChild<PixelChoiceButton*>(QString::fromLatin1(name));
}

QString textOf(QWidget& root, const char* name)
{
    const auto* text = root.findChild<VTText*>(QString::fromLatin1(name));
    return text != nullptr ? text->text() : QString();
}

TEST(GIFExportOptions, ShowsTheOutputSizeOfEveryChoice)
{
    struct Row {
        const char* name;
        int width, height;
        const char* sizeButton;
        const char* expected;
    };
    const Row rows[] = {
        {"800 × 600 at 512", 800, 600, "gifSize512", "512 × 384 px"},
        {"300 × 200 at 2048", 300, 200, "gifSize2048", "2048 × 1365 px"},
        {"portrait at 1024", 600, 800, "gifSize1024", "768 × 1024 px"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GIFExportOptions options(row.width, row.height, true);
        QSignalSpy edited(&options, &GIFExportOptions::choiceEdited);
        button(options, row.sizeButton)->click();
        EXPECT_EQ(textOf(options, "gifOutputSize"), QString::fromUtf8(row.expected));
        ASSERT_EQ(edited.count(), 1);
        EXPECT_TRUE(button(options, row.sizeButton)->isSelected());
    }
}

TEST(GIFExportOptions, EditsEmitAndSettersDoNot)
{
    GIFExportOptions options(800, 600, false);
    QSignalSpy edited(&options, &GIFExportOptions::choiceEdited);
    options.setChoice({2048, 3});
    EXPECT_EQ(edited.count(), 0);
    EXPECT_TRUE(button(options, "gifSize2048")->isSelected());
    EXPECT_TRUE(button(options, "gifDuration3")->isSelected());

    button(options, "gifDuration1")->click();
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0).at(0).value<GIFExportChoice>(), (GIFExportChoice{2048, 1}));
    EXPECT_FALSE(button(options, "gifDuration3")->isSelected());
}

TEST(GIFExportOptions, CaptionSaysWhetherTheGIFMoves)
{
    GIFExportOptions moving(10, 10, true);
    GIFExportOptions still(10, 10, false);
    EXPECT_EQ(textOf(moving, "gifMotionCaption"), QStringLiteral("10 Quadros/s · Repetição Contínua"));
    EXPECT_EQ(textOf(still, "gifMotionCaption"), QStringLiteral("Sem Movimento · Quadro Único"));
}

TEST(GIFExportOptions, SaveDialogProposesTheNameAndCarriesTheOptions)
{
    const std::filesystem::path folder = QDir::tempPath().toStdString();
    for (const VTAppearance appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        std::unique_ptr<QFileDialog> dialog(makeSaveDialog(nullptr, gifSavePanel(folder / "foto-tilvane")));
        auto* options = addGIFExportOptions(dialog.get(), 800, 600, true, {512, 3}, appearance);
        EXPECT_EQ(dialog->findChild<GIFExportOptions*>(), options);
        EXPECT_EQ(options->choice(), (GIFExportChoice{512, 3}));
        dialog->show();
        QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR));
        EXPECT_TRUE(dialog->grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/gif-dialog-%1.png")
                                            .arg(QLatin1String(appearance == VTAppearance::noite ? "noite" : "vemi"))));
        EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith(QStringLiteral("foto-tilvane.gif")));
    }
}

}  // namespace
}  // namespace tilvane

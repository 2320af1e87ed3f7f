#include "PreviewTestSupport.hpp"

#include "Tilvane/Editor/SavePanels.hpp"
#include "Tilvane/Views/FileDialogs.hpp"
#include "Tilvane/Views/GIFExportOptions.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <memory>

namespace tilvane::testing {
namespace {

QString qtPath(const std::filesystem::path& path)
{
    return QFile::decodeName(path.c_str());
}

QLineEdit* nameField(QFileDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// The view of the dialog's file list the user sees (list or details).
QAbstractItemView* fileList(QFileDialog& dialog)
{
    for (const char* name : {"listView", "treeView"}) {
        auto* view = dialog.findChild<QAbstractItemView*>(QString::fromLatin1(name));
        if (view != nullptr && view->isVisible()) return view;
    }
    return nullptr;
}

// What each save panel shows, and the file a typed name without extension becomes.
TEST(SavePanels, OneFileTypeTheProposedNameAndItsExtensionForATypedName)
{
    TemporaryFolder folder;
    struct Row {
        const char* name;
        SavePanel panel;
        QString title;
        QString filter;
        QString suffix;
        QString proposedName;
        bool proposesAFolder;
    };
    const Row rows[] = {
        {"PNG", pngSavePanel(folder / "foto-tilvane"), QStringLiteral("Exportar PNG"), QStringLiteral("PNG (*.png)"),
         QStringLiteral("png"), QStringLiteral("foto-tilvane.png"), true},
        {"GIF", gifSavePanel(folder / "foto-tilvane"), QStringLiteral("Exportar GIF"), QStringLiteral("GIF (*.gif)"),
         QStringLiteral("gif"), QStringLiteral("foto-tilvane.gif"), true},
        {"preset", presetSavePanel(), QStringLiteral("Exportar preset"), QStringLiteral("JSON (*.json)"),
         QStringLiteral("json"), QStringLiteral("tilvane-preset.json"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(nullptr, row.panel));
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->windowTitle(), row.title);
        EXPECT_EQ(dialog->nameFilters(), QStringList{row.filter});
        EXPECT_EQ(dialog->defaultSuffix(), row.suffix);
        dialog->open();
        ASSERT_NE(nameField(*dialog), nullptr);
        EXPECT_EQ(nameField(*dialog)->text(), row.proposedName);
        if (!row.proposesAFolder) dialog->setDirectory(qtPath(folder.path()));
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(qtPath(folder.path())).canonicalPath());

        nameField(*dialog)->setText(QStringLiteral("resultado"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Save)->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        const QFileInfo chosen(dialog->selectedFiles().value(0));
        EXPECT_EQ(chosen.fileName(), QStringLiteral("resultado.") + row.suffix);
        EXPECT_EQ(chosen.dir().canonicalPath(), QDir(qtPath(folder.path())).canonicalPath());
    }
}

// The GIF panel opens large enough to browse a folder, with its options in view under the list.
TEST(SavePanels, GIFPanelShowsEightRowsOfFilesAndTheOptions)
{
    TemporaryFolder folder;
    for (int index = 0; index < 12; ++index) {
        std::ofstream(folder / ("quadro-" + std::to_string(index) + ".gif")) << "GIF89a";
    }
    for (const VTAppearance appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(appearance == VTAppearance::noite ? "noite" : "vemi");
        const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(nullptr, gifSavePanel(folder / "foto-tilvane")));
        auto* options = addGIFExportOptions(dialog.get(), 800, 600, true, {1024, 2}, appearance);
        dialog->open();
        auto* list = fileList(*dialog);
        ASSERT_NE(list, nullptr);
        auto* model = qobject_cast<QFileSystemModel*>(list->model());
        ASSERT_NE(model, nullptr);
        ASSERT_TRUE(waitUntil([&] { return model->rowCount(list->rootIndex()) == 12; }));

        const int rowHeight = list->visualRect(model->index(0, 0, list->rootIndex())).height();
        ASSERT_GT(rowHeight, 0);
        EXPECT_GE(list->viewport()->height() / rowHeight, 8) << "list " << list->viewport()->height() << " px";
        EXPECT_TRUE(options->isVisible());
        EXPECT_TRUE(dialog->rect().contains(QRect(options->mapTo(dialog.get(), QPoint()), options->size())))
            << "the options lie inside the panel";
        EXPECT_LE(dialog->height(), 900) << "the panel fits a laptop screen";
    }
}

// Screenshots of both export panels as they open, in both themes.
TEST(SavePanels, ExportPanelsInBothThemes)
{
    TemporaryFolder folder;
    for (const char* name : {"foto.jpeg", "foto-tilvane.png", "foto-tilvane.gif", "retrato.png"}) {
        std::ofstream(folder / name) << name;
    }
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR));
    for (const VTAppearance appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        const QString theme = QLatin1String(appearance == VTAppearance::noite ? "noite" : "vemi");
        QWidget window;
        vemiTerminal(&window, appearance);
        for (const bool gif : {false, true}) {
            const SavePanel panel = gif ? gifSavePanel(folder / "foto-tilvane") : pngSavePanel(folder / "foto-tilvane");
            const int listedFiles = gif ? 1 : 2;
            const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(&window, panel));
            if (gif) addGIFExportOptions(dialog.get(), 800, 600, true, {1024, 2}, appearance);
            dialog->open();
            auto* list = fileList(*dialog);
            ASSERT_NE(list, nullptr);
            ASSERT_TRUE(waitUntil([&] { return list->model()->rowCount(list->rootIndex()) == listedFiles; }));
            const QString file = QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/%1-save-panel-%2.png")
                                     .arg(QLatin1String(gif ? "gif" : "png"), theme);
            EXPECT_TRUE(dialog->grab().save(file)) << file.toStdString();
        }
    }
}

}  // namespace
}  // namespace tilvane::testing

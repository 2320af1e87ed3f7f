// The built application in a real X server: it opens a file given on its command line, and a second launch hands
// its file to the running window; a personal preset made through the name sheet is selected again after a
// restart; a shaded preview is exported as a GIF through the save dialog.

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "XvfbSupport.hpp"

#include "Tilvane/Views/EditorWindow.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

const QColor originalColour(230, 40, 200);  // the first picture: magenta
const QColor otherColour(20, 220, 230);     // the second picture: cyan

TEST_F(XvfbWindow, SecondLaunchShowsItsPictureInTheRunningWindow)
{
    const QString first = writePicture(QStringLiteral("first.png"), originalColour);
    const QString other = writePicture(QStringLiteral("other.png"), otherColour);

    auto running = launch({first});
    const QImage firstScreen = waitForComparison(x, originalColour);
    ASSERT_FALSE(firstScreen.isNull()) << "the first picture's grid never showed";
    saveScreenshot(firstScreen, QStringLiteral("first-launch"));
    EXPECT_EQ(tilvaneWindowCount(x), 1);

    auto second = launch({other});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);

    const QImage otherScreen = waitForComparison(x, otherColour);
    ASSERT_FALSE(otherScreen.isNull()) << "the handed-over picture never showed";
    saveScreenshot(otherScreen, QStringLiteral("second-launch"));
    const DividerRow row = readDividerRow(otherScreen, otherColour);
    EXPECT_NE(otherScreen.pixel(row.lastResult, middleRow), otherScreen.pixel(row.firstOriginal, middleRow));
    EXPECT_EQ(readDividerRow(otherScreen, originalColour).firstOriginal, -1) << "the first picture is gone";
    EXPECT_EQ(tilvaneWindowCount(x), 1) << "no second window";
    EXPECT_FALSE(running->waitForFinished(0)) << "the running instance is still there";

    quit(*running);
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("support/last-session.json")))) << "quitting keeps the last session";
}

// Where the inspector's controls lie in an editor window of the application's size, read from a window laid out
// offscreen in this process, relative to the top-left corner of the "Visual" panel.
struct InspectorLayout {
    explicit InspectorLayout(const std::function<void(ContentView&)>& prepare = {})
    {
        EditorTestServices fixture;
        EditorWindow window(fixture.services());
        vemiTerminal(&window, VTAppearance::noite);
        window.resize(1280, 800);
        window.show();
        QCoreApplication::processEvents();
        fixture.jobs->runAll();
        if (prepare) prepare(window.view());
        window.refresh();
        QCoreApplication::processEvents();
        const auto at = [&window](const char* name, bool centre = true) {
            auto* widget = window.findChild<QWidget*>(QLatin1String(name));
            if (widget == nullptr) return QPoint(-1, -1);
            return widget->mapTo(&window, centre ? widget->rect().center() : QPoint(0, 0));
        };
        visual = at("visualControls", false);
        createButton = at("createPreset") - visual;
        pixelIncrease = at("pixelIncrease") - visual;
        presetsTitle = at("personalPresetControls", false) + QPoint(40, 6) - visual;
        draftChip = at("presetDraftChip") - visual;
        themeButton = at("themeButton") - visual;
        inspectorCentre = at("inspectorPanel") - visual;
        // The application's first built-in card stands one card to the right of "Sem Shader".
        if (auto* noShader = window.findChild<QWidget*>(QStringLiteral("noShaderCard"))) {
            const int spacing = noShader->parentWidget()->layout()->spacing();
            firstBuiltInCard = at("noShaderCard") + QPoint(noShader->width() + spacing, 0) - visual;
        }
    }

    QPoint visual;
    QPoint createButton, pixelIncrease, presetsTitle, draftChip, themeButton, inspectorCentre, firstBuiltInCard;
};

// The top-left corner of the "Visual" panel on the screen: the first row of its active title bar in the inspector
// column at the window's right edge.
QPoint findVisualPanel(const QImage& screen, const QColor& activeBar)
{
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 1280 - 300; x < 1280 - 200; ++x) {
            // The bar spans the panel's width without a break; the navigation bar's pink buttons are narrower.
            bool bar = true;
            for (int along = 0; along <= 200 && bar; along += 4) {
                bar =
                    screen.pixel(x + along, y) == activeBar.rgb() && screen.pixel(x + along, y + 4) == activeBar.rgb();
            }
            if (bar) return {x - 1, y - 1};  // the panel's 1-px outline lies left of its bar
        }
    }
    return {-1, -1};
}

QImage inspectorOf(const QImage& screen)
{
    return screen.copy(1280 - 300, 0, 300, 800);
}

TEST_F(XvfbWindow, APresetCreatedThroughTheSheetIsSelectedAgainAfterARestart)
{
    const InspectorLayout layout;
    const QColor noiteActiveBar = VTTheme::noite().barBgActive;
    auto running = launch({writePicture(QStringLiteral("first.png"), originalColour)});
    const QImage first = waitForComparison(x, originalColour);
    ASSERT_FALSE(first.isNull());
    const QPoint visual = findVisualPanel(first, noiteActiveBar);
    ASSERT_GE(visual.x(), 0) << "the inspector's \"Visual\" panel is not on the screen";

    // "Meu CRT" through the "+" button and the name sheet.
    ASSERT_TRUE(clickAt(x, visual + layout.createButton));
    QThread::msleep(600);
    saveScreenshot(screenshot(x), QStringLiteral("name-sheet"));
    xdotool(x, QStringLiteral("type --delay 40"), {QStringLiteral("Meu CRT")});
    xdotool(x, QStringLiteral("key Return"));
    const auto stored = waitForJson(file(QStringLiteral("support/personal-presets.json")), [](const auto& document) {
        return document.value("presets", nlohmann::json::array()).size() == 1;
    });
    ASSERT_EQ(stored.value("presets", nlohmann::json::array()).size(), 1u);
    ASSERT_EQ(stored["presets"][0]["name"], "Meu CRT");
    const std::string id = stored["presets"][0]["id"].get<std::string>();

    // Scroll the inspector back to its top and press the block size's "+" once.
    const QPoint centre = visual + layout.inspectorCentre;
    xdotool(x, QStringLiteral("mousemove --sync %1 %2").arg(centre.x()).arg(centre.y()));
    for (int step = 0; step < 40; ++step) xdotool(x, QStringLiteral("click 4"));
    QThread::msleep(400);
    ASSERT_TRUE(clickAt(x, visual + layout.pixelIncrease));
    const auto sessionFile = waitForJson(file(QStringLiteral("support/last-session.json")),
                                         [](const auto& document) { return storedPixelSize(document) == 9; });
    EXPECT_EQ(storedPixelSize(sessionFile), 9) << "one step up from 8";
    const auto session = sessionFile.value("session", nlohmann::json::object());
    EXPECT_EQ(session.value("selectedPresetID", std::string()), "personal:" + id);
    const InspectorLayout edited([](ContentView& view) {
        view.beginCreatePreset();
        view.setPresetName("Meu CRT");
        view.commitNameDialog();
        auto look = view.state().visual;
        look.pixelSize += 1;
        view.setVisual(look);
    });
    const QImage draft = screenshot(x);
    saveScreenshot(inspectorOf(draft), QStringLiteral("inspector-draft-noite"));
    EXPECT_EQ(draft.pixel(visual + edited.draftChip), VTTheme::noite().chipBg.rgb()) << "the \"rascunho\" chip";
    EXPECT_EQ(draft.pixel(visual + layout.presetsTitle), noiteActiveBar.rgb()) << "\"Seus presets\" is active";
    quit(*running);

    auto restarted = launch({});
    const QImage again = waitForComparison(x, originalColour);
    ASSERT_FALSE(again.isNull()) << "the restored picture never showed";
    const QPoint visualAgain = findVisualPanel(again, noiteActiveBar);
    ASSERT_GE(visualAgain.x(), 0);
    EXPECT_EQ(again.pixel(visualAgain + layout.presetsTitle), noiteActiveBar.rgb())
        << "the restored window selects the preset";
    saveScreenshot(inspectorOf(again), QStringLiteral("inspector-noite"));

    ASSERT_TRUE(clickAt(x, visualAgain + layout.themeButton));
    QThread::msleep(800);
    const QImage vemi = screenshot(x);
    saveScreenshot(inspectorOf(vemi), QStringLiteral("inspector-vemi"));
    // In Vemi the outline and the bar share their colour, so the corner found may lie one pixel off.
    const QPoint vemiVisual = findVisualPanel(vemi, VTTheme::vemi().barBgActive);
    EXPECT_LE((vemiVisual - visualAgain).manhattanLength(), 2) << "the Vemi theme is drawn";
    quit(*restarted);
}

// A shaded preview has many colours where a plain pixel grid has one or two: counted on the middle row,
// over the 200 pixels left of where the original picture begins.
bool showsShadedPreview(const QImage& screen, const QColor& original)
{
    const int firstOriginal = readDividerRow(screen, original).firstOriginal;
    if (firstOriginal < 200) return false;
    std::set<QRgb> colours;
    for (int x = firstOriginal - 200; x < firstOriginal; ++x) colours.insert(screen.pixel(x, middleRow));
    return colours.size() > 20;
}

// A window of the application and what it showed.
struct WindowShot {
    QString id;
    QImage image;
};

// The smallest visible window of the application, read on its own (a dialog is drawn in a visual of its own,
// which a capture of the root window shows black).
WindowShot smallestWindow(const XvfbDisplay& x)
{
    const auto ids = runTool(x, QStringLiteral("xdotool search --onlyvisible --class tilvane"));
    WindowShot smallest;
    for (const QByteArray& id : ids.value_or(QByteArray()).split('\n')) {
        if (id.trimmed().isEmpty()) continue;
        const QString window = QString::fromLatin1(id.trimmed());
        const QImage image = screenshot(x, window);
        const QImage& least = smallest.image;
        if (!image.isNull() && image.width() > 100
            && (least.isNull() || image.width() * image.height() < least.width() * least.height())) {
            smallest = {window, image};
        }
    }
    return smallest;
}

// Shows the picture through the first built-in preset of the gallery, then opens the GIF save dialog with Ctrl+G;
// the dialog, or no window when any step failed (the failure is recorded).
WindowShot openGIFDialogOnAShadedPreview(const XvfbDisplay& x)
{
    const InspectorLayout layout;
    const QImage plain = waitForComparison(x, originalColour);
    EXPECT_FALSE(plain.isNull());
    const QPoint visual = findVisualPanel(plain, VTTheme::noite().barBgActive);
    if (visual.x() < 0) {
        ADD_FAILURE() << "the inspector's \"Visual\" panel is not on the screen";
        return {};
    }
    EXPECT_TRUE(clickAt(x, visual + layout.firstBuiltInCard)) << "the first built-in preset of the gallery";
    const QImage shaded = waitForScreen(
        x, [](const QImage& screen) { return showsShadedPreview(screen, originalColour); },
        QStringLiteral("shaded-preview"));
    if (shaded.isNull()) {
        ADD_FAILURE() << "the shaded preview never showed";
        return {};
    }
    saveScreenshot(shaded, QStringLiteral("shaded-preview"));

    EXPECT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
    EXPECT_TRUE(xdotool(x, QStringLiteral("key ctrl+g")));
    if (!pollUntil([&x] { return tilvaneWindowCount(x) == 2; }, 30s)) {
        saveScreenshot(screenshot(x), QStringLiteral("gif-dialog-missing"));
        ADD_FAILURE() << "the GIF save dialog did not open";
        return {};
    }
    QThread::msleep(3000);  // let the dialog draw its options
    WindowShot dialog = smallestWindow(x);
    EXPECT_FALSE(dialog.image.isNull());
    return dialog;
}

TEST_F(XvfbWindow, ShadedPreviewThenAGIFExportedThroughTheDialog)
{
    auto running = launch({writePicture(QStringLiteral("foto.png"), originalColour)});
    const WindowShot dialog = openGIFDialogOnAShadedPreview(x);
    ASSERT_FALSE(dialog.image.isNull());
    saveScreenshot(dialog.image, QStringLiteral("gif-dialog"));
    // The dialog proposes foto-tilvane.gif beside the picture, 1024 px and 2 s: accept it.
    ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));

    const QString gifPath = file(QStringLiteral("foto-tilvane.gif"));
    ASSERT_TRUE(pollUntil([&gifPath] { return QFile::exists(gifPath); }, 180s)) << "the GIF was not written";
    const auto gif = decodeGIF(gifPath.toStdString());
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->width, 1024);
    EXPECT_EQ(gif->height, 683);
    EXPECT_EQ(gif->loop, 0);
    EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>(20, 100));
    EXPECT_EQ(exportLeftovers(home.path(), {QStringLiteral("foto.png"), QStringLiteral("foto-tilvane.gif")}), "");
    quit(*running);
}

// The first chip drawn chosen (a box filled `barBgActive` to its sides, unlike the file name's outline and selected
// text) in the lower half of the GIF dialog: the size's.
QRect firstChosenChip(const QImage& dialog)
{
    const QRgb chosen = VTTheme::noite().barBgActive.rgb();
    for (int y = dialog.height() / 2; y < dialog.height(); ++y) {
        for (int x = 0; x < dialog.width(); ++x) {
            if (dialog.pixel(x, y) != chosen) continue;
            int right = x;
            while (right + 1 < dialog.width() && dialog.pixel(right + 1, y) == chosen) ++right;
            int bottom = y;
            while (bottom + 1 < dialog.height() && dialog.pixel(x, bottom + 1) == chosen) ++bottom;
            const QRect box(QPoint(x, y), QPoint(right, bottom));
            const int middle = box.center().y();
            const bool filled =
                dialog.pixel(box.left() + 2, middle) == chosen && dialog.pixel(box.right() - 2, middle) == chosen;
            if (box.width() >= 30 && box.height() >= 12 && filled) return box;
            x = right;
        }
    }
    return {};
}

// The user closes the only window while a large GIF is being written: the file is still completed, then the
// application ends by itself, and nothing but the GIF is left beside the picture.
TEST_F(XvfbWindow, ClosingTheOnlyWindowDuringAGIFExportStillWritesTheFileThenQuits)
{
    auto running = launch({writePicture(QStringLiteral("foto.png"), originalColour)});
    const WindowShot dialog = openGIFDialogOnAShadedPreview(x);
    ASSERT_FALSE(dialog.image.isNull());
    // "2048 px" follows the chosen "1024 px" chip, 4 px apart.
    const QRect size1024 = firstChosenChip(dialog.image);
    ASSERT_TRUE(size1024.isValid()) << "no chosen size in the GIF dialog's options";
    const QRect chip2048 = size1024.translated(size1024.width() + 4, 0);
    ASSERT_TRUE(xdotool(x, QStringLiteral("mousemove --window %1 %2 %3 click 1")
                               .arg(dialog.id)
                               .arg(chip2048.center().x())
                               .arg(chip2048.center().y())));
    const QPoint padding(chip2048.left() + 3, chip2048.center().y());  // beside the label
    const bool chose2048 = pollUntil(
        [&] {
            const QImage now = screenshot(x, dialog.id);
            return !now.isNull() && now.pixel(padding) == VTTheme::noite().barBgActive.rgb();
        },
        10s);
    saveScreenshot(screenshot(x, dialog.id), QStringLiteral("gif-dialog-2048"));
    ASSERT_TRUE(chose2048) << "the 2048 px chip was not chosen";

    // Save, then close the window at once (Ctrl+W), while the export runs.
    ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));  // the dialog has kept the focus the click gave it
    ASSERT_TRUE(pollUntil([this] { return tilvaneWindowCount(x) == 1; }, 30s)) << "the dialog did not close";
    ASSERT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key ctrl+w")));
    ASSERT_TRUE(pollUntil([this] { return tilvaneWindowCount(x) == 0; }, 30s)) << "the window did not close";
    const QString gifPath = file(QStringLiteral("foto-tilvane.gif"));
    EXPECT_FALSE(QFile::exists(gifPath)) << "the GIF was already written before the window closed: no test";
    EXPECT_FALSE(running->waitForFinished(0)) << "the application went before its export ended";

    ASSERT_TRUE(running->waitForFinished(300000)) << "the application did not end after its export";
    EXPECT_EQ(running->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(running->exitCode(), 0);
    const auto gif = decodeGIF(gifPath.toStdString());
    ASSERT_TRUE(gif.has_value()) << "the GIF is missing or does not decode";
    EXPECT_EQ(gif->width, 2048);
    EXPECT_EQ(gif->height, 1365);
    EXPECT_EQ(gif->frameCount, 20);
    EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>(20, 100));
    EXPECT_EQ(exportLeftovers(home.path(), {QStringLiteral("foto.png"), QStringLiteral("foto-tilvane.gif")}), "");
}

}  // namespace
}  // namespace tilvane::testing

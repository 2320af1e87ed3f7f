// The built application in a real X server: it opens a file given on its command line, and a second launch hands
// its file to the running window; a personal preset made through the name sheet is selected again after a
// restart. Each step is a helper of its own, so later checks can add theirs.

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"

#include "Tilvane/Views/EditorWindow.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <set>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

const QColor originalColour(230, 40, 200);  // the first picture: magenta
const QColor otherColour(20, 220, 230);     // the second picture: cyan

// One X server started by xvfb-run for the length of a test.
struct XvfbDisplay {
    bool start()
    {
        server.setProgram(QStringLiteral("xvfb-run"));
        server.setArguments({QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1400x900x24 -ac"),
                             QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("echo \"$DISPLAY $XAUTHORITY\"; read stop")});
        server.start();
        if (!server.waitForReadyRead(20000)) return false;
        const QStringList answer = QString::fromLocal8Bit(server.readLine()).trimmed().split(QLatin1Char(' '));
        if (answer.size() != 2) return false;
        display = answer[0];
        authority = answer[1];
        QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(display.mid(1)));
        if (lock.open(QIODevice::ReadOnly)) serverPid = lock.readAll().trimmed().toLongLong();
        return true;
    }

    // What an X client of this server needs.
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("XAUTHORITY"), authority);
        return environment;
    }

    ~XvfbDisplay()
    {
        server.closeWriteChannel();
        if (!server.waitForFinished(10000)) server.kill();
        // xvfb-run stops its server when the command ends; make sure of it should xvfb-run itself have been stopped.
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(serverPid));
        if (serverPid > 0 && command.open(QIODevice::ReadOnly) && command.readAll().contains(display.toLocal8Bit())) {
            ::kill(static_cast<pid_t>(serverPid), SIGTERM);
        }
    }

    QProcess server;
    QString display;
    QString authority;
    qint64 serverPid = 0;
};

// A home of its own for the application: runtime folder (the hand-over socket), support folder, settings.
struct AppHome {
    QProcessEnvironment environment(const XvfbDisplay& x) const
    {
        QProcessEnvironment environment = x.clientEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("TILVANE_SUPPORT_DIRECTORY"), home.filePath(QStringLiteral("support")));
        return environment;
    }
    QString file(const QString& name) const { return home.filePath(name); }

    QTemporaryDir home;
};

QString application()
{
    return QStringLiteral(TILVANE_TEST_APP_DIR "/bin/tilvane");
}

// A picture of one colour with a darker band, so that its pixel-art result is not one flat block.
QString writePicture(const AppHome& home, const QString& name, const QColor& colour)
{
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(colour);
    for (int y = 300; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) picture.setPixelColor(x, y, colour.darker(300));
    }
    const QString path = home.file(name);
    picture.save(path);
    return path;
}

// The whole screen (or one window), read through xwd (24- or 32-bit TrueColor, either byte order).
QImage screenshot(const XvfbDisplay& x, const QString& window = {})
{
    QProcess xwd;
    const QStringList which =
        window.isEmpty() ? QStringList{QStringLiteral("-root")} : QStringList{QStringLiteral("-id"), window};
    xwd.start(QStringLiteral("xwd"),
              which + QStringList{QStringLiteral("-silent"), QStringLiteral("-display"), x.display});
    xwd.waitForFinished(10000);
    const QByteArray dump = xwd.readAllStandardOutput();
    if (dump.size() < 100) {
        ADD_FAILURE() << "xwd: " << xwd.readAllStandardError().toStdString() << " on " << x.display.toStdString();
        return {};
    }
    auto field = [&dump](int index) { return qFromBigEndian<quint32>(dump.constData() + index * 4); };
    const quint32 headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7);
    const quint32 bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
    const qsizetype start = headerSize + colours * 12;
    const int bytesPerPixel = static_cast<int>(bitsPerPixel / 8);
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || dump.size() < start + qsizetype(bytesPerLine) * height) return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    for (quint32 y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(dump.constData() + start + y * bytesPerLine);
        for (quint32 x = 0; x < width; ++x) {
            const uchar* pixel = row + x * bytesPerPixel;
            quint32 value = 0;
            for (int byte = 0; byte < bytesPerPixel; ++byte) {
                const int shift = byteOrder == 0 ? 8 * byte : 8 * (bytesPerPixel - 1 - byte);
                value |= quint32(pixel[byte]) << shift;
            }
            image.setPixel(static_cast<int>(x), static_cast<int>(y), value | 0xFF000000u);
        }
    }
    return image;
}

bool isGameBoyColour(QRgb pixel)
{
    for (const auto& colour : ImagePalette::gameBoy().colors) {
        if (qRed(pixel) == colour.red && qGreen(pixel) == colour.green && qBlue(pixel) == colour.blue) return true;
    }
    return false;
}

// On the row through the middle of the window: how far the result reaches from the left and where the picture
// of the given colour begins.
struct DividerRow {
    int lastResult = -1;
    int firstOriginal = -1;
};

DividerRow readDividerRow(const QImage& screen, const QColor& original)
{
    DividerRow row;
    const int y = 330;
    for (int x = 0; x < screen.width(); ++x) {
        const QRgb pixel = screen.pixel(x, y);
        if (isGameBoyColour(pixel) && row.firstOriginal < 0) row.lastResult = x;
        if (QColor(pixel) == original && row.firstOriginal < 0) row.firstOriginal = x;
    }
    return row;
}

void saveScreenshot(const QImage& screen, const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Xvfb"));
    screen.save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Xvfb/") + name + QStringLiteral(".png"));
}

// Polls the screen until the picture shows as result left of the divider and original right of it.
QImage waitForComparison(const XvfbDisplay& x, const QColor& original, std::chrono::seconds limit = 60s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QImage screen;
    while (std::chrono::steady_clock::now() < deadline) {
        screen = screenshot(x);
        const DividerRow row = readDividerRow(screen, original);
        if (row.lastResult >= 0 && row.firstOriginal > row.lastResult) return screen;
        QThread::msleep(250);
    }
    saveScreenshot(screen, QStringLiteral("timed-out"));
    return {};
}

// Top-level windows of the Tilvane class, as the X server lists them.
int tilvaneWindowCount(const XvfbDisplay& x)
{
    QProcess list;
    list.start(QStringLiteral("xwininfo"),
               {QStringLiteral("-root"), QStringLiteral("-children"), QStringLiteral("-display"), x.display});
    list.waitForFinished(10000);
    return static_cast<int>(
        QString::fromLocal8Bit(list.readAllStandardOutput()).count(QStringLiteral("(\"tilvane\" \"Tilvane\")")));
}

bool toolsPresent()
{
    for (const char* tool : {"xvfb-run", "xwd", "xwininfo", "xdotool"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) return false;
    }
    return true;
}

TEST(XvfbWindow, SecondLaunchShowsItsPictureInTheRunningWindow)
{
    ASSERT_TRUE(toolsPresent()) << "xvfb-run, xwd, xwininfo and xdotool are needed: run scripts/setup";
    ASSERT_TRUE(QFile::exists(application())) << "build the application first";
    XvfbDisplay x;
    ASSERT_TRUE(x.start());
    AppHome home;
    const QString first = writePicture(home, QStringLiteral("first.png"), originalColour);
    const QString other = writePicture(home, QStringLiteral("other.png"), otherColour);

    QProcess running;
    running.setProcessEnvironment(home.environment(x));
    running.start(application(), {first});
    ASSERT_TRUE(running.waitForStarted());
    const QImage firstScreen = waitForComparison(x, originalColour);
    ASSERT_FALSE(firstScreen.isNull()) << "the first picture's grid never showed";
    saveScreenshot(firstScreen, QStringLiteral("first-launch"));
    EXPECT_EQ(tilvaneWindowCount(x), 1);

    QProcess second;
    second.setProcessEnvironment(home.environment(x));
    second.start(application(), {other});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    const QImage otherScreen = waitForComparison(x, otherColour);
    ASSERT_FALSE(otherScreen.isNull()) << "the handed-over picture never showed";
    saveScreenshot(otherScreen, QStringLiteral("second-launch"));
    const DividerRow row = readDividerRow(otherScreen, otherColour);
    EXPECT_NE(otherScreen.pixel(row.lastResult, 330), otherScreen.pixel(row.firstOriginal, 330))
        << "pixels differ left and right of the divider";
    EXPECT_EQ(readDividerRow(otherScreen, originalColour).firstOriginal, -1) << "the first picture is gone";
    EXPECT_EQ(tilvaneWindowCount(x), 1) << "no second window";
    EXPECT_EQ(running.state(), QProcess::Running);

    running.terminate();
    ASSERT_TRUE(running.waitForFinished(20000));
    EXPECT_EQ(running.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("support/last-session.json"))))
        << "quitting keeps the last session";
}

// ---- Personal presets in the real window -----------------------------------------------------------------------

// Where the inspector's controls lie in an editor window of the application's size, read from a window laid out
// offscreen in this process, relative to the top-left corner of the "Visual" panel.
struct InspectorLayout {
    explicit InspectorLayout(std::function<void(ContentView&)> prepare = {})
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
        const auto topLeft = [&window](const char* name) {
            auto* widget = window.findChild<QWidget*>(QLatin1String(name));
            return widget == nullptr ? QPoint(-1, -1) : widget->mapTo(&window, QPoint(0, 0));
        };
        const auto centre = [&window](const char* name) {
            auto* widget = window.findChild<QWidget*>(QLatin1String(name));
            return widget == nullptr ? QPoint(-1, -1) : widget->mapTo(&window, widget->rect().center());
        };
        visual = topLeft("visualControls");
        createButton = centre("createPreset") - visual;
        pixelIncrease = centre("pixelIncrease") - visual;
        presetsTitle = topLeft("personalPresetControls") + QPoint(40, 6) - visual;
        draftChip = centre("presetDraftChip") - visual;
        themeButton = centre("themeButton") - visual;
        inspectorCentre = centre("inspectorPanel") - visual;
        // The application's first built-in card stands one card to the right of "Sem Shader".
        if (auto* noShader = window.findChild<QWidget*>(QStringLiteral("noShaderCard"))) {
            const int spacing = noShader->parentWidget()->layout()->spacing();
            firstBuiltInCard = centre("noShaderCard") + QPoint(noShader->width() + spacing, 0) - visual;
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
            if (bar) {
                // The panel's 1-px outline lies left of its bar.
                return {x - 1, y - 1};
            }
        }
    }
    return {-1, -1};
}

// Runs xdotool against the display; true when it succeeded.
bool xdotool(const XvfbDisplay& x, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessEnvironment(x.clientEnvironment());
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(10000) && tool.exitCode() == 0;
}

bool clickAt(const XvfbDisplay& x, QPoint at)
{
    const bool clicked = xdotool(x, {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                                     QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(400);
    return clicked;
}

// Polls `file` until `accept` takes its JSON; the last document read otherwise.
nlohmann::json waitForJson(const QString& file, const std::function<bool(const nlohmann::json&)>& accept,
                           std::chrono::seconds limit = 20s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    nlohmann::json document;
    while (std::chrono::steady_clock::now() < deadline) {
        QFile stored(file);
        if (stored.open(QIODevice::ReadOnly)) {
            document = nlohmann::json::parse(stored.readAll().toStdString(), nullptr, false);
            if (document.is_object() && accept(document)) return document;
        }
        QThread::msleep(250);
    }
    return document;
}

QImage inspectorOf(const QImage& screen)
{
    return screen.copy(1280 - 300, 0, 300, 800);
}

// Creates "Meu CRT" through the "+" button and the name sheet; returns the stored preset's id.
std::string createPresetThroughTheSheet(const XvfbDisplay& x, const AppHome& home, QPoint visual,
                                        const InspectorLayout& layout)
{
    const QPoint target = visual + layout.createButton;
    if (!clickAt(x, target)) return {};
    QThread::msleep(600);
    saveScreenshot(screenshot(x), QStringLiteral("name-sheet"));
    xdotool(x, {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral("Meu CRT")});
    xdotool(x, {QStringLiteral("key"), QStringLiteral("Return")});
    const auto stored = waitForJson(
        home.file(QStringLiteral("support/personal-presets.json")),
        [](const nlohmann::json& document) { return document.value("presets", nlohmann::json::array()).size() == 1; });
    if (!stored.is_object() || stored.value("presets", nlohmann::json::array()).size() != 1
        || stored["presets"][0]["name"] != "Meu CRT") {
        return {};
    }
    return stored["presets"][0]["id"].get<std::string>();
}

// Scrolls the inspector back to its top and presses the block size's "+" once.
bool increaseBlockSize(const XvfbDisplay& x, QPoint visual, const InspectorLayout& layout)
{
    const QPoint centre = visual + layout.inspectorCentre;
    xdotool(x, {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(centre.x()),
                QString::number(centre.y())});
    for (int step = 0; step < 40; ++step) xdotool(x, {QStringLiteral("click"), QStringLiteral("4")});
    QThread::msleep(400);
    return clickAt(x, visual + layout.pixelIncrease);
}

TEST(XvfbWindow, APresetCreatedThroughTheSheetIsSelectedAgainAfterARestart)
{
    ASSERT_TRUE(toolsPresent()) << "xvfb-run, xwd, xwininfo and xdotool are needed: run scripts/setup";
    ASSERT_TRUE(QFile::exists(application())) << "build the application first";
    const InspectorLayout layout;
    XvfbDisplay x;
    ASSERT_TRUE(x.start());
    AppHome home;
    const QString picture = writePicture(home, QStringLiteral("first.png"), originalColour);
    const QColor noiteActiveBar = VTTheme::noite().barBgActive;

    QProcess running;
    running.setProcessEnvironment(home.environment(x));
    running.start(application(), {picture});
    ASSERT_TRUE(running.waitForStarted());
    const QImage first = waitForComparison(x, originalColour);
    ASSERT_FALSE(first.isNull());
    const QPoint visual = findVisualPanel(first, noiteActiveBar);
    ASSERT_GE(visual.x(), 0) << "the inspector's \"Visual\" panel is not on the screen";

    const std::string id = createPresetThroughTheSheet(x, home, visual, layout);
    ASSERT_FALSE(id.empty()) << "the sheet did not store \"Meu CRT\"";
    ASSERT_TRUE(increaseBlockSize(x, visual, layout));
    const auto session =
        waitForJson(home.file(QStringLiteral("support/last-session.json")), [](const nlohmann::json& document) {
            return document.value("visual", nlohmann::json::object()).value("pixelSize", 0) == 9;
        });
    EXPECT_EQ(session.value("session", nlohmann::json::object()).value("selectedPresetID", std::string()),
              "personal:" + id);
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

    running.terminate();
    ASSERT_TRUE(running.waitForFinished(20000));

    QProcess restarted;
    restarted.setProcessEnvironment(home.environment(x));
    restarted.start(application(), {});
    ASSERT_TRUE(restarted.waitForStarted());
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

    restarted.terminate();
    ASSERT_TRUE(restarted.waitForFinished(20000));
}

// ---- The shaded preview and a GIF exported through the save dialog --------------------------------------

// A shaded preview has many colours where a plain pixel grid has one or two: counted on the middle row,
// over the 200 pixels left of where the original picture begins.
bool showsShadedPreview(const QImage& screen, const QColor& original)
{
    const int firstOriginal = readDividerRow(screen, original).firstOriginal;
    if (firstOriginal < 200) return false;
    std::set<QRgb> colours;
    for (int x = firstOriginal - 200; x < firstOriginal; ++x) colours.insert(screen.pixel(x, 330));
    return colours.size() > 20;
}

QImage waitForScreen(const XvfbDisplay& x, const std::function<bool(const QImage&)>& condition, const QString& name,
                     std::chrono::seconds limit = 90s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QImage screen;
    while (std::chrono::steady_clock::now() < deadline) {
        screen = screenshot(x);
        if (!screen.isNull() && condition(screen)) return screen;
        QThread::msleep(250);
    }
    saveScreenshot(screen, name + QStringLiteral("-timed-out"));
    return {};
}

// Keys typed into the application through XTEST, first giving the input focus to its main window when asked
// (a dialog the application opened has the focus already).
bool typeKeys(const XvfbDisplay& x, const QStringList& keys, bool focusMainWindow)
{
    if (focusMainWindow) {
        QProcess focus;
        focus.setProcessEnvironment(x.clientEnvironment());
        focus.start(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--limit"),
                     QStringLiteral("1"), QStringLiteral("--class"), QStringLiteral("tilvane"),
                     QStringLiteral("windowfocus"), QStringLiteral("--sync")});
        if (!focus.waitForFinished(10000) || focus.exitCode() != 0) return false;
    }
    QProcess type;
    type.setProcessEnvironment(x.clientEnvironment());
    type.start(QStringLiteral("xdotool"),
               QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100")} + keys);
    return type.waitForFinished(10000) && type.exitCode() == 0;
}

// The smallest visible window of the application, read on its own (a dialog is drawn in a visual of its own,
// which a capture of the root window shows black).
QImage smallestWindowScreenshot(const XvfbDisplay& x)
{
    QProcess search;
    search.setProcessEnvironment(x.clientEnvironment());
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--class"), QStringLiteral("tilvane")});
    search.waitForFinished(10000);
    QImage smallest;
    for (const QString& id : QString::fromLocal8Bit(search.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (id.trimmed().isEmpty()) continue;
        const QImage window = screenshot(x, id.trimmed());
        if (!window.isNull() && window.width() > 100
            && (smallest.isNull() || window.width() * window.height() < smallest.width() * smallest.height())) {
            smallest = window;
        }
    }
    return smallest;
}

bool waitForWindowCount(const XvfbDisplay& x, int count, std::chrono::seconds limit = 30s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (tilvaneWindowCount(x) == count) return true;
        QThread::msleep(200);
    }
    return false;
}

bool waitForFile(const QString& path, std::chrono::seconds limit = 180s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (QFile::exists(path)) return true;
        QThread::msleep(250);
    }
    return false;
}

TEST(XvfbWindow, ShadedPreviewThenAGIFExportedThroughTheDialog)
{
    ASSERT_TRUE(toolsPresent()) << "xvfb-run, xwd and xwininfo are needed: run scripts/setup";
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) << "run scripts/setup";
    ASSERT_TRUE(QFile::exists(application())) << "build the application first";
    XvfbDisplay x;
    ASSERT_TRUE(x.start());
    AppHome home;
    const QString picture = writePicture(home, QStringLiteral("foto.png"), originalColour);
    const InspectorLayout layout;

    QProcess running;
    running.setProcessEnvironment(home.environment(x));
    running.start(application(), {picture});
    ASSERT_TRUE(running.waitForStarted());
    const QImage plain = waitForComparison(x, originalColour);
    ASSERT_FALSE(plain.isNull());
    const QPoint visual = findVisualPanel(plain, VTTheme::noite().barBgActive);
    ASSERT_GE(visual.x(), 0) << "the inspector's \"Visual\" panel is not on the screen";
    ASSERT_TRUE(clickAt(x, visual + layout.firstBuiltInCard)) << "the first built-in preset of the gallery";
    const QImage shaded = waitForScreen(
        x, [](const QImage& screen) { return showsShadedPreview(screen, originalColour); },
        QStringLiteral("shaded-preview"));
    ASSERT_FALSE(shaded.isNull()) << "the shaded preview never showed";
    saveScreenshot(shaded, QStringLiteral("shaded-preview"));

    ASSERT_TRUE(typeKeys(x, {QStringLiteral("ctrl+g")}, true));
    if (!waitForWindowCount(x, 2)) {
        saveScreenshot(screenshot(x), QStringLiteral("gif-dialog-missing"));
        FAIL() << "the GIF save dialog did not open";
    }
    QThread::msleep(3000);  // let the dialog draw its options
    const QImage dialog = smallestWindowScreenshot(x);
    ASSERT_FALSE(dialog.isNull());
    saveScreenshot(dialog, QStringLiteral("gif-dialog"));
    // The dialog proposes foto-tilvane.gif beside the picture, 1024 px and 2 s: accept it.
    ASSERT_TRUE(typeKeys(x, {QStringLiteral("Return")}, false));

    const QString gifPath = home.file(QStringLiteral("foto-tilvane.gif"));
    ASSERT_TRUE(waitForFile(gifPath)) << "the GIF was not written";
    const auto gif = decodeGIF(gifPath.toStdString());
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->width, 1024);
    EXPECT_EQ(gif->height, 683);
    EXPECT_EQ(gif->frameCount, 20);
    EXPECT_EQ(gif->loop, 0);
    EXPECT_EQ(gif->delaysMilliseconds, std::vector<int>(20, 100));
    for (const QString& entry : QDir(home.home.path()).entryList(QDir::Files | QDir::Hidden)) {
        EXPECT_FALSE(entry.startsWith(QStringLiteral(".tilvane-"))) << entry.toStdString();
    }

    running.terminate();
    ASSERT_TRUE(running.waitForFinished(20000));
    EXPECT_EQ(running.exitCode(), 0);
}

}  // namespace
}  // namespace tilvane::testing

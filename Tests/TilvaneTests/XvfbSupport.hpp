#pragma once

// The built application in a real X server: the server, the X tools the tests drive it with, screenshots, and a
// fixture that launches the application with a home of its own.

#include "LaunchedAppSupport.hpp"
#include "TestSupport/FileSizeLimit.hpp"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tilvane::testing {

// One X server for the length of a test. The server picks a free display itself and writes its number
// (-displayfd), so tests that run side by side never share or fight over one; -ac lets this user's
// clients in without an authority file. -noreset keeps it as it is when its last client leaves: by default
// it resets then, and a reset drops every client whose connection is still being set up, so an application
// starting just as a screenshot tool ends would fail to open the display.
struct XvfbDisplay {
    bool start()
    {
        server.setProgram(QStringLiteral("Xvfb"));
        server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                             QStringLiteral("0"), QStringLiteral("1400x900x24"), QStringLiteral("-ac"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
        server.setStandardErrorFile(QProcess::nullDevice());
        server.start();
        if (!server.waitForStarted(20000)) return false;
        while (!server.canReadLine()) {
            if (!server.waitForReadyRead(20000)) return false;
        }
        bool isNumber = false;
        const int number = QString::fromLocal8Bit(server.readLine()).trimmed().toInt(&isNumber);
        if (!isNumber) return false;
        display = QStringLiteral(":%1").arg(number);
        return true;
    }

    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.remove(QStringLiteral("XAUTHORITY"));
        return environment;
    }

    ~XvfbDisplay()
    {
        server.terminate();
        if (!server.waitForFinished(10000)) server.kill();
    }

    QProcess server;
    QString display;
};

// Runs an X tool against the display: its standard output, or nothing when it failed. The command is split at
// spaces; `last` follows it whole.
std::optional<QByteArray> runTool(const XvfbDisplay& x, const QString& command, const QStringList& last = {});
bool xdotool(const XvfbDisplay& x, const QString& command, const QStringList& last = {});
// Polls `done` every quarter second until it holds or `limit` has passed.
bool pollUntil(const std::function<bool()>& done, std::chrono::seconds limit);
// The whole screen (or one window), read through xwd (24- or 32-bit TrueColor, either byte order).
QImage screenshot(const XvfbDisplay& x, const QString& window = {});
// Into the build's screenshot folder "Xvfb", as `name`.png.
void saveScreenshot(const QImage& screen, const QString& name);
// Polls the screen until `condition` takes it; a null image (and a saved screenshot) on time-out.
QImage waitForScreen(const XvfbDisplay& x, const std::function<bool(const QImage&)>& condition, const QString& name,
                     std::chrono::seconds limit = std::chrono::seconds(90));
// Polls the screen until it stays the same for a second (renders and thumbnails have come); a null image on time-out.
QImage waitForStillScreen(const XvfbDisplay& x);
// Moves the pointer there and clicks, then lets the window answer.
bool clickAt(const XvfbDisplay& x, QPoint at);
// Top-level windows of the Tilvane class, as the X server lists them.
int tilvaneWindowCount(const XvfbDisplay& x);
// Where the application's window lies on the screen.
std::optional<QRect> windowOnScreen(const XvfbDisplay& x);
// Polls `file` until `accept` takes its JSON; the last document read otherwise.
nlohmann::json waitForJson(const QString& file, const std::function<bool(const nlohmann::json&)>& accept);
// The block size a last-session document keeps; -1 when it keeps none.
std::int64_t storedPixelSize(const nlohmann::json& lastSession);

// ---- What the stage shows, for a picture in the Game Boy look --------------------------------------------------

// The screen row that crosses the stage of an editor window at the application's size.
inline constexpr int middleRow = 330;

bool isGameBoyColour(QRgb pixel);

// On the middle row: how far the result reaches from the left and where the picture of the given colour begins.
struct DividerRow {
    int lastResult = -1;
    int firstOriginal = -1;
};

DividerRow readDividerRow(const QImage& screen, const QColor& original);
// Polls until the picture of colour `original` shows as result left of the divider and original right of it.
QImage waitForComparison(const XvfbDisplay& x, const QColor& original);
// Polls until a visible window carries this title and has drawn something; its id, or nothing on time-out.
QString waitForWindowTitled(const XvfbDisplay& x, const QString& title);

// The ids of the visible windows that carry this title.
QStringList windowsTitled(const XvfbDisplay& x, const QString& title);

// The error alert "Não foi possível concluir" in the Noite theme, once one shows and is drawn: what it shows (saved as
// the screenshot `name`), after which Return puts it away; a null image when none showed (the failure is recorded). Two
// alerts of one window look the same exactly when they tell the same message.
QImage dismissErrorAlert(const XvfbDisplay& x, const QString& name);
// Whether an error alert shows within `limit`.
bool errorAlertShows(const XvfbDisplay& x, std::chrono::seconds limit);

// The files in `folder` that an export may have left: anything but the expected ones and the hand-over socket with
// its lock (a test's folder is also the application's runtime folder), listed for a message.
std::string exportLeftovers(const QString& folder, const QStringList& expected);

// The application launched on the display. Its output goes to a file, because a pipe that nobody reads stalls
// the application once it is full. When the test has failed, its end first tells what the application wrote,
// where its threads stood and which windows the server had.
class XvfbApplication : public QProcess {
public:
    XvfbApplication(const XvfbDisplay& x, const QString& logFile);
    ~XvfbApplication() override;

    XvfbApplication(const XvfbApplication&) = delete;
    XvfbApplication& operator=(const XvfbApplication&) = delete;

private:
    QByteArray output() const;
    QString evidence() const;

    const XvfbDisplay& x_;
    QString logFile_;
};

// An X server, a home of its own for the application (runtime folder for the hand-over socket, support folder,
// settings) and pictures in it.
class XvfbWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xwd", "xwininfo", "xdotool"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                << tool << " is needed: run scripts/setup";
        }
        ASSERT_TRUE(QFile::exists(builtApplication())) << "build the application first";
        ASSERT_TRUE(x.start());
    }

    QString file(const QString& name) const { return home.filePath(name); }

    // With `fileSizeLimit`, the application is started as after `ulimit -f` in its shell: no file it writes may grow
    // past that many bytes.
    std::unique_ptr<QProcess> launch(const QStringList& arguments, std::optional<rlim_t> fileSizeLimit = {})
    {
        QProcessEnvironment environment = applicationEnvironment(x.clientEnvironment(), home.path(), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        const QString log = logs.filePath(QStringLiteral("launch-%1.log").arg(++launches));
        auto process = std::make_unique<XvfbApplication>(x, log);
        process->setProcessEnvironment(environment);
        if (fileSizeLimit) process->setChildProcessModifier([bytes = *fileSizeLimit] { limitFileSizeOfChild(bytes); });
        process->start(builtApplication(), arguments);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    // A picture of one colour with a darker band, so that its pixel-art result is not one flat block.
    QString writePicture(const QString& name, const QColor& colour) const
    {
        QImage picture(600, 400, QImage::Format_RGB32);
        picture.fill(colour);
        QPainter(&picture).fillRect(0, 300, 600, 100, colour.darker(300));
        picture.save(file(name));
        return file(name);
    }

    static void quit(QProcess& running)
    {
        running.terminate();
        ASSERT_TRUE(running.waitForFinished(20000));
        EXPECT_EQ(running.exitCode(), 0);
    }

    XvfbDisplay x;
    QTemporaryDir home;
    QTemporaryDir logs;
    int launches = 0;
};

}  // namespace tilvane::testing

#include "XvfbSupport.hpp"

#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Theme/VTStockPalette.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"

#include <QDir>
#include <QThread>
#include <QtEndian>

#include <iostream>
#include <map>
#include <utility>

namespace tilvane::testing {

namespace {

using namespace std::chrono_literals;

// The standard output of a program that ended well within `limit`; nothing otherwise.
std::optional<QByteArray> outputOf(const XvfbDisplay& x, const QString& program, const QStringList& arguments,
                                   std::chrono::milliseconds limit)
{
    QProcess process;
    process.setProcessEnvironment(x.clientEnvironment());
    process.start(program, arguments);
    if (!process.waitForFinished(static_cast<int>(limit.count())) || process.exitCode() != 0) return std::nullopt;
    return process.readAllStandardOutput();
}

// Where every thread of the running process stands, as gdb sees it.
QString threadStacks(const XvfbDisplay& x, const QString& pid)
{
    const auto stacks = outputOf(x, QStringLiteral("gdb"),
                                 {QStringLiteral("-p"), pid, QStringLiteral("-batch"), QStringLiteral("-nx"),
                                  QStringLiteral("-ex"), QStringLiteral("thread apply all bt 40")},
                                 120s);
    if (!stacks) return QStringLiteral("(gdb gave nothing)\n");
    QString kept;
    for (const QString& line : QString::fromLocal8Bit(*stacks).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("[New LWP"))) kept += line + QLatin1Char('\n');
    }
    return kept;
}

}  // namespace

std::optional<QByteArray> runTool(const XvfbDisplay& x, const QString& command, const QStringList& last)
{
    QStringList arguments = command.split(QLatin1Char(' '));
    const QString tool = arguments.takeFirst();
    return outputOf(x, tool, arguments + last, 10s);
}

bool xdotool(const XvfbDisplay& x, const QString& command, const QStringList& last)
{
    return runTool(x, QStringLiteral("xdotool ") + command, last).has_value();
}

bool pollUntil(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        QThread::msleep(250);
    }
    return false;
}

QImage screenshot(const XvfbDisplay& x, const QString& window)
{
    const QString which = window.isEmpty() ? QStringLiteral("-root") : QStringLiteral("-id ") + window;
    const QByteArray dump = runTool(x, QStringLiteral("xwd -silent ") + which).value_or(QByteArray());
    if (dump.size() < 100) return {};
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

void saveScreenshot(const QImage& screen, const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Xvfb"));
    screen.save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Xvfb/") + name + QStringLiteral(".png"));
}

QImage waitForScreen(const XvfbDisplay& x, const std::function<bool(const QImage&)>& condition, const QString& name,
                     std::chrono::seconds limit)
{
    QImage screen;
    if (pollUntil([&] { return !(screen = screenshot(x)).isNull() && condition(screen); }, limit)) return screen;
    saveScreenshot(screen, name + QStringLiteral("-timed-out"));
    return {};
}

QImage waitForStillScreen(const XvfbDisplay& x)
{
    constexpr int stillPolls = 4;
    QImage previous;
    int still = 0;
    return waitForScreen(
        x,
        [&](const QImage& screen) {
            still = screen == previous ? still + 1 : 0;
            previous = screen;
            return still >= stillPolls;
        },
        QStringLiteral("screen-never-still"), std::chrono::seconds(60));
}

bool clickAt(const XvfbDisplay& x, QPoint at)
{
    const bool clicked = xdotool(x, QStringLiteral("mousemove --sync %1 %2 click 1").arg(at.x()).arg(at.y()));
    QThread::msleep(400);
    return clicked;
}

int tilvaneWindowCount(const XvfbDisplay& x)
{
    const auto list = runTool(x, QStringLiteral("xwininfo -root -children"));
    return static_cast<int>(
        QString::fromLocal8Bit(list.value_or(QByteArray())).count(QStringLiteral("(\"tilvane\" \"Tilvane\")")));
}

std::optional<QRect> windowOnScreen(const XvfbDisplay& x)
{
    const auto shell = runTool(x, QStringLiteral("xdotool search --onlyvisible --limit 1 --class tilvane "
                                                 "getwindowgeometry --shell"));
    if (!shell) return std::nullopt;
    std::map<QString, int> fields;
    for (const QByteArray& line : shell->split('\n')) {
        const QList<QByteArray> parts = line.split('=');
        if (parts.size() == 2) fields[QString::fromLatin1(parts[0])] = parts[1].toInt();
    }
    return QRect(fields["X"], fields["Y"], fields["WIDTH"], fields["HEIGHT"]);
}

XvfbApplication::XvfbApplication(const XvfbDisplay& x, const QString& logFile) : x_(x), logFile_(logFile)
{
    setProcessChannelMode(QProcess::MergedChannels);
    setStandardOutputFile(logFile_);
}

XvfbApplication::~XvfbApplication()
{
    if (!::testing::Test::HasFailure()) return;
    // Without an event loop an application that has ended counts as running until it is asked.
    waitForFinished(0);
    std::cerr << evidence().toStdString() << std::flush;
}

QByteArray XvfbApplication::output() const
{
    QFile log(logFile_);
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

QString XvfbApplication::evidence() const
{
    const QString pid = QString::number(processId());
    QString report = QStringLiteral("--- the application (%1) ").arg(program());
    if (error() == QProcess::FailedToStart) {
        report += QStringLiteral("did not start: %1\n").arg(errorString());
    } else if (state() == QProcess::NotRunning) {
        report += exitStatus() == QProcess::CrashExit ? QStringLiteral("crashed (signal %1)\n").arg(exitCode())
                                                      : QStringLiteral("ended, exit code %1\n").arg(exitCode());
    } else {
        report += QStringLiteral("runs as process %1\n").arg(pid);
    }
    report += QStringLiteral("--- its output:\n") + QString::fromLocal8Bit(output());
    if (state() != QProcess::NotRunning) report += QStringLiteral("\n--- its threads:\n") + threadStacks(x_, pid);
    const auto windows =
        outputOf(x_, QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, 10s);
    report += QStringLiteral("\n--- windows on %1:\n").arg(x_.display)
              + QString::fromLocal8Bit(windows.value_or(QByteArrayLiteral("(xwininfo gave nothing)")));
    return report + QStringLiteral("\n");
}

bool isGameBoyColour(QRgb pixel)
{
    for (const auto& colour : ImagePalette::gameBoy().colors) {
        if (qRed(pixel) == colour.red && qGreen(pixel) == colour.green && qBlue(pixel) == colour.blue) return true;
    }
    return false;
}

DividerRow readDividerRow(const QImage& screen, const QColor& original)
{
    DividerRow row;
    for (int x = 0; x < screen.width() && row.firstOriginal < 0; ++x) {
        const QRgb pixel = screen.pixel(x, middleRow);
        if (isGameBoyColour(pixel)) row.lastResult = x;
        if (QColor(pixel) == original) row.firstOriginal = x;
    }
    return row;
}

QImage waitForComparison(const XvfbDisplay& x, const QColor& original)
{
    return waitForScreen(
        x,
        [&original](const QImage& screen) {
            const DividerRow row = readDividerRow(screen, original);
            return row.lastResult >= 0 && row.firstOriginal > row.lastResult;
        },
        QStringLiteral("comparison"), 60s);
}

QString waitForWindowTitled(const XvfbDisplay& x, const QString& title)
{
    QString id;
    // A window not drawn yet is all of one colour.
    const auto drawn = [&x, &id] {
        const QImage window = screenshot(x, id);
        for (int y = 0; y < window.height(); y += 2) {
            for (int x = 0; x < window.width(); x += 2) {
                if (window.pixel(x, y) != window.pixel(0, 0)) return true;
            }
        }
        return false;
    };
    const bool found = pollUntil(
        [&] {
            const auto ids = runTool(x, QStringLiteral("xdotool search --onlyvisible --limit 1 --name"), {title});
            id = ids ? QString::fromLatin1(ids->trimmed()) : QString();
            return !id.isEmpty() && drawn();
        },
        60s);
    return found ? id : QString();
}

namespace {

const QString errorAlertTitle = QStringLiteral("Não foi possível concluir");

}  // namespace

QStringList windowsTitled(const XvfbDisplay& x, const QString& title)
{
    const auto ids = runTool(x, QStringLiteral("xdotool search --onlyvisible --name"), {title});
    return QString::fromLatin1(ids.value_or(QByteArray())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QImage dismissErrorAlert(const XvfbDisplay& x, const QString& name)
{
    const QString alert = waitForWindowTitled(x, errorAlertTitle);
    if (alert.isEmpty()) {
        ADD_FAILURE() << "no alert";
        return {};
    }
    // Drawn once its corner has the ground of the application's dialogs and two looks in a row agree (until then the
    // capture shows what lies under it).
    const QRgb ground = vtStockPalette(VTTheme::noite()).color(QPalette::Window).rgb();
    QImage shown = screenshot(x, alert);
    EXPECT_TRUE(pollUntil(
        [&] {
            const QImage previous = std::exchange(shown, screenshot(x, alert));
            return !shown.isNull() && shown.pixel(1, 1) == ground && shown == previous;
        },
        std::chrono::seconds(20)))
        << "the alert was not drawn";
    saveScreenshot(shown, name);
    EXPECT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + alert));
    EXPECT_TRUE(xdotool(x, QStringLiteral("key Return")));
    EXPECT_TRUE(pollUntil([&] { return !windowsTitled(x, errorAlertTitle).contains(alert); }, std::chrono::seconds(20)))
        << "the alert stayed";
    return shown;
}

bool errorAlertShows(const XvfbDisplay& x, std::chrono::seconds limit)
{
    return pollUntil([&x] { return !windowsTitled(x, errorAlertTitle).isEmpty(); }, limit);
}

std::string exportLeftovers(const QString& folder, const QStringList& expected)
{
    const QString socket = QStringLiteral("tilvane-%1.socket").arg(::getuid());
    QStringList left;
    for (const QString& entry : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!expected.contains(entry) && entry != socket && entry != socket + QStringLiteral(".lock")) {
            left.append(entry);
        }
    }
    return left.join(QStringLiteral(", ")).toStdString();
}

nlohmann::json waitForJson(const QString& file, const std::function<bool(const nlohmann::json&)>& accept)
{
    nlohmann::json document;
    pollUntil(
        [&] {
            QFile stored(file);
            if (!stored.open(QIODevice::ReadOnly)) return false;
            document = nlohmann::json::parse(stored.readAll().toStdString(), nullptr, false);
            return document.is_object() && accept(document);
        },
        std::chrono::seconds(20));
    return document;
}

std::int64_t storedPixelSize(const nlohmann::json& lastSession)
{
    if (!lastSession.is_object()) return -1;
    return lastSession.value("session", nlohmann::json::object())
        .value("visual", nlohmann::json::object())
        .value("pixelSize", std::int64_t(-1));
}

}  // namespace tilvane::testing

#include "XvfbSupport.hpp"

#include <QDir>
#include <QThread>
#include <QtEndian>

namespace tilvane::testing {

std::optional<QByteArray> runTool(const XvfbDisplay& x, const QString& command, const QStringList& last)
{
    QStringList arguments = command.split(QLatin1Char(' '));
    const QString tool = arguments.takeFirst();
    QProcess process;
    process.setProcessEnvironment(x.clientEnvironment());
    process.start(tool, arguments + last);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) return std::nullopt;
    return process.readAllStandardOutput();
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

}  // namespace tilvane::testing

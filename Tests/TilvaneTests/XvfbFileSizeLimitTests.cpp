// The built application started under a file-size limit (`ulimit -f 1024` in its shell), with a cache folder of its
// own that starts empty: writes past the limit fail instead of ending the process, so the window stays, and a PNG
// export larger than the limit is told as a failed export, leaving the file it was to replace as it was.

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/ContentViewState.hpp"
#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/Url.hpp"
#include "XvfbSupport.hpp"

#include <QDir>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr rlim_t oneMebibyte = 1024 * 1024;

// A photograph-like picture that no encoder can make small: every pixel of its own colour.
QString writeNoise(const QString& path, int width, int height)
{
    QImage noise(width, height, QImage::Format_RGB32);
    std::mt19937 random(20261207);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | (random() & 0xFFFFFFu);
    }
    noise.save(path);
    return path;
}

// The stage shows a picture of many colours (the noise and its pixel-art result).
bool showsNoise(const QImage& screen)
{
    std::set<QRgb> colours;
    for (int x = 0; x < screen.width(); ++x) colours.insert(screen.pixel(x, middleRow));
    return colours.size() > 200;
}

TEST_F(XvfbWindow, UnderAFileSizeLimitAPNGExportLargerThanItIsToldAndTheWindowStays)
{
    // The noise in its own colours at 2-px blocks: a PNG of several MB.
    const QString noise = writeNoise(file(QStringLiteral("noise.png")), 2048, 1366);
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("support")));
    VisualSettings ownColours = initialVisualSettings();
    ownColours.paletteID = "original";
    ownColours.pixelSize = 2;
    LastSessionStore(file(QStringLiteral("support/last-session.json")).toStdString())
        .save(LastSession{Url::file(noise.toStdString()), ownColours, std::nullopt, 2048, 0.5});
    const QString target = file(QStringLiteral("noise-tilvane.png"));
    writeBytes(target.toStdString(), "the earlier export");

    auto running = launch({}, oneMebibyte);
    const QImage shown =
        waitForScreen(x, showsNoise, QStringLiteral("file-size-limit-picture"), std::chrono::seconds(90));
    ASSERT_FALSE(shown.isNull()) << "the picture never showed";
    saveScreenshot(shown, QStringLiteral("file-size-limit-picture"));

    // "Exportar PNG" proposes noise-tilvane.png beside the picture; the user replaces the earlier export: from "Não",
    // the default answer of the question, to "Sim", which is pressed.
    ASSERT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key ctrl+e")));
    const QString title = QStringLiteral("Exportar PNG");
    const QString dialog = waitForWindowTitled(x, title);
    ASSERT_FALSE(dialog.isEmpty()) << "the save dialog did not open";
    ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + dialog));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));
    QString question;
    ASSERT_TRUE(pollUntil(
        [&] {
            const QStringList shown = windowsTitled(x, title);
            question = shown.size() == 2 ? shown.at(shown.at(0) == dialog ? 1 : 0) : QString();
            return !question.isEmpty();
        },
        30s))
        << "no question about replacing the earlier export";
    saveScreenshot(screenshot(x, question), QStringLiteral("file-size-limit-replace"));
    ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + question));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key Tab space")));

    EXPECT_FALSE(dismissErrorAlert(x, QStringLiteral("file-size-limit-alert")).isNull());
    EXPECT_EQ(fileBytes(target.toStdString()), "the earlier export");
    EXPECT_EQ(exportLeftovers(home.path(), {QStringLiteral("noise.png"), QStringLiteral("noise-tilvane.png")}), "");
    EXPECT_FALSE(running->waitForFinished(0)) << "the application ended";
    ASSERT_FALSE(waitForScreen(x, showsNoise, QStringLiteral("file-size-limit-after")).isNull())
        << "the window is gone";

    quit(*running);
    EXPECT_EQ(running->exitStatus(), QProcess::NormalExit);
}

}  // namespace
}  // namespace tilvane::testing

// The built application in a real X server, with its GIF dialog waiting for the user while a second launch hands over
// a large picture: the dialog's Return, pressed while that picture loads or once it has loaded, writes the GIF of the
// picture the dialog was opened over, and the application lives on; a quit while the dialog waits ends it normally and
// keeps the session of the picture shown.

#include "PreviewTestSupport.hpp"
#include "XvfbSupport.hpp"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

const QColor wideColour(230, 40, 200);  // magenta: the pictures the dialog is opened over, 600 × 400
const QColor tallColour(20, 220, 230);  // cyan: the large picture handed over, 4000 × 8000

class XvfbDialogWait : public XvfbWindow {
protected:
    // A large picture written without compression, so that reading it takes a while.
    QString writeLargePicture(const QString& name) const
    {
        QImage picture(4000, 8000, QImage::Format_RGB32);
        picture.fill(tallColour);
        EXPECT_TRUE(picture.save(file(name), "PNG", 100));
        return file(name);
    }

    QString sessionFile() const { return file(QStringLiteral("support/last-session.json")); }

    // Whether the last session names `picture`, once it does (or after a while).
    bool sessionNames(const QString& picture) const
    {
        const std::string name = (QStringLiteral("/") + QFileInfo(picture).fileName()).toStdString();
        const auto names = [&name](const nlohmann::json& stored) {
            return stored.value("session", nlohmann::json::object()).value("imageURL", std::string()).ends_with(name);
        };
        return names(waitForJson(sessionFile(), names));
    }

    // Ctrl+G over the window; the dialog's window, or nothing when it did not open.
    QString openGIFDialog()
    {
        EXPECT_TRUE(xdotool(x, QStringLiteral("search --onlyvisible --limit 1 --class tilvane windowfocus --sync")));
        EXPECT_TRUE(xdotool(x, QStringLiteral("key ctrl+g")));
        return waitForWindowTitled(x, QStringLiteral("Exportar GIF"));
    }

    void handOver(const QString& picture)
    {
        auto second = launch({picture});
        ASSERT_TRUE(second->waitForFinished(20000));
        EXPECT_EQ(second->exitCode(), 0) << "the running window took the file";
    }
};

TEST_F(XvfbDialogWait, APictureHandedOverBehindTheGIFDialogLeavesTheGIFOfThePictureItWasOpenedOver)
{
    struct Row {
        const char* name;
        const char* picture;  // shown when the dialog opens
        bool waitForTheLoad;
    };
    const Row rows[] = {
        {"Return at once, while the handed-over picture loads", "foto.png", false},
        {"Return once the handed-over picture has loaded", "retrato.png", true},
    };
    const QString large = writeLargePicture(QStringLiteral("grande.png"));
    std::unique_ptr<QProcess> running;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString shown = writePicture(QLatin1String(row.picture), wideColour);
        if (running) {
            handOver(shown);
        } else {
            running = launch({shown});
        }
        ASSERT_FALSE(waitForComparison(x, wideColour).isNull()) << "the picture never showed";
        ASSERT_TRUE(sessionNames(shown));
        const QString dialog = openGIFDialog();
        ASSERT_FALSE(dialog.isEmpty()) << "the GIF dialog did not open";

        handOver(large);
        if (row.waitForTheLoad) {
            ASSERT_TRUE(sessionNames(large)) << "the large picture did not load";
        }
        ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + dialog));
        ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));

        const QString gifPath = file(QFileInfo(shown).completeBaseName() + QStringLiteral("-tilvane.gif"));
        pollUntil([&] { return decodeGIF(gifPath.toStdString()) || running->waitForFinished(0); }, 90s);
        ASSERT_FALSE(running->waitForFinished(0)) << "the application ended";
        const auto gif = decodeGIF(gifPath.toStdString());
        ASSERT_TRUE(gif.has_value()) << "the GIF was not written";
        EXPECT_EQ(std::pair(gif->width, gif->height), std::pair(1024, 683)) << "the proportions of " << row.picture;
        ASSERT_TRUE(sessionNames(large)) << "the handed-over picture is shown once it has loaded";
    }
    quit(*running);
}

TEST_F(XvfbDialogWait, QuittingWhileTheGIFDialogWaitsEndsNormallyAndKeepsTheSessionOfThePictureShown)
{
    struct Row {
        const char* name;
        bool handOverFirst;
    };
    const Row rows[] = {
        {"SIGTERM", false},
        {"SIGTERM while a handed-over picture loads", true},
    };
    const QString large = writeLargePicture(QStringLiteral("grande.png"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString shown = writePicture(QStringLiteral("foto.png"), wideColour);
        auto running = launch({shown});
        ASSERT_FALSE(waitForComparison(x, wideColour).isNull()) << "the picture never showed";
        ASSERT_TRUE(sessionNames(shown));
        ASSERT_FALSE(openGIFDialog().isEmpty()) << "the GIF dialog did not open";
        if (row.handOverFirst) handOver(large);

        running->terminate();
        ASSERT_TRUE(running->waitForFinished(30000)) << "the application did not end";
        EXPECT_EQ(running->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(running->exitCode(), 0);
        EXPECT_TRUE(sessionNames(shown));
        EXPECT_FALSE(QFile::exists(file(QStringLiteral("foto-tilvane.gif"))));
    }
}

// The visible windows of the application, by id.
QStringList applicationWindows(const XvfbDisplay& x)
{
    const auto ids = runTool(x, QStringLiteral("xdotool search --onlyvisible --class tilvane"));
    return QString::fromLatin1(ids.value_or(QByteArray())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// "Abrir" (Ctrl+O) waits while a large picture is handed over and begins to load; the file the user then chooses is
// the one shown, and it stays.
TEST_F(XvfbDialogWait, TheFileChosenInAbrirWhileAHandedOverPictureLoadsIsTheOneShown)
{
    const QColor chosenColour(40, 200, 60);  // green
    const QString large = writeLargePicture(QStringLiteral("grande.png"));
    const QString chosen = writePicture(QStringLiteral("escolhida.png"), chosenColour);
    auto running = launch({writePicture(QStringLiteral("foto.png"), wideColour)});
    ASSERT_FALSE(waitForComparison(x, wideColour).isNull()) << "the picture never showed";
    const QStringList editor = applicationWindows(x);
    ASSERT_EQ(editor.size(), 1);

    ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + editor.front()));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key ctrl+o")));
    QString dialog;
    ASSERT_TRUE(pollUntil(
        [&] {
            const QStringList shown = applicationWindows(x);
            dialog = shown.size() == 2 ? shown.at(shown.at(0) == editor.front() ? 1 : 0) : QString();
            return !dialog.isEmpty();
        },
        30s))
        << "the open dialog did not show";
    ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + dialog));
    ASSERT_TRUE(xdotool(x, QStringLiteral("type --delay 20"), {chosen}));

    handOver(large);
    ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + dialog));
    ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));

    ASSERT_FALSE(waitForComparison(x, chosenColour).isNull()) << "the chosen picture never showed";
    ASSERT_TRUE(sessionNames(chosen));
    QThread::msleep(3000);  // longer than the large picture takes to read
    EXPECT_TRUE(sessionNames(chosen)) << "the handed-over picture replaced the chosen one";
    EXPECT_FALSE(waitForComparison(x, chosenColour).isNull());
    quit(*running);
}

}  // namespace
}  // namespace tilvane::testing

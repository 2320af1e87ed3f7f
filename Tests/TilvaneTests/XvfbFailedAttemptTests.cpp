// The built application in a real X server, where an attempt fails: a handed-over file that cannot be read leaves
// the photograph on screen and its session; an unreadable last-session file is kept beside the new one; a name
// with ".." after a symbolic link opens the file the system finds there.

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "XvfbSupport.hpp"

#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

const QColor photoColour(230, 40, 200);  // magenta
const QColor otherColour(20, 220, 230);  // cyan
const QColor decoyColour(240, 200, 30);  // yellow: a file that must not open

const QString alertTitle = QStringLiteral("Não foi possível concluir");

// The picture file that a last-session document names; empty when it names none.
QString storedImage(const nlohmann::json& lastSession)
{
    if (!lastSession.is_object()) return {};
    const auto url = lastSession.value("session", nlohmann::json::object()).value("imageURL", std::string());
    return QUrl(QString::fromStdString(url)).toLocalFile();
}

class XvfbFailedAttempt : public XvfbWindow {
protected:
    QString sessionFile() const { return file(QStringLiteral("support/last-session.json")); }
    nlohmann::json storedSession() const
    {
        return waitForJson(sessionFile(), [](const nlohmann::json&) { return true; });
    }

    // Waits for the error alert, then puts it away with Return as a user would.
    void dismissAlert()
    {
        const QString alert = waitForWindowTitled(x, alertTitle);
        ASSERT_FALSE(alert.isEmpty()) << "no alert";
        saveScreenshot(screenshot(x, alert), QStringLiteral("failed-attempt-alert"));
        ASSERT_TRUE(xdotool(x, QStringLiteral("windowfocus --sync ") + alert));
        ASSERT_TRUE(xdotool(x, QStringLiteral("key Return")));
    }
};

TEST_F(XvfbFailedAttempt, AHandedOverFileThatCannotBeReadLeavesThePhotographAndItsSession)
{
    const QString photo = writePicture(QStringLiteral("photo.png"), photoColour);
    const QString truncated = file(QStringLiteral("truncated.jpg"));
    writeTruncatedJPEG(truncated.toStdString());
    const std::string truncatedBytes = fileBytes(truncated.toStdString());

    auto running = launch({photo});
    ASSERT_FALSE(waitForComparison(x, photoColour).isNull()) << "the photograph never showed";
    const nlohmann::json sessionBefore =
        waitForJson(sessionFile(), [&photo](const nlohmann::json& stored) { return storedImage(stored) == photo; });
    ASSERT_EQ(storedImage(sessionBefore), photo);

    auto handOver = launch({truncated});
    ASSERT_TRUE(handOver->waitForFinished(20000));
    EXPECT_EQ(handOver->exitCode(), 0) << "the running window took the file";
    dismissAlert();

    const QImage after = waitForComparison(x, photoColour);
    ASSERT_FALSE(after.isNull()) << "the photograph is gone after the failed attempt";
    saveScreenshot(after, QStringLiteral("failed-attempt-after"));
    EXPECT_EQ(storedSession(), sessionBefore) << "the session is untouched";

    quit(*running);
    EXPECT_EQ(storedImage(storedSession()), photo) << "quitting keeps the photograph's session";
    EXPECT_EQ(fileBytes(truncated.toStdString()), truncatedBytes) << "the unreadable file is left as it was";
}

TEST_F(XvfbFailedAttempt, AnUnreadableLastSessionIsKeptBesideTheNewOne)
{
    const std::string unreadable = "not json";
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("support")));
    writeBytes(sessionFile().toStdString(), unreadable);
    const QString photo = writePicture(QStringLiteral("photo.png"), photoColour);

    auto running = launch({photo});
    dismissAlert();
    ASSERT_FALSE(waitForComparison(x, photoColour).isNull());
    quit(*running);

    EXPECT_EQ(fileBytes(file(QStringLiteral("support/last-session.unreadable.json")).toStdString()), unreadable);
    EXPECT_EQ(storedImage(storedSession()), photo);
}

// With link → real/sub, "link/../p.png" is real/p.png for the system and for every other program.
TEST_F(XvfbFailedAttempt, DotsAfterALinkOpenTheFileTheSystemFinds)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("real/sub")));
    std::filesystem::create_directory_symlink(file(QStringLiteral("real/sub")).toStdString(),
                                              file(QStringLiteral("link")).toStdString());
    writePicture(QStringLiteral("real/p.png"), photoColour);
    writePicture(QStringLiteral("real/q.png"), otherColour);
    writePicture(QStringLiteral("p.png"), decoyColour);
    writePicture(QStringLiteral("q.png"), decoyColour);

    auto running = launch({file(QStringLiteral("link/../p.png"))});
    ASSERT_FALSE(waitForComparison(x, photoColour).isNull()) << "not the picture the system opens";

    auto handOver = launch({file(QStringLiteral("link/../q.png"))});
    ASSERT_TRUE(handOver->waitForFinished(20000));
    EXPECT_EQ(handOver->exitCode(), 0);
    ASSERT_FALSE(waitForComparison(x, otherColour).isNull()) << "the hand-over opened another picture";
    quit(*running);
}

}  // namespace
}  // namespace tilvane::testing

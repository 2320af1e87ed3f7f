// The built application in a real X server, where an attempt fails: a handed-over file that cannot be read leaves
// the photograph on screen and its session; an unreadable last-session file is kept beside the new one; two failures
// at start are both told, one alert after the other; a name with ".." after a symbolic link opens the file the
// system finds there.

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/ContentViewState.hpp"
#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/Url.hpp"
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

    // The alerts that show, each seen and put away before the next shows, until none follows; their screenshots are
    // saved as `name`-1, `name`-2, ….
    QList<QImage> dismissEveryAlert(const QString& name)
    {
        QList<QImage> alerts;
        while (alerts.size() < 5 && errorAlertShows(x, alerts.isEmpty() ? 90s : 3s)) {
            alerts.append(dismissErrorAlert(x, name + QStringLiteral("-%1").arg(alerts.size() + 1)));
        }
        return alerts;
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
    EXPECT_EQ(dismissEveryAlert(QStringLiteral("failed-attempt-hand-over-alert")).size(), 1);

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
    EXPECT_EQ(dismissEveryAlert(QStringLiteral("failed-attempt-session-kept-alert")).size(), 1);
    ASSERT_FALSE(waitForComparison(x, photoColour).isNull());
    quit(*running);

    EXPECT_EQ(fileBytes(file(QStringLiteral("support/last-session.unreadable.json")).toStdString()), unreadable);
    EXPECT_EQ(storedImage(storedSession()), photo);
}

// Two failures at start, each told in an alert of its own, in the order they happened: the file the user handed over
// first, then the last session's picture, gone too.
TEST_F(XvfbFailedAttempt, AnUnreadableFileAtStartAndAGoneSessionPictureAreBothTold)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("support")));
    LastSessionStore(sessionFile().toStdString())
        .save(LastSession{Url::file(file(QStringLiteral("gone.png")).toStdString()), initialVisualSettings(),
                          std::nullopt, 2048, 0.5});
    const QString broken = file(QStringLiteral("broken.png"));
    writeBytes(broken.toStdString(), "not a picture");

    auto running = launch({broken});
    const QList<QImage> alerts = dismissEveryAlert(QStringLiteral("failed-attempt-start-unreadable-and-gone-alert"));
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_NE(alerts[0], alerts[1]) << "two messages";

    // The message about the user's own file, told again by a file handed over now, is the one that came first.
    auto handOver = launch({broken});
    ASSERT_TRUE(handOver->waitForFinished(20000));
    EXPECT_EQ(dismissErrorAlert(x, QStringLiteral("failed-attempt-unreadable-file")), alerts[0]);
    quit(*running);
}

TEST_F(XvfbFailedAttempt, ADamagedLastSessionAndDamagedPersonalPresetsAreBothTold)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("support")));
    const std::string damagedSession = "{\"version\": 1, \"session\": ";
    const std::string damagedPresets = "{\"version\": 1, \"presets\": [";
    writeBytes(sessionFile().toStdString(), damagedSession);
    writeBytes(file(QStringLiteral("support/personal-presets.json")).toStdString(), damagedPresets);

    auto running = launch({});
    const QList<QImage> alerts = dismissEveryAlert(QStringLiteral("failed-attempt-start-damaged-files-alert"));
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_NE(alerts[0], alerts[1]) << "two messages";
    quit(*running);
    EXPECT_EQ(fileBytes(sessionFile().toStdString()), damagedSession);
    EXPECT_EQ(fileBytes(file(QStringLiteral("support/personal-presets.json")).toStdString()), damagedPresets);
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

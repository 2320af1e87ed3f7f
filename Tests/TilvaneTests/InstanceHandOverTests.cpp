#include "Tilvane/App/InstanceHandOver.hpp"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tilvane::testing {
namespace {

TEST(InstanceHandOver, MessagesAreAbsoluteLocalPathsOfBoundedLength)
{
    struct Row {
        const char* name;
        QByteArray message;
        std::optional<std::optional<QString>> request;  // nothing: ignored
    };
    const std::vector<Row> rows = {
        {"absolute path", "/home/ana/Fotos/gato preto.png",
         std::optional<QString>(u"/home/ana/Fotos/gato preto.png"_qs)},
        {"accented path", "/home/ana/Imagens/pôr do sol.jpg",
         std::optional<QString>(QString::fromUtf8("/home/ana/Imagens/pôr do sol.jpg"))},
        {"dots are resolved", "/tmp/a/../b.png", std::optional<QString>(u"/tmp/b.png"_qs)},
        {"no file: come forward", "", std::optional<QString>()},
        {"relative path", "Fotos/gato.png", std::nullopt},
        {"http URL", "http://example.com/gato.png", std::nullopt},
        {"file URL text", "file:///tmp/gato.png", std::nullopt},
        {"invalid UTF-8", QByteArray("/tmp/\xff\xfe.png"), std::nullopt},
        {"NUL inside", QByteArray("/tmp/a\0b.png", 12), std::nullopt},
        {"too long", "/" + QByteArray(InstanceHandOver::maxMessageBytes, 'a'), std::nullopt},
    };
    for (const auto& row : rows) {
        const auto request = InstanceHandOver::parse(row.message);
        ASSERT_EQ(request.has_value(), row.request.has_value()) << row.name;
        if (request) {
            EXPECT_EQ(request->path, *row.request) << row.name;
        }
    }
    EXPECT_TRUE(InstanceHandOver::parse("/" + QByteArray(InstanceHandOver::maxMessageBytes - 1, 'a')))
        << "exactly the longest message is accepted";
}

struct HandOverFolder {
    QString socket() const { return folder.filePath(QStringLiteral("tilvane.socket")); }
    QTemporaryDir folder;
};

TEST(InstanceHandOver, SecondLaunchHandsItsFileToTheRunningInstance)
{
    HandOverFolder place;
    InstanceHandOver running(place.socket());
    ASSERT_TRUE(running.listen());
    struct stat status {};
    ASSERT_EQ(::stat(place.socket().toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u) << "only the user can reach the socket";

    QSignalSpy files(&running, &InstanceHandOver::fileReceived);
    QSignalSpy activations(&running, &InstanceHandOver::activationRequested);
    InstanceHandOver later(place.socket());
    EXPECT_TRUE(later.sendToRunning(u"/tmp/outra.png"_qs));
    QTRY_COMPARE(files.count(), 1);
    EXPECT_EQ(files.takeFirst().at(0).toString(), u"/tmp/outra.png"_qs);

    EXPECT_TRUE(later.sendToRunning(std::nullopt));
    QTRY_COMPARE(activations.count(), 1);

    EXPECT_TRUE(later.sendToRunning(u"relativo.png"_qs)) << "delivered, then ignored";
    EXPECT_TRUE(later.sendToRunning(QString(5000, u'a').prepend(u'/')));
    QTest::qWait(100);
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(activations.count(), 1);
    EXPECT_FALSE(InstanceHandOver(place.socket()).listen()) << "a running instance keeps its socket";
}

TEST(InstanceHandOver, NobodyAnswersWithoutARunningInstanceAndAStaleSocketIsReplaced)
{
    HandOverFolder place;
    EXPECT_FALSE(InstanceHandOver(place.socket()).sendToRunning(u"/tmp/a.png"_qs)) << "no socket at all";
    // A socket file whose process is gone: bound, never listened on, closed without removing it.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = place.socket().toLocal8Bit();
    std::memcpy(address.sun_path, path.constData(), path.size());
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);

    InstanceHandOver launch(place.socket());
    EXPECT_FALSE(launch.sendToRunning(std::nullopt));
    ASSERT_TRUE(launch.listen());
    QSignalSpy files(&launch, &InstanceHandOver::fileReceived);
    EXPECT_TRUE(InstanceHandOver(place.socket()).sendToRunning(u"/tmp/b.png"_qs));
    QTRY_COMPARE(files.count(), 1);
}

}  // namespace
}  // namespace tilvane::testing

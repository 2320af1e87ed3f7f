#include "TestSupport.hpp"

#include "TestSupport/LoopbackHttpServer.hpp"

#include "VeldranTelemetry/PostHogTransport.hpp"

#include <QLoggingCategory>

#include <stdexcept>

namespace veldran {
namespace {

using namespace testing;
using tilvane::testing::LoopbackHttpServer, tilvane::testing::ReceivedRequest;

// The lines logged in the analytics category while a test of this file runs.
QStringList analyticsLog;

void recordAnalyticsLine(QtMsgType type, const QMessageLogContext& context, const QString& line)
{
    if (type == QtDebugMsg && QLatin1String(context.category) == "studio.veldran.telemetry.Analytics")
        analyticsLog.append(line);
}

class PostHogTransportTest : public ::testing::Test {
protected:
    PostHogTransportTest() : previousHandler(qInstallMessageHandler(recordAnalyticsLine))
    {
        QLoggingCategory::setFilterRules(QStringLiteral("studio.veldran.telemetry.Analytics.debug=true"));
        analyticsLog.clear();
    }
    ~PostHogTransportTest() override { qInstallMessageHandler(previousHandler); }

    QtMessageHandler previousHandler;
    LoopbackHttpServer server;
    std::vector<bool> outcomes;
    bool resendAfterFirstOutcome = false;
    PostHogTransport transport{[this](bool accepted) {
                                   outcomes.push_back(accepted);
                                   if (resendAfterFirstOutcome && outcomes.size() == 1) transport.send("again");
                               },
                               server.url("/batch/")};
};

TEST_F(PostHogTransportTest, PostsTheBodyUnchangedWithOneJsonContentTypeAndOnlyTwoHundredsCountAsAccepted)
{
    const QByteArray body = R"({"api_key":"phc_x","batch":[{"event":"tilvane_app_opened"}]})";
    for (const auto& [status, accepted] :
         std::vector<std::pair<int, bool>>{{199, false}, {200, true}, {299, true}, {300, false}, {500, false}}) {
        SCOPED_TRACE(status);
        analyticsLog.clear();
        outcomes.clear();
        server.setStatus(status);
        transport.send(body);
        ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 1; }));
        EXPECT_EQ(outcomes.front(), accepted);
        const auto& request = server.requests().back();
        EXPECT_EQ(request.requestLine, "POST /batch/ HTTP/1.1");
        EXPECT_EQ(request.body, body);
        EXPECT_EQ(request.headers.values("content-type"), QList<QByteArray>{"application/json"});
        EXPECT_TRUE(request.headers.values("authorization").isEmpty() && request.headers.values("cookie").isEmpty());
        EXPECT_EQ(analyticsLog,
                  QStringList{accepted ? "Event accepted by ingestion endpoint" : "Event delivery did not complete"});
    }
}

TEST_F(PostHogTransportTest, AnEleventhBatchInFlightIsDroppedAndTheNextOneAfterACompletionGoesOut)
{
    for (int index = 0; index < 11; ++index) transport.send(QByteArray::number(index));
    EXPECT_EQ(transport.pendingCount(), 10u);
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 10; }));
    processEventsFor(std::chrono::milliseconds(200));
    EXPECT_EQ(server.requests().size(), 10u);
    EXPECT_TRUE(std::ranges::none_of(server.requests(), [](const auto& request) { return request.body == "10"; }));

    transport.send("after");
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 11; }));
    EXPECT_EQ(server.requests().back().body, "after");
}

// An abort completes right away, and its completion may send again: that send needs a fresh session.
TEST_F(PostHogTransportTest, CancelAbortsEverythingInFlightAndASendFromItsCompletionGoesOutOnAFreshSession)
{
    server.setHolding(true);
    transport.send("a");
    transport.send("b");
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));
    resendAfterFirstOutcome = true;
    transport.cancel();
    EXPECT_EQ(outcomes, (std::vector<bool>{false, false}));
    EXPECT_EQ(analyticsLog, QStringList(2, "Event delivery did not complete"));
    EXPECT_EQ(transport.pendingCount(), 1u);
    EXPECT_TRUE(transport.hasSession());

    server.releaseHeld();
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 3; }));
    EXPECT_TRUE(outcomes.back());
    EXPECT_EQ(server.requests().back().body, "again");
    EXPECT_EQ(transport.pendingCount(), 0u);
    transport.cancel();
    EXPECT_FALSE(transport.hasSession());
}

TEST(PostHogTransport, RefusesAnEndpointOutsideTheLoopback)
{
    EXPECT_THROW(PostHogTransport({}, QUrl("https://example.com/batch/")), std::invalid_argument);
    EXPECT_THROW(PostHogTransport({}, QUrl("http://10.0.0.1/batch/")), std::invalid_argument);
    EXPECT_NO_THROW(PostHogTransport({}, QUrl("http://[::1]:9/batch/")));
}

}  // namespace
}  // namespace veldran

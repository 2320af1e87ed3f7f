#include "TestSupport.hpp"

#include "TestSupport/LoopbackHttpServer.hpp"

#include "VeldranTelemetry/CrashClient.hpp"
#include "VeldranTelemetry/DiagnosticStorage.hpp"
#include "VeldranTelemetry/Telemetry.hpp"

#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QSignalSpy>

#include <csignal>
#include <ranges>

namespace veldran {
namespace {

using namespace testing;
using tilvane::testing::LoopbackHttpServer, tilvane::testing::ReceivedRequest;

// Line 0 of an envelope is its header, line 1 the item header, line 2 the event.
std::string envelopeLine(const ReceivedRequest& request, int index)
{
    return request.body.split('\n').value(index).toStdString();
}

nlohmann::json eventOf(const ReceivedRequest& request)
{
    return nlohmann::json::parse(envelopeLine(request, 2));
}

// Nothing of the machine or its user: no path, user name, host name or thread name.
void expectNothingOfTheMachine(const std::string& payload)
{
    EXPECT_EQ(payload.find('/'), std::string::npos) << payload;
    EXPECT_EQ(payload.find(QHostInfo::localHostName().toStdString()), std::string::npos);
    EXPECT_EQ(payload.find(qEnvironmentVariable("USER", "root").toStdString() + "\""), std::string::npos);
    EXPECT_EQ(payload.find("\"name\""), std::string::npos);
}

class CrashReporterTest : public ::testing::Test {
protected:
    QString base() const { return caches.filePath(QStringLiteral("studio.veldran.tilvane/BetaDiagnostics")); }

    std::unique_ptr<DiagnosticStorage> storage()
    {
        return std::make_unique<DiagnosticStorage>("unused", defaults.settings(), base());
    }

    std::unique_ptr<CrashReporter> makeReporter()
    {
        return std::make_unique<CrashReporter>("unused", defaults.settings(), storage(), nullptr, server.origin());
    }

    // The generation folder the next consented start will use.
    QString generationFolder() { return storage()->directoryForConsentedRun().value(); }

    void writeStoredReport(const QString& name, const QByteArray& contents)
    {
        QFile file(QDir(generationFolder()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QStringList storedFiles() { return QDir(generationFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir caches;
    testing::TemporarySettings defaults;
    LoopbackHttpServer server;
};

// A real crash of an earlier run and a well-formed stored one go out sanitized; the rest is deleted unsent.
TEST_F(CrashReporterTest, StoredCrashesAreSentSanitizedAtTheNextStartAndEveryFileIsThenDeleted)
{
    ASSERT_EQ(testing::runCrashingChild(generationFolder(), "segv"), SIGSEGV);
    const QByteArray valid = QByteArray::fromStdString(testing::sampleCrashDocument().dump());
    auto wrongType = testing::sampleCrashDocument();
    wrongType["signal"] = "11";
    writeStoredReport("crash-1-1.json", QByteArray::fromStdString(wrongType.dump()));
    writeStoredReport("crash-1-2.json", "{broken");
    writeStoredReport("crash-1-3.json", valid);
    writeStoredReport(".crash-1-4.tmp", valid.left(40));
    ASSERT_EQ(storedFiles().size(), 5);

    const auto reporter = makeReporter();
    reporter->start(betaConfiguration());
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2 && storedFiles().isEmpty(); }));
    processEventsFor(std::chrono::milliseconds(100));
    ASSERT_EQ(server.requests().size(), 2u);
    for (const auto& request : server.requests()) {
        const auto event = eventOf(request);
        EXPECT_EQ(event["level"], "fatal");
        auto exception = event["exception"]["values"][0];
        EXPECT_GE(exception["stacktrace"]["frames"].size(), 2u);
        exception.erase("stacktrace");
        EXPECT_EQ(exception, (nlohmann::json{{"type", "SIGSEGV"},
                                             {"value", "native_crash"},
                                             {"mechanism", {{"type", "signalhandler"}, {"handled", false}}}}));
        EXPECT_FALSE(event.contains("message"));
        EXPECT_FALSE(event["debug_meta"]["images"].empty());
        expectNothingOfTheMachine(envelopeLine(request, 2));
        EXPECT_EQ(envelopeLine(request, 2).find("passport"), std::string::npos);
    }
}

TEST_F(CrashReporterTest, StoredReportsAreKeptOnlyWhileTheyMayStillBeSent)
{
    const QByteArray valid = QByteArray::fromStdString(testing::sampleCrashDocument().dump());
    for (const auto& [status, kept] :
         std::vector<std::pair<int, bool>>{{500, true}, {429, true}, {400, false}, {202, false}}) {
        SCOPED_TRACE(status);
        const std::size_t before = server.requests().size();
        writeStoredReport("crash-1-1.json", valid);
        server.setStatus(status);
        auto reporter = makeReporter();
        reporter->start(betaConfiguration());
        QSignalSpy settled(reporter->client(), &CrashClient::storedReportSettled);
        ASSERT_TRUE(waitUntil([&] { return settled.size() == 1; }));
        EXPECT_EQ(server.requests().size(), before + 1);
        EXPECT_EQ(storedFiles().contains("crash-1-1.json"), kept);
        reporter.reset();
        QFile::remove(QDir(generationFolder()).filePath("crash-1-1.json"));
    }
}

TEST_F(CrashReporterTest, OnlyTheTenNewestStoredReportsAreSent)
{
    for (int time = 10; time < 22; ++time) {
        auto document = testing::sampleCrashDocument();
        document["time"] = time;
        writeStoredReport(QStringLiteral("crash-%1-1.json").arg(time), QByteArray::fromStdString(document.dump()));
    }
    const auto reporter = makeReporter();
    reporter->start(betaConfiguration());
    ASSERT_TRUE(waitUntil([&] { return storedFiles().isEmpty() && server.requests().size() == 10; }));
    processEventsFor(std::chrono::milliseconds(100));
    ASSERT_EQ(server.requests().size(), 10u);
    const auto timestamp = [](const ReceivedRequest& request) { return eventOf(request)["timestamp"].get<int>(); };
    EXPECT_EQ(std::ranges::min(server.requests() | std::views::transform(timestamp)), 12);
}

// The whole road through the telemetry object: one sanitized envelope while consent is on, none after.
TEST_F(CrashReporterTest, ReportsTravelOnlyWhileDiagnosticsConsentIsOn)
{
    Telemetry telemetry(betaConfiguration(), defaults.settings(), std::make_unique<testing::RecordingTransport>(),
                        makeReporter());
    telemetry.start();
    telemetry.recordFailure(SampleEvent::exportFailed, Detail{"format", "png"});
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 1; }));
    const auto& request = server.requests().front();
    EXPECT_EQ(request.requestLine, "POST /api/4505/envelope/ HTTP/1.1");
    EXPECT_EQ(request.headers.values("content-type"), QList<QByteArray>{"application/x-sentry-envelope"});
    EXPECT_TRUE(request.headers.values("x-sentry-auth").value(0).contains("sentry_key=publickey"));
    const auto event = eventOf(request);
    EXPECT_EQ(nlohmann::json::parse(envelopeLine(request, 1)),
              (nlohmann::json{{"type", "event"}, {"length", envelopeLine(request, 2).size()}}));
    EXPECT_EQ(nlohmann::json::parse(envelopeLine(request, 0))["event_id"], event["event_id"]);
    nlohmann::json patched = event;  // unchanged when the event already holds every one of these
    patched.merge_patch({{"level", "error"},
                         {"message", {{"formatted", "tilvane_export_failed"}}},
                         {"dist", "45"},
                         {"release", "studio.veldran.tilvane@1.2.3+45"},
                         {"environment", "beta"},
                         {"tags", {{"format", "png"}, {"app", "tilvane"}}}});
    EXPECT_EQ(event, patched);
    expectNothingOfTheMachine(envelopeLine(request, 2));

    writeStoredReport("crash-1-1.json", "{}");
    telemetry.setDiagnosticsEnabled(false);
    EXPECT_FALSE(QFileInfo::exists(base()));
    EXPECT_FALSE(defaults.settings().contains(DiagnosticStorage::generationKey));  // the next run starts afresh
    telemetry.recordFailure(SampleEvent::exportFailed);
    processEventsFor(std::chrono::milliseconds(200));
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(base()));
}

}  // namespace
}  // namespace veldran

#include "TestSupport.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/Telemetry.hpp"

#include <QSignalSpy>

#include <regex>

namespace veldran {
namespace {

using namespace testing;

class TelemetryTest : public ::testing::Test {
protected:
    std::unique_ptr<Telemetry> makeTelemetry(TelemetryConfiguration configuration = betaConfiguration())
    {
        auto transport = std::make_unique<testing::RecordingTransport>();
        auto diagnostics = std::make_unique<testing::RecordingDiagnostics>();
        sent = transport.get();
        reports = diagnostics.get();
        return std::make_unique<Telemetry>(std::move(configuration), defaults.settings(), std::move(transport),
                                           std::move(diagnostics), [this] { return now; });
    }

    std::vector<std::string> sentValues(const char* key) const
    {
        std::vector<std::string> values;
        for (const auto& batch : sent->batches) values.push_back(batch["batch"][0][key]);
        return values;
    }

    const nlohmann::json& lastEvent() const { return sent->batches.back()["batch"][0]; }
    QVariant stored(const char* key) { return defaults.settings().value(QLatin1String(key)); }

    testing::TemporarySettings defaults;
    std::int64_t now = 1765000000123;
    testing::RecordingTransport* sent = nullptr;
    testing::RecordingDiagnostics* reports = nullptr;
};

TEST_F(TelemetryTest, ConsentsDefaultToOnButAnUnavailableBuildStaysOff)
{
    auto development = betaConfiguration();
    development.environment = "development";
    const auto telemetry = makeTelemetry(development);
    QSignalSpy changes(telemetry.get(), &Telemetry::usageEnabledChanged);
    telemetry->setUsageEnabled(true);
    telemetry->setDiagnosticsEnabled(true);
    telemetry->start();
    telemetry->record(SampleEvent::imageOpened);
    EXPECT_FALSE(telemetry->usageEnabled() || telemetry->diagnosticsEnabled());
    EXPECT_TRUE(sent->batches.empty() && changes.empty());
    EXPECT_EQ(reports->calls, std::vector<std::string>{"stopAndPurge"});

    const auto beta = makeTelemetry();
    EXPECT_TRUE(beta->usageEnabled() && beta->diagnosticsEnabled());
    EXPECT_FALSE(defaults.settings().contains(Telemetry::usageConsentKey));
    // Ill-typed stored consents count as absent.
    defaults.settings().setValue(Telemetry::usageConsentKey, "maybe");
    defaults.settings().setValue(Telemetry::diagnosticsConsentKey, 0);
    EXPECT_TRUE(makeTelemetry()->usageEnabled() && makeTelemetry()->diagnosticsEnabled());
}

// The opening goes out once, and first; times are whole milliseconds that always increase; each batch carries
// one event with the typed base properties and the detail.
TEST_F(TelemetryTest, TheOpeningGoesOutOnceAndFirstAndEventTimesAlwaysIncrease)
{
    defaults.settings().setValue(Telemetry::installationKey, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    const auto telemetry = makeTelemetry();
    telemetry->record(SampleEvent::imageOpened);  // opening 123, then the event in the same millisecond: 124
    telemetry->start();
    telemetry->start();
    now -= 60000;
    telemetry->record(SampleEvent::imageOpened);  // clock set back: 125
    now += 120000;
    telemetry->record(SampleEvent::exportFailed, Detail{"format", "png"});  // clock ahead again: its own time
    EXPECT_EQ(sentValues("event"), (std::vector<std::string>{"tilvane_app_opened", "tilvane_image_opened",
                                                             "tilvane_image_opened", "tilvane_export_failed"}));
    EXPECT_EQ(sentValues("timestamp"),
              (std::vector<std::string>{"2025-12-06T05:46:40.123Z", "2025-12-06T05:46:40.124Z",
                                        "2025-12-06T05:46:40.125Z", "2025-12-06T05:47:40.123Z"}));
    EXPECT_EQ(reports->calls, std::vector<std::string>{"start"});
    const nlohmann::json properties = {{"platform", "linux"},
                                       {"surface", "native"},
                                       {"schema_version", 1},
                                       {"app", "tilvane"},
                                       {"app_version", "1.2.3"},
                                       {"app_build", "45"},
                                       {"environment", "beta"},
                                       {"os_version", osVersion()},
                                       {"architecture", architectureName()},
                                       {"$process_person_profile", false},
                                       {"$geoip_disable", true},
                                       {"$ip", nullptr},
                                       {"format", "png"}};
    EXPECT_EQ(sent->batches.back(), (nlohmann::json{{"api_key", "phc_secret"},
                                                    {"batch",
                                                     {{{"event", "tilvane_export_failed"},
                                                       {"distinct_id", "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d"},
                                                       {"timestamp", "2025-12-06T05:47:40.123Z"},
                                                       {"properties", properties}}}}}));
}

TEST_F(TelemetryTest, AFailureGoesToBothSidesAccordingToTheirOwnConsentsWhichStartOrPurgeDiagnostics)
{
    const auto telemetry = makeTelemetry();
    telemetry->start();
    telemetry->recordFailure(SampleEvent::exportFailed, Detail{"format", "gif"});
    telemetry->setUsageEnabled(false);
    telemetry->recordFailure(SampleEvent::exportFailed);
    EXPECT_EQ(reports->calls, (std::vector<std::string>{"start", "capture tilvane_export_failed format=gif",
                                                        "capture tilvane_export_failed"}));
    EXPECT_EQ(sentValues("event"), (std::vector<std::string>{"tilvane_app_opened", "tilvane_export_failed"}));

    telemetry->setUsageEnabled(true);
    QSignalSpy diagnosticsChanges(telemetry.get(), &Telemetry::diagnosticsEnabledChanged);
    telemetry->setDiagnosticsEnabled(false);
    telemetry->recordFailure(SampleEvent::exportFailed);
    EXPECT_EQ(reports->calls.back(), "stopAndPurge");
    EXPECT_EQ(lastEvent()["event"], "tilvane_export_failed");
    telemetry->setDiagnosticsEnabled(true);
    EXPECT_EQ(reports->calls.back(), "start");
    EXPECT_EQ(diagnosticsChanges.size(), 2);
}

TEST_F(TelemetryTest, TurningUsageOffCancelsAndForgetsTheInstallationAndOnAgainOpensANewOne)
{
    const auto telemetry = makeTelemetry();
    QSignalSpy changes(telemetry.get(), &Telemetry::usageEnabledChanged);
    telemetry->start();
    const std::string firstIdentifier = lastEvent()["distinct_id"];

    telemetry->setUsageEnabled(false);
    EXPECT_EQ(sent->cancelCount, 1);
    EXPECT_FALSE(defaults.settings().contains(Telemetry::installationKey));
    EXPECT_EQ(stored(Telemetry::usageConsentKey).toBool(), false);
    telemetry->record(SampleEvent::imageOpened);
    EXPECT_EQ(sent->batches.size(), 1u);

    telemetry->setUsageEnabled(true);
    EXPECT_EQ(stored(Telemetry::usageConsentKey).toBool(), true);
    EXPECT_EQ(sentValues("event"), (std::vector<std::string>{"tilvane_app_opened", "tilvane_app_opened"}));
    const std::string secondIdentifier = lastEvent()["distinct_id"];
    EXPECT_NE(secondIdentifier, firstIdentifier);
    EXPECT_EQ(stored(Telemetry::installationKey).toString().toStdString(), secondIdentifier);
    EXPECT_TRUE(std::regex_match(secondIdentifier, std::regex("[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}")));
    EXPECT_EQ(changes, (QList<QList<QVariant>>{{false}, {true}}));
}

// The build's own Info.json carries no telemetry keys: nothing may be sent or created.
TEST(UnconfiguredBuild, SendsNothingAndCreatesNothingInTheCacheFolder)
{
    const Bundle bundle(QStringLiteral(TILVANE_TEST_APP_DIR));
    ASSERT_EQ(bundle.identifier(), "studio.veldran.tilvane");
    const auto configuration = TelemetryConfiguration::bundled("tilvane", bundle);
    EXPECT_FALSE(configuration.usageAvailable() || configuration.diagnosticsAvailable());

    QTemporaryDir caches;
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(caches.path()));
    testing::TemporarySettings defaults;
    auto transport = std::make_unique<testing::RecordingTransport>();
    const auto* sent = transport.get();
    {
        Telemetry telemetry(configuration, defaults.settings(), std::move(transport));
        telemetry.start();
        telemetry.recordFailure(SampleEvent::imageOpened);
        telemetry.setDiagnosticsEnabled(false);
        telemetry.setDiagnosticsEnabled(true);
        telemetry.feedbackOpened();
        EXPECT_TRUE(sent->batches.empty());
    }
    qputenv("XDG_CACHE_HOME", previous);
    EXPECT_TRUE(QDir(caches.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

}  // namespace
}  // namespace veldran

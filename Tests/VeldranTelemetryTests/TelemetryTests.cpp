#include "RecordingBackends.hpp"
#include "TestSupport.hpp"

#include "VeldranTelemetry/Telemetry.hpp"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <regex>

namespace veldran {
namespace {

using testing::betaConfiguration;

enum class SampleEvent { imageOpened, exportFailed, capitalised, hyphenated, leadingDigit, doubleUnderscore };

std::string_view rawValue(SampleEvent event)
{
    switch (event) {
    case SampleEvent::imageOpened: return "image_opened";
    case SampleEvent::exportFailed: return "export_failed";
    case SampleEvent::capitalised: return "Image_opened";
    case SampleEvent::hyphenated: return "image-opened";
    case SampleEvent::leadingDigit: return "2image_opened";
    case SampleEvent::doubleUnderscore: return "image__opened";
    }
    return "";
}

struct ExportFormat {
    std::string value;
};
std::string_view detailKey(const ExportFormat&) { return "format"; }
std::string_view rawValue(const ExportFormat& detail) { return detail.value; }

struct PlatformOverride {
    std::string value;
};
std::string_view detailKey(const PlatformOverride&) { return "platform"; }
std::string_view rawValue(const PlatformOverride& detail) { return detail.value; }

// The application's kind of detail: an enumeration.
enum class TilvaneExportFormat { png, gif };
std::string_view detailKey(TilvaneExportFormat) { return "format"; }
std::string_view rawValue(TilvaneExportFormat format) { return format == TilvaneExportFormat::png ? "png" : "gif"; }

using testing::RecordingDiagnostics;
using testing::RecordingTransport;

class TelemetryTest : public ::testing::Test {
protected:
    std::unique_ptr<Telemetry> makeTelemetry(TelemetryConfiguration configuration = betaConfiguration())
    {
        auto transport = std::make_unique<RecordingTransport>();
        auto diagnostics = std::make_unique<RecordingDiagnostics>();
        sent = transport.get();
        reports = diagnostics.get();
        return std::make_unique<Telemetry>(std::move(configuration), defaults.settings(), std::move(transport),
            std::move(diagnostics), [this] { return now; });
    }

    std::vector<std::string> eventNames() const
    {
        std::vector<std::string> names;
        for (const auto& batch : sent->batches)
            names.push_back(batch["batch"][0]["event"]);
        return names;
    }

    const nlohmann::json& lastEvent() const { return sent->batches.back()["batch"][0]; }
    QVariant stored(const char* key) { return defaults.settings().value(QLatin1String(key)); }

    testing::TemporarySettings defaults;
    std::int64_t now = 1765000000123;
    RecordingTransport* sent = nullptr;
    RecordingDiagnostics* reports = nullptr;
};

TEST_F(TelemetryTest, ConsentsDefaultToOnButAnUnavailableBuildStaysOff)
{
    auto development = betaConfiguration();
    development.environment = "development";
    const auto telemetry = makeTelemetry(development);
    EXPECT_FALSE(telemetry->usageEnabled());
    EXPECT_FALSE(telemetry->diagnosticsEnabled());
    telemetry->start();
    telemetry->record(SampleEvent::imageOpened);
    EXPECT_TRUE(sent->batches.empty());
    EXPECT_EQ(reports->calls, std::vector<std::string>{"stopAndPurge"});

    const auto beta = makeTelemetry();
    EXPECT_TRUE(beta->usageEnabled());
    EXPECT_TRUE(beta->diagnosticsEnabled());
    EXPECT_FALSE(defaults.settings().contains(Telemetry::usageConsentKey));
}

TEST_F(TelemetryTest, IllTypedStoredConsentsCountAsAbsent)
{
    defaults.settings().setValue(Telemetry::usageConsentKey, "maybe");
    defaults.settings().setValue(Telemetry::diagnosticsConsentKey, 0);
    const auto telemetry = makeTelemetry();
    EXPECT_TRUE(telemetry->usageEnabled());
    EXPECT_TRUE(telemetry->diagnosticsEnabled());

    defaults.settings().setValue(Telemetry::usageConsentKey, false);
    EXPECT_FALSE(makeTelemetry()->usageEnabled());
}

TEST_F(TelemetryTest, StartSendsTheOpeningOnceAndStartsDiagnostics)
{
    const auto telemetry = makeTelemetry();
    telemetry->start();
    telemetry->start();
    telemetry->record(SampleEvent::imageOpened);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"tilvane_app_opened", "tilvane_image_opened"}));
    EXPECT_EQ(reports->calls, std::vector<std::string>{"start"});
}

TEST_F(TelemetryTest, AnEventBeforeStartIsPrecededByTheOpeningWithAnEarlierTime)
{
    const auto telemetry = makeTelemetry();
    telemetry->record(SampleEvent::imageOpened);
    telemetry->start();
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"tilvane_app_opened", "tilvane_image_opened"}));
    EXPECT_LT(sent->batches[0]["batch"][0]["timestamp"].get<std::string>(),
        sent->batches[1]["batch"][0]["timestamp"].get<std::string>());
}

TEST_F(TelemetryTest, TheBatchCarriesOneEventWithTypedBasePropertiesAndTheDetail)
{
    defaults.settings().setValue(Telemetry::installationKey, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    const auto telemetry = makeTelemetry();
    telemetry->record(SampleEvent::exportFailed, ExportFormat{"png"});
    ASSERT_EQ(sent->batches.size(), 2u);
    const auto& batch = sent->batches.back();
    EXPECT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch["api_key"], "phc_secret");
    ASSERT_EQ(batch["batch"].size(), 1u);
    const auto& event = batch["batch"][0];
    EXPECT_EQ(event.size(), 4u);
    EXPECT_EQ(event["event"], "tilvane_export_failed");
    EXPECT_EQ(event["distinct_id"], "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    EXPECT_EQ(event["timestamp"], "2025-12-06T05:46:40.124Z");
    auto expected = nlohmann::json(betaConfiguration().properties());
    expected["format"] = "png";
    EXPECT_EQ(event["properties"], expected);
    EXPECT_TRUE(event["properties"]["$ip"].is_null());
}

TEST_F(TelemetryTest, EventTimesAreWholeMillisecondsThatAlwaysIncrease)
{
    const auto telemetry = makeTelemetry();
    telemetry->start();                                 // 123
    telemetry->record(SampleEvent::imageOpened);        // same millisecond: 124
    now -= 60000;
    telemetry->record(SampleEvent::imageOpened);        // clock set back: 125
    now += 120000;
    telemetry->record(SampleEvent::imageOpened);        // clock ahead again: its own time
    std::vector<std::string> times;
    for (const auto& batch : sent->batches)
        times.push_back(batch["batch"][0]["timestamp"]);
    EXPECT_EQ(times, (std::vector<std::string>{"2025-12-06T05:46:40.123Z", "2025-12-06T05:46:40.124Z",
                         "2025-12-06T05:46:40.125Z", "2025-12-06T05:47:40.123Z"}));
}

TEST_F(TelemetryTest, InvalidNamesAndDetailsSendAndCaptureNothing)
{
    const auto telemetry = makeTelemetry();
    telemetry->start();
    const std::size_t afterOpening = sent->batches.size();
    for (const auto event : {SampleEvent::capitalised, SampleEvent::hyphenated, SampleEvent::leadingDigit,
             SampleEvent::doubleUnderscore}) {
        telemetry->record(event);
        telemetry->recordFailure(event);
    }
    for (const std::string& value : {std::string(), std::string(41, 'a'), std::string("PNG"), std::string(".png")}) {
        telemetry->record(SampleEvent::exportFailed, ExportFormat{value});
        telemetry->recordFailure(SampleEvent::exportFailed, ExportFormat{value});
    }
    telemetry->record(SampleEvent::exportFailed, PlatformOverride{"windows"});
    telemetry->recordFailure(SampleEvent::exportFailed, PlatformOverride{"windows"});
    EXPECT_EQ(sent->batches.size(), afterOpening);
    EXPECT_EQ(reports->calls, std::vector<std::string>{"start"});
}

TEST_F(TelemetryTest, AFailureGoesToBothSidesAccordingToTheirOwnConsents)
{
    const auto telemetry = makeTelemetry();
    telemetry->start();
    telemetry->recordFailure(SampleEvent::exportFailed, TilvaneExportFormat::gif);
    telemetry->recordFailure(SampleEvent::exportFailed);
    EXPECT_EQ(reports->calls, (std::vector<std::string>{"start", "capture tilvane_export_failed format=gif",
                                  "capture tilvane_export_failed"}));
    EXPECT_EQ(eventNames().back(), "tilvane_export_failed");

    telemetry->setUsageEnabled(false);
    telemetry->recordFailure(SampleEvent::exportFailed);
    EXPECT_EQ(reports->calls.back(), "capture tilvane_export_failed");
    EXPECT_EQ(reports->calls.size(), 4u);

    telemetry->setUsageEnabled(true);
    telemetry->setDiagnosticsEnabled(false);
    const std::size_t batchesBefore = sent->batches.size();
    telemetry->recordFailure(SampleEvent::exportFailed);
    EXPECT_EQ(reports->calls.back(), "stopAndPurge");
    EXPECT_EQ(sent->batches.size(), batchesBefore + 1);
}

TEST_F(TelemetryTest, TurningUsageOffCancelsAndForgetsTheInstallationAndOnAgainOpensANewOne)
{
    const auto telemetry = makeTelemetry();
    QSignalSpy changes(telemetry.get(), &Telemetry::usageEnabledChanged);
    telemetry->start();
    const std::string firstIdentifier = lastEvent()["distinct_id"];

    telemetry->setUsageEnabled(false);
    EXPECT_FALSE(telemetry->usageEnabled());
    EXPECT_EQ(sent->cancelCount, 1);
    EXPECT_FALSE(defaults.settings().contains(Telemetry::installationKey));
    EXPECT_EQ(stored(Telemetry::usageConsentKey).toBool(), false);
    const std::size_t batchesWhileOff = sent->batches.size();
    telemetry->record(SampleEvent::imageOpened);
    EXPECT_EQ(sent->batches.size(), batchesWhileOff);

    telemetry->setUsageEnabled(true);
    EXPECT_EQ(stored(Telemetry::usageConsentKey).toBool(), true);
    EXPECT_EQ(lastEvent()["event"], "tilvane_app_opened");
    const std::string secondIdentifier = lastEvent()["distinct_id"];
    EXPECT_NE(secondIdentifier, firstIdentifier);
    EXPECT_EQ(stored(Telemetry::installationKey).toString().toStdString(), secondIdentifier);
    EXPECT_TRUE(std::regex_match(secondIdentifier, std::regex("[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}")));
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][0].toBool(), false);
    EXPECT_EQ(changes[1][0].toBool(), true);
}

TEST_F(TelemetryTest, WritingTheSameStoredConsentInAnUnavailableBuildChangesNothing)
{
    auto noAnalytics = betaConfiguration();
    noAnalytics.projectToken.reset();
    const auto telemetry = makeTelemetry(noAnalytics);
    QSignalSpy changes(telemetry.get(), &Telemetry::usageEnabledChanged);
    telemetry->setUsageEnabled(true);
    EXPECT_FALSE(defaults.settings().contains(Telemetry::usageConsentKey));
    EXPECT_TRUE(sent->batches.empty());
    EXPECT_EQ(changes.size(), 0);
}

TEST_F(TelemetryTest, DiagnosticsConsentStartsOrPurgesAndCannotTurnOnWithoutDiagnostics)
{
    const auto telemetry = makeTelemetry();
    QSignalSpy changes(telemetry.get(), &Telemetry::diagnosticsEnabledChanged);
    telemetry->setDiagnosticsEnabled(false);
    telemetry->setDiagnosticsEnabled(true);
    EXPECT_EQ(reports->calls, (std::vector<std::string>{"stopAndPurge", "start"}));
    EXPECT_EQ(changes.size(), 2);

    auto noDiagnostics = betaConfiguration();
    noDiagnostics.sentryDSN = "https://k@example.com/1";
    defaults.settings().setValue(Telemetry::diagnosticsConsentKey, false);
    const auto unavailable = makeTelemetry(noDiagnostics);
    unavailable->setDiagnosticsEnabled(true);
    EXPECT_FALSE(unavailable->diagnosticsEnabled());
    EXPECT_EQ(stored(Telemetry::diagnosticsConsentKey).toBool(), false);
    EXPECT_EQ(reports->calls, std::vector<std::string>{"stopAndPurge"});
}

TEST_F(TelemetryTest, StartWithConsentsOffCancelsForgetsAndPurges)
{
    defaults.settings().setValue(Telemetry::usageConsentKey, false);
    defaults.settings().setValue(Telemetry::diagnosticsConsentKey, false);
    defaults.settings().setValue(Telemetry::installationKey, "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    const auto telemetry = makeTelemetry();
    telemetry->start();
    EXPECT_EQ(sent->cancelCount, 1);
    EXPECT_FALSE(defaults.settings().contains(Telemetry::installationKey));
    EXPECT_EQ(reports->calls, std::vector<std::string>{"stopAndPurge"});
    EXPECT_TRUE(sent->batches.empty());
}

TEST_F(TelemetryTest, AMalformedStoredInstallationIsReplaced)
{
    for (const char* malformed : {"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}", "ana", "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D\n"}) {
        defaults.settings().setValue(Telemetry::installationKey, malformed);
        const auto telemetry = makeTelemetry();
        telemetry->start();
        const std::string identifier = lastEvent()["distinct_id"];
        EXPECT_NE(identifier, malformed);
        EXPECT_EQ(stored(Telemetry::installationKey).toString().toStdString(), identifier);
    }
}

TEST_F(TelemetryTest, FeedbackOpenedIsAnEventOfItsOwn)
{
    const auto telemetry = makeTelemetry();
    telemetry->feedbackOpened();
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"tilvane_app_opened", "tilvane_feedback_opened"}));
}

}  // namespace
}  // namespace veldran

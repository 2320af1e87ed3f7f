#include "TestSupport.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/TelemetryPatterns.hpp"


#include <QFile>

#include <regex>

namespace veldran {
namespace {

using testing::betaConfiguration;

// Reads a bundle whose Resources/Info.json holds information (no file at all without it).
TelemetryConfiguration configurationFromInformation(const std::optional<QByteArray>& information)
{
    QTemporaryDir bundle;
    QDir(bundle.path()).mkpath(QStringLiteral("Resources"));
    QFile file(bundle.filePath(QStringLiteral("Resources/Info.json")));
    if (information && file.open(QIODevice::WriteOnly)) file.write(*information);
    file.close();
    return TelemetryConfiguration::bundled("tilvane", Bundle(bundle.path()));
}

TEST(TelemetryConfigurationBundled, MissingMalformedOrIllTypedInformationGivesDevelopmentDefaults)
{
    const TelemetryConfiguration defaults{.app = "tilvane",
                                          .bundleIdentifier = "studio.veldran.tilvane",
                                          .projectToken = {},
                                          .sentryDSN = {},
                                          .environment = "development",
                                          .version = "development",
                                          .build = "development"};
    const QByteArray illTyped = R"({"CFBundleIdentifier": 7, "CFBundleShortVersionString": 1.5,
        "CFBundleVersion": null, "VeldranAnalyticsProjectToken": ["phc_x"],
        "VeldranSentryDSN": {"url": "https://k@o.ingest.sentry.io/1"}, "VeldranTelemetryEnvironment": false,
        "VeldranAnalyticsIPStorageDisabled": "true", "VeldranSentryIPStorageDisabled": 1,
        "VeldranSentryGeolocationDisabled": "YES"})";
    for (const auto& information :
         std::vector<std::optional<QByteArray>>{std::nullopt, "{not json", "[1, 2]", "{\"x\": 1}\n\n", illTyped}) {
        SCOPED_TRACE(information.value_or("no file").toStdString());
        const auto configuration = configurationFromInformation(information);
        EXPECT_EQ(configuration, defaults);
        EXPECT_FALSE(configuration.usageAvailable() || configuration.diagnosticsAvailable());
    }
}

TEST(TelemetryConfigurationBundled, ReadsEveryKeyOfAFullBetaBundle)
{
    const auto configuration = configurationFromInformation(R"({
        "CFBundleIdentifier": "studio.veldran.other", "CFBundleShortVersionString": "1.2.3", "CFBundleVersion": "45",
        "VeldranAnalyticsProjectToken": "phc_secret", "VeldranSentryDSN": "https://publickey@o42.ingest.sentry.io/4505",
        "VeldranTelemetryEnvironment": "beta", "VeldranAnalyticsIPStorageDisabled": true,
        "VeldranSentryIPStorageDisabled": true, "VeldranSentryGeolocationDisabled": true})");
    auto expected = betaConfiguration();
    expected.bundleIdentifier = "studio.veldran.other";
    EXPECT_EQ(configuration, expected);
    EXPECT_TRUE(configuration.usageAvailable() && configuration.diagnosticsAvailable());
}

auto dsn(const char* text)
{
    return [text](TelemetryConfiguration& configuration) { configuration.sentryDSN = text; };
}

TEST(TelemetryConfiguration, GatesOpenOnlyForAWellFormedBetaBuildWithItsDeclarations)
{
    const std::vector<std::tuple<const char*, std::function<void(TelemetryConfiguration&)>, bool, bool>> rows = {
        {"complete", [](auto&) {}, true, true},
        {"app_trailing_newline", [](auto& c) { c.app = "tilvane\n"; }, false, false},
        {"environment_capitalised", [](auto& c) { c.environment = "Beta"; }, false, false},
        {"version_suffix", [](auto& c) { c.version = "1.2.3-beta"; }, false, false},
        {"build_dotted", [](auto& c) { c.build = "4.2."; }, true, true},
        {"token_capital_prefix", [](auto& c) { c.projectToken = "PHC_abc"; }, false, true},
        {"no_token", [](auto& c) { c.projectToken.reset(); }, false, true},
        {"analytics_ip_not_declared", [](auto& c) { c.analyticsIPStorageDisabled = false; }, false, true},
        {"sentry_ip_not_declared", [](auto& c) { c.sentryIPStorageDisabled = false; }, true, false},
        {"geolocation_not_declared", [](auto& c) { c.sentryGeolocationDisabled = false; }, true, false},
        {"no_dsn", [](auto& c) { c.sentryDSN.reset(); }, true, false},
        {"dsn_us_region", dsn("https://k@o1.ingest.us.sentry.io/7"), true, true},
        {"dsn_lowest_project", dsn("https://k@o1.ingest.sentry.io/-9223372036854775808"), true, true},
        {"dsn_http", dsn("http://k@o1.ingest.sentry.io/7"), true, false},
        {"dsn_empty_password", dsn("https://k:@o1.ingest.sentry.io/7"), true, false},
        {"dsn_port", dsn("https://k@o1.ingest.sentry.io:443/7"), true, false},
        {"dsn_bare_suffix_host", dsn("https://k@ingest.sentry.io/7"), true, false},
        {"dsn_other_host", dsn("https://k@o1.ingest.sentry.io.example.com/7"), true, false},
        {"dsn_text_project", dsn("https://k@o1.ingest.sentry.io/seven"), true, false},
        {"dsn_project_beyond_64_bits", dsn("https://k@o1.ingest.sentry.io/9223372036854775808"), true, false},
        {"dsn_no_path", dsn("https://k@o1.ingest.sentry.io"), true, false},
    };
    for (const auto& [name, change, usage, diagnostics] : rows) {
        auto configuration = betaConfiguration();
        change(configuration);
        EXPECT_EQ(std::pair(configuration.usageAvailable(), configuration.diagnosticsAvailable()),
                  std::pair(usage, diagnostics))
            << name;
    }
}

TEST(TelemetryConfiguration, TheSystemVersionIsMajorDotMinor)
{
    EXPECT_TRUE(std::regex_match(betaConfiguration().properties()["os_version"].get<std::string>(),
                                 std::regex("[0-9]+\\.[0-9]+")));
}

// Whole texts only; very long texts must not exhaust the stack of a recursive matcher.
TEST(TelemetryPatterns, MatchTheWholeTextOnly)
{
    const std::string veryLong(400 * 1024, '7');
    const std::string uuid = "0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D";
    const std::vector<std::tuple<const char*, std::function<bool(std::string_view)>, std::vector<std::string>,
                                 std::vector<std::string>>>
        rows = {
            {"snake_case_name",
             isSnakeCaseName,
             {"image_opened2_x", "a", "a_2", "a" + std::string(400 * 1024, 'b')},
             {"", "2a", "_a", "a_", "a__b", "aB", "a-b", "ab\n"}},
            {"detail_value",
             isDetailValue,
             {std::string(40, 'a'), "9a_.-"},
             {std::string(41, 'a'), ".png", "-png", "", "PNG", "png\n"}},
            {"uuid",
             isUuidText,
             {uuid, "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d"},
             {"{" + uuid + "}", "0A1B2C3D4E5F4A6B8C7D9E0F1A2B3C4D", "0A1B2C3-D4E5F-4A6B-8C7D-9E0F1A2B3C4D",
              "0A1B2C3G-4E5F-4A6B-8C7D-9E0F1A2B3C4D", uuid + "\n"}},
            {"marketing_version",
             isMarketingVersion,
             {"10.0.345", veryLong + "." + veryLong + "." + veryLong},
             {"1.2", "1.2.3.4", "1..3", "1.2.3.", "1.2.3-beta", "1.2.3\n"}},
            {"build_number", isBuildNumber, {"42", "4.2.", veryLong}, {".4", "", "4a", "42\n"}},
        };
    for (const auto& [name, matches, accepted, refused] : rows) {
        for (const auto& text : accepted) EXPECT_TRUE(matches(text)) << name << ": " << text.substr(0, 80);
        for (const auto& text : refused) EXPECT_FALSE(matches(text)) << name << ": " << text.substr(0, 80);
    }
}

}  // namespace
}  // namespace veldran

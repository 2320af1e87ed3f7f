#include "TestSupport.hpp"

#include "VeldranTelemetry/DiagnosticSanitizer.hpp"
#include "VeldranTelemetry/PlatformDescription.hpp"

namespace veldran {
namespace {

using testing::betaConfiguration;

// What a frame keeps once sanitized.
CrashStacktrace stacktrace(const char* address)
{
    CrashFrame frame;
    frame.instructionAddress = address;
    frame.function = "convert";
    return {{frame}};
}

CrashStacktrace stacktraceWithSourceDetails(const char* address)
{
    return {{{.instructionAddress = address,
              .function = "convert",
              .fileName = "/home/ana/src/Converter.cpp",
              .package = "/home/ana/Tilvane.app/bin/tilvane",
              .module = "Converter",
              .contextLine = "int x = secret;",
              .preContext = std::vector<std::string>{"a"},
              .postContext = std::vector<std::string>{"b"},
              .vars = nlohmann::json{{"user", "ana"}}}}};
}

// Everything a crash-reporting event can carry about the machine and its user.
CrashEvent eventFullOfPersonalDetails(CrashLevel level)
{
    CrashEvent event = CrashEvent::make(level);
    event.user = nlohmann::json{{"username", "ana"}};
    event.request = nlohmann::json{{"url", "file:///home/ana"}};
    event.extra = nlohmann::json{{"path", "/home/ana/picture.png"}};
    event.contexts = nlohmann::json{{"os", {{"hostname", "anas-laptop"}}}};
    event.breadcrumbs = nlohmann::json::array({"opened /home/ana/picture.png"});
    event.serverName = "anas-laptop";
    event.transaction = "export";
    event.modules = nlohmann::json{{"libfoo", "1.0"}};
    event.logger = "main";
    event.type = "event";
    event.fingerprint = std::vector<std::string>{"custom"};
    event.stacktrace = stacktraceWithSourceDetails("0x10");
    event.threads.push_back({.name = "ana-worker", .crashed = true, .stacktrace = stacktraceWithSourceDetails("0x20")});
    event.debugImages.push_back({"/home/ana/Tilvane.app/bin/tilvane", "0x1000", 4096});
    event.debugImages.push_back({std::nullopt, "0x2000", 16});
    return event;
}

CrashEvent failureReport(const std::string& name, std::map<std::string, std::string> tags)
{
    CrashEvent event = eventFullOfPersonalDetails(CrashLevel::error);
    event.message = name;
    event.tags = std::move(tags);
    return event;
}

CrashEvent crash(std::optional<std::string> exceptionType, std::optional<std::string> release)
{
    CrashEvent event = eventFullOfPersonalDetails(CrashLevel::fatal);
    event.exceptions.push_back({.type = std::move(exceptionType),
                                .value = "Fatal signal in /home/ana/picture.png",
                                .module = "/home/ana/Tilvane.app/bin/tilvane",
                                .mechanism = CrashMechanism{"signalhandler", false, "segfault at /home/ana",
                                                            nlohmann::json{{"signal", 11}}, "https://help"},
                                .stacktrace = stacktraceWithSourceDetails("0x30")});
    event.releaseName = std::move(release);
    return event;
}

std::map<std::string, std::string> baseTags(std::map<std::string, std::string> detail = {})
{
    detail.merge(std::map<std::string, std::string>{{"platform", "linux"},
                                                    {"surface", "native"},
                                                    {"schema_version", "1"},
                                                    {"app", "tilvane"},
                                                    {"os_version", osVersion()},
                                                    {"architecture", architectureName()}});
    return detail;
}

void expectNothingPersonal(const CrashEvent& event)
{
    EXPECT_FALSE(event.user || event.request || event.extra || event.breadcrumbs || event.serverName
                 || event.transaction || event.modules || event.logger || event.type);
    EXPECT_EQ(event.contexts, nlohmann::json::object());
    for (const auto& thread : event.threads) {
        EXPECT_FALSE(thread.name);
        EXPECT_EQ(thread.stacktrace, stacktrace("0x20"));
    }
    const std::string payload = toJson(event).dump();
    for (const char* personal : {"/home", "ana", "laptop", "secret"})
        EXPECT_EQ(payload.find(personal), std::string::npos) << personal << " in " << payload;
}

TEST(DiagnosticSanitizer, AFailureReportPassesWithItsMessageDetailAndCurrentRelease)
{
    const auto sanitized =
        DiagnosticSanitizer::sanitize(failureReport("tilvane_export_failed", {{"format", "png"}}), betaConfiguration())
            .value();
    EXPECT_EQ(std::tuple(sanitized.message, sanitized.releaseName, sanitized.dist, sanitized.environment),
              std::tuple("tilvane_export_failed", "studio.veldran.tilvane@1.2.3+45", "45", "beta"));
    EXPECT_EQ(sanitized.tags, baseTags({{"format", "png"}}));
    EXPECT_EQ(sanitized.fingerprint, (std::vector<std::string>{"tilvane_export_failed", "png"}));
    expectNothingPersonal(sanitized);
    EXPECT_EQ(sanitized.stacktrace, stacktrace("0x10"));
    EXPECT_EQ(sanitized.debugImages,
              (std::vector<CrashDebugImage>{{"tilvane", "0x1000", 4096}, {std::nullopt, "0x2000", 16}}));

    const auto bare =
        DiagnosticSanitizer::sanitize(failureReport("tilvane_image_open_failed", {}), betaConfiguration());
    EXPECT_EQ(bare.value().tags, baseTags());
    EXPECT_EQ(bare->fingerprint, std::vector<std::string>{"tilvane_image_open_failed"});
    EXPECT_EQ(
        DiagnosticSanitizer::sanitize(failureReport("tilvane_export_failed", {{"app", "other"}}), betaConfiguration())
            .value()
            .tags,
        baseTags({{"app", "other"}}));
}

TEST(DiagnosticSanitizer, FailureReportsOfAnotherFormAreDropped)
{
    for (const auto& [message, tags] : std::vector<std::pair<std::string, std::map<std::string, std::string>>>{
             {"tilvane_export_failed", {{"format", "png"}, {"size", "big"}}},
             {"tilvane_Export_failed", {}},
             {"zentor_export_failed", {}},
             {"tilvane_", {}},
             {"tilvane_export_failed\n", {}},
             {"tilvane_export_failed", {{"format", std::string(41, 'a')}}},
             {"tilvane_export_failed", {{"format", ""}}},
             {"tilvane_export_failed", {{"Format", "png"}}},
             {"Something went wrong in /home/ana", {}},
             {"", {}}})
        EXPECT_FALSE(DiagnosticSanitizer::sanitize(failureReport(message, tags), betaConfiguration())) << message;
}

TEST(DiagnosticSanitizer, ACrashLosesMessageAndFreeTextButKeepsListedTypesAndAddresses)
{
    for (const auto& [type, expected] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{{"SIGSEGV", "SIGSEGV"},
                                                                         {"SIGABRT", "SIGABRT"},
                                                                         {"EXC_BAD_ACCESS", "EXC_BAD_ACCESS"},
                                                                         {"SIGFPE", "native_crash"},
                                                                         {"sigsegv", "native_crash"},
                                                                         {std::nullopt, "native_crash"}}) {
        auto event = crash(type, std::nullopt);
        event.level = CrashLevel::error;  // an unhandled exception makes a crash whatever the level
        event.message = "Crash while reading /home/ana/picture.png";
        const auto sanitized = DiagnosticSanitizer::sanitize(event, betaConfiguration()).value();
        EXPECT_FALSE(sanitized.message || sanitized.fingerprint);
        EXPECT_EQ(sanitized.tags, baseTags());
        EXPECT_EQ(sanitized.exceptions,
                  (std::vector<CrashException>{{.type = expected,
                                                .value = "native_crash",
                                                .module = {},
                                                .mechanism = CrashMechanism{"signalhandler", false, {}, {}, {}},
                                                .stacktrace = stacktrace("0x30")}}));
        expectNothingPersonal(sanitized);
    }
    // A handled error, or one that does not say, is the client's own and is dropped.
    auto handled = crash("SIGSEGV", std::nullopt);
    handled.level = CrashLevel::error;
    handled.exceptions.front().mechanism->handled = true;
    EXPECT_FALSE(DiagnosticSanitizer::sanitize(handled, betaConfiguration()));
    handled.exceptions.front().mechanism->handled.reset();
    EXPECT_FALSE(DiagnosticSanitizer::sanitize(handled, betaConfiguration()));
}

TEST(DiagnosticSanitizer, ACrashKeepsOnlyAWellFormedReleaseOfThisBundle)
{
    const std::string current = "studio.veldran.tilvane@1.2.3+45";
    for (const auto& [carried, release] : std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"studio.veldran.tilvane@1.0.0+7.1", "studio.veldran.tilvane@1.0.0+7.1"},
             {std::nullopt, current},
             {"studio.veldran.other@1.0.0+7", current},
             {"studioXveldran.tilvane@1.0.0+7", current},
             {"studio.veldran.tilvane@1.0+7", current},
             {"studio.veldran.tilvane@1.0.0+7+8", current},
             {"studio.veldran.tilvane@1.0.0+7\n", current}}) {
        const auto sanitized = DiagnosticSanitizer::sanitize(crash("SIGSEGV", carried), betaConfiguration()).value();
        EXPECT_EQ(sanitized.releaseName, release) << carried.value_or("none");
        EXPECT_EQ(sanitized.dist, release == current ? "45" : "7.1");
    }
    // A crash in the failure form keeps its message, and is this run's own.
    auto failureForm = crash("SIGSEGV", "studio.veldran.tilvane@1.0.0+7");
    failureForm.message = "tilvane_export_failed";
    const auto sanitizedFailure = DiagnosticSanitizer::sanitize(failureForm, betaConfiguration()).value();
    EXPECT_EQ(sanitizedFailure.message, "tilvane_export_failed");
    EXPECT_EQ(sanitizedFailure.releaseName, current);
}

}  // namespace
}  // namespace veldran

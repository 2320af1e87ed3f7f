#include "TestSupport.hpp"

#include "VeldranTelemetry/DiagnosticSanitizer.hpp"
#include "VeldranTelemetry/PlatformDescription.hpp"

#include <gtest/gtest.h>

namespace veldran {
namespace {

using testing::betaConfiguration;

CrashFrame frameWithSourceDetails(const char* address)
{
    CrashFrame frame;
    frame.instructionAddress = address;
    frame.function = "convert";
    frame.fileName = "/home/ana/src/Converter.cpp";
    frame.package = "/home/ana/Tilvane.app/bin/tilvane";
    frame.module = "Converter";
    frame.contextLine = "int x = secret;";
    frame.preContext = std::vector<std::string>{"a"};
    frame.postContext = std::vector<std::string>{"b"};
    frame.vars = nlohmann::json{{"user", "ana"}};
    return frame;
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
    event.stacktrace = CrashStacktrace{{frameWithSourceDetails("0x10")}};
    CrashThread thread;
    thread.name = "ana-worker";
    thread.crashed = true;
    thread.stacktrace = CrashStacktrace{{frameWithSourceDetails("0x20")}};
    event.threads.push_back(thread);
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
    CrashException exception;
    exception.type = std::move(exceptionType);
    exception.value = "Fatal signal in /home/ana/picture.png";
    exception.module = "/home/ana/Tilvane.app/bin/tilvane";
    exception.mechanism = CrashMechanism{"signalhandler", false, "segfault at /home/ana",
        nlohmann::json{{"signal", 11}}, "https://help"};
    exception.stacktrace = CrashStacktrace{{frameWithSourceDetails("0x30")}};
    event.exceptions.push_back(exception);
    event.releaseName = std::move(release);
    return event;
}

std::map<std::string, std::string> expectedBaseTags()
{
    return {{"platform", "linux"}, {"surface", "native"}, {"schema_version", "1"}, {"app", "tilvane"},
        {"os_version", osVersion()}, {"architecture", architectureName()}};
}

void expectNothingPersonal(const CrashEvent& event)
{
    EXPECT_FALSE(event.user);
    EXPECT_FALSE(event.request);
    EXPECT_FALSE(event.extra);
    EXPECT_EQ(event.contexts, nlohmann::json::object());
    EXPECT_FALSE(event.breadcrumbs);
    EXPECT_FALSE(event.serverName);
    EXPECT_FALSE(event.transaction);
    EXPECT_FALSE(event.modules);
    EXPECT_FALSE(event.logger);
    EXPECT_FALSE(event.type);
    for (const auto& thread : event.threads)
        EXPECT_FALSE(thread.name);
    const std::string payload = toJson(event).dump();
    for (const char* personal : {"/home", "ana", "laptop", "secret"})
        EXPECT_EQ(payload.find(personal), std::string::npos) << personal << " in " << payload;
}

void expectFramesKeepOnlyAddressAndFunction(const std::optional<CrashStacktrace>& stacktrace, const char* address)
{
    ASSERT_TRUE(stacktrace);
    ASSERT_EQ(stacktrace->frames.size(), 1u);
    CrashFrame expected;
    expected.instructionAddress = address;
    expected.function = "convert";
    EXPECT_EQ(stacktrace->frames.front(), expected);
}

TEST(DiagnosticSanitizer, AFailureReportPassesWithItsMessageDetailAndCurrentRelease)
{
    const auto sanitized = DiagnosticSanitizer::sanitize(
        failureReport("tilvane_export_failed", {{"format", "png"}}), betaConfiguration());
    ASSERT_TRUE(sanitized);
    EXPECT_EQ(sanitized->message, "tilvane_export_failed");
    auto tags = expectedBaseTags();
    tags["format"] = "png";
    EXPECT_EQ(sanitized->tags, tags);
    EXPECT_EQ(sanitized->fingerprint, (std::vector<std::string>{"tilvane_export_failed", "png"}));
    EXPECT_EQ(sanitized->releaseName, "studio.veldran.tilvane@1.2.3+45");
    EXPECT_EQ(sanitized->dist, "45");
    EXPECT_EQ(sanitized->environment, "beta");
    expectNothingPersonal(*sanitized);
    expectFramesKeepOnlyAddressAndFunction(sanitized->stacktrace, "0x10");
    expectFramesKeepOnlyAddressAndFunction(sanitized->threads.front().stacktrace, "0x20");
    EXPECT_EQ(sanitized->debugImages.front().codeFile, "tilvane");
    EXPECT_FALSE(sanitized->debugImages.back().codeFile);
    EXPECT_EQ(sanitized->debugImages.front().imageAddress, "0x1000");
}

TEST(DiagnosticSanitizer, AFailureReportWithoutDetailHasOnlyTheBaseTags)
{
    const auto sanitized = DiagnosticSanitizer::sanitize(failureReport("tilvane_image_open_failed", {}),
        betaConfiguration());
    ASSERT_TRUE(sanitized);
    EXPECT_EQ(sanitized->tags, expectedBaseTags());
    EXPECT_EQ(sanitized->fingerprint, std::vector<std::string>{"tilvane_image_open_failed"});
}

TEST(DiagnosticSanitizer, ADetailNamedAfterABaseTagReplacesIt)
{
    const auto sanitized = DiagnosticSanitizer::sanitize(
        failureReport("tilvane_export_failed", {{"app", "other"}}), betaConfiguration());
    ASSERT_TRUE(sanitized);
    EXPECT_EQ(sanitized->tags.at("app"), "other");
    EXPECT_EQ(sanitized->tags.size(), 6u);
}

struct DroppedRow {
    const char* name;
    std::string message;
    std::map<std::string, std::string> tags;
};

class DroppedNonCrash : public ::testing::TestWithParam<DroppedRow> {};

TEST_P(DroppedNonCrash, IsDroppedUntouched)
{
    EXPECT_FALSE(DiagnosticSanitizer::sanitize(failureReport(GetParam().message, GetParam().tags),
        betaConfiguration()));
}

INSTANTIATE_TEST_SUITE_P(Rows, DroppedNonCrash,
    ::testing::Values(
        DroppedRow{"two_tags", "tilvane_export_failed", {{"format", "png"}, {"size", "big"}}},
        DroppedRow{"capital_in_name", "tilvane_Export_failed", {}},
        DroppedRow{"other_application", "zentor_export_failed", {}},
        DroppedRow{"only_the_prefix", "tilvane_", {}},
        DroppedRow{"trailing_newline", "tilvane_export_failed\n", {}},
        DroppedRow{"value_of_41_characters", "tilvane_export_failed", {{"format", std::string(41, 'a')}}},
        DroppedRow{"empty_value", "tilvane_export_failed", {{"format", ""}}},
        DroppedRow{"capital_key", "tilvane_export_failed", {{"Format", "png"}}},
        DroppedRow{"plain_message", "Something went wrong in /home/ana", {}},
        DroppedRow{"no_message", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiagnosticSanitizer, AHandledErrorFromTheClientItselfIsDropped)
{
    auto event = crash("SIGSEGV", std::nullopt);
    event.level = CrashLevel::error;
    event.exceptions.front().mechanism->handled = true;
    EXPECT_FALSE(DiagnosticSanitizer::sanitize(event, betaConfiguration()));
    event.exceptions.front().mechanism->handled.reset();
    EXPECT_FALSE(DiagnosticSanitizer::sanitize(event, betaConfiguration()));
}

TEST(DiagnosticSanitizer, AnUnhandledExceptionMakesACrashWhateverTheLevel)
{
    auto event = crash("SIGSEGV", std::nullopt);
    event.level = CrashLevel::error;
    EXPECT_TRUE(DiagnosticSanitizer::sanitize(event, betaConfiguration()));
}

TEST(DiagnosticSanitizer, ACrashLosesMessageAndFreeTextButKeepsListedTypesAndAddresses)
{
    for (const auto& [type, expected] : std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"SIGSEGV", "SIGSEGV"}, {"SIGABRT", "SIGABRT"}, {"EXC_BAD_ACCESS", "EXC_BAD_ACCESS"},
             {"SIGFPE", "native_crash"}, {"sigsegv", "native_crash"}, {std::nullopt, "native_crash"}}) {
        auto event = crash(type, std::nullopt);
        event.message = "Crash while reading /home/ana/picture.png";
        const auto sanitized = DiagnosticSanitizer::sanitize(event, betaConfiguration());
        ASSERT_TRUE(sanitized);
        EXPECT_FALSE(sanitized->message);
        EXPECT_FALSE(sanitized->fingerprint);
        EXPECT_EQ(sanitized->tags, expectedBaseTags());
        const auto& exception = sanitized->exceptions.front();
        EXPECT_EQ(exception.type, expected);
        EXPECT_EQ(exception.value, "native_crash");
        EXPECT_FALSE(exception.module);
        ASSERT_TRUE(exception.mechanism);
        EXPECT_EQ(exception.mechanism->type, "signalhandler");
        EXPECT_EQ(exception.mechanism->handled, false);
        EXPECT_FALSE(exception.mechanism->description);
        EXPECT_FALSE(exception.mechanism->data);
        EXPECT_FALSE(exception.mechanism->helpLink);
        expectFramesKeepOnlyAddressAndFunction(exception.stacktrace, "0x30");
        expectNothingPersonal(*sanitized);
    }
}

TEST(DiagnosticSanitizer, ACrashOfTheFailureFormKeepsItsMessageAndTheCurrentRelease)
{
    auto event = crash("SIGSEGV", "studio.veldran.tilvane@1.0.0+7");
    event.message = "tilvane_export_failed";
    const auto sanitized = DiagnosticSanitizer::sanitize(event, betaConfiguration());
    ASSERT_TRUE(sanitized);
    EXPECT_EQ(sanitized->message, "tilvane_export_failed");
    EXPECT_EQ(sanitized->releaseName, "studio.veldran.tilvane@1.2.3+45");
    EXPECT_EQ(sanitized->dist, "45");
}

struct ReleaseRow {
    const char* name;
    std::optional<std::string> carried;
    std::string release;
    std::string dist;
};

class CrashRelease : public ::testing::TestWithParam<ReleaseRow> {};

TEST_P(CrashRelease, KeepsOnlyAWellFormedReleaseOfThisBundle)
{
    const auto sanitized = DiagnosticSanitizer::sanitize(crash("SIGSEGV", GetParam().carried), betaConfiguration());
    ASSERT_TRUE(sanitized);
    EXPECT_EQ(sanitized->releaseName, GetParam().release);
    EXPECT_EQ(sanitized->dist, GetParam().dist);
}

INSTANTIATE_TEST_SUITE_P(Rows, CrashRelease,
    ::testing::Values(
        ReleaseRow{"earlier_build", "studio.veldran.tilvane@1.0.0+7.1", "studio.veldran.tilvane@1.0.0+7.1", "7.1"},
        ReleaseRow{"none", std::nullopt, "studio.veldran.tilvane@1.2.3+45", "45"},
        ReleaseRow{"other_bundle", "studio.veldran.other@1.0.0+7", "studio.veldran.tilvane@1.2.3+45", "45"},
        ReleaseRow{"dot_as_wildcard", "studioXveldran.tilvane@1.0.0+7", "studio.veldran.tilvane@1.2.3+45", "45"},
        ReleaseRow{"two_groups", "studio.veldran.tilvane@1.0+7", "studio.veldran.tilvane@1.2.3+45", "45"},
        ReleaseRow{"two_builds", "studio.veldran.tilvane@1.0.0+7+8", "studio.veldran.tilvane@1.2.3+45", "45"},
        ReleaseRow{"trailing_newline", "studio.veldran.tilvane@1.0.0+7\n", "studio.veldran.tilvane@1.2.3+45", "45"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veldran

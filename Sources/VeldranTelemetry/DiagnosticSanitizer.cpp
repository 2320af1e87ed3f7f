#include "VeldranTelemetry/DiagnosticSanitizer.hpp"

#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"
#include "VeldranTelemetry/TelemetryPatterns.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace veldran {
namespace {

constexpr std::array<std::string_view, 8> passingExceptionTypes{
    "EXC_BAD_ACCESS", "EXC_BAD_INSTRUCTION", "EXC_BREAKPOINT", "EXC_CRASH", "SIGABRT", "SIGSEGV", "SIGBUS", "SIGILL"};

bool isCrash(const CrashEvent& event)
{
    return event.level == CrashLevel::fatal
           || std::any_of(event.exceptions.begin(), event.exceptions.end(), [](const CrashException& exception) {
                  return exception.mechanism && exception.mechanism->handled == false;
              });
}

bool hasFailureForm(const std::string& message, const std::map<std::string, std::string>& tags,
                    const TelemetryConfiguration& configuration)
{
    if (!message.starts_with(configuration.app + "_") || !isSnakeCaseName(message) || tags.size() > 1) return false;
    return tags.empty() || (isSnakeCaseName(tags.begin()->first) && isDetailValue(tags.begin()->second));
}

std::map<std::string, std::string> baseTags(const TelemetryConfiguration& configuration)
{
    return {
        {"platform", platformName()}, {"surface", "native"},       {"schema_version", "1"},
        {"app", configuration.app},   {"os_version", osVersion()}, {"architecture", architectureName()},
    };
}

std::string lastPathComponent(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<CrashEvent> DiagnosticSanitizer::sanitize(CrashEvent event, const TelemetryConfiguration& configuration)
{
    const bool crash = isCrash(event);
    const std::string messageText = event.message.value_or("");
    const auto originalTags = event.tags;
    const bool failureForm = hasFailureForm(messageText, originalTags, configuration);
    if (!crash && !failureForm) return std::nullopt;
    const bool retainMessage = failureForm;
    std::optional<std::pair<std::string, std::string>> detail;
    if (!originalTags.empty()) detail = *originalTags.begin();

    event.user.reset();
    event.request.reset();
    event.extra.reset();
    event.contexts = nlohmann::json::object();
    event.breadcrumbs.reset();
    event.serverName.reset();
    event.transaction.reset();
    event.modules.reset();
    event.logger.reset();
    event.type.reset();

    event.message = retainMessage ? std::optional(messageText) : std::nullopt;
    event.tags = baseTags(configuration);
    if (retainMessage) {
        event.fingerprint = std::vector<std::string>{messageText};
        if (detail) {
            event.tags[detail->first] = detail->second;
            event.fingerprint->push_back(detail->second);
        }
    } else {
        event.fingerprint.reset();
    }

    const auto keptRelease =
        crash && !retainMessage && event.releaseName ? validRelease(*event.releaseName, configuration) : std::nullopt;
    if (keptRelease) {
        event.releaseName = keptRelease;
        event.dist = keptRelease->substr(keptRelease->find_last_of('+') + 1);
    } else {
        event.releaseName = configuration.releaseName();
        event.dist = configuration.build;
    }
    event.environment = configuration.environment;

    clean(event.stacktrace);
    for (auto& thread : event.threads) {
        thread.name.reset();
        clean(thread.stacktrace);
    }
    for (auto& exception : event.exceptions) {
        exception.value = "native_crash";
        const bool listedType =
            exception.type
            && std::find(passingExceptionTypes.begin(), passingExceptionTypes.end(), *exception.type)
                   != passingExceptionTypes.end();
        if (!listedType) exception.type = "native_crash";
        exception.module.reset();
        if (exception.mechanism) {
            exception.mechanism->description.reset();
            exception.mechanism->data.reset();
            exception.mechanism->helpLink.reset();
        }
        clean(exception.stacktrace);
    }
    for (auto& image : event.debugImages) {
        if (image.codeFile) image.codeFile = lastPathComponent(*image.codeFile);
    }
    return event;
}

std::optional<std::string> DiagnosticSanitizer::validRelease(const std::string& release,
                                                             const TelemetryConfiguration& configuration)
{
    const std::string prefix = configuration.bundleIdentifier + "@";
    if (!release.starts_with(prefix)) return std::nullopt;
    const std::string_view versionAndBuild = std::string_view(release).substr(prefix.size());
    const auto plus = versionAndBuild.find('+');
    if (plus == std::string_view::npos || !isMarketingVersion(versionAndBuild.substr(0, plus))
        || !isBuildNumber(versionAndBuild.substr(plus + 1)))
        return std::nullopt;
    return release;
}

void DiagnosticSanitizer::clean(std::optional<CrashStacktrace>& stacktrace)
{
    if (!stacktrace) return;
    for (auto& frame : stacktrace->frames) {
        frame.fileName.reset();
        frame.package.reset();
        frame.module.reset();
        frame.contextLine.reset();
        frame.preContext.reset();
        frame.postContext.reset();
        frame.vars.reset();
    }
}

}  // namespace veldran

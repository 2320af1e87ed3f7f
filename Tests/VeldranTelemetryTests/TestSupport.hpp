#pragma once

#include "VeldranTelemetry/AnalyticsTransport.hpp"
#include "VeldranTelemetry/CrashReporter.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QDir>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veldran::testing {

// An application's events and a detail of one, as the facade takes them ("image_opened", "export_failed").
enum class SampleEvent { imageOpened, exportFailed };
std::string_view rawValue(SampleEvent event);
struct Detail {
    std::string key;
    std::string value;
};
inline std::string_view detailKey(const Detail& detail)
{
    return detail.key;
}
inline std::string_view rawValue(const Detail& detail)
{
    return detail.value;
}

// A configuration of a beta build that passes both gates (bundle studio.veldran.tilvane, 1.2.3 build 45).
TelemetryConfiguration betaConfiguration();

// A well-formed crash file of a SIGSEGV in studio.veldran.tilvane@1.2.3+45, as the signal handler writes it;
// besides the executable and libc, the process had a picture of the user's mapped.
nlohmann::json sampleCrashDocument();

// Runs this test binary as a child that arms the fatal-signal handler over folder and crashes ("segv" or
// "abort"); sanitizers are told to leave those signals to it. Returns the signal the child died of, or -1 when
// it exited or did not finish.
int runCrashingChild(const QString& folder, const QString& kind);

// Processes events until the condition holds or the time is up; returns the condition.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Processes events for the given time (to show that something does not happen).
void processEventsFor(std::chrono::milliseconds duration);

// A temporary folder with an INI settings file inside it, standing in for the user's defaults.
class TemporarySettings {
public:
    TemporarySettings();
    QSettings& settings() { return *settings_; }

private:
    QTemporaryDir folder_;
    std::unique_ptr<QSettings> settings_;
};

// POSIX permission bits of the path (0 when it does not exist).
unsigned permissionsOf(const QString& path);

// Keeps every batch handed to it, parsed, and counts cancellations.
struct RecordingTransport final : AnalyticsTransport {
    void send(const QByteArray& body) override { batches.push_back(nlohmann::json::parse(body.toStdString())); }
    void cancel() override { ++cancelCount; }

    std::vector<nlohmann::json> batches;
    int cancelCount = 0;
};

// Writes down every call as "start", "stopAndPurge" or "capture <name>[ <key>=<value>]".
struct RecordingDiagnostics final : CrashReporting {
    void start(const TelemetryConfiguration&) override { calls.push_back("start"); }
    void stopAndPurge() override { calls.push_back("stopAndPurge"); }
    void captureFailure(const std::string& name,
                        const std::optional<std::pair<std::string, std::string>>& detail) override
    {
        calls.push_back("capture " + name + (detail ? " " + detail->first + "=" + detail->second : ""));
    }

    std::vector<std::string> calls;
};

}  // namespace veldran::testing

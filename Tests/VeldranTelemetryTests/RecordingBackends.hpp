#pragma once

#include "VeldranTelemetry/AnalyticsTransport.hpp"
#include "VeldranTelemetry/CrashReporter.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace veldran::testing {

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
    void captureFailure(const std::string& name, const std::optional<std::pair<std::string, std::string>>& detail)
        override
    {
        calls.push_back("capture " + name + (detail ? " " + detail->first + "=" + detail->second : ""));
    }

    std::vector<std::string> calls;
};

}  // namespace veldran::testing

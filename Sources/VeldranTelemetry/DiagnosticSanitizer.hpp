#pragma once

#include "VeldranTelemetry/CrashEvent.hpp"

#include <optional>
#include <string>

namespace veldran {

struct TelemetryConfiguration;

// Decides whether an outgoing crash-reporting event may leave the machine and cuts it down to a fixed shape:
// crashes and well-formed failure reports pass, without personal details, paths or free text.
class DiagnosticSanitizer {
public:
    DiagnosticSanitizer() = delete;

    // The rewritten event, or nothing when it is to be dropped.
    static std::optional<CrashEvent> sanitize(CrashEvent event, const TelemetryConfiguration& configuration);

private:
    static std::optional<std::string> validRelease(const std::string& release,
                                                   const TelemetryConfiguration& configuration);
    static void clean(std::optional<CrashStacktrace>& stacktrace);
};

}  // namespace veldran

// A stored crash file, read as the crash client reads it at the next start, then cut down by the
// sanitizer as before it leaves the machine.

#include "FuzzSupport.hpp"

#include "VeldranTelemetry/CrashFileReader.hpp"
#include "VeldranTelemetry/DiagnosticSanitizer.hpp"
#include "VeldranTelemetry/TelemetryConfiguration.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace veldran;
    static const TelemetryConfiguration configuration{.app = "tilvane",
                                                      .bundleIdentifier = "studio.veldran.tilvane",
                                                      .projectToken = "phc_fuzz",
                                                      .sentryDSN = "https://publickey@o42.ingest.sentry.io/4505",
                                                      .environment = "beta",
                                                      .version = "1.2.3",
                                                      .build = "45",
                                                      .analyticsIPStorageDisabled = true,
                                                      .sentryIPStorageDisabled = true,
                                                      .sentryGeolocationDisabled = true};
    const auto path = tilvane::fuzz::writeInput("crash-1-1.json", tilvane::fuzz::bytesOf(data, size));
    auto event = CrashFileReader::read(QString::fromStdString(path.string()));
    if (event) {
        (void)DiagnosticSanitizer::sanitize(std::move(*event), configuration);
    }
    return 0;
}

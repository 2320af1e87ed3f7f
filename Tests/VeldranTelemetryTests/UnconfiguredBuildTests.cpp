#include "RecordingBackends.hpp"
#include "TestSupport.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/Telemetry.hpp"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veldran {
namespace {

enum class AppEvent { imageOpenFailed };
std::string_view rawValue(AppEvent) { return "image_open_failed"; }

// The build's own Info.json carries no telemetry keys: nothing may be sent or created.
TEST(UnconfiguredBuild, SendsNothingAndCreatesNothingInTheCacheFolder)
{
    const Bundle bundle(QStringLiteral(TILVANE_TEST_APP_DIR));
    ASSERT_EQ(bundle.identifier(), "studio.veldran.tilvane");
    const auto configuration = TelemetryConfiguration::bundled("tilvane", bundle);
    EXPECT_FALSE(configuration.usageAvailable());
    EXPECT_FALSE(configuration.diagnosticsAvailable());

    QTemporaryDir caches;
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(caches.path()));
    testing::TemporarySettings defaults;
    auto transport = std::make_unique<testing::RecordingTransport>();
    const auto* sent = transport.get();
    {
        Telemetry telemetry(configuration, defaults.settings(), std::move(transport));
        telemetry.start();
        telemetry.recordFailure(AppEvent::imageOpenFailed);
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

#include "Tilvane/Views/StandardEditorServices.hpp"

#include "Tilvane/Editor/ExportRun.hpp"
#include "Tilvane/Services/SampleImage.hpp"
#include "Tilvane/Services/TilvaneIncomingImage.hpp"
#include "Tilvane/Views/FileDialogs.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

namespace tilvane {

namespace {

class NoTelemetry : public TelemetrySink {
public:
    void record(TilvaneEvent, std::optional<TilvaneExportFormat>) override {}
    void recordFailure(TilvaneEvent, std::optional<TilvaneExportFormat>) override {}
};

}  // namespace

std::shared_ptr<ExportRun> processExports()
{
    static const std::shared_ptr<ExportRun> exports = makeExportsStoppedOnQuit();
    return exports;
}

EditorServices standardEditorServices()
{
    return EditorServices{
        .dialogs = std::make_shared<FileDialogs>(),
        .presetStore = PersonalPresetStore(),
        .sessionStore = LastSessionStore(),
        .renderer = [] { return ShaderRenderer::shared(); },
        .exportRenderer = [] { return std::make_unique<ShaderRenderer>(); },
        .shaderPresets = [] { return ShaderPreset::builtIn(); },
        .clock = std::make_shared<SystemEditorClock>(),
        .jobs = std::make_shared<ThreadPoolJobRunner>(),
        .telemetry = std::make_shared<NoTelemetry>(),
        .exports = processExports(),
        .closedWindowExportFailed = {},
        .sampleImage = [] { return SampleImage::make(); },
        .incoming = &TilvaneIncomingImage::shared(),
        .lifecycle = &TilvaneLifecycle::shared(),
        .reduceMotion = &ReduceMotionSetting::shared(),
    };
}

}  // namespace tilvane

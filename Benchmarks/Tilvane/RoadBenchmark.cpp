// The whole road of one picture through the editor window's model, read within one run:
//   ThroughTheWindow ÷ LibraryCallsDirectly   (medians of 5) at most 1.25
//   ThroughTheWindow "longest_stall_ms"         at most 16 (a 1 ms heartbeat on the main thread)
// Road: a 6000 × 4000 JPEG → load at 2048 → convert (PICO-8, 8 px, Floyd–Steinberg) → shaded preview
// published → PNG export of the same look written.
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/ExportJobs.hpp"
#include "Tilvane/Services/PNGFileWriter.hpp"
#include "Tilvane/Views/StandardEditorServices.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvaneCore/Uuid.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <ctime>

namespace tilvane {
namespace {

const std::filesystem::path& folder()
{
    static const std::filesystem::path path = [] {
        auto made = std::filesystem::temp_directory_path() / ("tilvane-road-" + Uuid::random().string());
        std::filesystem::create_directories(made);
        return made;
    }();
    return path;
}

double threadCPUMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

ShaderRenderer& renderer()
{
    static ShaderRenderer shared(bench::applicationShaders());
    return shared;
}

VisualSettings look()
{
    VisualSettings visual;
    visual.paletteID = ImagePalette::pico8().id;
    visual.pixelSize = 8;
    visual.dither = DitherMode::floydSteinberg;
    visual.shader = ShaderConfiguration::fromPreset(bench::heaviestPreset());
    return visual;
}

void LibraryCallsDirectly(benchmark::State& state)
{
    const VisualSettings visual = look();
    const ImageConverter converter;
    for (auto _ : state) {
        const ImagePointer source = ImageFileLoader::load(bench::roadPhoto(), 2048);
        const ImagePointer grid =
            converter.renderPixelGrid(*source, *visual.palette(), 8, visual.dither, visual.adjustments, {});
        const auto [previewWidth, previewHeight] = ContentView::previewSize(source->width(), source->height());
        const ImagePointer preview = converter.upscale(*grid, previewWidth, previewHeight);
        benchmark::DoNotOptimize(
            renderer().render(preview, visual.shader, visual.screen, 0, {.temporalHistory = true}));
        const ImagePointer full = converter.upscale(*grid, source->width(), source->height());
        writePNG(folder() / "direct.png", *renderer().render(full, visual.shader, visual.screen, 0));
    }
}
BENCHMARK(LibraryCallsDirectly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

class ExportHere : public EditorDialogs {
public:
    std::optional<std::filesystem::path> chooseImageToOpen() override { return std::nullopt; }
    std::optional<std::filesystem::path> choosePresetToImport() override { return std::nullopt; }
    std::optional<std::filesystem::path> choosePresetDestination(const SavePanel&) override { return std::nullopt; }
    std::optional<std::filesystem::path> choosePNGDestination(const SavePanel&) override
    {
        return folder() / "window.png";
    }
    GIFDestination chooseGIFDestination(const SavePanel&, int maxDimension, int duration,
                                        const GIFDialogContext&) override
    {
        return {std::nullopt, maxDimension, duration};
    }
};

void ThroughTheWindow(benchmark::State& state)
{
    EditorServices services = standardEditorServices();
    services.dialogs = std::make_shared<ExportHere>();
    services.presetStore = PersonalPresetStore(folder() / "personal-presets.json");
    services.sessionStore = LastSessionStore(folder() / "last-session.json");
    services.renderer = [] { return &renderer(); };
    services.shaderPresets = [] { return bench::builtInPresets(); };
    bench::roadPhoto();  // the fixture is made before anything is timed
    double longestStall = 0;
    double longestStallWork = 0;
    for (auto _ : state) {
        ContentView window(services);
        window.setVisual(look());
        QElapsedTimer sinceBeat;
        sinceBeat.start();
        double stall = 0;
        double busy = 0;
        double lastCPU = threadCPUMilliseconds();
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const double gap = static_cast<double>(sinceBeat.nsecsElapsed()) / 1e6;
            const double cpu = threadCPUMilliseconds();
            if (gap > stall) {
                stall = gap;
                busy = cpu - lastCPU;
            }
            lastCPU = cpu;
            sinceBeat.restart();
        });
        heartbeat.start(1);
        // Waits for the condition; false when the window reports an error instead.
        const auto until = [&window](auto condition) {
            while (!condition() && !window.state().errorMessage()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            }
            return !window.state().errorMessage();
        };
        window.loadImage(bench::roadPhoto(), ImageOrigin::chosen);
        if (!until([&] { return window.state().shaderImage != nullptr; })) {
            state.SkipWithError(window.state().errorMessage()->c_str());
            break;
        }
        window.exportPNG();
        if (!until([&] { return !window.state().isExporting; })) {
            state.SkipWithError(window.state().errorMessage()->c_str());
            break;
        }
        heartbeat.stop();
        if (stall > longestStall) {
            longestStall = stall;
            longestStallWork = busy;
        }
    }
    state.counters["longest_stall_ms"] = longestStall;
    // How much of that gap the main thread itself spent working; the rest it waited for a core.
    state.counters["stall_main_thread_cpu_ms"] = longestStallWork;
}
BENCHMARK(ThroughTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

}  // namespace
}  // namespace tilvane

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(tilvane::folder(), ignored);
    return 0;
}

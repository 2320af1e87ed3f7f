// The editor's image road: a 6000 × 4000 JPEG is read at 2048, converted (PICO-8, 8-pixel blocks, Floyd–Steinberg)
// and its preview base published on the main thread. Counters, as medians over the repetitions:
//   xBaseline   time of the road through the window's model ÷ the same library calls made directly in sequence
//   stallMs     the longest gap of a 1 ms heartbeat timer on the main thread during the road (the window never
//               freezes when it stays near a frame, 16 ms)
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Views/StandardEditorServices.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

using namespace tilvane;

namespace {

constexpr int maxDimension = 2048;

VisualSettings roadLook()
{
    VisualSettings visual = initialVisualSettings();
    visual.paletteID = ImagePalette::pico8().id;
    visual.pixelSize = 8;
    visual.dither = DitherMode::floydSteinberg;
    return visual;
}

double directRoadSeconds(const std::filesystem::path& picture)
{
    QElapsedTimer timer;
    timer.start();
    const ImagePointer source = ImageFileLoader::load(picture, maxDimension);
    const ImageConverter converter;
    const ImagePointer grid = converter.renderPixelGrid(*source, ImagePalette::pico8(), 8, DitherMode::floydSteinberg,
                                                        ImageAdjustments{}, {});
    const auto [width, height] = ContentView::previewSize(source->width(), source->height());
    benchmark::DoNotOptimize(converter.upscale(*grid, width, height));
    return timer.nsecsElapsed() / 1e9;
}

struct WindowRoad {
    double seconds = 0;
    double longestStallMilliseconds = 0;
};

WindowRoad windowRoadSeconds(const std::filesystem::path& picture, const QTemporaryDir& folder)
{
    EditorServices services = standardEditorServices();
    services.sessionStore = LastSessionStore(folder.filePath(QStringLiteral("last-session.json")).toStdString());
    services.presetStore = PersonalPresetStore(folder.filePath(QStringLiteral("presets.json")).toStdString());
    services.renderer = [] { return nullptr; };
    services.sampleImage = [] { return nullptr; };
    services.incoming = nullptr;
    services.reduceMotion = nullptr;
    ContentView window(services);
    window.setVisual(roadLook());

    const bench::MainThreadHeartbeat heartbeat;
    QElapsedTimer clock;
    clock.start();
    window.loadImage(picture, ImageOrigin::chosen);
    while (window.state().isProcessing || !window.state().shaderPreviewBase) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return {clock.nsecsElapsed() / 1e9, heartbeat.longestGapMilliseconds()};
}

void EditorRoad(benchmark::State& state)
{
    const QTemporaryDir folder;
    for (auto _ : state) {
        const double direct = directRoadSeconds(bench::roadPhoto());
        const WindowRoad road = windowRoadSeconds(bench::roadPhoto(), folder);
        state.SetIterationTime(road.seconds);
        state.counters["xBaseline"] = road.seconds / direct;
        state.counters["stallMs"] = road.longestStallMilliseconds;
    }
}

BENCHMARK(EditorRoad)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

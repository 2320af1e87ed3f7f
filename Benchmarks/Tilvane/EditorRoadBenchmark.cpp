// The editor's image road: a 6000 × 4000 JPEG is read at 2048, converted (PICO-8, 8-pixel blocks, Floyd–Steinberg)
// and its preview base published on the main thread. Counters, as medians over the repetitions:
//   xBaseline   time of the road through the window's model ÷ the same library calls made directly in sequence
//   stallMs     the longest gap of a 1 ms heartbeat timer on the main thread during the road (the window never
//               freezes when it stays near a frame, 16 ms)
#include "Tilvane/Views/ContentView.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

using namespace tilvane;

namespace {

constexpr int maxDimension = 2048;

struct Fixture {
    Fixture()
    {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                row[x] = qRgb(x * 255 / photo.width(), y * 255 / photo.height(), ((x / 37) ^ (y / 23)) * 9 % 256);
            }
        }
        photo.save(folder.filePath(QStringLiteral("road.jpg")), "JPEG", 90);
        picture = folder.filePath(QStringLiteral("road.jpg")).toStdString();
    }

    static Fixture& shared()
    {
        static Fixture fixture;
        return fixture;
    }

    QTemporaryDir folder;
    std::filesystem::path picture;
};

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
    EditorServices services = EditorServices::standard();
    services.sessionStore = LastSessionStore(folder.filePath(QStringLiteral("last-session.json")).toStdString());
    services.presetStore = PersonalPresetStore(folder.filePath(QStringLiteral("presets.json")).toStdString());
    services.renderer = [] { return nullptr; };
    services.sampleImage = [] { return nullptr; };
    services.incoming = nullptr;
    services.reduceMotion = nullptr;
    ContentView window(services);
    window.setVisual(roadLook());

    QElapsedTimer clock;
    qint64 lastBeat = 0;
    qint64 longestGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastBeat);
        lastBeat = now;
    });
    heartbeat.start(1);
    clock.start();
    window.loadImage(picture, false);
    while (window.state().isProcessing || !window.state().shaderPreviewBase) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    longestGap = std::max(longestGap, clock.nsecsElapsed() - lastBeat);
    return {seconds, longestGap / 1e6};
}

void EditorRoad(benchmark::State& state)
{
    Fixture& fixture = Fixture::shared();
    for (auto _ : state) {
        const double direct = directRoadSeconds(fixture.picture);
        const WindowRoad road = windowRoadSeconds(fixture.picture, fixture.folder);
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

// The inspector on the road of one edit, against the same work done directly, in the same run.
//   BlockSizeThroughSlider  a click on the block-size slider of a shown editor window, with a still screen
//                           preset, until the new shaded preview is published on the main thread; xDirect =
//                           its median ÷ the median of a direct convert, upscale and render of the same
//                           picture. Target: xDirect ≤ 1.25. stall_ms = the median of the longest gap of a
//                           1-ms heartbeat on the main thread during each edit (the window must not freeze).
//   InspectorRefresh        the inspector's refresh from the window after one edit, on the main thread, with a
//                           personal preset and its shader shown; refresh_us = the median in microseconds.
//                           Target: ≤ 2000 µs.
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/InspectorColumn.hpp"
#include "Tilvane/Views/InspectorPanel.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/StandardEditorServices.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace tilvane;

namespace {

constexpr int pictureWidth = 2048;
constexpr int pictureHeight = 1536;
constexpr int runs = 5;

// Smooth gradients with grain, so that blocks differ and every palette colour is used.
ImagePointer picture()
{
    static const ImagePointer image = [] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> grain(-20, 20);
        std::vector<std::uint8_t> pixels;
        pixels.reserve(static_cast<std::size_t>(pictureWidth) * pictureHeight * 4);
        for (int y = 0; y < pictureHeight; ++y) {
            for (int x = 0; x < pictureWidth; ++x) {
                const auto channel = [&](int value) {
                    return static_cast<std::uint8_t>(std::clamp(value + grain(random), 0, 255));
                };
                pixels.push_back(channel(x * 255 / pictureWidth));
                pixels.push_back(channel(y * 255 / pictureHeight));
                pixels.push_back(channel(((x + y) / 4) % 256));
                pixels.push_back(255);
            }
        }
        return Image::make(pictureWidth, pictureHeight, std::move(pixels));
    }();
    return image;
}

// The renderer of the application folder's shaders (this program does not run from the application folder).
ShaderRenderer& renderer()
{
    static ShaderRenderer shared(bench::applicationShaders());
    return shared;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A shown editor window on the real thread pool and renderer, with its files in a temporary folder.
struct Editor {
    Editor()
    {
        auto services = standardEditorServices();
        services.presetStore = PersonalPresetStore(folder.filePath("personal-presets.json").toStdString());
        services.sessionStore = LastSessionStore(folder.filePath("last-session.json").toStdString());
        services.sampleImage = [] { return picture(); };
        services.renderer = [] { return &renderer(); };
        window = std::make_unique<EditorWindow>(std::move(services));
        window->resize(1280, 800);
        window->show();
        waitForPreview(nullptr);
        // Let the first paints of the new window happen before anything is timed.
        settleFor(1000);
    }

    static void settleFor(int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    ContentView& view() { return window->view(); }

    bool settled(const ImagePointer& before)
    {
        const auto& state = view().state();
        const bool shaded = !state.visual.shader || state.shaderImage != nullptr;
        return state.shaderPreviewBase && state.shaderPreviewBase != before && !state.isProcessing
               && !state.isShaderProcessing && shaded;
    }

    // Runs the event loop until a preview other than `before` is published; false after 30 s.
    bool waitForPreview(const ImagePointer& before)
    {
        if (settled(before)) return true;
        // The application's own event loop, as in the running program, until the window settles or 30 s pass.
        QEventLoop loop;
        const auto connection = QObject::connect(&view(), &ContentView::changed, &loop, [&] {
            if (settled(before)) loop.quit();
        });
        QTimer::singleShot(30'000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(connection);
        return settled(before);
    }

    QTemporaryDir folder;
    std::unique_ptr<EditorWindow> window;
};

// The same work as the window's conversion and shading, called directly.
double directRoad(const VisualSettings& visual)
{
    const auto start = std::chrono::steady_clock::now();
    const ImageConverter converter;
    const auto grid = converter.renderPixelGrid(*picture(), *visual.palette(), static_cast<int>(visual.pixelSize),
                                                visual.dither, visual.adjustments, {});
    const auto [width, height] = ContentView::previewSize(pictureWidth, pictureHeight);
    auto preview = converter.upscale(*grid, width, height);
    preview = renderer().render(preview, visual.shader, visual.screen, 0);
    benchmark::DoNotOptimize(preview);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A press and release of the left button at `at`, as a click of the user.
void press(QWidget& widget, QPointF at)
{
    const QPointF global = widget.mapToGlobal(at);
    QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &up);
}

void BlockSizeThroughSlider(benchmark::State& state)
{
    Editor editor;
    // A look with a still screen preset, so that both roads convert and then render.
    const auto& presets = bench::builtInPresets();
    if (presets.empty()) {
        state.SkipWithError("the application's shader presets were not found");
        return;
    }
    auto look = editor.view().state().visual;
    look.shader = ShaderConfiguration::fromPreset(presets.front());
    editor.view().setVisual(look);
    editor.waitForPreview(nullptr);  // the first shaded preview
    auto& slider = *editor.window->findChild<PixelSlider*>(QStringLiteral("pixelSizeSlider"));
    for (auto _ : state) {
        std::vector<double> road, direct, stalls;
        for (int run = 0; run < runs; ++run) {
            // Alternate the two ends of the slider, so that every click changes the block size.
            const int x = run % 2 == 0 ? slider.width() - 1 : 0;
            const auto before = editor.view().state().shaderPreviewBase;
            // The moment the window publishes the new preview, before the widgets redraw it.
            double published = 0;
            QElapsedTimer timer;
            const auto connection = QObject::connect(&editor.view(), &ContentView::changed, [&] {
                if (published == 0 && editor.settled(before))
                    published = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            });
            timer.start();
            const bench::MainThreadHeartbeat heartbeat;
            press(slider, QPointF(x, PixelSlider::height / 2.0));
            const bool arrived = editor.waitForPreview(before);
            QObject::disconnect(connection);
            stalls.push_back(heartbeat.longestGapMilliseconds());
            if (!arrived) {
                state.SkipWithError("no preview was published");
                return;
            }
            road.push_back(published);
            direct.push_back(directRoad(editor.view().state().visual));
        }
        state.SetIterationTime(median(road) / 1000);
        state.counters["road_ms"] = median(road);
        state.counters["direct_ms"] = median(direct);
        state.counters["xDirect"] = median(road) / median(direct);
        state.counters["stall_ms"] = median(stalls);
    }
}

void InspectorRefresh(benchmark::State& state)
{
    Editor editor;
    // A personal preset with a shader, so that the shader inspector is shown and refreshed too.
    const auto& builtIn = bench::builtInPresets();
    auto look = editor.view().state().visual;
    if (!builtIn.empty()) look.shader = ShaderConfiguration::fromPreset(builtIn.front());
    editor.view().setVisual(look);
    editor.view().beginCreatePreset();
    editor.view().setPresetName("Medida");
    editor.view().commitNameDialog();
    auto* column = editor.window->findChild<InspectorColumn*>(QStringLiteral("inspector"));
    for (auto _ : state) {
        std::vector<double> refreshes;
        for (int edit = 0; edit < 101; ++edit) {
            look.adjustments.exposure = static_cast<float>(edit % 40) / 20 - 1;
            auto& view = editor.view();
            view.setVisual(look);
            QElapsedTimer timer;
            timer.start();
            column->refresh();
            refreshes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        state.SetIterationTime(median(refreshes) / 1000);
        state.counters["refresh_us"] = median(refreshes) * 1000;
        auto* shaderWindow = editor.window->findChild<QWidget*>(QStringLiteral("shaderWindow"));
        state.counters["shaderShown"] = shaderWindow != nullptr && shaderWindow->isVisible();
    }
}

BENCHMARK(BlockSizeThroughSlider)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(InspectorRefresh)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

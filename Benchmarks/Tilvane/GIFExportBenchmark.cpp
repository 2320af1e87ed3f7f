// A GIF export of the heaviest preset at 1024, read as ratios within one run:
//   GIFExport/3 "per_frame_ms" ÷ RenderAndQuantiseOneFrame "per_frame_ms"   at most 1.5
//   GIFExport/1 "peak_rss_mb" against GIFExport/3 "peak_rss_mb"              about equal (frames stream)
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ExportJobs.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace tilvane {
namespace {

// The pixel grid of a 1600 × 1200 photo in PICO-8 blocks of 8.
const ImagePointer& pixelGrid()
{
    static const ImagePointer grid = [] {
        constexpr int width = 1600;
        constexpr int height = 1200;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
                pixel[0] = static_cast<std::uint8_t>(127 + 127 * std::sin(x * 0.006));
                pixel[1] = static_cast<std::uint8_t>(127 + 127 * std::cos(y * 0.007));
                pixel[2] = static_cast<std::uint8_t>(127 + 127 * std::sin((x - y) * 0.004));
                pixel[3] = 255;
            }
        }
        const ImagePointer photo = Image::make(width, height, std::move(pixels));
        return ImageConverter().renderPixelGrid(*photo, ImagePalette::pico8(), 8, DitherMode::bayer4x4, {}, {});
    }();
    return grid;
}

void GIFExport(benchmark::State& state)
{
    const int duration = static_cast<int>(state.range(0));
    const auto path = bench::scratchFile(".gif");
    const auto configuration = ShaderConfiguration::fromPreset(bench::heaviestPreset(), {.motion = true});
    double peak = 0;
    for (auto _ : state) {
        bench::PeakMemory memory;
        const auto snapshot = makeGIFSnapshot(pixelGrid(), 1600, 1200, 1024, configuration, {}, duration, path);
        runGIFExport(snapshot, [] { return std::make_unique<ShaderRenderer>(bench::applicationShaders()); }, {});
        peak = std::max(peak, memory.aboveBaseline());
    }
    std::filesystem::remove(path);
    const int frames = gifTiming(true, duration).frameCount;
    state.counters["per_frame_ms"] = benchmark::Counter(static_cast<double>(state.iterations() * frames) / 1000.0,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(GIFExport)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One frame rendered on an already made renderer, then quantised and written as a one-frame GIF.
void RenderAndQuantiseOneFrame(benchmark::State& state)
{
    const auto path = bench::scratchFile(".gif");
    const auto configuration = ShaderConfiguration::fromPreset(bench::heaviestPreset(), {.motion = true});
    ShaderRenderer renderer(bench::applicationShaders());
    const ImagePointer frame = ImageConverter().upscale(*pixelGrid(), 1024, 768);
    float time = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        time += 0.1f;
        const ImagePointer rendered = renderer.render(frame, configuration, {}, time, {.temporalHistory = true});
        GIFExporter::write(path, 1, 0.1, [&](int) { return rendered; });
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::filesystem::remove(path);
    state.counters["per_frame_ms"] = seconds * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(RenderAndQuantiseOneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
}  // namespace tilvane

BENCHMARK_MAIN();

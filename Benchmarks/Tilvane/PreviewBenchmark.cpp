// The preview animation on this machine's renderer, read within one run:
//   HeaviestPreset960 against PlainCopy960 (one full-size pass: upload, one draw, read back).
// "render_fps" is the renderer's throughput; a preset keeps the animation's pace when one render fits
// in one 75 ms interval (render_fps ≥ 13.3). "animation_fps" is what the window then shows: one frame
// per render plus the 75 ms pause.
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ShaderPreviewRequest.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace tilvane {
namespace {

ShaderRenderer& renderer()
{
    static ShaderRenderer shared(bench::applicationShaders());
    return shared;
}

// A 960 × 720 preview base: blocks of 8 in a few colours, as a converted photo looks.
ImagePointer previewBase()
{
    constexpr int width = 960;
    constexpr int height = 720;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            const int block = (x / 8) * 7 + (y / 8) * 13;
            pixel[0] = static_cast<std::uint8_t>(block * 37);
            pixel[1] = static_cast<std::uint8_t>(block * 59);
            pixel[2] = static_cast<std::uint8_t>(block * 83);
            pixel[3] = 255;
        }
    }
    return Image::make(width, height, std::move(pixels));
}

template <typename Render>
void measure(benchmark::State& state, Render render)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) render();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perFrame = seconds / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    const double pause = std::chrono::duration<double>(previewFrameInterval).count();
    state.counters["render_fps"] = 1.0 / perFrame;
    state.counters["animation_fps"] = 1.0 / (perFrame + pause);
}

void HeaviestPreset960(benchmark::State& state)
{
    const ImagePointer base = previewBase();
    const auto configuration = ShaderConfiguration::fromPreset(bench::heaviestPreset(), {.motion = true});
    renderer().resetTemporalHistory();
    float time = 0;
    renderer().render(base, configuration, {}, time, {.temporalHistory = true});
    measure(state, [&] {
        time += 0.1f;
        benchmark::DoNotOptimize(renderer().render(base, configuration, {}, time, {.temporalHistory = true}));
    });
}
BENCHMARK(HeaviestPreset960)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void PlainCopy960(benchmark::State& state)
{
    const ImagePointer base = previewBase();
    ShaderConfiguration copy;
    copy.passes.push_back(ShaderPass("negative", 0.0001f, {}, true));
    renderer().render(base, copy, 0);
    measure(state, [&] { benchmark::DoNotOptimize(renderer().render(base, copy, 0)); });
}
BENCHMARK(PlainCopy960)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace tilvane

BENCHMARK_MAIN();

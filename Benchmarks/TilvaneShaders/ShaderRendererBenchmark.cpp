// Render times of the built-in presets, to be read as ratios within one run, from the CPU column
// (every thread of the process, the renderer's and the software rasterizer's included, so that
// other work on a shared machine moves the figures less than it moves the wall-clock ones):
//   Preset2048/<i> ÷ Preset960/<i>            at most 6
//   PhosphorWithHistory/<w> ÷ PhosphorStill/<w> at most 1.25
//   OnePass/2048 ÷ OnePass/960                  at most 6 (what one pass costs beyond the
//   TwoPasses/<w> − OnePass/<w>                 pixels: upload, textures, read-back); the
//                                               second pass's cost at 2048 ÷ at 960 likewise
//   NothingToDo ÷ OnePass/960                   at most 0.01
//   Creation ÷ OnePass/960                      at most 10
#include "Support/TestCard.hpp"

#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include "TilvaneShaders/ShaderPresetCatalog.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace tilvane {
namespace {

ShaderBundle bundle()
{
    return ShaderBundle(TILVANE_SHADERS_BUNDLE);
}

ShaderRenderer& renderer()
{
    static ShaderRenderer shared(bundle());
    return shared;
}

const std::vector<ShaderPreset>& presets()
{
    static const std::vector<ShaderPreset> list = loadShaderPresets(bundle().presetsFile());
    return list;
}

// The phosphor preset with halation: four draws at full size and two at a quarter.
const ShaderPreset& heaviestPreset()
{
    const auto& list = presets();
    const auto found = std::ranges::find_if(list, [](const ShaderPreset& preset) {
        return std::ranges::any_of(preset.passes, [](const ShaderPass& pass) {
            return pass.effect == "realisticPhosphor" && pass.settings.contains("bloomStyle")
                   && pass.settings.at("bloomStyle") > 0.5f;
        });
    });
    return found != list.end() ? *found : list.front();
}

void renderPreset(benchmark::State& state, int width)
{
    const auto& list = presets();
    const auto index = static_cast<std::size_t>(state.range(0));
    if (index >= list.size()) {
        state.SkipWithError("no such preset");
        return;
    }
    const ImagePointer card = testing::makeTestCard(width);
    renderer().render(card, list[index]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer().render(card, list[index]));
    }
    state.SetLabel(list[index].id);
}

void Preset960(benchmark::State& state)
{
    renderPreset(state, 960);
}

void Preset2048(benchmark::State& state)
{
    renderPreset(state, 2048);
}

void renderPhosphor(benchmark::State& state, bool history)
{
    const ImagePointer card = testing::makeTestCard(static_cast<int>(state.range(0)));
    const ShaderConfiguration animated = ShaderConfiguration::fromPreset(heaviestPreset(), {.motion = true});
    renderer().resetTemporalHistory();
    float time = 0;
    renderer().render(card, animated, time, {.temporalHistory = history});
    for (auto _ : state) {
        time += 0.075f;
        benchmark::DoNotOptimize(renderer().render(card, animated, time, {.temporalHistory = history}));
    }
    state.SetLabel(heaviestPreset().id);
}

void PhosphorWithHistory(benchmark::State& state)
{
    renderPhosphor(state, true);
}

void PhosphorStill(benchmark::State& state)
{
    renderPhosphor(state, false);
}

// Negative passes over the test card: the least a render with `passes` passes can cost.
void renderNegatives(benchmark::State& state, int passes)
{
    const ImagePointer card = testing::makeTestCard(static_cast<int>(state.range(0)));
    ShaderConfiguration negatives;
    negatives.passes.assign(static_cast<std::size_t>(passes), ShaderPass("negative", 1, {}, true));
    renderer().render(card, negatives, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer().render(card, negatives, 0));
    }
}

void OnePass(benchmark::State& state)
{
    renderNegatives(state, 1);
}

void TwoPasses(benchmark::State& state)
{
    renderNegatives(state, 2);
}

void NothingToDo(benchmark::State& state)
{
    const ImagePointer card = testing::makeTestCard(960);
    ShaderConfiguration idle;
    idle.passes = {ShaderPass("negative", 1, {}, false)};
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer().render(card, idle, 0));
    }
}

void Creation(benchmark::State& state)
{
    for (auto _ : state) {
        ShaderRenderer created(bundle());
        benchmark::DoNotOptimize(&created);
    }
}

BENCHMARK(Preset960)->DenseRange(0, 7)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Preset2048)->DenseRange(0, 7)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PhosphorStill)->Arg(960)->Arg(2048)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PhosphorWithHistory)->Arg(960)->Arg(2048)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OnePass)->Arg(960)->Arg(2048)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TwoPasses)->Arg(960)->Arg(2048)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(NothingToDo)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Creation)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tilvane

BENCHMARK_MAIN();

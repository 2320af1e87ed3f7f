// Conversion of a 2048 × 1536 picture, and the nearest-colour lookup against the linear search.
// Counters give ratios against references timed in the same run:
//   xBaseline  conversion time ÷ a pass that reads every source pixel once and writes every grid pixel once
//   xLinear    linear-search time ÷ lookup time (the lookup's speed-up)
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/NearestColorLookupCache.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>

using namespace tilvane;

namespace {

constexpr int pictureWidth = 2048;
constexpr int pictureHeight = 1536;
constexpr int randomColorCount = 1 << 20;

// Smooth gradients with grain, so that blocks differ and every palette colour is used.
const Image& picture()
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
    return *image;
}

const std::vector<RGBColor>& randomColors()
{
    static const std::vector<RGBColor> colors = [] {
        std::mt19937 random(11);
        std::vector<RGBColor> result(randomColorCount);
        for (auto& color : result) color = RGBColor::hex(random());
        return result;
    }();
    return colors;
}

const ImagePalette& paletteAt(std::int64_t index)
{
    static const std::vector<const ImagePalette*> palettes{&ImagePalette::nes(),           &ImagePalette::doom(),
                                                           &ImagePalette::pico8(),         &ImagePalette::gameBoy(),
                                                           &ImagePalette::blackAndWhite(), &ImagePalette::original()};
    return *palettes.at(static_cast<std::size_t>(index));
}

// Reads every source pixel once and writes every grid pixel once: a plain box sum per block.
ImagePointer baselinePass(const Image& source, int pixelSize)
{
    const int gridWidth = (source.width() + pixelSize - 1) / pixelSize;
    const int gridHeight = (source.height() + pixelSize - 1) / pixelSize;
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(gridWidth) * 4);
    std::vector<std::uint8_t> grid(static_cast<std::size_t>(gridWidth) * gridHeight * 4);
    for (int gy = 0; gy < gridHeight; ++gy) {
        std::fill(sums.begin(), sums.end(), 0u);
        const int lastRow = std::min(source.height(), (gy + 1) * pixelSize);
        for (int y = gy * pixelSize; y < lastRow; ++y) {
            const std::uint8_t* row = source.row(y);
            for (int x = 0; x < source.width(); ++x) {
                for (int c = 0; c < 4; ++c) sums[static_cast<std::size_t>(x / pixelSize) * 4 + c] += row[x * 4 + c];
            }
        }
        const std::uint32_t area = static_cast<std::uint32_t>(pixelSize * pixelSize);
        for (std::size_t i = 0; i < sums.size(); ++i) {
            grid[static_cast<std::size_t>(gy) * sums.size() + i] = static_cast<std::uint8_t>(sums[i] / area);
        }
    }
    return Image::make(gridWidth, gridHeight, std::move(grid));
}

template <typename Work>
double bestSeconds(int repetitions, Work&& work)
{
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

double baselineSeconds(int pixelSize)
{
    static std::map<int, double> measured;
    if (!measured.contains(pixelSize)) {
        measured[pixelSize] = bestSeconds(20, [&] { benchmark::DoNotOptimize(baselinePass(picture(), pixelSize)); });
    }
    return measured[pixelSize];
}

double linearSearchSeconds(const ImagePalette& palette)
{
    static std::map<std::string, double> measured;
    if (!measured.contains(palette.id)) {
        measured[palette.id] = bestSeconds(3, [&] {
            for (const RGBColor color : randomColors())
                benchmark::DoNotOptimize(nearestByLinearSearch(color, palette.colors));
        });
    }
    return measured[palette.id];
}

// Per-iteration time divided by `reference`.
benchmark::Counter ratioTo(double reference)
{
    return benchmark::Counter(reference, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void baseline(benchmark::State& state)
{
    const int pixelSize = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(baselinePass(picture(), pixelSize));
}

void conversion(benchmark::State& state)
{
    const int pixelSize = static_cast<int>(state.range(0));
    const ImagePalette& palette = paletteAt(state.range(1));
    const auto dither = allDitherModes.at(static_cast<std::size_t>(state.range(2)));
    const ImageConverter converter;
    state.SetLabel(palette.id + " " + std::string(rawValue(dither)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(converter.renderPixelGrid(picture(), palette, pixelSize, dither, {}, {}));
    }
    state.counters["xBaseline"] = ratioTo(baselineSeconds(pixelSize));
}

void nearestLookup(benchmark::State& state)
{
    const ImagePalette& palette = paletteAt(state.range(0));
    const auto lookup = NearestColorLookupCache::shared().table(palette);
    state.SetLabel(palette.id);
    for (auto _ : state) {
        for (const RGBColor color : randomColors()) benchmark::DoNotOptimize(lookup->nearest(color));
    }
    // The linear search's time over this one's: the speed-up.
    state.counters["xLinear"] =
        benchmark::Counter(linearSearchSeconds(palette), benchmark::Counter::kIsIterationInvariantRate);
}

void linearSearch(benchmark::State& state)
{
    const ImagePalette& palette = paletteAt(state.range(0));
    state.SetLabel(palette.id);
    for (auto _ : state) {
        for (const RGBColor color : randomColors())
            benchmark::DoNotOptimize(nearestByLinearSearch(color, palette.colors));
    }
}

}  // namespace

BENCHMARK(baseline)->Arg(2)->Arg(8)->Arg(40)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(conversion)
    ->ArgsProduct({{2, 8, 40}, {0, 1, 2, 3, 4, 5}, {0, 1, 2}})
    ->ArgNames({"block", "palette", "dither"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(nearestLookup)->DenseRange(0, 2)->ArgName("palette")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(linearSearch)->DenseRange(0, 2)->ArgName("palette")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

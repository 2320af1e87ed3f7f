// PNG encoding of a shaded export, read as ratios within one run:
//   ExportEncoder ÷ VipsDefaultPngsave   time at most 0.5, file (the "bytes" counter) at most 1.3×
// libvips (through glib) names a field "signals", which Qt defines as a macro: it comes first.
#include "TilvaneCore/VipsRuntime.hpp"

#include "BenchmarkSupport.hpp"

#include "Tilvane/Services/PNGFileWriter.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <benchmark/benchmark.h>

#include <cmath>

namespace tilvane {
namespace {

// A smooth colourful picture, converted to PICO-8 blocks of 8 and enlarged to 2048 × 1365, then shaded
// through the heaviest built-in preset: what an export of a typical photo writes.
const ImagePointer& shadedExport()
{
    static const ImagePointer image = [] {
        constexpr int width = 2048;
        constexpr int height = 1365;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
                pixel[0] = static_cast<std::uint8_t>(127 + 127 * std::sin(x * 0.004));
                pixel[1] = static_cast<std::uint8_t>(127 + 127 * std::cos(y * 0.005));
                pixel[2] = static_cast<std::uint8_t>(127 + 127 * std::sin((x + y) * 0.003));
                pixel[3] = 255;
            }
        }
        const ImagePointer photo = Image::make(width, height, std::move(pixels));
        const ImageConverter converter;
        const ImagePointer grid =
            converter.renderPixelGrid(*photo, ImagePalette::pico8(), 8, DitherMode::floydSteinberg, {}, {});
        const ImagePointer enlarged = converter.upscale(*grid, width, height);
        ShaderRenderer renderer(bench::applicationShaders());
        return renderer.render(enlarged, bench::heaviestPreset());
    }();
    return image;
}

void ExportEncoder(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state) bytes = encodePNG(*shadedExport()).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ExportEncoder)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void VipsDefaultPngsave(benchmark::State& state)
{
    startVips();
    const ImagePointer& image = shadedExport();
    std::size_t bytes = 0;
    for (auto _ : state) {
        VipsImagePointer wrapped(vips_image_new_from_memory(image->bytes().data(), image->bytes().size(),
                                                            image->width(), image->height(), 4, VIPS_FORMAT_UCHAR));
        void* buffer = nullptr;
        std::size_t length = 0;
        vips_pngsave_buffer(wrapped.get(), &buffer, &length, nullptr);
        bytes = length;
        g_free(buffer);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(VipsDefaultPngsave)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tilvane

BENCHMARK_MAIN();

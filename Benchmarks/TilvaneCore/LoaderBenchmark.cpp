// Loading a 6000 × 4000 JPEG at a longest side of 2048 against decoding the whole picture.
// Target: the load takes at most half the time of the whole decode. Run by hand:
//     build/Benchmarks/TilvaneCore/LoaderBenchmark

#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvaneCore/VipsRuntime.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

using namespace tilvane;

namespace {

constexpr int photoWidth = 6000;
constexpr int photoHeight = 4000;

template <typename Operation>
VipsImagePointer made(Operation operation)
{
    VipsImage* image = nullptr;
    if (operation(&image) != 0 || image == nullptr) throw std::runtime_error(vips_error_buffer());
    return VipsImagePointer(image);
}

// Smooth colour gradients under a little grain, so that the JPEG decodes like a photo.
void writePhoto(const std::filesystem::path& path)
{
    const double scale[] = {255.0 / photoWidth, 255.0 / photoHeight};
    const double offset[] = {0, 0};
    const auto coordinates = made([](VipsImage** out) { return vips_xyz(out, photoWidth, photoHeight, nullptr); });
    const auto gradient = made([&](VipsImage** out) { return vips_linear(coordinates.get(), out, scale, offset, 2, nullptr); });
    const auto bands = made([&](VipsImage** out) { return vips_bandjoin_const1(gradient.get(), out, 128, nullptr); });
    const auto grain = made([](VipsImage** out) {
        return vips_gaussnoise(out, photoWidth, photoHeight, "sigma", 6.0, "mean", 0.0, nullptr);
    });
    const auto grainy = made([&](VipsImage** out) { return vips_add(bands.get(), grain.get(), out, nullptr); });
    const auto bytes = made([&](VipsImage** out) { return vips_cast(grainy.get(), out, VIPS_FORMAT_UCHAR, nullptr); });
    const auto photo = made([&](VipsImage** out) {
        return vips_copy(bytes.get(), out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
    });
    if (vips_jpegsave(photo.get(), path.c_str(), "Q", 90, nullptr) != 0) throw std::runtime_error(vips_error_buffer());
}

std::filesystem::path photoPath;

void DecodeWholeJPEG(benchmark::State& state)
{
    for (auto _ : state) {
        // Sequential access decodes straight into the output, in one pass.
        const VipsImagePointer image(
            vips_image_new_from_file(photoPath.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
        std::size_t size = 0;
        void* pixels = image ? vips_image_write_to_memory(image.get(), &size) : nullptr;
        if (pixels == nullptr) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(pixels);
        g_free(pixels);
    }
}
BENCHMARK(DecodeWholeJPEG)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadJPEGAt2048(benchmark::State& state)
{
    for (auto _ : state) {
        const ImagePointer image = ImageFileLoader::load(photoPath, 2048);
        if (!image || image->width() != 2048) state.SkipWithError("loading failed");
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(LoadJPEGAt2048)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the benchmarks as usual, then the ratio of the load to the whole decode.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void printRatio() const
    {
        const auto decode = times_.find("DecodeWholeJPEG");
        const auto load = times_.find("LoadJPEGAt2048");
        if (decode == times_.end() || load == times_.end()) return;
        const double ratio = load->second / decode->second;
        std::printf("load at 2048 / whole decode = %.3f (target at most 0.5): %s\n", ratio,
                    ratio <= 0.5 ? "met" : "MISSED");
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!startVips()) return EXIT_FAILURE;
    std::string folderName = (std::filesystem::temp_directory_path() / "tilvane-loader-XXXXXX").string();
    if (::mkdtemp(folderName.data()) == nullptr) return EXIT_FAILURE;
    const std::filesystem::path folder = folderName;
    photoPath = folder / "photo.jpg";
    writePhoto(photoPath);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return EXIT_SUCCESS;
}

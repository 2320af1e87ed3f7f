// Loading a 6000 × 4000 JPEG at a longest side of 2048 against decoding the whole picture.
// Target: the load takes at most half the time of the whole decode. Run by hand, best with
// repetitions (the ratio uses the medians):
//     build/Benchmarks/TilvaneCore/LoaderBenchmark --benchmark_repetitions=5

#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvaneCore/VipsRuntime.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

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

// Something like a photograph: smooth light across the frame, shapes with soft edges (as a lens
// draws them) and a mild, fine texture, saved at quality 90. A picture of pure noise would be the
// worst case for the JPEG decoder's entropy stage rather than a typical one.
void writePhoto(const std::filesystem::path& path)
{
    // Colour = matrix × (x, y, 1): light that shifts in hue and brightness across the frame.
    const auto coordinates = made([](VipsImage** out) { return vips_xyz(out, photoWidth, photoHeight, nullptr); });
    const auto affine = made([&](VipsImage** out) { return vips_bandjoin_const1(coordinates.get(), out, 1, nullptr); });
    const double light[] = {
        140.0 / photoWidth, 40.0 / photoHeight,   60,  60.0 / photoWidth, 90.0 / photoHeight, 70,
        -40.0 / photoWidth, -120.0 / photoHeight, 200,
    };
    const VipsImagePointer lightMatrix(vips_image_new_matrix_from_array(3, 3, light, 9));
    const auto gradient =
        made([&](VipsImage** out) { return vips_recomb(affine.get(), out, lightMatrix.get(), nullptr); });
    const auto canvas =
        made([&](VipsImage** out) { return vips_cast(gradient.get(), out, VIPS_FORMAT_UCHAR, nullptr); });
    const VipsImagePointer scene(vips_image_copy_memory(canvas.get()));
    if (!scene) throw std::runtime_error(vips_error_buffer());

    std::mt19937 random(2048);
    const auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int shape = 0; shape < 40; ++shape) {
        double ink[] = {double(between(0, 255)), double(between(0, 255)), double(between(0, 255))};
        const int x = between(0, photoWidth), y = between(0, photoHeight);
        const int status = shape % 2 == 0
                               ? vips_draw_circle(scene.get(), ink, 3, x, y, between(80, 700), "fill", TRUE, nullptr)
                               : vips_draw_rect(scene.get(), ink, 3, x, y, between(100, 1500), between(100, 1500),
                                                "fill", TRUE, nullptr);
        if (status != 0) throw std::runtime_error(vips_error_buffer());
    }
    const auto soft = made([&](VipsImage** out) { return vips_gaussblur(scene.get(), out, 1.5, nullptr); });

    const auto noise = made([](VipsImage** out) {
        return vips_gaussnoise(out, photoWidth, photoHeight, "sigma", 10.0, "mean", 0.0, nullptr);
    });
    const auto texture = made([&](VipsImage** out) { return vips_gaussblur(noise.get(), out, 0.7, nullptr); });
    const auto textured = made([&](VipsImage** out) { return vips_add(soft.get(), texture.get(), out, nullptr); });
    const auto bytes =
        made([&](VipsImage** out) { return vips_cast(textured.get(), out, VIPS_FORMAT_UCHAR, nullptr); });
    const auto photo = made([&](VipsImage** out) {
        return vips_copy(bytes.get(), out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
    });
    if (vips_jpegsave(photo.get(), path.c_str(), "Q", 90, nullptr) != 0) throw std::runtime_error(vips_error_buffer());
    std::printf("photo: %d × %d, %.1f MB, %.2f bits per pixel\n", photoWidth, photoHeight,
                double(std::filesystem::file_size(path)) / 1e6,
                8.0 * double(std::filesystem::file_size(path)) / (double(photoWidth) * photoHeight));
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

// Prints the benchmarks as usual, then the ratio of the load to the whole decode, each the median
// of its repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        }
    }

    void printRatio()
    {
        const auto decode = times_.find("DecodeWholeJPEG");
        const auto load = times_.find("LoadJPEGAt2048");
        if (decode == times_.end() || load == times_.end()) return;
        const double ratio = median(load->second) / median(decode->second);
        std::printf("load at 2048 / whole decode = %.3f (target at most 0.5): %s\n", ratio,
                    ratio <= 0.5 ? "met" : "MISSED");
    }

private:
    static double median(std::vector<double>& times)
    {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

    std::map<std::string, std::vector<double>> times_;
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

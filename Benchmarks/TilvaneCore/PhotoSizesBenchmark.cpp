// The loader against libvips' own thumbnail on the pictures today's devices write, read at 2048:
//   medium-format camera  11648 × 8736 JPEG (102 MP)
//   200 MP phone          16320 × 12240 JPEG
//   scan                  12000 × 9000 PNG (108 MP)
//   panorama              40000 × 25000 JPEG (1 GP)
// each made from the application's sample photograph. Every read runs in a process of its own (this
// program started again), so that each peak resident size is that read's alone. Per picture:
//   "time_ratio"    the loader's time over vips_thumbnail's       target at most 1.2
//   "memory_ratio"  the loader's peak resident size over its      target at most 1.5
// Run by hand: build/Benchmarks/TilvaneCore/PhotoSizesBenchmark (making the pictures takes a minute).

#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvaneCore/VipsRuntime.hpp"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tilvane;

namespace {

constexpr int workingSize = 2048;
constexpr const char* childFlag = "--read-once";

struct Picture {
    const char* name;
    int width, height;
    const char* suffix;
};

constexpr Picture pictures[] = {
    {"camera_102MP_jpeg", 11648, 8736, ".jpg"},
    {"phone_200MP_jpeg", 16320, 12240, ".jpg"},
    {"scan_108MP_png", 12000, 9000, ".png"},
    {"panorama_1GP_jpeg", 40000, 25000, ".jpg"},
};

template <typename Operation>
VipsImagePointer made(Operation operation)
{
    VipsImage* image = nullptr;
    if (operation(&image) != 0 || image == nullptr) throw std::runtime_error(vips_error_buffer());
    return VipsImagePointer(image);
}

// The sample photograph enlarged to the picture's size, with a fine grain over it as a sensor or a scanner
// leaves (an enlargement alone is smoother than any photograph), saved as a camera saves (JPEG quality 90)
// or a scanner does (PNG).
void writePicture(const Picture& picture, const std::filesystem::path& path)
{
    const auto sample = made([](VipsImage** out) {
        *out = vips_image_new_from_file(TILVANE_SAMPLE_PHOTO, nullptr);
        return *out != nullptr ? 0 : -1;
    });
    const double horizontal = double(picture.width) / vips_image_get_width(sample.get());
    const double vertical = double(picture.height) / vips_image_get_height(sample.get());
    const auto enlarged = made([&](VipsImage** out) {
        return vips_resize(sample.get(), out, horizontal, "vscale", vertical, "kernel", VIPS_KERNEL_LINEAR, nullptr);
    });
    const auto grain = made([&](VipsImage** out) {
        return vips_gaussnoise(out, picture.width, picture.height, "sigma", 6.0, "mean", 0.0, nullptr);
    });
    const auto grainy = made([&](VipsImage** out) { return vips_add(enlarged.get(), grain.get(), out, nullptr); });
    const auto bytes = made([&](VipsImage** out) { return vips_cast(grainy.get(), out, VIPS_FORMAT_UCHAR, nullptr); });
    const auto photo = made([&](VipsImage** out) {
        return vips_copy(bytes.get(), out, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr);
    });
    const std::string options = std::string(picture.suffix) == ".jpg" ? "[Q=90]" : "[compression=6]";
    if (vips_image_write_to_file(photo.get(), (path.string() + options).c_str(), nullptr) != 0)
        throw std::runtime_error(vips_error_buffer());
    std::printf("%s: %d × %d, %.1f MB\n", picture.name, picture.width, picture.height,
                double(std::filesystem::file_size(path)) / 1e6);
}

struct Read {
    double seconds = 0;
    double peakMegabytes = 0;
};

double highWaterMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    }
    throw std::runtime_error("/proc/self/status has no VmHWM");
}

// In the child: one read of the file at the working size by `reader`, printed as "seconds peak_mb".
int readOnce(const std::string& reader, const char* file)
{
    if (!startVips()) return EXIT_FAILURE;
    const auto start = std::chrono::steady_clock::now();
    bool read = false;
    if (reader == "loader") {
        read = ImageFileLoader::load(file, workingSize) != nullptr;
    } else {
        VipsImage* thumbnail = nullptr;
        if (vips_thumbnail(file, &thumbnail, workingSize, "height", workingSize, "size", VIPS_SIZE_DOWN, nullptr)
            == 0) {
            const VipsImagePointer owned(thumbnail);
            std::size_t size = 0;
            void* pixels = vips_image_write_to_memory(owned.get(), &size);
            read = pixels != nullptr;
            g_free(pixels);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!read) return EXIT_FAILURE;
    std::printf("%.6f %.3f\n", seconds, highWaterMegabytes());
    return EXIT_SUCCESS;
}

// Starts this program again to read the file once; it is a new process, so its peak is this read's.
Read readInChild(const char* reader, const std::filesystem::path& file)
{
    static const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    const std::string command = '\'' + program.string() + "' " + childFlag + " " + reader + " '" + file.string() + "'";
    const std::unique_ptr<FILE, decltype(&::pclose)> child(::popen(command.c_str(), "r"), ::pclose);
    Read result;
    if (!child || std::fscanf(child.get(), "%lf %lf", &result.seconds, &result.peakMegabytes) != 2)
        throw std::runtime_error(std::string(reader) + " could not read " + file.string());
    return result;
}

std::vector<std::filesystem::path> picturePaths;

void ReadAt2048(benchmark::State& state)
{
    const auto& file = picturePaths.at(static_cast<std::size_t>(state.range(0)));
    Read loader, vips;
    int reads = 0;
    for (auto _ : state) {
        // Taking turns spreads any drift of the machine over both.
        const Read byVips = readInChild("vips", file);
        const Read byLoader = readInChild("loader", file);
        vips.seconds += byVips.seconds;
        loader.seconds += byLoader.seconds;
        vips.peakMegabytes = std::max(vips.peakMegabytes, byVips.peakMegabytes);
        loader.peakMegabytes = std::max(loader.peakMegabytes, byLoader.peakMegabytes);
        ++reads;
    }
    state.SetLabel(pictures[state.range(0)].name);
    state.counters["loader_s"] = loader.seconds / reads;
    state.counters["vips_s"] = vips.seconds / reads;
    state.counters["time_ratio"] = loader.seconds / vips.seconds;
    state.counters["loader_peak_mb"] = loader.peakMegabytes;
    state.counters["vips_peak_mb"] = vips.peakMegabytes;
    state.counters["memory_ratio"] = loader.peakMegabytes / vips.peakMegabytes;
}
BENCHMARK(ReadAt2048)->DenseRange(0, std::size(pictures) - 1)->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == childFlag) return readOnce(argv[2], argv[3]);

    benchmark::Initialize(&argc, argv);
    if (!startVips()) return EXIT_FAILURE;
    std::string folderName = (std::filesystem::temp_directory_path() / "tilvane-photo-sizes-XXXXXX").string();
    if (::mkdtemp(folderName.data()) == nullptr) return EXIT_FAILURE;
    const std::filesystem::path folder = folderName;
    for (const Picture& picture : pictures) {
        picturePaths.push_back(folder / (std::string(picture.name) + picture.suffix));
        writePicture(picture, picturePaths.back());
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return EXIT_SUCCESS;
}

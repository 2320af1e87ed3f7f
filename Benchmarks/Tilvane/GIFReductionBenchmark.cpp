// GIF colour reduction side by side, read as ratios within one run. "Default pool" is the writer sized by
// this machine ("threads": the CPUs this process may use, within the memory budget and the ceiling of
// workers); "sequential" is one worker. Each peak is the resident size's high-water mark during that run.
//   NoisyPhotoFrames "writer_vs_ffmpeg"            at most 0.35 on 8 CPUs (the default pool against ffmpeg's
//                                                   palettegen=stats_mode=single + paletteuse=new=1; without
//                                                   ffmpeg on the PATH that comparison is skipped, said in the label)
//   NoisyPhotoFrames "peak_rss_mb"                  below "sequential_peak_rss_mb" + "estimated_pool_frames_mb"
//   HeaviestPresetExport "time_ratio"               at most 0.35 on 8 CPUs (2048 px, 3 s, against the same export
//                                                   reducing on one thread, as the writer did before)
//   HeaviestPresetExport "user_cpu_ratio"           at most 1.3
//   HeaviestPresetExport "peak_rss_mb"              below "sequential_peak_rss_mb" + "pool_frames_mb", where a frame
//                                                   counts with what reducing it takes ("frame_in_reduction_mb":
//                                                   its pixels and libimagequant's working copy, measured; the
//                                                   writer's estimate, "estimated_frame_in_reduction_mb", is at
//                                                   least as much); "pool_pixels_mb" gives the frames' pixels alone
// Each pair of runs must write the same bytes; the benchmark fails otherwise.
#include "BenchmarkSupport.hpp"

#include "Tilvane/Editor/ExportJobs.hpp"
#include "TilvaneCore/FrameReductionBudget.hpp"
#include "TilvaneCore/GIFExporter.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/IndexedFrame.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace tilvane {
namespace {

std::vector<char> fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Whether the pooled and the sequential run wrote the same file; both files are removed. A benchmark
// whose runs differ fails.
bool sameBytesRemoved(benchmark::State& state, const std::filesystem::path& pooled,
                      const std::filesystem::path& sequential)
{
    const bool same = fileBytes(pooled) == fileBytes(sequential);
    std::filesystem::remove(pooled);
    std::filesystem::remove(sequential);
    if (!same) state.SkipWithError("the pooled writer wrote other bytes than the sequential one");
    return same;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double userCPUSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

constexpr int noisyWidth = 1024;
constexpr int noisyHeight = 576;
constexpr int noisyFrameCount = 20;

// The benchmark photo at 1024 px wide, its top 576 rows, each frame with its own noise of up to ±24 per
// channel from one fixed seed.
std::vector<ImagePointer> noisyPhotoFrames()
{
    const ImagePointer photo = ImageFileLoader::load(bench::roadPhoto(), noisyWidth);
    std::mt19937 noise(20240611);
    std::vector<ImagePointer> frames;
    for (int index = 0; index < noisyFrameCount; ++index) {
        std::vector<std::uint8_t> pixels(photo->bytes().begin(),
                                         photo->bytes().begin() + std::ptrdiff_t{noisyWidth} * noisyHeight * 4);
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            for (std::size_t channel = 0; channel < 3; ++channel) {
                const int shifted = pixels[i + channel] + static_cast<int>(noise() % 49) - 24;
                pixels[i + channel] = static_cast<std::uint8_t>(std::clamp(shifted, 0, 255));
            }
        }
        frames.push_back(Image::make(noisyWidth, noisyHeight, std::move(pixels), photo->alphaMode()));
    }
    return frames;
}

bool ffmpegAvailable()
{
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// ffmpeg's own per-frame palettes over the same frames, read from a raw RGBA file written beforehand.
double ffmpegSeconds(const std::vector<ImagePointer>& frames)
{
    const auto raw = bench::scratchFile(".rgba");
    const auto gif = bench::scratchFile("-ffmpeg.gif");
    {
        std::ofstream file(raw, std::ios::binary);
        for (const ImagePointer& frame : frames) {
            file.write(reinterpret_cast<const char*>(frame->bytes().data()),
                       static_cast<std::streamsize>(frame->bytes().size()));
        }
    }
    const std::string command =
        "ffmpeg -v error -y -f rawvideo -pix_fmt rgba -s " + std::to_string(noisyWidth) + "x"
        + std::to_string(noisyHeight) + " -framerate 10 -i '" + raw.string()
        + "' -filter_complex '[0:v]split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1' '"
        + gif.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    std::filesystem::remove(raw);
    std::filesystem::remove(gif);
    return status == 0 ? seconds : -1;
}

constexpr double mebibyte = 1024.0 * 1024.0;

double estimatedMegabytesInReduction(int width, int height)
{
    return static_cast<double>(bytesInReduction(width, height)) / mebibyte;
}

// Times add up over runs; the peak is the highest.
struct WriterMeasure {
    double seconds = 0;
    double peakMegabytes = 0;

    WriterMeasure& operator+=(const WriterMeasure& run)
    {
        seconds += run.seconds;
        peakMegabytes = std::max(peakMegabytes, run.peakMegabytes);
        return *this;
    }
};

void NoisyPhotoFrames(benchmark::State& state)
{
    const std::vector<ImagePointer> frames = noisyPhotoFrames();
    const auto pooledPath = bench::scratchFile("-pooled.gif");
    const auto sequentialPath = bench::scratchFile("-sequential.gif");
    // Without a number of threads the writer sizes its pool itself.
    const auto writeFrames = [&](const std::filesystem::path& path, std::optional<int> reductionThreads) {
        const bench::PeakMemory memory;
        const auto start = std::chrono::steady_clock::now();
        GIFExporter::write(
            path, noisyFrameCount, 0.1, [&](int index) { return frames[static_cast<std::size_t>(index)]; }, {},
            reductionThreads);
        return WriterMeasure{secondsSince(start), memory.peakMegabytes()};
    };
    WriterMeasure pooled;
    WriterMeasure sequential;
    double ffmpeg = 0;
    const bool withFFmpeg = ffmpegAvailable();
    for (auto _ : state) {
        sequential += writeFrames(sequentialPath, 1);
        pooled += writeFrames(pooledPath, std::nullopt);
        if (withFFmpeg) ffmpeg += ffmpegSeconds(frames);
    }
    if (!sameBytesRemoved(state, pooledPath, sequentialPath)) return;
    const auto iterations = static_cast<double>(state.iterations());
    const int threads = GIFExporter::defaultReductionThreads(noisyWidth, noisyHeight);
    state.counters["writer_s"] = pooled.seconds / iterations;
    state.counters["sequential_writer_s"] = sequential.seconds / iterations;
    state.counters["peak_rss_mb"] = pooled.peakMegabytes;
    state.counters["sequential_peak_rss_mb"] = sequential.peakMegabytes;
    state.counters["estimated_pool_frames_mb"] = estimatedMegabytesInReduction(noisyWidth, noisyHeight) * threads;
    state.counters["threads"] = threads;
    if (!withFFmpeg) {
        state.SetLabel("ffmpeg not installed: the comparison with ffmpeg was skipped");
        return;
    }
    if (ffmpeg < 0) {
        state.SkipWithError("ffmpeg failed on the frames");
        return;
    }
    state.counters["ffmpeg_s"] = ffmpeg / iterations;
    state.counters["writer_vs_ffmpeg"] = pooled.seconds / ffmpeg;
    state.counters["sequential_vs_ffmpeg"] = sequential.seconds / ffmpeg;
}
BENCHMARK(NoisyPhotoFrames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The time and CPU of runs add up; the peak is the highest.
struct ExportMeasure {
    WriterMeasure writer;
    double userCPUSeconds = 0;

    ExportMeasure& operator+=(const ExportMeasure& run)
    {
        writer += run.writer;
        userCPUSeconds += run.userCPUSeconds;
        return *this;
    }
};

ExportMeasure runExport(const GIFExportSnapshot& snapshot, std::optional<int> reductionThreads)
{
    const bench::PeakMemory memory;
    const double cpuBefore = userCPUSeconds();
    const auto start = std::chrono::steady_clock::now();
    runGIFExport(
        snapshot, [] { return std::make_unique<ShaderRenderer>(bench::applicationShaders()); }, {}, reductionThreads);
    return {{secondsSince(start), memory.peakMegabytes()}, userCPUSeconds() - cpuBefore};
}

struct FrameInReduction {
    ImagePointer frame;
    double reductionMegabytes = 0;
};

// One frame of the export, and the memory its reduction takes beyond the frame.
FrameInReduction measureFrameInReduction(const GIFExportSnapshot& snapshot)
{
    const ImagePointer image = ImageConverter().upscale(*snapshot.pixelGrid, snapshot.size.width, snapshot.size.height);
    ImagePointer frame = ShaderRenderer(bench::applicationShaders())
                             .render(image, snapshot.configuration, snapshot.screen, 0, {.temporalHistory = true});
    // On a thread of its own that reduces alone, as the writer's workers do.
    double reductionMegabytes = 0;
    std::thread([&] {
        reduceColoursOnThisThreadAlone();
        const bench::PeakMemory memory;
        benchmark::DoNotOptimize(indexFrame(*frame));
        reductionMegabytes = memory.aboveBaseline();
    }).join();
    return {std::move(frame), reductionMegabytes};
}

// The application's export of the heaviest built-in preset, 2048 px and 3 s, from the pixel grid of
// the benchmark photo at 1600 px in PICO-8 blocks of 8.
void HeaviestPresetExport(benchmark::State& state)
{
    const ImagePointer photo = ImageFileLoader::load(bench::roadPhoto(), 1600);
    const ImagePointer grid =
        ImageConverter().renderPixelGrid(*photo, ImagePalette::pico8(), 8, DitherMode::bayer4x4, {}, {});
    const auto configuration = ShaderConfiguration::fromPreset(bench::heaviestPreset(), {.motion = true});
    const auto pooledPath = bench::scratchFile("-pooled.gif");
    const auto sequentialPath = bench::scratchFile("-sequential.gif");
    const auto snapshotFor = [&](const std::filesystem::path& path) {
        return makeGIFSnapshot(grid, photo->width(), photo->height(), 2048, configuration, {}, 3, path);
    };
    const GIFDimensions size = snapshotFor(pooledPath).size;
    const int threads = GIFExporter::defaultReductionThreads(size.width, size.height);
    const FrameInReduction frameInReduction = measureFrameInReduction(snapshotFor(pooledPath));
    ExportMeasure sequential;
    ExportMeasure pooled;
    for (auto _ : state) {
        sequential += runExport(snapshotFor(sequentialPath), 1);
        pooled += runExport(snapshotFor(pooledPath), std::nullopt);
    }
    if (!sameBytesRemoved(state, pooledPath, sequentialPath)) return;
    const double frameMegabytes = static_cast<double>(frameInReduction.frame->bytes().size()) / mebibyte;
    const double inReduction = frameMegabytes + frameInReduction.reductionMegabytes;
    const auto runs = static_cast<double>(state.iterations());
    state.counters["sequential_s"] = sequential.writer.seconds / runs;
    state.counters["pooled_s"] = pooled.writer.seconds / runs;
    state.counters["time_ratio"] = pooled.writer.seconds / sequential.writer.seconds;
    state.counters["sequential_user_cpu_s"] = sequential.userCPUSeconds / runs;
    state.counters["user_cpu_s"] = pooled.userCPUSeconds / runs;
    state.counters["user_cpu_ratio"] = pooled.userCPUSeconds / sequential.userCPUSeconds;
    state.counters["sequential_peak_rss_mb"] = sequential.writer.peakMegabytes;
    state.counters["peak_rss_mb"] = pooled.writer.peakMegabytes;
    state.counters["frame_in_reduction_mb"] = inReduction;
    state.counters["estimated_frame_in_reduction_mb"] = estimatedMegabytesInReduction(size.width, size.height);
    state.counters["pool_frames_mb"] = inReduction * threads;
    state.counters["pool_pixels_mb"] = frameMegabytes * threads;
    state.counters["threads"] = threads;
}
BENCHMARK(HeaviestPresetExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace tilvane

BENCHMARK_MAIN();

#include "TilvaneCore/FrameReductionBudget.hpp"

#include <algorithm>

namespace tilvane {

namespace {

// Peaks of indexFrame measured on its own thread (VmHWM), pixels included: 2048 × 1280 frames took
// 112 MiB as a noisy photo, 124 MiB as noise and 138 MiB with transparent pixels (flattened into a copy
// first), 10 MiB of it the pixels; 1024 × 576 frames 36–42 MiB, 2048 × 2048 ones 117–165 MiB.
// libimagequant keeps a float copy of each pixel (16 bytes) for images of up to 2^22 pixels only and
// converts larger ones row by row, which costs about half as much per pixel: 2560 × 2048 took 60–120 MiB,
// 3840 × 2160 80–160 MiB. Its histogram of the colours, some 20 MiB for a colourful frame whatever its
// size, is the part that does not grow with the pixels.
constexpr std::uint64_t mebibyte = 1024 * 1024;
constexpr std::uint64_t histogramBytes = 24 * mebibyte;
constexpr std::uint64_t bytesPerPixelWithFloatCopy = 48;
constexpr std::uint64_t bytesPerPixelRowByRow = 24;
constexpr std::uint64_t largestFloatCopyPixels = std::uint64_t{1} << 22;

// A quarter of what the system could still give when the export starts: the rest is left to the
// frame being rendered, the renderer, the application and whatever else runs, and to the frames that
// cost more than the estimate.
constexpr std::uint64_t memoryShareDivisor = 4;

constexpr int largestSide = 65535;

}  // namespace

std::uint64_t bytesInReduction(int width, int height) noexcept
{
    const auto side = [](int length) { return static_cast<std::uint64_t>(std::clamp(length, 1, largestSide)); };
    const std::uint64_t pixels = side(width) * side(height);
    const std::uint64_t perPixel =
        pixels <= largestFloatCopyPixels ? bytesPerPixelWithFloatCopy : bytesPerPixelRowByRow;
    return histogramBytes + pixels * perPixel;
}

int reductionWorkers(const ProcessResources& resources, int width, int height) noexcept
{
    const std::uint64_t fitting = resources.availableMemoryBytes / memoryShareDivisor / bytesInReduction(width, height);
    const int processors = std::clamp(resources.processors, 1, maximumReductionWorkers);
    return static_cast<int>(std::clamp<std::uint64_t>(fitting, 1, static_cast<std::uint64_t>(processors)));
}

}  // namespace tilvane

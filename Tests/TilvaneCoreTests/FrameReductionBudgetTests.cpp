#include "TilvaneCore/FrameReductionBudget.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tilvane;

namespace {

constexpr std::uint64_t mebibyte = 1024 * 1024;
constexpr std::uint64_t gibibyte = 1024 * mebibyte;

TEST(FrameReductionBudget, WorkersFollowTheCPUsUpToTheCeilingWithinAQuarterOfTheMemory)
{
    constexpr int largest = std::numeric_limits<int>::max();
    struct Row {
        const char* name;
        ProcessResources resources;
        int width, height;
        int expected;
    };
    // A 2048 × 1280 frame counts 144 MiB, a 2048 × 2048 one 216 MiB, a 4096 × 4096 one 408 MiB.
    const Row rows[] = {
        {"affinity only, plenty of memory", {4, 16 * gibibyte}, 2048, 1280, 4},
        {"a CPU quota of two", {2, 16 * gibibyte}, 2048, 1280, 2},
        {"many CPUs stop at the ceiling", {64, 64 * gibibyte}, 2048, 1280, maximumReductionWorkers},
        {"one CPU", {1, 16 * gibibyte}, 2048, 1280, 1},
        {"low memory: 512 MiB of budget hold three frames", {8, 2 * gibibyte}, 2048, 1280, 3},
        {"a budget smaller than one frame still reduces one", {8, 100 * mebibyte}, 2048, 2048, 1},
        {"nothing available still reduces one", {8, 0}, 2048, 1280, 1},
        {"large frames: 1 GiB of budget holds four", {8, 4 * gibibyte}, 2048, 2048, 4},
        {"huge frames, reduced row by row: two", {8, 4 * gibibyte}, 4096, 4096, 2},
        {"tiny frames: the CPUs decide", {6, 2 * gibibyte}, 16, 16, 6},
        {"tiny frames in little memory: the histogram counts", {8, 256 * mebibyte}, 16, 16, 2},
        {"no CPUs counts as one", {0, 16 * gibibyte}, 2048, 1280, 1},
        {"negative CPUs count as one", {-3, 16 * gibibyte}, 2048, 1280, 1},
        {"sides below one count as one", {8, 16 * gibibyte}, -5, 0, 8},
        {"sides beyond a GIF's count as its largest", {8, 16 * gibibyte}, largest, largest, 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(reductionWorkers(row.resources, row.width, row.height), row.expected) << row.name;
    }
}

TEST(FrameReductionBudget, AFrameCountsNoLessThanItsReductionWasMeasuredToTake)
{
    // Peaks of indexFrame measured alone, pixels included, for the most costly of a noisy photo, noise
    // and a photo with transparent pixels.
    struct Row {
        int width, height;
        std::uint64_t measuredMebibytes;
    };
    const Row rows[] = {
        {1024, 576, 42},   {2048, 1152, 127}, {2048, 1280, 139}, {2048, 2048, 166},
        {2560, 1600, 162}, {2049, 2048, 106}, {2560, 2048, 121}, {3000, 2000, 131},
        {3840, 2160, 160}, {4096, 4096, 187}, {6000, 4000, 207},
    };
    for (const Row& row : rows) {
        EXPECT_GE(bytesInReduction(row.width, row.height), row.measuredMebibytes * mebibyte)
            << row.width << " × " << row.height;
    }
}

}  // namespace

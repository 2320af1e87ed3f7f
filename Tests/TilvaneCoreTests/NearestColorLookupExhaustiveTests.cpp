// Compares the bucketed lookup with the linear search for every 24-bit colour. Slow-ish:
// the work is spread over every processor.
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/NearestColorLookup.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace tilvane;

namespace {

// The first colour (in key order) where the lookup and the linear search differ, or -1.
int firstMismatch(const ImagePalette& palette)
{
    const NearestColorLookup lookup(palette.colors);
    std::atomic<int> nextRed{0};
    std::atomic<int> mismatch{-1};
    const auto work = [&] {
        for (int red = nextRed++; red < 256; red = nextRed++) {
            for (int greenBlue = 0; greenBlue < 65536; ++greenBlue) {
                const RGBColor color{std::uint8_t(red), std::uint8_t(greenBlue >> 8), std::uint8_t(greenBlue)};
                if (lookup.nearest(color) != nearestByLinearSearch(color, palette.colors)) {
                    int expected = -1;
                    mismatch.compare_exchange_strong(expected, red << 16 | greenBlue);
                    return;
                }
            }
        }
    };
    {
        std::vector<std::jthread> threads(std::max(1u, std::thread::hardware_concurrency()));
        for (auto& thread : threads) thread = std::jthread(work);
    }
    return mismatch;
}

}  // namespace

TEST(EveryColour, LookupEqualsLinearSearchForEveryBuiltInNearestPalette)
{
    int nearestPalettes = 0;
    for (const ImagePalette& palette : ImagePalette::all()) {
        if (palette.mapping != PaletteMapping::nearestRGB) continue;
        ++nearestPalettes;
        EXPECT_EQ(firstMismatch(palette), -1) << palette.id;
    }
    EXPECT_EQ(nearestPalettes, 6);
}

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

class EveryColour : public testing::TestWithParam<const ImagePalette* (*)()> {};

// The first colour (in key order) where the lookup and the linear search differ, or -1.
int firstMismatch(const ImagePalette& palette)
{
    const NearestColorLookup lookup(palette.colors);
    std::atomic<int> nextRed{0};
    std::atomic<int> mismatch{-1};
    const auto work = [&] {
        for (int red = nextRed++; red < 256; red = nextRed++) {
            for (int green = 0; green < 256; ++green) {
                for (int blue = 0; blue < 256; ++blue) {
                    const RGBColor color{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                         static_cast<std::uint8_t>(blue)};
                    if (lookup.nearest(color) != nearestByLinearSearch(color, palette.colors)) {
                        int expected = -1;
                        mismatch.compare_exchange_strong(expected, red << 16 | green << 8 | blue);
                        return;
                    }
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

TEST_P(EveryColour, LookupEqualsLinearSearch)
{
    const ImagePalette& palette = *GetParam()();
    ASSERT_EQ(palette.mapping, PaletteMapping::nearestRGB);
    EXPECT_EQ(firstMismatch(palette), -1) << palette.id;
}

INSTANTIATE_TEST_SUITE_P(
    BuiltInNearestPalettes, EveryColour,
    testing::Values([] { return &ImagePalette::nes(); }, [] { return &ImagePalette::doom(); },
                    [] { return &ImagePalette::zxSpectrum(); }, [] { return &ImagePalette::pico8(); },
                    [] { return &ImagePalette::commodore64(); }, [] { return &ImagePalette::cga(); }),
    [](const auto& info) { return info.param()->id; });

TEST(EveryColour, CoversEveryBuiltInNearestPalette)
{
    const auto nearest = std::count_if(ImagePalette::all().begin(), ImagePalette::all().end(),
                                       [](const ImagePalette& p) { return p.mapping == PaletteMapping::nearestRGB; });
    EXPECT_EQ(nearest, 6);
}

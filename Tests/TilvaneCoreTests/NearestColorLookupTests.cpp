// The lookup's results are compared with the linear search in NearestColorLookupExhaustiveTests.cpp
// and its ties through the converter; here: its limits and the process-wide cache.
#include "TilvaneCore/NearestColorLookup.hpp"
#include "TilvaneCore/NearestColorLookupCache.hpp"

#include <gtest/gtest.h>

#include <barrier>
#include <stdexcept>
#include <thread>

using namespace tilvane;

TEST(NearestColorLookup, RefusesNoColoursAndMoreThanSixteenBitIndices)
{
    EXPECT_THROW(NearestColorLookup(std::vector<RGBColor>{}), std::invalid_argument);
    const std::vector<RGBColor> tooMany(NearestColorLookup::mostColors + 1, RGBColor{1, 2, 3});
    EXPECT_THROW(NearestColorLookup{tooMany}, std::invalid_argument);
    EXPECT_EQ(NearestColorLookup(std::vector<RGBColor>{{10, 200, 30}}).nearest({255, 255, 255}),
              (RGBColor{10, 200, 30}));
}

TEST(NearestColorLookupCache, BuildsOncePerPaletteValueAndForgetsTheOldest)
{
    NearestColorLookupCache cache;
    const auto palette = ImagePalette::custom({{1, 2, 3}, {200, 100, 50}});
    const auto first = cache.table(palette);
    EXPECT_EQ(cache.table(ImagePalette::custom(palette.colors)), first);
    auto renamed = palette;
    renamed.name = "Outra";
    EXPECT_NE(cache.table(renamed), first);
    // Old entries give way without breaking lookups in use.
    const auto numbered = [](std::size_t i) {
        return ImagePalette::custom({{std::uint8_t(i), 0, 0}, {0, std::uint8_t(i), 0}});
    };
    for (std::size_t i = 1; i <= NearestColorLookupCache::capacity; ++i) cache.table(numbered(i));
    const auto rebuilt = cache.table(palette);
    EXPECT_NE(rebuilt, first);
    EXPECT_EQ(first->nearest({199, 100, 50}), rebuilt->nearest({199, 100, 50}));
}

TEST(NearestColorLookupCache, ConcurrentFirstRequestsShareOneBuild)
{
    NearestColorLookupCache cache;
    constexpr int threadCount = 8;
    std::barrier start(threadCount);
    std::vector<std::shared_ptr<const NearestColorLookup>> results(threadCount);
    {
        std::vector<std::jthread>
            threads;  // half ask for Doom, half for PICO-8, interleaved, so both builds contend for the lock
        for (int i = 0; i < threadCount; ++i)
            threads.emplace_back([&, i] {
                start.arrive_and_wait(),
                    results[i] = cache.table(i % 2 == 0 ? ImagePalette::doom() : ImagePalette::pico8());
            });
    }
    for (int i = 2; i < threadCount; ++i) EXPECT_EQ(results[i], results[i % 2]) << i;
    EXPECT_NE(results[0], results[1]);
}

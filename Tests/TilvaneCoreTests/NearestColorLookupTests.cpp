#include "TilvaneCore/NearestColorLookup.hpp"
#include "TilvaneCore/NearestColorLookupCache.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <stdexcept>
#include <thread>

using namespace tilvane;

TEST(NearestColorLookup, RefusesNoColoursAndMoreThanSixteenBitIndices)
{
    EXPECT_THROW(NearestColorLookup(std::vector<RGBColor>{}), std::invalid_argument);
    const std::vector<RGBColor> tooMany(NearestColorLookup::mostColors + 1, RGBColor{1, 2, 3});
    EXPECT_THROW(NearestColorLookup{tooMany}, std::invalid_argument);
}

TEST(NearestColorLookup, BucketsCoverTheCubeInKeyOrderWithoutEmptyLists)
{
    const NearestColorLookup lookup(ImagePalette::doom().colors);
    const auto& offsets = lookup.offsets();
    ASSERT_EQ(offsets.size(), NearestColorLookup::bucketCount + 1);
    EXPECT_EQ(offsets.front(), 0);
    EXPECT_EQ(static_cast<std::size_t>(offsets.back()), lookup.candidates().size());
    EXPECT_TRUE(std::adjacent_find(offsets.begin(), offsets.end(), std::greater_equal<>()) == offsets.end());
    EXPECT_EQ(NearestColorLookup::bucketKey({255, 0, 0}), 31u * 1024);
    EXPECT_EQ(NearestColorLookup::bucketKey({8, 16, 255}), 1024u + 2 * 32 + 31);

    // Doom's white stands at 4, 168, 208 and 224: each index is kept, in ascending order.
    const std::size_t key = NearestColorLookup::bucketKey({255, 255, 255});
    const std::vector<std::uint16_t> whiteList(lookup.candidates().begin() + offsets[key],
                                               lookup.candidates().begin() + offsets[key + 1]);
    for (const std::uint16_t index : {4, 168, 208, 224}) EXPECT_EQ(std::count(whiteList.begin(), whiteList.end(), index), 1);
    EXPECT_TRUE(std::is_sorted(whiteList.begin(), whiteList.end()));
}

TEST(NearestColorLookup, OneColourFillsEveryBucket)
{
    const NearestColorLookup lookup(std::vector<RGBColor>{{10, 200, 30}});
    EXPECT_EQ(lookup.candidates(), std::vector<std::uint16_t>(NearestColorLookup::bucketCount, 0));
    EXPECT_EQ(lookup.nearest({255, 255, 255}), (RGBColor{10, 200, 30}));
}

TEST(NearestColorLookup, EquallyNearColoursResolveToTheEarlierOne)
{
    const std::vector<RGBColor> darkFirst{{0, 0, 0}, {2, 0, 0}};
    const std::vector<RGBColor> lightFirst{{2, 0, 0}, {0, 0, 0}};
    EXPECT_EQ(NearestColorLookup(darkFirst).nearest({1, 0, 0}), (RGBColor{0, 0, 0}));
    EXPECT_EQ(NearestColorLookup(lightFirst).nearest({1, 0, 0}), (RGBColor{2, 0, 0}));
    EXPECT_EQ(nearestByLinearSearch({1, 0, 0}, darkFirst), (RGBColor{0, 0, 0}));
    EXPECT_EQ(nearestByLinearSearch({1, 0, 0}, lightFirst), (RGBColor{2, 0, 0}));
}

TEST(NearestColorLookupCache, BuildsOncePerPaletteValue)
{
    NearestColorLookupCache cache;
    const auto palette = ImagePalette::custom({{1, 2, 3}, {200, 100, 50}});
    const auto first = cache.table(palette);
    EXPECT_EQ(cache.table(ImagePalette::custom(palette.colors)), first);
    auto renamed = palette;
    renamed.name = "Outra";
    EXPECT_NE(cache.table(renamed), first);
}

TEST(NearestColorLookupCache, ConcurrentFirstRequestsShareOneBuild)
{
    NearestColorLookupCache cache;
    constexpr int threadCount = 8;
    std::barrier start(threadCount);
    std::vector<std::shared_ptr<const NearestColorLookup>> results(threadCount);
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < threadCount; ++i) {
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                // Half ask for Doom, half for PICO-8, interleaved, so builds of both contend for the lock.
                results[i] = cache.table(i % 2 == 0 ? ImagePalette::doom() : ImagePalette::pico8());
            });
        }
    }
    for (int i = 2; i < threadCount; ++i) EXPECT_EQ(results[i], results[i % 2]) << i;
    EXPECT_NE(results[0], results[1]);
}

TEST(NearestColorLookupCache, OldEntriesGiveWayWithoutBreakingLookupsInUse)
{
    NearestColorLookupCache cache;
    const auto palette = [](std::size_t i) { return ImagePalette::custom({{std::uint8_t(i), 0, 0}, {0, std::uint8_t(i), 0}}); };
    const auto oldest = cache.table(palette(0));
    for (std::size_t i = 1; i <= NearestColorLookupCache::capacity; ++i) cache.table(palette(i));
    const auto rebuilt = cache.table(palette(0));
    EXPECT_NE(rebuilt, oldest);
    EXPECT_EQ(oldest->nearest({1, 0, 0}), rebuilt->nearest({1, 0, 0}));
}

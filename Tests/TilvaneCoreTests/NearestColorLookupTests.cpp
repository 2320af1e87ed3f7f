#include "TilvaneCore/NearestColorLookup.hpp"
#include "TilvaneCore/NearestColorLookupCache.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <stdexcept>
#include <thread>

using namespace tilvane;

namespace {

std::span<const std::uint16_t> bucketList(const NearestColorLookup& lookup, RGBColor color)
{
    const std::size_t key = NearestColorLookup::bucketKey(color);
    return std::span(lookup.candidates()).subspan(static_cast<std::size_t>(lookup.offsets()[key]),
                                                  static_cast<std::size_t>(lookup.offsets()[key + 1] - lookup.offsets()[key]));
}

}  // namespace

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
    for (std::size_t k = 0; k < NearestColorLookup::bucketCount; ++k) {
        ASSERT_LT(offsets[k], offsets[k + 1]) << "bucket " << k;
    }
    EXPECT_EQ(NearestColorLookup::bucketKey({255, 0, 0}), 31u * 1024);
    EXPECT_EQ(NearestColorLookup::bucketKey({8, 16, 255}), 1024u + 2 * 32 + 31);
}

TEST(NearestColorLookup, OneColourFillsEveryBucket)
{
    const NearestColorLookup lookup(std::vector<RGBColor>{{10, 200, 30}});
    EXPECT_EQ(lookup.candidates(), std::vector<std::uint16_t>(NearestColorLookup::bucketCount, 0));
    for (const RGBColor query : {RGBColor{0, 0, 0}, RGBColor{255, 255, 255}, RGBColor{10, 200, 30}}) {
        EXPECT_EQ(lookup.nearest(query), (RGBColor{10, 200, 30}));
    }
}

TEST(NearestColorLookup, RepeatedColoursKeepEveryIndexInAscendingOrder)
{
    const NearestColorLookup lookup(ImagePalette::doom().colors);
    const auto whiteList = bucketList(lookup, RGBColor{255, 255, 255});
    for (const std::uint16_t index : {4, 168, 208, 224}) {
        EXPECT_NE(std::find(whiteList.begin(), whiteList.end(), index), whiteList.end()) << index;
    }
    EXPECT_TRUE(std::is_sorted(whiteList.begin(), whiteList.end()));
    EXPECT_EQ(std::adjacent_find(whiteList.begin(), whiteList.end()), whiteList.end());
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
    EXPECT_EQ(cache.table(palette), first);
    EXPECT_EQ(cache.table(ImagePalette::custom(palette.colors)), first);

    auto renamed = palette;
    renamed.name = "Outra";
    const auto second = cache.table(renamed);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->colors(), first->colors());
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
                EXPECT_EQ(results[i]->nearest({1, 2, 3}), (RGBColor{0, 0, 0}));
            });
        }
    }
    for (int i = 2; i < threadCount; ++i) {
        EXPECT_EQ(results[i], results[i % 2]) << i;
    }
    EXPECT_NE(results[0], results[1]);
}

TEST(NearestColorLookupCache, OldEntriesGiveWayWithoutBreakingLookupsInUse)
{
    NearestColorLookupCache cache;
    const auto palette = [](std::uint8_t i) { return ImagePalette::custom({{i, 0, 0}, {0, i, 0}}); };
    const auto oldest = cache.table(palette(0));
    for (std::size_t i = 1; i <= NearestColorLookupCache::capacity; ++i) cache.table(palette(static_cast<std::uint8_t>(i)));
    const auto rebuilt = cache.table(palette(0));
    EXPECT_NE(rebuilt, oldest);
    EXPECT_EQ(oldest->nearest({1, 0, 0}), rebuilt->nearest({1, 0, 0}));
    EXPECT_EQ(cache.table(palette(NearestColorLookupCache::capacity)), cache.table(palette(NearestColorLookupCache::capacity)));
}

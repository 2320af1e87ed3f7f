// Compares the bucketed lookup with the linear search for every 24-bit colour, spread over every processor.
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/NearestColorLookup.hpp"

#include <gtest/gtest.h>

#include <future>

using namespace tilvane;

namespace {

// How many colours with this red value the lookup maps differently from the linear search.
int mismatchesWithRed(const NearestColorLookup& lookup, const std::vector<RGBColor>& colors, int red)
{
    int mismatches = 0;
    for (int greenBlue = 0; greenBlue < 65536; ++greenBlue) {
        const RGBColor color{std::uint8_t(red), std::uint8_t(greenBlue >> 8), std::uint8_t(greenBlue)};
        mismatches += lookup.nearest(color) != nearestByLinearSearch(color, colors);
    }
    return mismatches;
}

}  // namespace

TEST(EveryColour, LookupEqualsLinearSearchForEveryBuiltInNearestPalette)
{
    int nearestPalettes = 0;
    for (const ImagePalette& palette : ImagePalette::all()) {
        if (palette.mapping != PaletteMapping::nearestRGB) continue;
        ++nearestPalettes;
        const NearestColorLookup lookup(palette.colors);
        std::vector<std::future<int>> reds;
        for (int red = 0; red < 256; ++red)
            reds.push_back(
                std::async(std::launch::async, mismatchesWithRed, std::cref(lookup), std::cref(palette.colors), red));
        for (int red = 0; red < 256; ++red) EXPECT_EQ(reds[std::size_t(red)].get(), 0) << palette.id << ", red " << red;
    }
    EXPECT_EQ(nearestPalettes, 6);
}

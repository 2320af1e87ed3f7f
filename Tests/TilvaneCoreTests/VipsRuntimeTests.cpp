#include "TilvaneCore/VipsRuntime.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

TEST(DecodedInMemory, KeepsThePixelsWithoutLimitingWhatIsMadeOfThem)
{
    ASSERT_TRUE(startVips());
    EXPECT_EQ(decodedInMemory(nullptr), nullptr);
    // A picture still to be computed, whose pixel (x, y) holds x and y.
    VipsImage* coordinates = nullptr;
    ASSERT_EQ(vips_xyz(&coordinates, 8, 4, nullptr), 0);
    const VipsImagePointer decoded = decodedInMemory(VipsImagePointer(coordinates));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(std::pair(vips_image_get_width(decoded.get()), vips_image_get_height(decoded.get())), std::pair(8, 4));
    double* pixel = nullptr;
    int bands = 0;
    ASSERT_EQ(vips_getpoint(decoded.get(), &pixel, &bands, 7, 3, nullptr), 0);
    EXPECT_EQ(std::vector<double>(pixel, pixel + bands), (std::vector<double>{7, 3}));
    g_free(pixel);
    // The single worker is for the decode only; a resize of the copy must not inherit it.
    EXPECT_EQ(vips_image_get_typeof(decoded.get(), VIPS_META_CONCURRENCY), GType{0});
}

#include "TilvaneCore/VipsRuntime.hpp"

#include <gtest/gtest.h>

using namespace tilvane;

namespace {

// A small picture still to be computed, whose pixel (x, y) holds the mean of x and 10 y.
VipsImagePointer rampPipeline()
{
    VipsImage* coordinates = nullptr;
    VipsImage* ramp = nullptr;
    const double scale[] = {1, 10};
    const double offset[] = {0, 0};
    if (vips_xyz(&coordinates, 8, 4, nullptr) != 0) return nullptr;
    const VipsImagePointer owned(coordinates);
    if (vips_linear(coordinates, &ramp, scale, offset, 2, nullptr) != 0) return nullptr;
    const VipsImagePointer linear(ramp);
    VipsImage* sum = nullptr;
    if (vips_bandmean(ramp, &sum, nullptr) != 0) return nullptr;
    return VipsImagePointer(sum);
}

}  // namespace

TEST(DecodedInMemory, KeepsThePixelsWithoutLimitingWhatIsMadeOfThem)
{
    ASSERT_TRUE(startVips());
    const VipsImagePointer decoded = decodedInMemory(rampPipeline());
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(vips_image_get_width(decoded.get()), 8);
    EXPECT_EQ(vips_image_get_height(decoded.get()), 4);
    double* pixel = nullptr;
    int bands = 0;
    ASSERT_EQ(vips_getpoint(decoded.get(), &pixel, &bands, 7, 3, nullptr), 0);
    EXPECT_DOUBLE_EQ(pixel[0], (7 + 30) / 2.0);
    g_free(pixel);
    // The single worker is for the decode only; a resize of the copy must not inherit it.
    EXPECT_EQ(vips_image_get_typeof(decoded.get(), VIPS_META_CONCURRENCY), GType{0});
}

TEST(DecodedInMemory, GivesNothingForNoPipeline)
{
    ASSERT_TRUE(startVips());
    EXPECT_EQ(decodedInMemory(nullptr), nullptr);
}

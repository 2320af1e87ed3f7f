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

// What libvips and the decoders under it say when the machine runs short, against what they say of a damaged file.
TEST(VipsErrors, TellOfExhaustionOnlyWhenMemoryOrAThreadRanOut)
{
    const struct {
        const char* errors;
        bool exhaustion;
    } rows[] = {
        {"vips_tracked: out of memory --- size == 137MB\n", true},
        {"vips_malloc: failed to allocate 8 bytes\n", true},
        {"vips_g_thread_new: unable to create thread \"worker\"\n", true},
        {"VipsJpeg: Insufficient memory (case 4)\n", true},
        {"vipspng: Out of Memory\n", true},
        {"tiff2vips: Not enough memory\n", true},
        {"webpload: VP8_STATUS_OUT_OF_MEMORY\n", true},
        {"vips_image_new_from_file: Cannot allocate memory\n", true},
        {"vips__thread_execute: Resource temporarily unavailable\n", true},
        {"", false},
        {"VipsJpeg: Premature end of JPEG file\n", false},
        {"VipsForeignLoad: \"a.png\" is not a known file format\n", false},
        {"vipspng: libpng read error\n", false},
        {"gifload: Unexpected end of GIF source data\n", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(tellOfExhaustion(row.errors), row.exhaustion) << row.errors;
    }
}

// The buffer is the process's: a message taken once is gone, so that it never speaks for a later failure.
TEST(VipsErrors, TakingThemEmptiesTheBuffer)
{
    ASSERT_TRUE(startVips());
    vips_error("test", "out of memory --- size == %dMB", 64);
    EXPECT_EQ(takeVipsErrors(), "test: out of memory --- size == 64MB\n");
    EXPECT_EQ(takeVipsErrors(), "");
}

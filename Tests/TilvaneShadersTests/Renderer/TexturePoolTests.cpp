// Textures kept between renders, on this thread's own context.
#include "TilvaneShaders/Renderer/GlContext.hpp"
#include "TilvaneShaders/Renderer/TexturePool.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

TEST(TexturePool, handsBackOnlyATextureOfTheSameSizeAndKindAndKeepsAFewSpares)
{
    const GlContext context;  // current on this thread
    TexturePool pool(2);
    GLuint first = 0;
    {
        const auto texture = pool.take(64, 48, TextureFormat::rgba8);
        first = texture->name();
        EXPECT_EQ(pool.spareCount(), 0u) << "in use, not spare";
    }
    EXPECT_EQ(pool.spareCount(), 1u);

    struct Row {
        const char* name;
        int width;
        int height;
        TextureFormat format;
        bool mipmapped;
    };
    const Row others[] = {
        {"wider", 65, 48, TextureFormat::rgba8, false},
        {"taller", 64, 49, TextureFormat::rgba8, false},
        {"float", 64, 48, TextureFormat::rgba16f, false},
        {"mipmapped", 64, 48, TextureFormat::rgba8, true},
    };
    for (const Row& row : others) {
        const auto other = pool.take(row.width, row.height, row.format, row.mipmapped);
        EXPECT_NE(other->name(), first) << row.name;
        EXPECT_EQ(std::tuple(other->width(), other->height(), other->format(), other->mipmapped()),
                  std::tuple(row.width, row.height, row.format, row.mipmapped))
            << row.name;
    }
    EXPECT_EQ(pool.spareCount(), 2u) << "the oldest spares are let go";

    const auto again = pool.take(64, 48, TextureFormat::rgba8);
    EXPECT_EQ(pool.spareCount(), 2u) << "the first texture was the oldest spare and is gone: this one is new";
    const GLuint kept = again->name();
    const auto reused = [&] {
        const auto copy = again;  // the texture stays in use while any pointer to it lives
        return pool.take(64, 48, TextureFormat::rgba8)->name();
    }();
    EXPECT_NE(reused, kept);
    EXPECT_EQ(pool.take(64, 48, TextureFormat::rgba8)->name(), reused) << "the spare just returned is used again";
}

}  // namespace
}  // namespace tilvane

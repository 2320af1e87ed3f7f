#include "TilvaneShaders/Model/EffectTables.hpp"
#include "TilvaneShaders/Renderer/ShaderSources.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The sources read every slot by its name; each name stands for the slot the lists fill.
TEST(EffectTables, ShaderSourcesReadNamedSlotsOnly)
{
    const std::string defines = uniform_slots::glslDefines();
    for (const char* line : {"#define PICTURE_WIDTH parameters[0]\n", "#define CRT_CURVE_X parameters[4]\n",
                             "#define GLITCHY_FRAME parameters[3]\n", "#define PHOSPHOR_BLOOM_STYLE parameters[32]\n",
                             "#define BLUR_HALATION parameters[5]\n", "#define BEZEL_CURVATURE parameters[9]\n"}) {
        EXPECT_EQ(occurrences(defines, line), 1u) << line;
    }
    EXPECT_EQ(occurrences(defines, "PICTURE_HEIGHT"), 1u);
    const std::string sources = loadShaderSources(ShaderBundle(TILVANE_SHADERS_BUNDLE));
    EXPECT_EQ(occurrences(sources, "parameters["), 0u);
    EXPECT_GT(occurrences(sources, "PHOSPHOR_BACKGROUND_B"), 0u);
}

}  // namespace
}  // namespace tilvane

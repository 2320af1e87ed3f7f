#include "ProbeBundle.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

namespace tilvane::testing {

std::string probeSources()
{
    std::ifstream file(TILVANE_PROBE_SHADERS, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " TILVANE_PROBE_SHADERS);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

ShaderBundle writeShaderBundle(const std::filesystem::path& root, const std::string& crtEffects)
{
    const ShaderBundle bundle(root);
    std::filesystem::create_directories(bundle.shadersFolder());
    for (const char* name : {"CRTEffects", "RealisticPhosphor", "MonitorBezel", "ScreenEffects"}) {
        std::ofstream file(bundle.shadersFolder() / (std::string(name) + ".glsl"), std::ios::binary | std::ios::trunc);
        file << (std::string(name) == "CRTEffects" ? crtEffects : "// nothing here\n");
    }
    return bundle;
}

std::filesystem::path scratchFolder(const std::string& name)
{
    // CTest runs every test case in a process of its own, several at once, and the cases of one
    // fixture ask for the same names: each process gets a folder of its own, removed when it ends.
    static const struct ProcessFolder {
        std::filesystem::path path =
            std::filesystem::path(TILVANE_TEST_OUTPUT_DIR) / "scratch" / std::to_string(::getpid());
        ~ProcessFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } processFolder;
    const auto folder = processFolder.path / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

Pixel quadAt(const Image& image, int quad, int y)
{
    const auto first = pixelAt(image, quad * 2, y);
    return {first[0], first[1], first[2], pixelAt(image, quad * 2 + 1, y)[0]};
}

float probedSlot(const Image& image, int firstRow, int slot)
{
    const auto low = pixelAt(image, slot, firstRow);
    const auto high = pixelAt(image, slot, firstRow + 1);
    const std::uint32_t bits =
        std::uint32_t{low[0]} | std::uint32_t{low[1]} << 8 | std::uint32_t{low[2]} << 16 | std::uint32_t{high[0]} << 24;
    return std::bit_cast<float>(bits);
}

std::vector<float> probedSlots(const Image& image, int firstRow, std::size_t count)
{
    std::vector<float> values;
    for (std::size_t slot = 0; slot < count; ++slot)
        values.push_back(probedSlot(image, firstRow, static_cast<int>(slot)));
    return values;
}

ImagePointer probePicture()
{
    return makePicture(probeWidth, probeHeight, [](int x, int y) {
        return Pixel{std::uint8_t(3 + x), std::uint8_t(7 + y), 90, 255};
    });
}

ShaderRendererErrorCase failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ShaderRendererError& error) {
        return error.errorCase();
    }
    ADD_FAILURE() << "no ShaderRendererError was thrown";
    return ShaderRendererErrorCase::unavailable;
}

}  // namespace tilvane::testing

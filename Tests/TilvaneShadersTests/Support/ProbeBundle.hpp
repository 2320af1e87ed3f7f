#pragma once

#include "TestCard.hpp"  // Image, Pixel

#include "TilvaneShaders/Model/ShaderConfiguration.hpp"
#include "TilvaneShaders/Renderer/ShaderRendererError.hpp"
#include "TilvaneShaders/ShaderBundle.hpp"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tilvane::testing {

// Rows where each probe writes its float list: slot x at column x, its low 24 bits in the
// first row, its high 8 bits and the bezel flag (× 255) in the second.
inline constexpr int effectProbeRow = 0;    // every effect pass and the phosphor composite
inline constexpr int emissionProbeRow = 2;  // phosphor composite: what the emission holds
inline constexpr int bloomProbeRow = 3;     // phosphor composite: what the quarter textures hold,
                                            // four values in two pixels (alpha is the picture's)
inline constexpr int screenProbeRow = 4;    // screen-wide pass
inline constexpr int bezelProbeRow = 6;     // bezel pass; row 8 holds the screen's top mipmap
inline constexpr int probeHeight = 12;
inline constexpr int probeWidth = 40;

// Shader sources (Support/ProbeShaders.glsl) that draw no look but write out what they receive: their float lists, the
// bezel flag, what each texture unit holds and the sizes of the quarter textures. Every other
// pixel passes texture 0 through. The excitation stage counts frames: red is the previous
// emission's red + 1 when the previous frame is known (else 1), green the previous emission's
// red read without that gate, blue the source's red.
std::string probeSources();

// Writes a shader bundle at root whose CRTEffects source is `crtEffects` and whose other
// three sources are empty. Returns the bundle.
ShaderBundle writeShaderBundle(const std::filesystem::path& root, const std::string& crtEffects);

// A folder for one test's files under the build folder, emptied first; private to the running
// test process and removed when it ends.
std::filesystem::path scratchFolder(const std::string& name);

// The float a probe wrote for `slot` in the rows starting at firstRow.
float probedSlot(const Image& image, int firstRow, int slot);
inline Pixel pixelAt(const Image& image, int x, int y)
{
    const auto* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}
// The bezel flag a probe wrote with its list.
inline float probedBezelFlag(const Image& image, int firstRow)
{
    return pixelAt(image, 0, firstRow + 1)[1] / 255.0f;
}
// The four values a probe wrote at quad index `quad` of a row, two pixels each.
Pixel quadAt(const Image& image, int quad, int y);

// The floats a probe wrote for slots 0 ..< count.
std::vector<float> probedSlots(const Image& image, int firstRow, std::size_t count);

// An opaque probeWidth × probeHeight picture whose red channel is 3 + x and green 7 + y.
ImagePointer probePicture();

inline ShaderConfiguration configurationOf(std::vector<ShaderPass> passes, bool motion = false, bool bezel = false)
{
    return ShaderConfiguration{std::move(passes), motion, BezelSettings{.isOn = bezel}};
}
// An active pass at full intensity.
inline ShaderPass activePass(const char* effect, ShaderPass::Settings settings = {})
{
    return ShaderPass(effect, 1, std::move(settings), true);
}

// The case of the ShaderRendererError the call throws; a test failure if it throws none.
ShaderRendererErrorCase failureOf(const std::function<void()>& call);

}  // namespace tilvane::testing

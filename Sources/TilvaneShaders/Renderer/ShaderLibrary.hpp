#pragma once

#include "TilvaneShaders/Renderer/GlObjects.hpp"

#include <map>
#include <span>
#include <string>
#include <string_view>

namespace tilvane {

// The fragment functions the renderer draws with, and the format of the texture each writes.
struct PipelineRow {
    const char* function;
    bool writesFloat;  // RGBA 16-bit float target instead of RGBA 8-bit
};

inline constexpr PipelineRow pipelineTable[] = {
    {"crtFragment", false},           {"negativeFragment", false},          {"mnoiseFragment", false},
    {"glitchyFragment", false},       {"crtLottesFragment", false},         {"phosphorExcitationFragment", true},
    {"phosphorBlurFragment", true},   {"phosphorCompositeFragment", false}, {"monitorBezelFragment", false},
    {"screenEffectsFragment", false},
};

// Room in the float list every fragment function receives; the longest list is shorter.
inline constexpr int parameterCapacity = 64;

// One linked program: the shared vertex function with one fragment function.
struct ShaderProgram {
    GlProgramName name;
    GLint parameters = -1;  // location of the float list
    GLint bezelFlag = -1;
};

// Every program of the pipeline table, compiled from the joined shader sources with the
// renderer's prelude (uniform declarations) and a generated main per function.
class ShaderLibrary {
public:
    // Throws ShaderRendererError::missingResources when fullscreenVertex or a fragment
    // function of the table is not defined, ShaderCompileError with the compiler's log
    // when the sources do not compile or link.
    explicit ShaderLibrary(const std::string& sources);

    // Null when the library has no program for the function.
    const ShaderProgram* program(std::string_view function) const;

private:
    std::map<std::string, ShaderProgram, std::less<>> programs_;
};

}  // namespace tilvane

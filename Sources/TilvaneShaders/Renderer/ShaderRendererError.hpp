#pragma once

#include "TilvaneCore/EnumeratedError.hpp"

#include <stdexcept>
#include <string>

namespace tilvane {

enum class ShaderRendererErrorCase {
    unavailable,
    missingResources,
    invalidImage,
    renderFailed,
};

const char* message(ShaderRendererErrorCase errorCase) noexcept;

using ShaderRendererError = EnumeratedError<ShaderRendererErrorCase>;

// renderFailed because OpenGL reported an error for work handed to it: the frame's GPU work did not complete. Only
// this failure costs the renderer its phosphor history; any other leaves the afterglow of the last completed frame.
class GpuWorkError : public ShaderRendererError {
public:
    GpuWorkError() noexcept : ShaderRendererError(ShaderRendererErrorCase::renderFailed) {}
};

// A shader source that the OpenGL compiler or linker refused; what() carries its log.
class ShaderCompileError : public std::runtime_error {
public:
    ShaderCompileError(const std::string& functionName, const std::string& log);

    const std::string& functionName() const noexcept { return functionName_; }
    const std::string& log() const noexcept { return log_; }

private:
    std::string functionName_;
    std::string log_;
};

}  // namespace tilvane

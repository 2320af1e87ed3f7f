#include "TilvaneShaders/ShaderBundle.hpp"

#include <system_error>
#include <utility>

namespace tilvane {

namespace {

std::filesystem::path applicationBundleRoot()
{
    std::error_code error;
    const auto executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return executable.parent_path().parent_path() / "Resources" / ShaderBundle::folderName;
}

}  // namespace

ShaderBundle::ShaderBundle(std::filesystem::path root) : root_(std::move(root)) {}

const ShaderBundle& ShaderBundle::application()
{
    static const ShaderBundle bundle(applicationBundleRoot());
    return bundle;
}

std::filesystem::path ShaderBundle::resourcesFolder() const
{
    return root_ / "Resources";
}

std::filesystem::path ShaderBundle::shadersFolder() const
{
    return resourcesFolder() / "Shaders";
}

std::filesystem::path ShaderBundle::presetsFile() const
{
    return resourcesFolder() / "ZentorialPresets.json";
}

}  // namespace tilvane

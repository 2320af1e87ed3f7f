#include "TilvaneShaders/Model/ShaderParameter.hpp"

#include "TilvaneShaders/Model/EffectTables.hpp"

namespace tilvane {

std::vector<ShaderParameter> ShaderParameter::forEffect(std::string_view effectName)
{
    std::vector<ShaderParameter> parameters;
    for (const UniformSlot& row : uniform_slots::forEffect(effectName)) {
        if (!row.offered()) {
            continue;
        }
        // A colour's key names its three channels: drop the red slot's "R".
        const auto key = row.kind == Kind::color ? row.key.substr(0, row.key.size() - 1) : row.key;
        parameters.push_back({std::string(key), std::string(row.label), row.range, row.standard, row.kind});
    }
    return parameters;
}

}  // namespace tilvane

#include "TilvaneShaders/Model/EffectTables.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include <set>

namespace tilvane::uniform_slots {

std::span<const UniformSlot> forEffect(std::string_view effectName) noexcept
{
    if (effectName == effect::realisticPhosphor) return realisticPhosphor;
    if (effectName == effect::crt) return crt;
    if (effectName == effect::glitchy) return glitchy;
    if (effectName == effect::crtLottes) return crtLottes;
    if (effectName == effect::mnoise) return mnoise;
    return negative;
}

std::string glslDefines()
{
    std::string defines;
    std::set<std::string_view> written;
    for (const auto table : all) {
        for (const UniformSlot& row : table) {
            if (written.insert(row.name).second) {
                defines.append("#define ").append(row.name).append(" parameters[");
                defines.append(std::to_string(row.slot)).append("]\n");
            }
        }
    }
    return defines;
}

}  // namespace tilvane::uniform_slots

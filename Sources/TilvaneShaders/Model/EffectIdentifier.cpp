#include "TilvaneShaders/Model/EffectIdentifier.hpp"

#include <algorithm>
#include <iterator>

namespace tilvane::effect {

bool isKnown(std::string_view effect) noexcept
{
    return std::find(std::begin(all), std::end(all), effect) != std::end(all);
}

}  // namespace tilvane::effect

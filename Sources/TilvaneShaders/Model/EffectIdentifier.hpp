#pragma once

#include <string_view>

// The effects a shader pass can name. Any other text is a valid `ShaderPass::effect` too: it is
// kept and written back unchanged, but nothing draws it.
namespace tilvane::effect {

inline constexpr std::string_view realisticPhosphor = "realisticPhosphor";
inline constexpr std::string_view crt = "crt";
inline constexpr std::string_view glitchy = "glitchy";
inline constexpr std::string_view crtLottes = "crtLottes";
inline constexpr std::string_view negative = "negative";
inline constexpr std::string_view mnoise = "mnoise";

// Every effect the system knows, in the order the inspector lists them.
inline constexpr std::string_view all[] = {realisticPhosphor, crt, glitchy, crtLottes, negative, mnoise};

bool isKnown(std::string_view effect) noexcept;

}  // namespace tilvane::effect

#include "ShaderParameter.hpp"

#include "TilvaneShaders/Model/EffectIdentifier.hpp"

namespace tilvane {

namespace {

using Kind = ShaderParameter::Kind;

ShaderParameter row(const char* key, const char* label, float lower, float upper, float standard,
                    Kind kind = Kind::number)
{
    return ShaderParameter{key, label, {lower, upper}, standard, kind};
}

std::vector<ShaderParameter> realisticPhosphorParameters()
{
    return {
        row("phosphor", "Fósforo", 0, 1, 0, Kind::color),
        row("background", "Fundo", 0, 1, 0, Kind::color),
        row("virtualRows", "Linhas", 1, 2000, 400),
        row("scanStrength", "Varredura", 0, 1, 0.35f),
        row("bloom", "Brilho", 0, 4, 0.65f),
        row("persistence", "Persistência", 0, 2, 0.12f),
        row("noise", "Ruído", 0, 1, 0.03f),
        row("flicker", "Cintilação", 0, 1, 0.02f),
        row("jitter", "Instabilidade", 0, 1, 0.01f),
        row("curvature", "Curvatura", 0, 1, 0.12f),
        row("rasterMode", "Raster", 0, 3, 1, Kind::raster),
        row("brightness", "Luminosidade", 0, 4, 1.1f),
        row("maskStrength", "Máscara", 0, 1, 0.25f),
        row("rollingStrength", "Faixa móvel", 0, 1, 0.35f),
        row("rollingSpeed", "Velocidade", 0.03f, 0.5f, 0.16f),
        row("overdrive", "Overdrive", 0, 1, 0),
        row("overdriveKnee", "Limiar", 0, 0.8f, 0.2f),
        row("horizontalSync", "HSync", 0, 1, 0),
        row("horizontalSyncSpeed", "Vel. HSync", 0.03f, 0.5f, 0.12f),
        row("horizontalSyncWidth", "Larg. HSync", 0.002f, 0.08f, 0.012f),
        row("bloomStyle", "Halation", 0, 1, 0, Kind::switchValue),
    };
}

std::vector<ShaderParameter> crtParameters()
{
    return {
        row("curveX", "Curva horizontal", 3, 20, 13),
        row("curveY", "Curva vertical", 2.5f, 17, 11),
        row("scanLinesStrength", "Varredura", 0, 1, 0.2f),
        row("apertureGrilleStrength", "Grade", 0, 1, 0.3f),
        row("bloomSpread", "Brilho", 0, 24, 8),
        row("noiseContentStrength", "Ruído", 0, 1, 0.25f),
        row("flickerStrength", "Cintilação", 0, 1, 0.04f),
    };
}

std::vector<ShaderParameter> glitchyParameters()
{
    return {
        row("duration", "Duração", 0.1f, 30, 10),
        row("amount", "Distorção", 0, 1, 0.1f),
    };
}

std::vector<ShaderParameter> crtLottesParameters()
{
    return {
        row("scale", "Escala", 0.1f, 1, 1.0f / 3.0f),
        row("warpStrength", "Curvatura", 0, 2, 1),
        row("minVignette", "Vinheta", 0, 1, 0.5f),
        row("thin", "Traço", 0, 2, 0.75f),
        row("blur", "Foco", -5, 1, -2.75f),
        row("mask", "Máscara", 0, 1, 0.65f),
    };
}

}  // namespace

std::vector<ShaderParameter> ShaderParameter::forEffect(std::string_view effectName)
{
    if (effectName == effect::realisticPhosphor) return realisticPhosphorParameters();
    if (effectName == effect::crt) return crtParameters();
    if (effectName == effect::glitchy) return glitchyParameters();
    if (effectName == effect::crtLottes) return crtLottesParameters();
    return {};
}

}  // namespace tilvane

#include "TilvaneShaders/Model/UniformLists.hpp"

#include <gtest/gtest.h>


namespace tilvane {
namespace {

using List = std::vector<float>;
using Rgb = std::array<float, 3>;

const float nan = std::numeric_limits<float>::quiet_NaN();
const float infinity = std::numeric_limits<float>::infinity();
const Rgb fallbackGrey{22.0f / 255.0f, 23.0f / 255.0f, 24.0f / 255.0f};

ShaderPass passWith(const char* effect, float intensity, ShaderPass::Settings settings = {})
{
    return ShaderPass(effect, intensity, std::move(settings), true);
}

// The golden lists give every key an effect reads a value of its own, so a slot shifted by one
// shows, and add keys of other effects and other letter cases, which must be left out.
TEST(EffectUniforms, CrtGoldenListDefaultsAndMotion)
{
    ShaderPass pass("crt", 0.75f, {{"duration", -1}, {"scale", -1}, {"CurveX", -1}}, true);
    List expected{640, 480, 2.5f, 0.75f};
    for (const char* key : {"curveX",
                            "curveY",
                            "colorFringingSpread",
                            "ghostingSpread",
                            "ghostingStrength",
                            "darkenMix",
                            "vignetteSpread",
                            "vignetteBrightness",
                            "tintR",
                            "tintG",
                            "tintB",
                            "scanLinesStrength",
                            "scanLinesVariance",
                            "scanLinesPeriod",
                            "apertureGrilleStrength",
                            "apertureGrillePeriod",
                            "flickerStrength",
                            "flickerFrequency",
                            "noiseContentStrength",
                            "noiseUniformStrength",
                            "bloomSpread",
                            "bloomStrength",
                            "backgroundOpacity",
                            "maskOutsideBounds"}) {
        expected.push_back(pass.settings[key] = 100.0f + static_cast<float>(expected.size()));
    }
    EXPECT_EQ(uniforms(pass, 640, 480, true, 2.5f), expected);
    EXPECT_EQ(uniforms(passWith("crt", 1), 8, 6, true, 1.5f),
              (List{8,     6,    1.5f,  1, 13,   11, 0.1f,  0.75f, 0.1f,  0.4f,  0.4f, 20,     0.93f, 1,
                    0.96f, 0.2f, 0.35f, 4, 0.3f, 2,  0.04f, 15,    0.25f, 0.25f, 8,    0.004f, 1,     1}));
    // Without motion there is no time (slot 2) and no flicker (slot 20).
    const auto still = uniforms(pass, 8, 6, false, 1.5f);
    EXPECT_EQ((List{still[2], still[20]}), (List{0, 0}));

    // Values outside the inspector's ranges are sent unchanged.
    const auto wild =
        uniforms(passWith("crt", -2, {{"curveX", 1000}, {"scanLinesStrength", -4}, {"curveY", nan}}), 1, 1, true, 0);
    EXPECT_EQ((List{wild[3], wild[4], wild[15]}), (List{-2, 1000, -4}));
    EXPECT_TRUE(std::isnan(wild[5]));
}

TEST(EffectUniforms, OtherEffectsGoldenListsAndGlitchysFrameSlot)
{
    const auto pass = passWith("glitchy", 0.4f, {{"duration", 25}, {"amount", 0.9f}, {"curveX", 7}});
    EXPECT_EQ(uniforms(pass, 320, 200, true, 1.01f), (List{320, 200, 1.01f, 60, 25, 0.9f, 0.4f}));
    EXPECT_EQ(uniforms(pass, 320, 200, true, 2.5f)[3], 150.0f);
    EXPECT_EQ(uniforms(pass, 320, 200, false, 1.01f), (List{320, 200, 0, 0, 25, 0.9f, 0.4f}));

    const auto lottes = passWith("crtLottes", 0.6f,
                                 {{"scale", 202},
                                  {"warpStrength", 203},
                                  {"minVignette", 204},
                                  {"thin", 205},
                                  {"blur", 206},
                                  {"mask", 207},
                                  {"amount", -1}});
    EXPECT_EQ(uniforms(lottes, 100, 50, true, 9), (List{100, 50, 202, 203, 204, 205, 206, 207, 0.6f}));
    const ShaderPass::Settings foreign{{"curveX", 5}, {"amount", 5}, {"scale", 5}, {"bloom", 5}};
    EXPECT_EQ(uniforms(passWith("mnoise", 0.3f, foreign), 16, 9, true, 4.25f), (List{16, 9, 4.25f, 0.3f}));
    EXPECT_EQ(uniforms(passWith("mnoise", 0.3f, foreign), 16, 9, false, 4.25f), (List{16, 9, 0, 0.3f}));
    EXPECT_EQ(uniforms(passWith("negative", 0.2f, foreign), 16, 9, true, 4.25f), (List{16, 9, 0.2f}));
}

TEST(PhosphorUniforms, GoldenListDefaultsAndTheFramesSlots)
{
    const auto pass = passWith("realisticPhosphor", 0.9f,
                               {{"phosphorR", 305},
                                {"phosphorG", 306},
                                {"phosphorB", 307},
                                {"backgroundR", 308},
                                {"backgroundG", 309},
                                {"backgroundB", 310},
                                {"virtualRows", 311},
                                {"scanStrength", 312},
                                {"bloom", 313},
                                {"persistence", 314},
                                {"noise", 315},
                                {"flicker", 316},
                                {"jitter", 317},
                                {"curvature", 318},
                                {"rasterMode", 319},
                                {"brightness", 320},
                                {"maskStrength", 321},
                                {"rollingStrength", 324},
                                {"rollingSpeed", 325},
                                {"paletteLinked", 326},
                                {"overdrive", 327},
                                {"overdriveKnee", 328},
                                {"horizontalSync", 329},
                                {"horizontalSyncSpeed", 330},
                                {"horizontalSyncWidth", 331},
                                {"bloomStyle", 332},
                                {"phosphor", -1},
                                {"curveX", -1}});
    // Slots 22 and 23 are the frame's; paletteLinked is never sent.
    EXPECT_EQ(phosphorUniforms(pass, 256, 192, PhosphorFrame{true, 1.25f, true, 0.075f}),
              (List{256, 192, 1.25f, 0.075f, 0.9f, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314, 315, 316,
                    317, 318, 319,   320,    321,  1,   1,   324, 325, 0,   327, 328, 329, 330, 331, 332}));

    const auto standard = passWith("realisticPhosphor", 1, {{"paletteLinked", 1}});
    EXPECT_EQ(phosphorUniforms(standard, 10, 20, PhosphorFrame{false, 3, false, 0.5f}),
              (List{10,  20,    0,     0,     1,     0,     0.8f,  0.4f,  0,     0.02f,  0.09f,
                    400, 0.35f, 0.65f, 0.12f, 0.03f, 0.02f, 0.01f, 0.12f, 1,     1.1f,   0.25f,
                    0,   0,     0.35f, 0.16f, 0,     0,     0.2f,  0,     0.12f, 0.012f, 0}));
    // No elapsed time before a previous frame is known.
    const auto first = phosphorUniforms(standard, 10, 20, PhosphorFrame{true, 3, false, 0.5f});
    EXPECT_EQ((List{first[2], first[3], first[22], first[23]}), (List{3, 0, 1, 0}));
}

TEST(ScreenUniforms, SendEffectiveStrengthsAndTheStoredThickness)
{
    const ScreenSettings screen{0.6f, 0.3f, 0.4f};
    EXPECT_EQ(screenUniforms(screen, std::nullopt, 64, 32), (List{64, 32, 0.6f, 0.3f, 0.4f}));
    const ShaderConfiguration crtWithoutScanlines{{passWith("crt", 1, {{"scanLinesStrength", 0}})}, false, {}};
    EXPECT_EQ(screenUniforms(screen, crtWithoutScanlines, 64, 32), (List{64, 32, 0.6f, 0.3f, 0}));
    EXPECT_EQ(screenUniforms(screen, ShaderConfiguration{{passWith("crtLottes", 1)}, false, {}}, 64, 32),
              (List{64, 32, 0, 0.3f, 0}));
}

TEST(BezelUniforms, GoldenListClampsAndColoursReadFromAHashAndSixHexDigits)
{
    // A depth of 0.25 sits a quarter of the way from the flat frame's 0.96 to the deepest frame's 0.8.
    EXPECT_EQ(
        bezelUniforms(BezelSettings{true, 0.25f, 1.5f, "#336699", 0.75f}, 400, 300),
        (List{400, 300, 0.92f, 400.0f / 300.0f, 0.25f, 0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 0.75f, 1.5f}));
    // Depth, curvature and softness given; the list's inset, depth, softness and curvature (slots 2, 4, 8, 9).
    const std::pair<std::array<float, 3>, List> rows[] = {
        {{2, 1, 0.5f}, {0.8f, 1, 0.5f, 1}},          // deepest frame
        {{-1, 1, 0.5f}, {0.96f, 0, 0.5f, 1}},        // flat frame
        {{nan, nan, nan}, {0.96f, 0, 0, 0}},         // NaN goes to the lower bound
        {{0.5f, -2, 0.5f}, {0.88f, 0.5f, 0.5f, 0}},  // negative curvature
        {{0.5f, 5, 4}, {0.88f, 0.5f, 1, 3}},         // curvature and softness too high
        {{infinity, -infinity, infinity}, {0.8f, 1, 1, 0}}};
    for (const auto& [given, expected] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "depth " << given[0] << ", curvature " << given[1] << ", softness " << given[2]);
        const auto list = bezelUniforms(BezelSettings{true, given[0], given[1], "#161718", given[2]}, 10, 10);
        ASSERT_EQ(list.size(), 10u);
        EXPECT_NEAR(list[2], expected[0], 1e-6f);
        EXPECT_EQ((List{list[4], list[8], list[9]}), (List{expected[1], expected[2], expected[3]}));
    }
    const auto unreadable = bezelUniforms(BezelSettings{true, 0.5f, 1, "#12345", 0.5f}, 2, 1);
    EXPECT_EQ((Rgb{unreadable[5], unreadable[6], unreadable[7]}), fallbackGrey) << "drawn near black";
    const Rgb orange{1, 128.0f / 255.0f, 0};
    EXPECT_EQ(color(" #ff8000\n"), orange);
    EXPECT_EQ(color("#FF8000"), orange);
    EXPECT_EQ(color("\t#00Ff01\r\n"), (Rgb{0, 1, 1.0f / 255.0f}));
    // Unicode white space as well: no-break spaces, line and paragraph separators, ideographic space.
    for (const char* text :
         {"\u00A0#ff8000\u2028", "\u2029\u3000#ff8000\u00A0\n", "\u202F#ff8000\u0085", "\u2003#ff8000"}) {
        EXPECT_EQ(color(text), orange) << '"' << text << '"';
    }
    // Anything that strtoul or a lenient parser would take, and std::from_chars with six digits would not.
    for (const char* text : {"#ff80", "ff8000", "#ff800g", "#ff8000ff", "#ff 800", "#0xff80", "#-ff800", "#+ff800",
                             "# ff800", "", "   ", "vermelho", "\u200B#ff8000", "#ff8000\u2060", "\xA0#ff8000",
                             "#ff8000\xC2"}) {  // no white space, malformed bytes
        EXPECT_EQ(color(text), fallbackGrey) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace tilvane

#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;
using enum PersonalPresetErrorCase;
using Transfer = PersonalPresetTransfer;

TEST(PersonalPresetTransfer, EachDecodeGivesANewIdentityAndTheSameLook)
{
    const auto preset = makePreset("\u3000 Retro\u00A0\n", fullSettings());
    const std::string document = Transfer::encode(preset);
    EXPECT_EQ(document, (nlohmann::json{{"kind", "tilvane-preset"},
                                        {"name", "\u3000 Retro\u00A0\n"},
                                        {"version", 1},
                                        {"visual", toJson(preset.visual)}}
                             .dump(2)));
    const auto first = Transfer::decode(document), second = Transfer::decode(document);
    EXPECT_EQ(first.name, "Retro");
    EXPECT_EQ(first.visual, preset.visual);
    EXPECT_EQ(second.visual, preset.visual);
    EXPECT_NE(first.id, preset.id);
    EXPECT_NE(second.id, first.id);
}

TEST(PersonalPresetTransfer, EncodeRefusesWhatDecodeWouldRefuseUpTo1048576Bytes)
{
    const std::string fitting(Transfer::maximumDocumentSize - Transfer::encode(makePreset("x")).size() + 1, 'x');
    const std::string document = Transfer::encode(makePreset(fitting));
    ASSERT_EQ(document.size(), 1'048'576u);
    EXPECT_EQ(Transfer::decode(document).name, fitting);
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::encode(makePreset(fitting + "x")); }),
              invalidData);
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(document + " "); }), invalidData);
    auto invalidLook = makePreset("Retro");
    invalidLook.visual.pixelSize = 1;
    for (const auto& preset : {makePreset(" \n\t "), makePreset("R\xE9tro"), invalidLook}) {
        EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::encode(preset); }), invalidData)
            << preset.name;
    }
}

// A valid document with an unknown key, changed by `patch` (a null removes a key).
std::string documentWith(const nlohmann::json& patch)
{
    nlohmann::json document{{"kind", "tilvane-preset"},
                            {"version", 1},
                            {"name", "Retro"},
                            {"extra", 1},
                            {"visual", toJson(plainSettings())}};
    document.merge_patch(patch);
    return document.dump();
}

TEST(PersonalPresetTransfer, ChecksKindThenVersionThenContent)
{
    const std::string nested(Transfer::maximumDocumentSize / 2 - 64, '[');
    const std::tuple<const char*, std::string, std::optional<PersonalPresetErrorCase>> rows[] = {
        {"valid", documentWith({{"name", "\u3000Ação\u00A0"}}), std::nullopt},
        {"notJson", "tilvane-preset", invalidData},
        {"kindInCapitals", documentWith({{"kind", "TILVANE-PRESET"}}), invalidData},
        {"kindMissing", documentWith({{"kind", nullptr}}), invalidData},
        {"wrongKindAndVersion", documentWith({{"kind", "preset"}, {"version", 2}}), invalidData},
        {"version2", documentWith({{"version", 2}}), unsupportedVersion},
        {"version2BlankName", documentWith({{"version", 2}, {"name", " "}}), unsupportedVersion},
        {"version2InvalidLook", documentWith({{"version", 2}, {"visual", {{"pixelSize", 41}}}}), unsupportedVersion},
        {"version2UndecodableLook", documentWith({{"version", 2}, {"visual", {{"pixelSize", "8"}}}}), invalidData},
        {"versionFraction", documentWith({{"version", 1.5}}), invalidData},
        {"blankName", documentWith({{"name", " \n"}}), invalidData},
        {"invalidLook", documentWith({{"visual", {{"paletteID", "NES"}}}}), invalidData},
        {"notUtf8", "{\"kind\": \"tilvane-preset\", \"version\": 1, \"name\": \"R\xE9tro\"}", invalidData},
        {"deeplyNested",
         R"({"kind": "tilvane-preset", "version": 1, "name": "R", "visual": )" + nested
             + std::string(nested.size(), ']') + "}",
         invalidData},
    };
    for (const auto& [name, document, expected] : rows) {
        EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(document); }), expected) << name;
    }
}

// A valid document whose look holds `count` passes of `effect`.
std::string documentWithPasses(std::size_t count, const std::string& effect = "crt")
{
    VisualSettings look = plainSettings();
    look.shader = ShaderConfiguration{};
    for (std::size_t index = 0; index < count; ++index) {
        look.shader->passes.emplace_back(effect, 0.5f, ShaderPass::Settings{{"scanLinesStrength", 0.25f}}, true);
    }
    return documentWith({{"visual", toJson(look)}});
}

// What decoding `document` throws: the case of a PersonalPresetError, or the message of an UnknownEffectError.
std::string refusalOf(const std::string& document)
{
    try {
        (void)Transfer::decode(document);
        return "accepted";
    } catch (const PersonalPresetError& error) {
        return error.what();
    } catch (const UnknownEffectError& error) {
        return error.what();
    }
}

TEST(PersonalPresetTransfer, RefusesALookOfTooManyPassesAsInvalid)
{
    const std::string trap = documentWithPasses(5500);
    ASSERT_GT(trap.size(), 600'000u) << "about the size of the document that trapped the window";
    ASSERT_LT(trap.size(), Transfer::maximumDocumentSize);
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(trap); }), invalidData);
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(documentWithPasses(17)); }), invalidData);
    EXPECT_EQ(Transfer::decode(documentWithPasses(16)).visual.shader->passes.size(), 16u);
    auto crowded = makePreset("Lotado");
    crowded.visual = Transfer::decode(documentWithPasses(16)).visual;
    crowded.visual.shader->passes.push_back(crowded.visual.shader->passes.front());
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::encode(crowded); }), invalidData);
}

TEST(PersonalPresetTransfer, NamesAnEffectThisVersionDoesNotKnow)
{
    const std::string suffix = "”, que esta versão do Tilvane não conhece.";
    // Rows: the effect of the document's one pass, what decoding says.
    const std::tuple<std::string, std::string> rows[] = {
        {"crt", "accepted"},
        {"realisticPhosphor", "accepted"},
        {"nao-existe", "O preset usa o efeito “nao-existe" + suffix},
        {"../../etc/passwd", "O preset usa o efeito “../../etc/passwd" + suffix},
        {"CRT", "O preset usa o efeito “CRT" + suffix},
        {"", "O preset usa o efeito “" + suffix},
        {std::string(20, 'a') + std::string(10'000, 'b') + std::string(19, 'c'),
         "O preset usa o efeito “" + std::string(20, 'a') + "…" + std::string(19, 'c') + suffix},
    };
    for (const auto& [effect, expected] : rows) {
        EXPECT_EQ(refusalOf(documentWithPasses(1, effect)), expected) << effect.substr(0, 40);
    }
    auto mixed = nlohmann::json::parse(documentWithPasses(2));
    mixed["visual"]["shader"]["passes"][1]["effect"] = "nao-existe";
    mixed["visual"]["shader"]["passes"][1]["isOn"] = false;
    EXPECT_EQ(refusalOf(mixed.dump()), "O preset usa o efeito “nao-existe" + suffix) << "a pass that is off counts too";
    EXPECT_EQ(refusalOf(documentWithPasses(5500, "nao-existe")), PersonalPresetError(invalidData).what())
        << "an invalid look is refused as such first";
}

}  // namespace
}  // namespace tilvane

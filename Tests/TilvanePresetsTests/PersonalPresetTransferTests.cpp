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

}  // namespace
}  // namespace tilvane

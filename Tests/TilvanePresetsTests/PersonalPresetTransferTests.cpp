#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;
using enum PersonalPresetErrorCase;
constexpr std::size_t limit = PersonalPresetTransfer::maximumDocumentSize;

std::optional<PersonalPresetErrorCase> decodeError(std::string_view document)
{
    return errorCaseOf<PersonalPresetError>([&] { (void)PersonalPresetTransfer::decode(document); });
}

std::optional<PersonalPresetErrorCase> encodeError(const PersonalPreset& preset)
{
    return errorCaseOf<PersonalPresetError>([&] { (void)PersonalPresetTransfer::encode(preset); });
}

TEST(PersonalPresetTransfer, EachDecodeGivesANewIdentityAndTheSameLook)
{
    const auto preset = makePreset("  Retro \n", fullSettings());
    const std::string document = PersonalPresetTransfer::encode(preset);
    EXPECT_TRUE(document.starts_with("{\n  \"kind\": \"tilvane-preset\",\n  \"name\": \"  Retro \\n\",\n")) << document;
    EXPECT_EQ(nlohmann::json::parse(document).dump(2), document) << "pretty-printed with sorted keys";
    EXPECT_EQ(document.find(preset.id.string()), std::string::npos);
    const auto first = PersonalPresetTransfer::decode(document), second = PersonalPresetTransfer::decode(document);
    EXPECT_EQ(first.name, "Retro");
    EXPECT_EQ(first.visual, preset.visual);
    EXPECT_EQ(second.visual, preset.visual);
    EXPECT_NE(first.id, preset.id);
    EXPECT_NE(second.id, first.id);
}

TEST(PersonalPresetTransfer, DocumentsAreLimitedTo1048576BytesBothWays)
{
    const std::size_t shortSize = PersonalPresetTransfer::encode(makePreset("x")).size();
    const std::string fitting(limit - shortSize + 1, 'x');
    const std::string document = PersonalPresetTransfer::encode(makePreset(fitting));
    ASSERT_EQ(document.size(), 1'048'576u);
    EXPECT_EQ(PersonalPresetTransfer::decode(document).name, fitting);
    EXPECT_EQ(encodeError(makePreset(fitting + "x")), invalidData);
    EXPECT_EQ(decodeError(document + " "), invalidData) << "refused before parsing";
}

TEST(PersonalPresetTransfer, EncodeRefusesWhatDecodeWouldRefuse)
{
    auto invalidLook = makePreset("Retro");
    invalidLook.visual.pixelSize = 1;
    for (const auto& preset : {makePreset(" \n\t "), makePreset("R\xE9tro"), invalidLook}) {
        EXPECT_EQ(encodeError(preset), invalidData) << preset.name;
    }
    auto spoiled = makePreset("Retro", fullSettings());
    spoiled.visual.shader->passes[0].intensity = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW((void)PersonalPresetTransfer::encode(spoiled), json::EncodingError);
}

std::string documentText(const nlohmann::json& kind, const nlohmann::json& version, const nlohmann::json& name,
                         const nlohmann::json& visual = toJson(plainSettings()))
{
    nlohmann::json document{{"kind", kind}, {"version", version}, {"name", name}, {"visual", visual}, {"extra", 1}};
    for (const char* key : {"kind", "version", "name", "visual"}) {
        if (document[key].is_null()) document.erase(key);
    }
    return document.dump();
}

TEST(PersonalPresetTransfer, ChecksKindThenVersionThenContent)
{
    const nlohmann::json undecodable{{"paletteID", "nes"}, {"pixelSize", "8"}}, invalid{{"paletteID", "nes"}, {"pixelSize", 41}};
    const std::string nested = std::string(limit / 2 - 64, '[') + std::string(limit / 2 - 64, ']');
    const struct {
        const char* name;
        std::string document;
        std::optional<PersonalPresetErrorCase> expected;
    } rows[] = {
        {"valid", documentText("tilvane-preset", 1, "\u3000Ação\u00A0"), std::nullopt},
        {"notJson", "tilvane-preset", invalidData},
        {"truncated", documentText("tilvane-preset", 1, "Retro").substr(0, 40), invalidData},
        {"kindInCapitals", documentText("TILVANE-PRESET", 1, "Retro"), invalidData},
        {"kindMissing", documentText(nullptr, 1, "Retro"), invalidData},
        {"wrongKindAndVersion", documentText("preset", 2, "Retro"), invalidData},
        {"version2", documentText("tilvane-preset", 2, "Retro"), unsupportedVersion},
        {"version2BlankName", documentText("tilvane-preset", 2, "  "), unsupportedVersion},
        {"version2InvalidLook", documentText("tilvane-preset", 2, "Retro", invalid), unsupportedVersion},
        {"version2UndecodableLook", documentText("tilvane-preset", 2, "Retro", undecodable), invalidData},
        {"versionFraction", documentText("tilvane-preset", 1.5, "Retro"), invalidData},
        {"nameMissing", documentText("tilvane-preset", 1, nullptr), invalidData},
        {"blankName", documentText("tilvane-preset", 1, " \n"), invalidData},
        {"invalidLook", documentText("tilvane-preset", 1, "Retro", invalid), invalidData},
        {"notUtf8", "{\"kind\": \"tilvane-preset\", \"version\": 1, \"name\": \"R\xE9tro\"}", invalidData},
        {"deeplyNested", R"({"kind": "tilvane-preset", "version": 1, "name": "R", "visual": )" + nested + "}", invalidData},
    };
    for (const auto& row : rows) EXPECT_EQ(decodeError(row.document), row.expected) << row.name;
}

}  // namespace
}  // namespace tilvane

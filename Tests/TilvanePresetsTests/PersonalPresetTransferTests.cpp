#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "PresetFixtures.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace tilvane {
namespace {

using testing::fullSettings;
using testing::makePreset;
using enum PersonalPresetErrorCase;

void expectRefused(std::string_view document, PersonalPresetErrorCase expected)
{
    try {
        (void)PersonalPresetTransfer::decode(document);
        ADD_FAILURE() << "accepted: " << document.substr(0, 200);
    } catch (const PersonalPresetError& error) {
        EXPECT_EQ(error.errorCase(), expected) << document.substr(0, 200);
    }
}

std::string documentText(const nlohmann::json& kind, const nlohmann::json& version, const nlohmann::json& name,
                         const nlohmann::json& visual = toJson(testing::plainSettings()))
{
    nlohmann::json document = nlohmann::json::object();
    if (!kind.is_null()) document["kind"] = kind;
    if (!version.is_null()) document["version"] = version;
    if (!name.is_null()) document["name"] = name;
    if (!visual.is_null()) document["visual"] = visual;
    return document.dump();
}

TEST(PersonalPresetTransfer, RoundTripGivesANewIdentityAndTheSameLook)
{
    const auto preset = makePreset("  Retro \n", fullSettings());
    const std::string document = PersonalPresetTransfer::encode(preset);
    const auto first = PersonalPresetTransfer::decode(document);
    const auto second = PersonalPresetTransfer::decode(document);
    EXPECT_EQ(first.name, "Retro");
    EXPECT_EQ(first.visual, preset.visual) << "pass ids and every float survive";
    EXPECT_EQ(second.name, first.name);
    EXPECT_EQ(second.visual, first.visual);
    EXPECT_NE(first.id, preset.id);
    EXPECT_NE(second.id, first.id);
}

TEST(PersonalPresetTransfer, DocumentIsPrettyPrintedWithSortedKeysAndNoId)
{
    const auto preset = makePreset("  Retro ", fullSettings());
    const std::string document = PersonalPresetTransfer::encode(preset);
    EXPECT_TRUE(document.starts_with("{\n  \"kind\": \"tilvane-preset\",\n  \"name\": \"  Retro \",\n")) << document;
    const auto parsed = nlohmann::json::parse(document);
    EXPECT_EQ(parsed.dump(2), document) << "every object's keys sorted, two blanks per level";
    std::vector<std::string> keys;
    for (const auto& item : parsed.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"kind", "name", "version", "visual"}));
    EXPECT_EQ(parsed["version"], 1);
    EXPECT_EQ(document.find(preset.id.string()), std::string::npos);
    EXPECT_FALSE(parsed.contains("id"));
}

TEST(PersonalPresetTransfer, EncodeRefusesWhatDecodeWouldRefuse)
{
    auto invalidLook = makePreset("Retro");
    invalidLook.visual.pixelSize = 1;
    for (const auto& preset : {makePreset(""), makePreset(" \n\t "), makePreset("R\xE9tro"), invalidLook,
                               makePreset(std::string(PersonalPresetTransfer::maximumDocumentSize, 'x'))}) {
        try {
            (void)PersonalPresetTransfer::encode(preset);
            ADD_FAILURE() << "encoded " << preset.name.substr(0, 20);
        } catch (const PersonalPresetError& error) {
            EXPECT_EQ(error.errorCase(), invalidData);
        }
    }
    auto spoiled = makePreset("Retro", fullSettings());
    spoiled.visual.shader->passes[0].intensity = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW((void)PersonalPresetTransfer::encode(spoiled), json::EncodingError);
}

TEST(PersonalPresetTransfer, SizeLimitIsTestedBeforeParsing)
{
    const std::string document = PersonalPresetTransfer::encode(makePreset("Retro"));
    std::string padded = document + std::string(PersonalPresetTransfer::maximumDocumentSize - document.size(), ' ');
    ASSERT_EQ(padded.size(), 1'048'576u);
    EXPECT_EQ(PersonalPresetTransfer::decode(padded).name, "Retro");
    padded += ' ';
    expectRefused(padded, invalidData);
}

TEST(PersonalPresetTransfer, EncodeWritesUpToTheSizeLimit)
{
    // The document grows by one byte for every letter of the name.
    const std::size_t shortSize = PersonalPresetTransfer::encode(makePreset("x")).size();
    const std::string fitting(PersonalPresetTransfer::maximumDocumentSize - shortSize + 1, 'x');
    const std::string document = PersonalPresetTransfer::encode(makePreset(fitting));
    ASSERT_EQ(document.size(), 1'048'576u);
    EXPECT_EQ(PersonalPresetTransfer::decode(document).name, fitting);
    try {
        (void)PersonalPresetTransfer::encode(makePreset(fitting + "x"));
        ADD_FAILURE() << "encoded a document of 1,048,577 bytes";
    } catch (const PersonalPresetError& error) {
        EXPECT_EQ(error.errorCase(), invalidData);
    }
}

TEST(PersonalPresetTransfer, NamesAreTrimmedOnDecoding)
{
    EXPECT_EQ(PersonalPresetTransfer::decode(documentText("tilvane-preset", 1, "  Retro \n")).name, "Retro");
    EXPECT_EQ(PersonalPresetTransfer::decode(documentText("tilvane-preset", 1, "\u3000Ação\u00A0")).name, "Ação");
    expectRefused(documentText("tilvane-preset", 1, "   "), invalidData);
    expectRefused(documentText("tilvane-preset", 1, ""), invalidData);
}

struct RefusedDocumentCase {
    const char* name;
    std::string document;
    PersonalPresetErrorCase expected;
};

void PrintTo(const RefusedDocumentCase& row, std::ostream* out) { *out << row.name; }

class PersonalPresetTransferRefusal : public ::testing::TestWithParam<RefusedDocumentCase> {};

TEST_P(PersonalPresetTransferRefusal, ReportsTheFirstFailingCheck)
{
    expectRefused(GetParam().document, GetParam().expected);
}

const nlohmann::json undecodableVisual{{"paletteID", "nes"}, {"pixelSize", "8"}};
const nlohmann::json invalidVisual{{"paletteID", "nes"}, {"pixelSize", 41}};

INSTANTIATE_TEST_SUITE_P(
    Documents, PersonalPresetTransferRefusal,
    ::testing::Values(
        RefusedDocumentCase{"notJson", "tilvane-preset", invalidData},
        RefusedDocumentCase{"empty", "", invalidData},
        RefusedDocumentCase{"array", "[]", invalidData},
        RefusedDocumentCase{"truncated", documentText("tilvane-preset", 1, "Retro").substr(0, 40), invalidData},
        RefusedDocumentCase{"kindInCapitals", documentText("TILVANE-PRESET", 1, "Retro"), invalidData},
        RefusedDocumentCase{"kindMissing", documentText(nullptr, 1, "Retro"), invalidData},
        RefusedDocumentCase{"kindNumber", documentText(1, 1, "Retro"), invalidData},
        RefusedDocumentCase{"wrongKindAndVersion", documentText("preset", 2, "Retro"), invalidData},
        RefusedDocumentCase{"version2", documentText("tilvane-preset", 2, "Retro"), unsupportedVersion},
        RefusedDocumentCase{"version2BlankName", documentText("tilvane-preset", 2, "  "), unsupportedVersion},
        RefusedDocumentCase{"version2InvalidLook", documentText("tilvane-preset", 2, "Retro", invalidVisual),
                            unsupportedVersion},
        RefusedDocumentCase{"version2UndecodableLook", documentText("tilvane-preset", 2, "Retro", undecodableVisual),
                            invalidData},
        RefusedDocumentCase{"versionText", documentText("tilvane-preset", "1", "Retro"), invalidData},
        RefusedDocumentCase{"versionFraction", documentText("tilvane-preset", 1.5, "Retro"), invalidData},
        RefusedDocumentCase{"versionMissing", documentText("tilvane-preset", nullptr, "Retro"), invalidData},
        RefusedDocumentCase{"nameMissing", documentText("tilvane-preset", 1, nullptr), invalidData},
        RefusedDocumentCase{"nameNumber", documentText("tilvane-preset", 1, 7), invalidData},
        RefusedDocumentCase{"visualMissing", documentText("tilvane-preset", 1, "Retro", nullptr), invalidData},
        RefusedDocumentCase{"invalidLook", documentText("tilvane-preset", 1, "Retro", invalidVisual), invalidData},
        RefusedDocumentCase{"notUtf8", "{\"kind\": \"tilvane-preset\", \"version\": 1, \"name\": \"R\xE9tro\"}",
                            invalidData}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PersonalPresetTransfer, DeeplyNestedDocumentIsRefusedWithoutExhaustingTheStack)
{
    const std::size_t depth = PersonalPresetTransfer::maximumDocumentSize / 2 - 64;
    const std::string prefix = R"({"kind": "tilvane-preset", "version": 1, "name": "Retro", "visual": )";
    expectRefused(prefix + std::string(depth, '[') + std::string(depth, ']') + "}", invalidData);
}

TEST(PersonalPresetTransfer, ExtraKeysAreIgnored)
{
    auto document = nlohmann::json::parse(documentText("tilvane-preset", 1, "Retro"));
    document["id"] = "not even a uuid";
    document["author"] = {{"name", "Ana"}};
    EXPECT_EQ(PersonalPresetTransfer::decode(document.dump()).name, "Retro");
}

}  // namespace
}  // namespace tilvane

#include "TilvanePresets/PersonalPresetStore.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "FailingDisk.hpp"
#include "PresetFixtures.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <limits>
#include <system_error>

namespace tilvane {
namespace {

using testing::entryNames;
using testing::makePreset;
using testing::readBytes;
using testing::ScopedEnvironment;
using testing::TemporaryFolder;
using testing::writeBytes;

std::vector<std::string> namesOf(const std::vector<PersonalPreset>& presets)
{
    std::vector<std::string> names;
    for (const auto& preset : presets) names.push_back(preset.name);
    return names;
}

class PersonalPresetStoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / "personal-presets.json"; }
    PersonalPresetStore store() const { return PersonalPresetStore(file()); }

    // Runs `action`, which must fail with `expected`, and checks that the file kept its bytes and
    // nothing else appeared beside it.
    template <typename Action>
    void expectRefusedKeepingFile(Action action, PersonalPresetErrorCase expected)
    {
        const bool existed = std::filesystem::exists(file());
        const std::string before = existed ? readBytes(file()) : std::string();
        try {
            action();
            ADD_FAILURE() << "nothing was refused";
        } catch (const PersonalPresetError& error) {
            EXPECT_EQ(error.errorCase(), expected);
        }
        EXPECT_EQ(std::filesystem::exists(file()), existed);
        if (existed) {
            EXPECT_EQ(testing::checksum(readBytes(file())), testing::checksum(before));
            EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"personal-presets.json"});
        }
    }

    TemporaryFolder folder_;
};

TEST_F(PersonalPresetStoreTest, NoFileIsAnEmptyListAndCreatesNothing)
{
    const PersonalPresetStore nested(folder_.path() / "missing" / "personal-presets.json");
    EXPECT_TRUE(nested.load().empty());
    expectRefusedKeepingFile([&] { nested.remove(Uuid::random()); }, PersonalPresetErrorCase::missingPreset);
    EXPECT_TRUE(entryNames(folder_.path()).empty());
}

TEST_F(PersonalPresetStoreTest, SavesAndLoadsTheListInOrder)
{
    const std::vector<PersonalPreset> presets{makePreset("  Retro", testing::fullSettings()), makePreset("Noite\n"),
                                              makePreset("Âmbar 😀")};
    store().save(presets);
    EXPECT_EQ(store().load(), presets);

    const std::string bytes = readBytes(file());
    EXPECT_EQ(bytes.find('\n'), std::string::npos) << "written compact";
    const auto document = nlohmann::json::parse(bytes);
    EXPECT_EQ(document.size(), 2u);
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["presets"][0]["id"], presets[0].id.string());
    EXPECT_EQ(document["presets"][0]["name"], "  Retro");
    EXPECT_EQ(document["presets"][0].size(), 3u);
}

TEST_F(PersonalPresetStoreTest, EmptyListIsWrittenAsAnEmptyArray)
{
    store().save({makePreset("Retro")});
    store().save({});
    EXPECT_EQ(nlohmann::json::parse(readBytes(file())), (nlohmann::json{{"version", 1}, {"presets", nlohmann::json::array()}}));
    EXPECT_TRUE(store().load().empty());
}

TEST_F(PersonalPresetStoreTest, ReadsLowerCaseIdsAndIgnoresExtraKeys)
{
    const auto preset = makePreset("Retro");
    nlohmann::json object = toJson(preset);
    std::string lower = preset.id.string();
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    object["id"] = lower;
    object["extra"] = true;
    writeBytes(file(), nlohmann::json{{"version", 1}, {"presets", nlohmann::json::array({object})}, {"more", 1}}.dump());
    EXPECT_EQ(store().load(), std::vector<PersonalPreset>{preset});
}

// ---- Files that must be refused and left byte for byte as they are.

struct CorruptFileCase {
    const char* name;
    std::function<std::string()> contents;
    PersonalPresetErrorCase expected;
};

void PrintTo(const CorruptFileCase& row, std::ostream* out) { *out << row.name; }

nlohmann::json validPresetJson(const std::string& name = "Retro") { return toJson(makePreset(name)); }

std::string documentWith(const nlohmann::json& version, const std::vector<nlohmann::json>& presets)
{
    return nlohmann::json{{"version", version}, {"presets", nlohmann::json(presets)}}.dump();
}

std::string documentWithPresetKey(const char* key, const nlohmann::json& value)
{
    nlohmann::json preset = validPresetJson();
    preset[key] = value;
    return documentWith(1, {preset});
}

// The rows below spoil one thing each of documents like this one, which loads.
TEST_F(PersonalPresetStoreTest, WellFormedDocumentLoads)
{
    writeBytes(file(), documentWith(1, {validPresetJson("A"), validPresetJson("B")}));
    EXPECT_EQ(namesOf(store().load()), (std::vector<std::string>{"A", "B"}));
    writeBytes(file(), documentWithPresetKey("visual", {{"paletteID", "nes"}, {"pixelSize", 8}}));
    EXPECT_EQ(store().load().size(), 1u);
}

class PersonalPresetStoreCorruptFile : public PersonalPresetStoreTest,
                                       public ::testing::WithParamInterface<CorruptFileCase> {};

TEST_P(PersonalPresetStoreCorruptFile, IsRefusedAndPreserved)
{
    writeBytes(file(), GetParam().contents());
    expectRefusedKeepingFile([&] { store().load(); }, GetParam().expected);
    // Every operation that starts with a load refuses too and writes nothing.
    expectRefusedKeepingFile([&] { store().remove(Uuid::random()); }, GetParam().expected);
    const auto document = PersonalPresetTransfer::encode(makePreset("Novo"));
    expectRefusedKeepingFile([&] { store().importPreset(document); }, GetParam().expected);
}

using enum PersonalPresetErrorCase;

INSTANTIATE_TEST_SUITE_P(
    Files, PersonalPresetStoreCorruptFile,
    ::testing::Values(
        CorruptFileCase{"notJson", [] { return std::string("presets: retro"); }, invalidData},
        CorruptFileCase{"empty", [] { return std::string(); }, invalidData},
        CorruptFileCase{"truncated", [] { auto t = documentWith(1, {validPresetJson()}); return t.substr(0, t.size() / 2); },
                        invalidData},
        CorruptFileCase{"trailingGarbage", [] { return documentWith(1, {validPresetJson()}) + "]"; }, invalidData},
        CorruptFileCase{"version2", [] { return documentWith(2, {validPresetJson()}); }, unsupportedVersion},
        CorruptFileCase{"version0Empty", [] { return documentWith(0, {}); }, unsupportedVersion},
        CorruptFileCase{"version2BadBody", [] { return documentWith(2, {{{"name", "x"}}}); }, invalidData},
        CorruptFileCase{"version2BlankName", [] { return documentWith(2, {validPresetJson("   ")}); }, unsupportedVersion},
        CorruptFileCase{"versionText", [] { return documentWith("1", {validPresetJson()}); }, invalidData},
        CorruptFileCase{"versionFraction", [] { return documentWith(1.5, {validPresetJson()}); }, invalidData},
        CorruptFileCase{"versionHuge", [] { return std::string(R"({"version": 1e30, "presets": []})"); }, invalidData},
        CorruptFileCase{"versionMissing", [] { return nlohmann::json{{"presets", nlohmann::json::array()}}.dump(); },
                        invalidData},
        CorruptFileCase{"presetsMissing", [] { return std::string(R"({"version": 1})"); }, invalidData},
        CorruptFileCase{"presetsNotArray",
                        [] { return nlohmann::json{{"version", 1}, {"presets", validPresetJson()}}.dump(); }, invalidData},
        CorruptFileCase{"topLevelArray", [] { return std::string("[1]"); }, invalidData},
        CorruptFileCase{"duplicateIds",
                        [] {
                            auto first = validPresetJson("A"), second = validPresetJson("B");
                            second["id"] = first["id"];
                            return documentWith(1, {first, second});
                        },
                        invalidData},
        CorruptFileCase{"blankName", [] { return documentWith(1, {validPresetJson(), validPresetJson("   ")}); },
                        invalidData},
        CorruptFileCase{"lineBreakName", [] { return documentWith(1, {validPresetJson("\n\t\u00A0")}); }, invalidData},
        CorruptFileCase{"idNotUuid", [] { return documentWithPresetKey("id", "retro"); }, invalidData},
        CorruptFileCase{"idMissing", [] { return documentWithPresetKey("id", nullptr); }, invalidData},
        CorruptFileCase{"nameNumber", [] { return documentWithPresetKey("name", 3); }, invalidData},
        CorruptFileCase{"visualMissing", [] { return documentWithPresetKey("visual", nullptr); }, invalidData},
        CorruptFileCase{"pixelSizeInvalid",
                        [] { return documentWithPresetKey("visual", {{"paletteID", "nes"}, {"pixelSize", 41}}); },
                        invalidData},
        CorruptFileCase{"pixelSizeFraction",
                        [] { return documentWithPresetKey("visual", {{"paletteID", "nes"}, {"pixelSize", 2.5}}); },
                        invalidData},
        CorruptFileCase{"paletteInCapitals",
                        [] { return documentWithPresetKey("visual", {{"paletteID", "NES"}, {"pixelSize", 8}}); },
                        invalidData},
        CorruptFileCase{"channel256",
                        [] {
                            return documentWithPresetKey(
                                "visual", {{"paletteID", "custom"},
                                           {"pixelSize", 8},
                                           {"customColors", {{{"red", 256}, {"green", 0}, {"blue", 0}},
                                                             {{"red", 1}, {"green", 0}, {"blue", 0}}}}});
                        },
                        invalidData},
        CorruptFileCase{"floatBeyondRange",
                        [] {
                            return documentWithPresetKey(
                                "visual", {{"paletteID", "nes"}, {"pixelSize", 8}, {"screen", {{"glowStrength", 1e40}}}});
                        },
                        invalidData}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PersonalPresetStoreTest, NonUtf8FileIsRefusedAndPreserved)
{
    writeBytes(file(), "{\"version\": 1, \"presets\": [{\"name\": \"R\xE9tro\"}]}");
    expectRefusedKeepingFile([&] { store().load(); }, invalidData);
}

TEST_F(PersonalPresetStoreTest, UnreadableFileIsInvalidData)
{
    std::filesystem::create_directory(file());
    try {
        store().load();
        FAIL() << "a folder in place of the file was read";
    } catch (const PersonalPresetError& error) {
        EXPECT_EQ(error.errorCase(), invalidData);
        EXPECT_STREQ(error.what(), "Arquivo de presets pessoais inválido. O arquivo foi preservado.");
    }
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

TEST_F(PersonalPresetStoreTest, ErrorMessagesAreThoseOfTheSystem)
{
    EXPECT_STREQ(PersonalPresetError(unsupportedVersion).what(),
                 "Versão dos presets pessoais não suportada. O arquivo foi preservado.");
    EXPECT_STREQ(PersonalPresetError(missingPreset).what(), "O preset pessoal não foi encontrado.");
}

TEST_F(PersonalPresetStoreTest, LoadKeepsNamesUntrimmed)
{
    const std::vector<PersonalPreset> presets{makePreset("  Retro  ")};
    store().save(presets);
    EXPECT_EQ(store().load()[0].name, "  Retro  ");
}

// ---- A save refuses what the next load would refuse, and writes nothing.

TEST_F(PersonalPresetStoreTest, SaveRefusesWhatLoadWouldRefuse)
{
    const std::vector<PersonalPreset> original{makePreset("Retro")};
    store().save(original);

    auto duplicate = makePreset("Outro");
    duplicate.id = original[0].id;
    auto invalidLook = makePreset("Inválido");
    invalidLook.visual.pixelSize = 41;
    const std::vector<std::vector<PersonalPreset>> refused{
        {makePreset("Retro"), makePreset("   ")},
        {makePreset(" \n\t")},
        {makePreset("")},
        {original[0], duplicate},
        {makePreset("Bom"), invalidLook},
        {makePreset("R\xE9tro")},
    };
    for (const auto& presets : refused) {
        expectRefusedKeepingFile([&] { store().save(presets); }, invalidData);
        EXPECT_EQ(store().load(), original);
    }
}

TEST_F(PersonalPresetStoreTest, SaveRefusesFloatsThatCannotBeWritten)
{
    const std::vector<PersonalPreset> original{makePreset("Retro")};
    store().save(original);
    const std::string before = readBytes(file());

    auto spoiled = makePreset("Estragado", testing::fullSettings());
    spoiled.visual.shader->bezel.depth = std::numeric_limits<float>::quiet_NaN();  // not looked at by validate()
    EXPECT_NO_THROW(spoiled.visual.validate());
    EXPECT_THROW(store().save({spoiled}), json::EncodingError);
    spoiled.visual.shader->bezel.depth = 0.5f;
    spoiled.visual.shader->passes[0].settings["x"] = std::numeric_limits<float>::infinity();
    EXPECT_THROW(store().save({spoiled}), json::EncodingError);

    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"personal-presets.json"});
}

TEST_F(PersonalPresetStoreTest, FailedWriteKeepsTheOldFile)
{
    const std::vector<PersonalPreset> original{makePreset("Retro"), makePreset("Noite")};
    store().save(original);
    const std::string before = readBytes(file());
    std::vector<PersonalPreset> many;
    for (int index = 0; index < 40; ++index) many.push_back(makePreset("Preset " + std::to_string(index), testing::fullSettings()));
    {
        testing::FileSizeLimit limit(before.size() + 16);
        EXPECT_THROW(store().save(many), std::system_error);
        EXPECT_THROW(store().importPreset(PersonalPresetTransfer::encode(many[0])), std::system_error);
    }
    EXPECT_EQ(testing::checksum(readBytes(file())), testing::checksum(before));
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"personal-presets.json"});
    EXPECT_EQ(store().load(), original);
}

// ---- Removing.

TEST_F(PersonalPresetStoreTest, RemoveReturnsWhatIsNowOnDisk)
{
    const std::vector<PersonalPreset> presets{makePreset("A"), makePreset("B"), makePreset("C")};
    store().save(presets);
    const auto remaining = store().remove(presets[1].id);
    EXPECT_EQ(namesOf(remaining), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(remaining, store().load());
    expectRefusedKeepingFile([&] { store().remove(presets[1].id); }, missingPreset);
}

// ---- Importing.

TEST_F(PersonalPresetStoreTest, ImportRenamesClashingNamesAndPutsThePresetFirst)
{
    struct Case {
        std::vector<std::string> stored;
        std::string imported;
        std::string expected;
    };
    const Case cases[] = {
        {{"retro", "Retro (2)"}, "Retro", "Retro (3)"},
        {{"Retro"}, "Retro (2)", "Retro (2)"},
        {{"Retro", "retro (3)"}, "RETRO", "RETRO (2)"},
        {{"Retro (2)", "Retro (3)"}, "Retro", "Retro"},
        {{"âmbar"}, "ÂMBAR", "ÂMBAR (2)"},
        {{"  Retro"}, "Retro", "Retro"},  // stored names count untrimmed
        {{}, "Retro", "Retro"},
    };
    for (const auto& row : cases) {
        std::vector<PersonalPreset> stored;
        for (const auto& name : row.stored) stored.push_back(makePreset(name));
        store().save(stored);
        const auto document = PersonalPresetTransfer::encode(makePreset(row.imported, testing::fullSettings()));
        const auto presets = store().importPreset(document);
        ASSERT_EQ(presets.size(), stored.size() + 1);
        EXPECT_EQ(presets[0].name, row.expected) << row.imported;
        EXPECT_EQ(std::vector<PersonalPreset>(presets.begin() + 1, presets.end()), stored);
        EXPECT_EQ(presets, store().load());
    }
}

TEST_F(PersonalPresetStoreTest, ImportingTheSameDocumentTwiceGivesTwoPresets)
{
    const PersonalPresetStore nested(folder_.path() / "new" / "personal-presets.json");
    const auto document = PersonalPresetTransfer::encode(makePreset(" Retro "));
    const auto first = nested.importPreset(document);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].name, "Retro");
    const auto second = nested.importPreset(document);
    EXPECT_EQ(namesOf(second), (std::vector<std::string>{"Retro (2)", "Retro"}));
    EXPECT_NE(second[0].id, second[1].id);
}

TEST_F(PersonalPresetStoreTest, RefusedDocumentWritesNothing)
{
    store().save({makePreset("Retro")});
    expectRefusedKeepingFile([&] { store().importPreset("{}"); }, invalidData);
    expectRefusedKeepingFile([&] { store().importPreset(R"({"kind": "tilvane-preset", "version": 2, "name": "x",
        "visual": {"paletteID": "nes", "pixelSize": 8}})"); },
                             unsupportedVersion);
}

// ---- Where the file lives.

TEST(PersonalPresetStoreLocation, DefaultFileIsInTheSupportFolderAtCreation)
{
    TemporaryFolder folder;
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", (folder.path() / "first" / "").string());
    const PersonalPresetStore before;
    EXPECT_EQ(before.fileURL(), folder.path() / "first" / "personal-presets.json");
    support.set((folder.path() / "second").string());
    const PersonalPresetStore after;
    EXPECT_EQ(after.fileURL(), folder.path() / "second" / "personal-presets.json");
    EXPECT_EQ(before.fileURL(), folder.path() / "first" / "personal-presets.json");

    before.save({makePreset("Retro")});  // creates the missing folder
    EXPECT_EQ(namesOf(before.load()), std::vector<std::string>{"Retro"});
    EXPECT_TRUE(after.load().empty());
}

// Changes the working folder for the scope.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~ScopedWorkingFolder() { std::filesystem::current_path(previous_); }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
};

TEST(PersonalPresetStoreLocation, WithoutAnAbsoluteFolderEveryOperationFails)
{
    TemporaryFolder folder;
    ScopedWorkingFolder working(folder.path());
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", "relative");
    ScopedEnvironment dataHome("XDG_DATA_HOME", "data");
    ScopedEnvironment home("HOME", std::nullopt);

    const PersonalPresetStore store;
    EXPECT_TRUE(store.fileURL().empty());
    const auto document = PersonalPresetTransfer::encode(makePreset("Retro"));
    EXPECT_THROW(store.load(), SupportDirectoryError);
    EXPECT_THROW(store.save({makePreset("Retro")}), SupportDirectoryError);
    EXPECT_THROW(store.remove(Uuid::random()), SupportDirectoryError);
    EXPECT_THROW(store.importPreset(document), SupportDirectoryError);
    EXPECT_TRUE(entryNames(folder.path()).empty()) << "nothing is written relative to the working folder";
}

}  // namespace
}  // namespace tilvane

#include "TilvanePresets/PersonalPresetStore.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

namespace tilvane {
namespace {

using namespace testing;
using enum PersonalPresetErrorCase;

std::string documentWith(const nlohmann::json& version, const std::vector<nlohmann::json>& presets)
{
    return nlohmann::json{{"version", version}, {"presets", presets}}.dump();
}

nlohmann::json presetJson(const std::string& name, const nlohmann::json& visual = toJson(plainSettings()))
{
    return {{"id", Uuid::random().string()}, {"name", name}, {"visual", visual}};
}

using PersonalPresetStoreTest = StoreTest<PersonalPresetStore>;

TEST_F(PersonalPresetStoreTest, SavesTheListInOrderAsCompactVersionedJson)
{
    EXPECT_TRUE(store().load().empty());
    EXPECT_TRUE(contents().empty()) << "loading creates nothing";
    const std::vector presets{makePreset("  Retro", fullSettings()), makePreset("Noite\n"), makePreset("Âmbar 😀")};
    store().save(presets);
    EXPECT_EQ(store().load(), presets);
    const nlohmann::json written{{"version", 1},
                                 {"presets", {toJson(presets[0]), toJson(presets[1]), toJson(presets[2])}}};
    EXPECT_EQ(readBytes(file()), written.dump());
    EXPECT_EQ(
        written["presets"][1],
        (nlohmann::json{{"id", presets[1].id.string()}, {"name", "Noite\n"}, {"visual", toJson(plainSettings())}}));
}

// A look whose shader holds `count` passes.
nlohmann::json lookWithPasses(std::size_t count)
{
    VisualSettings look = plainSettings();
    look.shader = ShaderConfiguration{};
    while (look.shader->passes.size() < count) look.shader->passes.emplace_back("crt", 1, ShaderPass::Settings{}, true);
    return toJson(look);
}

TEST_F(PersonalPresetStoreTest, CorruptFilesAreRefusedAndPreservedByEveryOperation)
{
    auto first = presetJson("A"), duplicate = presetJson("B");
    duplicate["id"] = first["id"];
    const std::tuple<const char*, std::string, PersonalPresetErrorCase> rows[] = {
        {"notJson", "presets: retro", invalidData},
        {"blank", " \n", invalidData},
        {"truncated", documentWith(1, {first}).substr(0, 40), invalidData},
        {"version2", documentWith(2, {first}), unsupportedVersion},
        {"version2UndecodableBody", documentWith(2, {{{"name", "x"}}}), invalidData},
        {"version2BlankName", documentWith(2, {presetJson("   ")}), unsupportedVersion},
        {"versionFraction", documentWith(1.5, {}), invalidData},
        {"duplicateIds", documentWith(1, {first, duplicate}), invalidData},
        {"blankName", documentWith(1, {first, presetJson("\n\t\u00A0")}), invalidData},
        {"invalidLook", documentWith(1, {presetJson("R", {{"paletteID", "nes"}, {"pixelSize", 41}})}), invalidData},
        {"paletteInCapitals", documentWith(1, {presetJson("R", {{"paletteID", "NES"}, {"pixelSize", 8}})}),
         invalidData},
        {"tooManyPasses", documentWith(1, {first, presetJson("Armadilha", lookWithPasses(5500))}), invalidData},
    };
    const auto document = PersonalPresetTransfer::encode(makePreset("Novo"));
    for (const auto& [name, contents, expected] : rows) {
        SCOPED_TRACE(name);
        writeBytes(file(), contents);
        expectRefused([&] { store().load(); }, expected);
        expectRefused([&] { store().remove(Uuid::random()); }, expected);
        expectRefused([&] { store().importPreset(document); }, expected);
    }
    EXPECT_STREQ(PersonalPresetError(unsupportedVersion).what(),
                 "Versão dos presets pessoais não suportada. O arquivo foi preservado.");
}

// An empty file (another program's, or one a full disk left) holds no preset: it reads as the empty list, is left as it
// is by reading and by a refused change, and the next change writes a valid file in its place.
TEST_F(PersonalPresetStoreTest, AnEmptyFileReadsAsNoPresetsUntilAChangeReplacesIt)
{
    const auto created = makePreset("Criado", fullSettings());
    const auto document = PersonalPresetTransfer::encode(makePreset("Importado"));
    const std::pair<const char*, std::function<std::vector<PersonalPreset>()>> changes[] = {
        {"update", [&] { return store().update(addingFirst(created)); }},
        {"save", [&] { return (store().save({created}), std::vector{created}); }},
        {"importPreset", [&] { return store().importPreset(document); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        writeBytes(file(), "");
        EXPECT_TRUE(store().load().empty());
        expectRefused([&] { store().remove(created.id); }, missingPreset);
        EXPECT_EQ(readBytes(file()), "") << "reading leaves the file as it is";

        const auto written = change();
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(store().load(), written);
        EXPECT_EQ(nlohmann::json::parse(readBytes(file()))["version"], 1);
    }
}

TEST_F(PersonalPresetStoreTest, RefusedOrFailedSavesWriteNothing)
{
    const std::vector original{makePreset("Retro")};
    store().save(original);
    auto duplicate = makePreset("Outro");
    duplicate.id = original[0].id;
    auto invalidLook = makePreset("Inválido");
    invalidLook.visual.pixelSize = 41;
    for (const auto& presets : std::vector<std::vector<PersonalPreset>>{{makePreset("Retro"), makePreset(" \n\t")},
                                                                        {original[0], duplicate},
                                                                        {invalidLook},
                                                                        {makePreset("R\xE9tro")}}) {
        expectRefused([&] { store().save(presets); }, invalidData);
    }
    const auto before = contents();
    auto spoiled = makePreset("Estragado", fullSettings());
    spoiled.visual.shader->bezel.depth = std::numeric_limits<float>::quiet_NaN();  // not looked at by validate()
    EXPECT_THROW(store().save({spoiled}), json::EncodingError);
    FileSizeLimit limit(16);
    EXPECT_THROW(store().save({makePreset("Noite")}), std::system_error);
    EXPECT_THROW(store().importPreset(PersonalPresetTransfer::encode(makePreset("Noite"))), std::system_error);
    EXPECT_EQ(contents(), before);
}

TEST_F(PersonalPresetStoreTest, RemoveReturnsWhatIsNowOnDisk)
{
    const std::vector presets{makePreset("A"), makePreset("B"), makePreset("C")};
    store().save(presets);
    EXPECT_EQ(store().remove(presets[1].id), (std::vector{presets[0], presets[2]}));
    EXPECT_EQ(store().load(), (std::vector{presets[0], presets[2]}));
    expectRefused([&] { store().remove(presets[1].id); }, missingPreset);
    EXPECT_STREQ(PersonalPresetError(missingPreset).what(), "O preset pessoal não foi encontrado.");
}

// Where there is no presets file, a change refused before it writes leaves nothing behind: no support folder, no
// lock file. The first import that succeeds makes them.
TEST_F(PersonalPresetStoreTest, ChangesRefusedWithoutAFileMakeNoFolderAndNoLockFile)
{
    const PersonalPresetStore missingFolder(folder_.path() / "Tilvane" / "personal-presets.json");
    auto otherVersion = nlohmann::json::parse(PersonalPresetTransfer::encode(makePreset("Retro")));
    otherVersion["version"] = 2;
    const std::tuple<const char*, std::function<void(const PersonalPresetStore&)>, PersonalPresetErrorCase> rows[] = {
        {"remove", [](const auto& store) { store.remove(Uuid::random()); }, missingPreset},
        {"import of an invalid document", [](const auto& store) { store.importPreset("{}"); }, invalidData},
        {"import of another version", [&](const auto& store) { store.importPreset(otherVersion.dump()); },
         unsupportedVersion},
    };
    for (const auto& [name, change, expected] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { change(missingFolder); }), expected);
        EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { change(store()); }), expected);
        EXPECT_TRUE(contents().empty()) << "no folder and no lock file are made";
    }
    const auto imported = missingFolder.importPreset(PersonalPresetTransfer::encode(makePreset("Retro")));
    EXPECT_EQ(missingFolder.load(), imported);
    EXPECT_EQ(folderContents(missingFolder.fileURL().parent_path()).size(), 2u) << "the file and its lock file";
}

TEST_F(PersonalPresetStoreTest, UpdateChangesTheListAsStoredAndWritesNothingWhenTheChangeFails)
{
    const std::vector stored{makePreset("A"), makePreset("B")};
    store().save(stored);
    const auto added = makePreset("C", fullSettings());
    const auto written = store().update([&](std::vector<PersonalPreset> presets) {
        EXPECT_EQ(presets, stored);
        presets.push_back(added);
        return presets;
    });
    EXPECT_EQ(written, (std::vector{stored[0], stored[1], added}));
    EXPECT_EQ(store().load(), written);

    const auto before = contents();
    EXPECT_THROW(store().update([](auto) -> std::vector<PersonalPreset> { throw std::runtime_error("desisti"); }),
                 std::runtime_error);
    expectRefused([&] { store().update(addingFirst(makePreset(" "))); }, invalidData);
    EXPECT_EQ(contents(), before);
}

// The lock file stays for the next write, as an empty file; a folder in its place refuses every write, changing
// nothing, while loading, which takes no lock, still works.
TEST_F(PersonalPresetStoreTest, AFolderInPlaceOfTheLockFileRefusesEveryWrite)
{
    const std::vector stored{makePreset("Retro")};
    store().save(stored);
    const auto lock = StoreLock::lockFileFor(file());
    EXPECT_EQ(lock, folder_.path() / ".personal-presets.json.lock");
    EXPECT_EQ(contents().at(".personal-presets.json.lock"), "");

    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    const auto before = contents();
    const auto document = PersonalPresetTransfer::encode(makePreset("Importado"));
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"save", [&] { store().save({makePreset("Novo")}); }},
        {"update", [&] { store().update(addingFirst(makePreset("Novo"))); }},
        {"remove", [&] { store().remove(stored[0].id); }},
        {"importPreset", [&] { store().importPreset(document); }},
    };
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        const auto error = systemErrorOf(write);
        ASSERT_TRUE(error) << "written without the lock";
        EXPECT_EQ(error->code(), std::errc::is_a_directory);
        EXPECT_TRUE(std::string(error->what()).starts_with("Não foi possível bloquear o arquivo “" + lock.string()))
            << error->what();
        EXPECT_EQ(contents(), before);
    }
    EXPECT_EQ(store().load(), stored);
}

TEST_F(PersonalPresetStoreTest, ImportRenamesClashingNamesAndPutsThePresetFirst)
{
    const std::tuple<std::vector<std::string>, std::string, std::string> rows[] = {
        {{"retro", "Retro (2)"}, "Retro", "Retro (3)"},
        {{"Retro"}, "Retro (2)", "Retro (2)"},
        {{"Retro", "retro (3)"}, "RETRO", "RETRO (2)"},
        {{"Retro (2)"}, "Retro", "Retro"},
        {{"âmbar"}, "ÂMBAR", "ÂMBAR (2)"},
        {{"  Retro"}, "Retro", "Retro"},
        {{}, " Retro\n", "Retro"},
        {{"οδος"}, "ΟΔΟΣ", "ΟΔΟΣ (2)"},
        {{"café"}, "CAFE\u0301", "CAFE\u0301 (2)"},
        {{"CAFE\u0301"}, "café", "café (2)"},
    };
    for (const auto& [names, imported, expected] : rows) {
        std::vector<PersonalPreset> stored;
        for (const auto& name : names) stored.push_back(makePreset(name));
        store().save(stored);
        const auto presets = store().importPreset(PersonalPresetTransfer::encode(makePreset(imported)));
        ASSERT_EQ(presets.size(), stored.size() + 1);
        EXPECT_EQ(presets[0].name, expected) << imported;
        EXPECT_EQ(std::vector(presets.begin() + 1, presets.end()), stored);
        EXPECT_EQ(presets, store().load());
    }
    expectRefused([&] { store().importPreset("{}"); }, invalidData);
}

TEST_F(PersonalPresetStoreTest, ImportRefusesALookOfTooManyPassesAndAnUnknownEffectWritingNothing)
{
    store().save({makePreset("Retro")});
    const auto transferDocument = [](const nlohmann::json& visual) {
        return nlohmann::json{{"kind", "tilvane-preset"}, {"version", 1}, {"name", "Armadilha"}, {"visual", visual}}
            .dump(2);
    };
    expectRefused([&] { store().importPreset(transferDocument(lookWithPasses(5500))); }, invalidData);

    for (const std::string effect : {"nao-existe", "../../etc/passwd"}) {
        auto look = lookWithPasses(1);
        look["shader"]["passes"][0]["effect"] = effect;
        const auto before = storedContents();
        try {
            store().importPreset(transferDocument(look));
            ADD_FAILURE() << effect << " imported";
        } catch (const UnknownEffectError& error) {
            EXPECT_NE(std::string(error.what()).find("“" + effect + "”"), std::string::npos) << error.what();
        }
        EXPECT_EQ(storedContents(), before) << effect;
    }
    EXPECT_EQ(store().load().size(), 1u);
}

TEST(PersonalPresetStoreLocation, FileIsInTheSupportFolderFoundAtCreation)
{
    ScopedEnvironment first("TILVANE_SUPPORT_DIRECTORY", "/tmp/first/");
    const PersonalPresetStore store;
    ScopedEnvironment second("TILVANE_SUPPORT_DIRECTORY", "/tmp/second");
    EXPECT_EQ(store.fileURL(), std::filesystem::path("/tmp/first/personal-presets.json"));
    EXPECT_EQ(PersonalPresetStore().fileURL(), std::filesystem::path("/tmp/second/personal-presets.json"));
    ScopedEnvironment relative("TILVANE_SUPPORT_DIRECTORY", "relative"), dataHome("XDG_DATA_HOME", "data"),
        home("HOME", std::nullopt);
    const PersonalPresetStore nowhere;
    EXPECT_TRUE(nowhere.fileURL().empty());
    EXPECT_THROW(nowhere.load(), SupportDirectoryError);
    EXPECT_THROW(nowhere.save({makePreset("Retro")}), SupportDirectoryError);
    EXPECT_THROW(nowhere.remove(Uuid::random()), SupportDirectoryError);
    EXPECT_THROW(nowhere.importPreset(PersonalPresetTransfer::encode(makePreset("Retro"))), SupportDirectoryError);
}

}  // namespace
}  // namespace tilvane

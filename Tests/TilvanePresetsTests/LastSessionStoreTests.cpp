#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "FailingDisk.hpp"
#include "PresetFixtures.hpp"
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <system_error>

namespace tilvane {
namespace {

using testing::entryNames;
using testing::readBytes;
using testing::ScopedEnvironment;
using testing::TemporaryFolder;
using testing::writeBytes;

LastSession sessionFor(const std::filesystem::path& image)
{
    return LastSession{Url::file(image), testing::fullSettings(), "personal:" + Uuid::random().string(), 4096, 0.25};
}

class LastSessionStoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / "last-session.json"; }
    LastSessionStore store() const { return LastSessionStore(file()); }

    // Runs `action`, which must throw `Error` with `expected`, and checks that the file kept its
    // bytes and nothing appeared beside it.
    template <typename Error, typename Case, typename Action>
    void expectRefusedKeepingFile(Action action, Case expected)
    {
        const std::string before = readBytes(file());
        try {
            action();
            ADD_FAILURE() << "nothing was refused";
        } catch (const Error& error) {
            EXPECT_EQ(error.errorCase(), expected);
        }
        EXPECT_EQ(testing::checksum(readBytes(file())), testing::checksum(before));
        EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"last-session.json"});
    }

    TemporaryFolder folder_;
};

TEST_F(LastSessionStoreTest, NoFileIsNoSessionAndCreatesNothing)
{
    const LastSessionStore nested(folder_.path() / "missing" / "last-session.json");
    EXPECT_EQ(nested.load(), std::nullopt);
    EXPECT_NO_THROW(nested.clear());
    EXPECT_TRUE(entryNames(folder_.path()).empty());
}

TEST_F(LastSessionStoreTest, PathsWithBlanksAndForeignBytesRoundTrip)
{
    for (const std::string image : {"/home/ana/Minhas Fotos/gato preto.png", "/tmp/\xE9t\xE9 latin-1/\xFF.jpg",
                                    "/tmp/ação/😀 #1?.heic"}) {
        const auto session = sessionFor(image);
        store().save(session);
        const auto loaded = store().load();
        ASSERT_TRUE(loaded.has_value());
        EXPECT_EQ(*loaded, session);
        EXPECT_EQ(loaded->imageURL.path(), std::filesystem::path(image));
    }
}

TEST_F(LastSessionStoreTest, FileIsCompactAndVersioned)
{
    auto session = sessionFor("/tmp/a.png");
    session.selectedPresetID.reset();
    store().save(session);
    const std::string bytes = readBytes(file());
    EXPECT_EQ(bytes.find('\n'), std::string::npos);
    const auto document = nlohmann::json::parse(bytes);
    EXPECT_EQ(document.size(), 2u);
    EXPECT_EQ(document["version"], 1);
    EXPECT_FALSE(document["session"].contains("selectedPresetID"));
    EXPECT_EQ(document["session"]["maxDimension"], 4096);
}

TEST_F(LastSessionStoreTest, SavingCreatesTheMissingSupportFolder)
{
    const LastSessionStore nested(folder_.path() / "a" / "b" / "last-session.json");
    const auto session = sessionFor("/tmp/a.png");
    nested.save(session);
    EXPECT_EQ(nested.load(), session);
}

// ---- Files that must be refused and left byte for byte as they are.

std::string documentWith(const nlohmann::json& version, const nlohmann::json& session)
{
    return nlohmann::json{{"version", version}, {"session", session}}.dump();
}

nlohmann::json sessionJsonWith(const char* key, const nlohmann::json& value)
{
    auto object = toJson(sessionFor("/tmp/a.png"));
    if (value.is_null()) {
        object.erase(key);
    } else {
        object[key] = value;
    }
    return object;
}

TEST_F(LastSessionStoreTest, CorruptFilesAreRefusedAndPreserved)
{
    using enum LastSessionErrorCase;
    const std::pair<std::string, LastSessionErrorCase> files[] = {
        {"", invalidData},
        {"não é JSON", invalidData},
        {documentWith(1, toJson(sessionFor("/tmp/a.png"))).substr(0, 60), invalidData},
        {"{\"version\": 1, \"session\": {\"imageURL\": \"file:///\xE9\"}}", invalidData},
        {documentWith(2, toJson(sessionFor("/tmp/a.png"))), unsupportedVersion},
        {documentWith(2, {{"imageURL", 7}}), invalidData},
        {documentWith("1", toJson(sessionFor("/tmp/a.png"))), invalidData},
        {documentWith(1.25, toJson(sessionFor("/tmp/a.png"))), invalidData},
        {nlohmann::json{{"session", toJson(sessionFor("/tmp/a.png"))}}.dump(), invalidData},
        {R"({"version": 1})", invalidData},
        {documentWith(1, sessionJsonWith("imageURL", nullptr)), invalidData},
        {documentWith(1, sessionJsonWith("imageURL", "https://example.com/a.png")), invalidData},
        {documentWith(1, sessionJsonWith("imageURL", "file:///a b.png")), invalidData},
        {documentWith(1, sessionJsonWith("maxDimension", 3072)), invalidData},
        {documentWith(1, sessionJsonWith("maxDimension", 2048.5)), invalidData},
        {documentWith(1, sessionJsonWith("compareFraction", 1.01)), invalidData},
        {documentWith(1, sessionJsonWith("compareFraction", "0.5")), invalidData},
        {documentWith(1, sessionJsonWith("selectedPresetID", std::string(257, 'x'))), invalidData},
        {documentWith(1, sessionJsonWith("visual", "gameboy")), invalidData},
    };
    for (const auto& [contents, expected] : files) {
        writeBytes(file(), contents);
        expectRefusedKeepingFile<LastSessionError>([&] { store().load(); }, expected);
    }
    writeBytes(file(), documentWith(2, toJson(sessionFor("/tmp/a.png"))));
    try {
        store().load();
        ADD_FAILURE() << "a file of version 2 was loaded";
    } catch (const LastSessionError& error) {
        EXPECT_STREQ(error.what(), "A sessão foi salva por outra versão do Tilvane. O arquivo foi preservado.");
    }
}

TEST_F(LastSessionStoreTest, InvalidLookInTheFileIsThePresetError)
{
    writeBytes(file(), documentWith(1, sessionJsonWith("visual", {{"paletteID", "nes"}, {"pixelSize", 41}})));
    expectRefusedKeepingFile<PersonalPresetError>([&] { store().load(); }, PersonalPresetErrorCase::invalidData);
}

TEST_F(LastSessionStoreTest, WellFormedFileOfVersionOneLoads)
{
    writeBytes(file(), documentWith(1, sessionJsonWith("selectedPresetID", "crt-classic")));
    const auto loaded = store().load();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->selectedPresetID, "crt-classic");
}

// ---- Saving refuses before touching the file.

TEST_F(LastSessionStoreTest, RefusedSessionsLeaveTheFileAsItWas)
{
    store().save(sessionFor("/tmp/a.png"));

    auto session = sessionFor("/tmp/b.png");
    session.maxDimension = 1000;
    expectRefusedKeepingFile<LastSessionError>([&] { store().save(session); }, LastSessionErrorCase::invalidData);
    session = sessionFor("/tmp/b.png");
    session.visual.pixelSize = 1;
    expectRefusedKeepingFile<PersonalPresetError>([&] { store().save(session); }, PersonalPresetErrorCase::invalidData);

    const std::string before = readBytes(file());
    session = sessionFor("/tmp/b.png");
    session.visual.shader->bezel.reflectionSoftness = std::numeric_limits<float>::infinity();
    EXPECT_THROW(store().save(session), json::EncodingError);
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"last-session.json"});
}

TEST_F(LastSessionStoreTest, FailedWriteKeepsTheOldFile)
{
    store().save(sessionFor("/tmp/a.png"));
    const std::string before = readBytes(file());
    auto longer = sessionFor("/tmp/" + std::string(before.size(), 'b') + ".png");
    {
        testing::FileSizeLimit limit(before.size());
        EXPECT_THROW(store().save(longer), std::system_error);
        EXPECT_THROW(store().finishWindow(true, longer), std::system_error);
    }
    EXPECT_EQ(testing::checksum(readBytes(file())), testing::checksum(before));
    EXPECT_EQ(entryNames(folder_.path()), std::vector<std::string>{"last-session.json"});
}

// ---- Clearing and the end of the window.

TEST_F(LastSessionStoreTest, FinishWindowKeepsTheSessionOnlyWhenQuitting)
{
    const auto session = sessionFor("/tmp/a.png");
    struct Case {
        bool isTerminating;
        bool withSession;
        bool kept;
    };
    for (const auto row : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false},
                           Case{false, false, false}}) {
        store().save(sessionFor("/tmp/old.png"));
        store().finishWindow(row.isTerminating, row.withSession ? std::optional(session) : std::nullopt);
        EXPECT_EQ(std::filesystem::exists(file()), row.kept) << row.isTerminating << row.withSession;
        if (row.kept) {
            EXPECT_EQ(store().load(), session);
        }
    }
    EXPECT_NO_THROW(store().finishWindow(false, std::nullopt)) << "nothing to clear";
}

TEST_F(LastSessionStoreTest, ClearRemovesTheFileAndReportsFailure)
{
    store().save(sessionFor("/tmp/a.png"));
    store().clear();
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_EQ(store().load(), std::nullopt);

    std::filesystem::create_directories(file() / "inside");
    EXPECT_THROW(store().clear(), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(file() / "inside"));
}

// ---- Where the file lives.

TEST(LastSessionStoreLocation, FollowsTheSupportFolderAtCreation)
{
    TemporaryFolder folder;
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", (folder.path() / "support").string());
    const LastSessionStore store;
    EXPECT_EQ(store.fileURL(), folder.path() / "support" / "last-session.json");
    support.set("relative/folder");
    ScopedEnvironment dataHome("XDG_DATA_HOME", (folder.path() / "data").string());
    EXPECT_EQ(LastSessionStore().fileURL(), folder.path() / "data" / "Tilvane" / "last-session.json");
    EXPECT_EQ(store.fileURL(), folder.path() / "support" / "last-session.json");
}

TEST(LastSessionStoreLocation, WithoutAnAbsoluteFolderEveryOperationFails)
{
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", "");
    ScopedEnvironment dataHome("XDG_DATA_HOME", std::nullopt);
    ScopedEnvironment home("HOME", "");
    const LastSessionStore store;
    EXPECT_TRUE(store.fileURL().empty());
    EXPECT_THROW(store.load(), SupportDirectoryError);
    EXPECT_THROW(store.save(sessionFor("/tmp/a.png")), SupportDirectoryError);
    EXPECT_THROW(store.clear(), SupportDirectoryError);
    EXPECT_THROW(store.finishWindow(true, sessionFor("/tmp/a.png")), SupportDirectoryError);
}

}  // namespace
}  // namespace tilvane

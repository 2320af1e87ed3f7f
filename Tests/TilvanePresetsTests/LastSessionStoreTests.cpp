#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

using namespace testing;

LastSession sessionFor(const std::filesystem::path& image)
{
    return LastSession{Url::file(image), fullSettings(), "personal:" + Uuid::random().string(), 4096, 0.25};
}

class LastSessionStoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / "last-session.json"; }
    LastSessionStore store() const { return LastSessionStore(file()); }

    template <typename Error, typename Action>
    void expectRefusedKeepingFolder(Action action, decltype(std::declval<Error>().errorCase()) expected)
    {
        const auto before = folderContents(folder_.path());
        EXPECT_EQ(errorCaseOf<Error>(action), expected);
        EXPECT_EQ(folderContents(folder_.path()), before);
    }

    TemporaryFolder folder_;
};

TEST_F(LastSessionStoreTest, PathsWithBlanksAndForeignBytesRoundTrip)
{
    const LastSessionStore nested(folder_.path() / "a" / "last-session.json");
    EXPECT_EQ(nested.load(), std::nullopt);
    for (const std::string image : {"/home/ana/Minhas Fotos/gato preto.png", "/tmp/\xE9t\xE9 #1?/\xFF.jpg"}) {
        const auto session = sessionFor(image);
        nested.save(session);
        EXPECT_EQ(nested.load(), session);
        EXPECT_EQ(nested.load()->imageURL.path(), std::filesystem::path(image));
    }
    auto session = sessionFor("/tmp/a.png");
    session.selectedPresetID.reset();
    store().save(session);
    EXPECT_EQ(readBytes(file()).find('\n'), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(readBytes(file())), (nlohmann::json{{"version", 1}, {"session", toJson(session)}}));
    EXPECT_FALSE(toJson(session).contains("selectedPresetID"));
}

std::string documentWith(const nlohmann::json& version, const char* key = nullptr, const nlohmann::json& value = {})
{
    auto session = toJson(sessionFor("/tmp/a.png"));
    if (key) value.is_null() ? (void)session.erase(key) : (void)(session[key] = value);
    return nlohmann::json{{"version", version}, {"session", session}}.dump();
}

TEST_F(LastSessionStoreTest, CorruptFilesAreRefusedAndPreserved)
{
    using enum LastSessionErrorCase;
    const std::pair<std::string, LastSessionErrorCase> files[] = {
        {"", invalidData},
        {"não é JSON", invalidData},
        {documentWith(1).substr(0, 60), invalidData},
        {"{\"version\": 1, \"session\": {\"imageURL\": \"file:///\xE9\"}}", invalidData},
        {documentWith(2), unsupportedVersion},
        {documentWith(2, "imageURL", 7), invalidData},
        {documentWith(1.25), invalidData},
        {documentWith(1, "imageURL"), invalidData},
        {documentWith(1, "imageURL", "https://example.com/a.png"), invalidData},
        {documentWith(1, "imageURL", "file:///a b.png"), invalidData},
        {documentWith(1, "maxDimension", 2048.5), invalidData},
        {documentWith(1, "compareFraction", "0.5"), invalidData},
        {documentWith(1, "selectedPresetID", std::string(257, 'x')), invalidData},
    };
    for (const auto& [contents, expected] : files) {
        writeBytes(file(), contents);
        expectRefusedKeepingFolder<LastSessionError>([&] { store().load(); }, expected);
    }
    writeBytes(file(), documentWith(1, "visual", {{"paletteID", "nes"}, {"pixelSize", 41}}));
    expectRefusedKeepingFolder<PersonalPresetError>([&] { store().load(); }, PersonalPresetErrorCase::invalidData);
    EXPECT_STREQ(LastSessionError(unsupportedVersion).what(),
                 "A sessão foi salva por outra versão do Tilvane. O arquivo foi preservado.");
}

TEST_F(LastSessionStoreTest, RefusedOrFailedSavesLeaveTheFileAsItWas)
{
    store().save(sessionFor("/tmp/a.png"));
    auto session = sessionFor("/tmp/b.png");
    session.maxDimension = 1000;
    expectRefusedKeepingFolder<LastSessionError>([&] { store().save(session); }, LastSessionErrorCase::invalidData);
    session = sessionFor("/tmp/b.png");
    session.visual.pixelSize = 1;
    expectRefusedKeepingFolder<PersonalPresetError>([&] { store().save(session); }, PersonalPresetErrorCase::invalidData);

    const auto before = folderContents(folder_.path());
    session = sessionFor("/tmp/b.png");
    session.visual.shader->bezel.reflectionSoftness = std::numeric_limits<float>::infinity();
    EXPECT_THROW(store().save(session), json::EncodingError);
    const auto longer = sessionFor("/tmp/" + std::string(before.begin()->second.size(), 'b') + ".png");
    {
        FileSizeLimit limit(before.begin()->second.size());
        EXPECT_THROW(store().save(longer), std::system_error);
        EXPECT_THROW(store().finishWindow(true, longer), std::system_error);
    }
    EXPECT_EQ(folderContents(folder_.path()), before);
}

TEST_F(LastSessionStoreTest, FinishWindowKeepsTheSessionOnlyWhenQuitting)
{
    const auto session = sessionFor("/tmp/a.png");
    for (const auto& [isTerminating, withSession] : {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
        store().save(sessionFor("/tmp/old.png"));
        store().finishWindow(isTerminating, withSession ? std::optional(session) : std::nullopt);
        EXPECT_EQ(store().load(), isTerminating && withSession ? std::optional(session) : std::nullopt);
    }
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_NO_THROW(store().finishWindow(false, std::nullopt)) << "nothing to clear";
}

TEST(LastSessionStoreLocation, WithoutAnAbsoluteFolderEveryOperationFails)
{
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", ""), dataHome("XDG_DATA_HOME", std::nullopt), home("HOME", "");
    const LastSessionStore store;
    EXPECT_TRUE(store.fileURL().empty());
    EXPECT_THROW(store.load(), SupportDirectoryError);
    EXPECT_THROW(store.save(sessionFor("/tmp/a.png")), SupportDirectoryError);
    EXPECT_THROW(store.clear(), SupportDirectoryError);
    EXPECT_THROW(store.finishWindow(true, sessionFor("/tmp/a.png")), SupportDirectoryError);
}

}  // namespace
}  // namespace tilvane

#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/TilvaneSupportDirectory.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tilvane {
namespace {

using namespace testing;
using enum LastSessionErrorCase;

LastSession sessionFor(const std::filesystem::path& image)
{
    return LastSession{Url::file(image), fullSettings(), "personal:" + Uuid::random().string(), 4096, 0.25};
}

using LastSessionStoreTest = StoreTest<LastSessionStore>;

TEST_F(LastSessionStoreTest, EveryWorkingSizeAndAnyFilePathRoundTrip)
{
    const LastSessionStore nested(folder_.path() / "a" / "last-session.json");
    EXPECT_EQ(nested.load(), std::nullopt);
    std::string graphemes256;
    while (graphemes256.size() < 3 * 256) graphemes256 += "e\u0301";  // 256 letters with a combining accent
    const std::tuple<std::string, std::int64_t, double, std::optional<std::string>> rows[] = {
        {"/home/ana/Minhas Fotos/gato preto.png", 1024, 0, std::nullopt},
        {"/tmp/\xE9t\xE9 #1?/\xFF.jpg", 2048, 1, graphemes256},
        {"/tmp/a.png", 4096, 0.5, ""},
    };
    for (const auto& [image, maxDimension, fraction, presetID] : rows) {
        const LastSession session{Url::file(image), fullSettings(), presetID, maxDimension, fraction};
        nested.save(session);
        EXPECT_EQ(nested.load(), session);
        EXPECT_EQ(nested.load()->imageURL.path(), std::filesystem::path(image));
        EXPECT_EQ(readBytes(nested.fileURL()), (nlohmann::json{{"version", 1}, {"session", toJson(session)}}.dump()));
        EXPECT_EQ(toJson(session).contains("selectedPresetID"), presetID.has_value());
    }
}

// A document holding a valid session, with `key` set to `value` (removed when null).
std::string documentWith(const nlohmann::json& version, const char* key = nullptr, const nlohmann::json& value = {})
{
    auto session = toJson(sessionFor("/tmp/a.png"));
    if (key) value.is_null() ? (void)session.erase(key) : (void)(session[key] = value);
    return nlohmann::json{{"version", version}, {"session", session}}.dump();
}

TEST_F(LastSessionStoreTest, CorruptOrInvalidFilesAreRefusedAndPreserved)
{
    std::string graphemes257;
    while (graphemes257.size() < 2 * 257) graphemes257 += "é";
    const std::string files[] = {
        "",
        "não é JSON",
        documentWith(1).substr(0, 60),
        documentWith(1.25),
        documentWith(2, "imageURL", 7),
        documentWith(1, "imageURL"),
        documentWith(1, "imageURL", "file:///a b.png"),
        documentWith(1, "imageURL", "file://"),
        documentWith(1, "imageURL", "https://example.com/a.png"),
        documentWith(1, "imageURL", "Fotos/gato.png"),
        documentWith(1, "maxDimension", 1000),
        documentWith(1, "maxDimension", 3072),
        documentWith(1, "maxDimension", 2048.5),
        documentWith(1, "compareFraction", -0.01),
        documentWith(1, "compareFraction", 1.01),
        documentWith(1, "selectedPresetID", graphemes257),
    };
    for (const auto& bytes : files) {
        SCOPED_TRACE(bytes);
        writeBytes(file(), bytes);
        expectRefused([&] { store().load(); }, invalidData);
    }
    writeBytes(file(), documentWith(2));
    EXPECT_EQ(errorCaseOf<LastSessionError>([&] { store().load(); }), unsupportedVersion);
    writeBytes(file(), documentWith(1, "visual", {{"paletteID", "nes"}, {"pixelSize", 41}}));
    EXPECT_THROW(store().load(), PersonalPresetError);
    EXPECT_STREQ(LastSessionError(invalidData).what(),
                 "A última sessão do Tilvane está inválida. O arquivo foi preservado.");
    EXPECT_STREQ(LastSessionError(unsupportedVersion).what(),
                 "A sessão foi salva por outra versão do Tilvane. O arquivo foi preservado.");
}

// The alert said the file was kept: a save keeps its bytes under a name of their own instead of destroying them.
TEST_F(LastSessionStoreTest, ASaveKeepsAFileItCouldNotReadBesideItsOwn)
{
    const auto kept = folder_.path() / "last-session.unreadable.json";
    EXPECT_EQ(store().unreadableFileURL(), kept);
    const std::string unreadable[] = {
        "não é JSON",
        documentWith(2),
        documentWith(1, "visual", {{"paletteID", "nes"}, {"pixelSize", 41}}),
    };
    const auto session = sessionFor("/tmp/a.png");
    for (const auto& bytes : unreadable) {
        SCOPED_TRACE(bytes);
        writeBytes(file(), bytes);
        store().save(session);
        EXPECT_EQ(store().load(), session);
        EXPECT_EQ(readBytes(kept), bytes) << "a later unreadable file replaces the copy kept before";
    }

    store().save(sessionFor("/tmp/b.png"));
    EXPECT_EQ(readBytes(kept), unreadable[2]) << "a readable file is replaced without a copy";
    EXPECT_EQ(contents().size(), 2u) << "nothing else is left in the folder";

    std::filesystem::remove(kept);
    std::filesystem::create_directories(kept / "in the way");
    writeBytes(file(), "não é JSON");
    EXPECT_THROW(store().save(session), std::system_error);
    EXPECT_EQ(readBytes(file()), "não é JSON") << "without a copy, the file stays as it was";
}

TEST_F(LastSessionStoreTest, RefusedOrFailedSavesLeaveTheFileAsItWas)
{
    store().save(sessionFor("/tmp/a.png"));
    const auto before = contents();
    auto session = sessionFor("/tmp/b.png");
    session.visual.pixelSize = 41;
    session.compareFraction = std::nan("");
    EXPECT_THROW(store().save(session), LastSessionError) << "the session's own rules come before the look's";
    session.compareFraction = 1;
    EXPECT_THROW(store().save(session), PersonalPresetError);
    session = sessionFor("/tmp/b.png");
    session.visual.shader->bezel.reflectionSoftness = std::numeric_limits<float>::infinity();
    EXPECT_THROW(store().save(session), json::EncodingError);
    FileSizeLimit limit(16);
    EXPECT_THROW(store().save(sessionFor("/tmp/b.png")), std::system_error);
    EXPECT_THROW(store().finishWindow(true, sessionFor("/tmp/b.png")), std::system_error);
    EXPECT_EQ(contents(), before);
}

TEST_F(LastSessionStoreTest, FinishWindowKeepsTheSessionOnlyWhenQuitting)
{
    const auto session = sessionFor("/tmp/a.png");
    for (const auto& [isTerminating, withSession] :
         {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
        store().save(sessionFor("/tmp/old.png"));
        store().finishWindow(isTerminating, withSession ? std::optional(session) : std::nullopt);
        EXPECT_EQ(store().load(), isTerminating && withSession ? std::optional(session) : std::nullopt);
    }
    EXPECT_TRUE(contents().empty());
    EXPECT_NO_THROW(store().finishWindow(false, std::nullopt)) << "nothing to clear";
}

TEST(LastSessionStoreLocation, WithoutAnAbsoluteFolderEveryOperationFails)
{
    ScopedEnvironment support("TILVANE_SUPPORT_DIRECTORY", ""), dataHome("XDG_DATA_HOME", std::nullopt),
        home("HOME", "");
    const LastSessionStore store;
    EXPECT_THROW(store.load(), SupportDirectoryError);
    EXPECT_THROW(store.save(sessionFor("/tmp/a.png")), SupportDirectoryError);
    EXPECT_THROW(store.finishWindow(false, std::nullopt), SupportDirectoryError);
}

}  // namespace
}  // namespace tilvane

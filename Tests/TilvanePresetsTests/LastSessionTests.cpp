#include "TilvanePresets/LastSessionStore.hpp"

#include "TilvanePresets/StoreLock.hpp"
#include "TilvanePresets/TilvaneSupportDirectory.hpp"
#include "TilvanePresets/VersionedFile.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <functional>

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

// The alert said the file was kept: a save keeps its bytes under a name of their own instead of destroying them,
// and never at the cost of a copy kept before.
TEST_F(LastSessionStoreTest, ASaveKeepsAFileItCouldNotReadBesideItsOwn)
{
    EXPECT_EQ(store().unreadableFileURL(), folder_.path() / "last-session.unreadable.json");
    EXPECT_EQ(store().unreadableFileURL(2), folder_.path() / "last-session.unreadable-2.json");
    const std::string unreadable[] = {
        "não é JSON",
        documentWith(2),
        documentWith(1, "visual", {{"paletteID", "nes"}, {"pixelSize", 41}}),
        paddedTo(documentWith(1), versionedfile::maximumFileSize + 1),
    };
    const auto session = sessionFor("/tmp/a.png");
    for (const auto& bytes : unreadable) {
        writeBytes(file(), bytes);
        store().save(session);
        EXPECT_EQ(store().load(), session);
    }
    for (unsigned n = 1; n <= std::size(unreadable); ++n) {
        EXPECT_EQ(readBytes(store().unreadableFileURL(n)), unreadable[n - 1]) << "copy " << n << " is kept as it was";
    }

    store().save(sessionFor("/tmp/b.png"));
    EXPECT_EQ(storedContents().size(), std::size(unreadable) + 1) << "a readable file is replaced without a copy";

    // A name that something else has taken (here a folder) is passed over, and what has it left alone.
    std::filesystem::remove(store().unreadableFileURL(2));
    std::filesystem::create_directories(store().unreadableFileURL(2) / "in the way");
    writeBytes(file(), "não é JSON");
    store().save(session);
    EXPECT_EQ(readBytes(store().unreadableFileURL(5)), "não é JSON");
    EXPECT_TRUE(std::filesystem::exists(store().unreadableFileURL(2) / "in the way"));
}

TEST_F(LastSessionStoreTest, AFileThatCannotBeKeptAsideStaysAndTheSaveFails)
{
    // The kept name would be one character longer than a file name may be.
    const auto longName = folder_.path() / (std::string(NAME_MAX - 15, 'x') + ".json");
    ASSERT_EQ(LastSessionStore(longName).unreadableFileURL().filename().string().size(), NAME_MAX + 1u);
    writeBytes(longName, "não é JSON");
    const auto before = storedContents(longName);
    const auto error = systemErrorOf([&] { LastSessionStore(longName).save(sessionFor("/tmp/a.png")); });
    ASSERT_TRUE(error) << "the save went on without its copy";
    EXPECT_EQ(error->code(), std::errc::filename_too_long);
    EXPECT_TRUE(std::string(error->what()).starts_with("Não foi possível guardar o arquivo")) << error->what();
    EXPECT_EQ(storedContents(longName), before);
}

// What is not a regular file is not the store's to move, replace or remove, whatever an operation would do to a file.
TEST_F(LastSessionStoreTest, WhatIsNotARegularFileIsRefusedAndLeftInPlace)
{
    struct Row {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    };
    const Row rows[] = {
        {"folder",
         [](const auto& path) {
             std::filesystem::create_directory(path);
             writeBytes(path / "kept", "x");
         }},
        {"FIFO", [](const auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"link to a device", [](const auto& path) { std::filesystem::create_symlink("/dev/null", path); }},
    };
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"save", [&] { store().save(sessionFor("/tmp/a.png")); }},
        {"clear", [&] { store().clear(); }},
        {"finish quitting", [&] { store().finishWindow(true, sessionFor("/tmp/a.png")); }},
        {"finish closing", [&] { store().finishWindow(false, sessionFor("/tmp/a.png")); }},
    };
    for (const auto& row : rows) {
        row.make(file());
        const auto before = storedContents();
        for (const auto& [operation, run] : operations) {
            SCOPED_TRACE(std::string(row.name) + ", " + operation);
            const auto error = systemErrorOf(run);
            EXPECT_TRUE(error && std::string(error->what()).starts_with("Não é um arquivo comum"))
                << (error ? error->what() : "accepted");
            EXPECT_EQ(storedContents(), before);
        }
        if (std::filesystem::is_directory(file())) {
            EXPECT_EQ(readBytes(file() / "kept"), "x");
        }
        std::filesystem::remove_all(file());
    }
}

// With no file descriptor left at some step, a save either completes or fails with the system's error and moves
// nothing: the session stored before stays where it was.
TEST_F(LastSessionStoreTest, RunningOutOfDescriptorsNeverMovesAReadableSession)
{
    const auto stored = sessionFor("/tmp/stored.png"), fresh = sessionFor("/tmp/fresh.png");
    bool failed = false, saved = false;
    for (unsigned available = 0; available <= 6; ++available) {
        SCOPED_TRACE(available);
        store().save(stored);
        const auto before = storedContents();
        const auto failure = systemErrorOf([&] {
            DescriptorLimit limit(available);
            store().save(fresh);
        });
        if (failure) {
            failed = true;
            EXPECT_EQ(failure->code(), std::errc::too_many_files_open) << failure->what();
            EXPECT_TRUE(std::string(failure->what()).starts_with("Não foi possível")) << failure->what();
            EXPECT_EQ(storedContents(), before);
        } else {
            saved = true;
            EXPECT_EQ(store().load(), fresh);
            EXPECT_EQ(storedContents().size(), 1u) << "nothing was kept aside";
        }
    }
    EXPECT_TRUE(failed && saved) << "the limit must stop the save at first and let it through at last";
}

// Short of memory for the read, a save fails with the system's error and moves nothing.
TEST_F(LastSessionStoreTest, RunningOutOfMemoryWhileReadingNeverMovesAReadableSession)
{
    writeBytes(file(), paddedTo(documentWith(1), 12 << 20));
    const auto before = storedContents();
    const auto fresh = sessionFor("/tmp/fresh.png");
    const auto error = systemErrorOf([&] {
        AddressSpaceLimit limit(4 << 20);
        store().save(fresh);
    });
    ASSERT_TRUE(error) << "the file was read in full";
    EXPECT_EQ(error->code(), std::errc::not_enough_memory);
    EXPECT_TRUE(std::string(error->what()).starts_with("Não foi possível ler o arquivo")) << error->what();
    EXPECT_EQ(storedContents(), before);

    store().save(fresh);
    EXPECT_EQ(store().load(), fresh);
    EXPECT_EQ(storedContents().size(), 1u) << "nothing was kept aside";
}

// Removing a file the store could not read would lose it: a clear leaves it where it is for the next save to keep.
TEST_F(LastSessionStoreTest, ClearRemovesOnlyASessionItCanRead)
{
    const std::string otherVersion = documentWith(2);
    for (const auto& bytes : {std::string("não é JSON"), otherVersion}) {
        writeBytes(file(), bytes);
        store().clear();
        store().finishWindow(false, sessionFor("/tmp/a.png"));
        EXPECT_EQ(storedContents(), (std::map<std::string, std::string>{{"last-session.json", bytes}}));
    }
    store().save(sessionFor("/tmp/a.png"));
    store().clear();
    EXPECT_EQ(storedContents(), (std::map<std::string, std::string>{{"last-session.unreadable.json", otherVersion}}));
}

// The lock file stays for the next save, as an empty file; a folder in its place refuses every save and clear,
// changing nothing.
TEST_F(LastSessionStoreTest, TheLockFileStaysEmptyAndAFolderInItsPlaceRefusesTheSave)
{
    const auto lock = StoreLock::lockFileFor(file());
    EXPECT_EQ(lock, folder_.path() / ".last-session.json.lock");
    store().save(sessionFor("/tmp/a.png"));
    store().save(sessionFor("/tmp/b.png"));
    EXPECT_EQ(contents().at(".last-session.json.lock"), "");

    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    const auto before = contents();
    const auto error = systemErrorOf([&] { store().save(sessionFor("/tmp/c.png")); });
    ASSERT_TRUE(error) << "saved without the lock";
    EXPECT_EQ(error->code(), std::errc::is_a_directory);
    EXPECT_TRUE(std::string(error->what()).starts_with("Não foi possível bloquear o arquivo “" + lock.string()))
        << error->what();
    EXPECT_THROW(store().clear(), std::system_error);
    EXPECT_EQ(contents(), before);
}

// A Tilvane stopped while it holds the lock (SIGSTOP, a debugger) must not freeze this one: after a bounded wait the
// save and the clear are refused and the stored session stays.
TEST_F(LastSessionStoreTest, ALockHeldByAStoppedHolderRefusesTheChangeInsteadOfWaitingForever)
{
    store().save(sessionFor("/tmp/a.png"));
    const auto before = contents();
    const int held = ::open(StoreLock::lockFileFor(file()).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    try {
        store().save(sessionFor("/tmp/b.png"));
        ADD_FAILURE() << "saved while another holder had the lock";
    } catch (const StoreLockBusyError& error) {
        EXPECT_EQ(error.code(), std::errc::operation_would_block);
        EXPECT_STREQ(error.what(),
                     ("Outro Tilvane está usando o arquivo “" + file().string() + "”. Tente novamente.").c_str());
    }
    EXPECT_THROW(store().clear(), StoreLockBusyError);
    EXPECT_EQ(contents(), before);

    ::close(held);
    const auto later = sessionFor("/tmp/b.png");
    store().save(later);
    EXPECT_EQ(store().load(), later) << "the lock is free again once its holder lets go";
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
    EXPECT_TRUE(storedContents().empty());
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

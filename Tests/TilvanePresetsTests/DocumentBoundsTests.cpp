// What every reader of a stored or imported document refuses before it reads or decodes: what is
// not a regular file (without blocking), what is too large, and bytes after the document.

#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/VersionedFile.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>

namespace tilvane {
namespace {

using namespace testing;

// The error case `read` ends with, run on its own thread: a read still blocked after five seconds
// fails the test, and is then released by a writer that opens and closes the FIFO at `path`.
template <typename Read>
auto errorCaseWithoutBlocking(const std::filesystem::path& path, Read read)
{
    auto outcome = std::async(std::launch::async, read);
    if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "the read blocked on " << path;
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    return outcome.get();
}

struct StoreRow {
    const char* name;
    std::string validDocument;
    std::function<std::optional<int>(const std::filesystem::path&)> loadErrorCase;  // the case as a number
    int invalidData;
};

std::vector<StoreRow> storeRows()
{
    const LastSession session{Url::file("/tmp/a.png"), plainSettings(), std::nullopt, 2048, 0.5};
    const std::vector presets{makePreset("Retro")};
    return {
        {"presets", nlohmann::json{{"version", 1}, {"presets", {toJson(presets[0])}}}.dump(),
         [](const std::filesystem::path& file) {
             const auto errorCase = errorCaseOf<PersonalPresetError>([&] { PersonalPresetStore(file).load(); });
             return errorCase ? std::optional(static_cast<int>(*errorCase)) : std::nullopt;
         },
         static_cast<int>(PersonalPresetErrorCase::invalidData)},
        {"session", nlohmann::json{{"version", 1}, {"session", toJson(session)}}.dump(),
         [](const std::filesystem::path& file) {
             const auto errorCase = errorCaseOf<LastSessionError>([&] { LastSessionStore(file).load(); });
             return errorCase ? std::optional(static_cast<int>(*errorCase)) : std::nullopt;
         },
         static_cast<int>(LastSessionErrorCase::invalidData)},
    };
}

TEST(StoredDocumentBounds, StoresRefuseFifosLargeFilesAndTrailingBytesAndKeepThem)
{
    for (const auto& store : storeRows()) {
        SCOPED_TRACE(store.name);
        TemporaryFolder folder;
        const auto file = folder.path() / "document.json";

        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        EXPECT_EQ(errorCaseWithoutBlocking(file, [&] { return store.loadErrorCase(file); }), store.invalidData);
        struct stat status {};
        EXPECT_TRUE(::lstat(file.c_str(), &status) == 0 && S_ISFIFO(status.st_mode)) << "the FIFO is kept";
        std::filesystem::remove(file);

        // Name, bytes, whether they load.
        const std::tuple<const char*, std::string, bool> rows[] = {
            {"largestAccepted", paddedTo(store.validDocument, versionedfile::maximumFileSize), true},
            {"oneByteTooLarge", paddedTo(store.validDocument, versionedfile::maximumFileSize + 1), false},
            {"trailingWhiteSpace", store.validDocument + " \n\t\r\n", true},
            {"bytesAfterNul", store.validDocument + std::string("\0{{{", 4), false},
            {"nulAlone", store.validDocument + std::string(1, '\0'), false},
            {"bytesAfterDocument", store.validDocument + "{}", false},
        };
        for (const auto& [name, bytes, loads] : rows) {
            SCOPED_TRACE(name);
            writeBytes(file, bytes);
            EXPECT_EQ(store.loadErrorCase(file), loads ? std::nullopt : std::optional(store.invalidData));
            EXPECT_EQ(readBytes(file), bytes) << "the file is kept as it was";
        }
    }
}

TEST(StoredDocumentBounds, TransferDocumentsAreReadBoundedAndDecodedWhole)
{
    using Transfer = PersonalPresetTransfer;
    const std::string document = Transfer::encode(makePreset("Retro"));
    TemporaryFolder folder;
    const auto file = folder.path() / "tilvane-preset.json";

    struct Row {
        const char* name;
        std::optional<std::string> bytes;  // none: a FIFO
        bool accepted;                     // by reading the file and by decoding its bytes
    };
    const Row rows[] = {
        {"document", document, true},
        {"largestAccepted", paddedTo(document, Transfer::maximumDocumentSize), true},
        {"oneByteTooLarge", paddedTo(document, Transfer::maximumDocumentSize + 1), false},
        {"bytesAfterNul", document + std::string("\0{{{", 4), false},
        {"fifo", std::nullopt, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(file);
        if (row.bytes) {
            writeBytes(file, *row.bytes);
        } else {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        }
        const auto errorCase = errorCaseWithoutBlocking(file, [&] {
            return errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(Transfer::readDocument(file)); });
        });
        EXPECT_EQ(errorCase, row.accepted ? std::nullopt : std::optional(PersonalPresetErrorCase::invalidData));
        if (row.bytes) {
            EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::decode(*row.bytes); }), errorCase);
        }
    }
    std::filesystem::remove(file);
    EXPECT_EQ(errorCaseOf<PersonalPresetError>([&] { (void)Transfer::readDocument(file); }),
              PersonalPresetErrorCase::invalidData)
        << "a missing file";
}

}  // namespace
}  // namespace tilvane

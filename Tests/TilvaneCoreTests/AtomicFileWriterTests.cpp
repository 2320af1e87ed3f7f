#include "ImageFileFixtures.hpp"
#include "TestImages.hpp"

#include "TestSupport/FileSizeLimit.hpp"
#include "TilvaneCore/AtomicFileWriter.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <optional>
#include <system_error>

using namespace tilvane;
using namespace tilvane::imagefiles;
using tilvane::testing::FileSizeLimit;
using Staging = AtomicFileWriter::Staging;

namespace {

const std::vector<std::uint8_t> previousBytes{'o', 'l', 'd'};
const std::vector<std::uint8_t> newBytes(300 * 1024, 'n');

TEST(AtomicFileWriter, EitherWayReplacesOrCreatesTheFileOnlyAtCommitKeepingItsMode)
{
    struct Row {
        const char* name;
        Staging staging;
        bool destinationExists;
        bool unnamed;
        std::vector<std::string> entriesWhileWriting;
    };
    const Row rows[] = {
        {"unnamed over a file", Staging::unnamedWherePossible, true, true, {"out.bin"}},
        {"unnamed, new file", Staging::unnamedWherePossible, false, true, {}},
        {"named over a file", Staging::named, true, false, {".out.tmp", "out.bin"}},
        {"named, new file", Staging::named, false, false, {".out.tmp"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        const auto destination = folder / "out.bin";
        if (row.destinationExists) {
            writeBytes(destination, previousBytes);
            ASSERT_EQ(::chmod(destination.c_str(), 0604), 0);
        }
        const mode_t mask = ::umask(027);
        AtomicFileWriter file(destination, ".out.tmp", row.staging);
        ::umask(mask);
        EXPECT_EQ(file.isUnnamed(), row.unnamed);
        file.write(newBytes);
        file.sync();
        EXPECT_THROW(file.write(newBytes), std::system_error) << "nothing is added after the sync";
        EXPECT_EQ(folder.entryNames(), row.entriesWhileWriting);
        if (row.destinationExists) {
            EXPECT_EQ(readBytes(destination), previousBytes);
        }

        file.commit();
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.bin"});
        EXPECT_EQ(readBytes(destination), newBytes);
        EXPECT_EQ(modeOf(destination), row.destinationExists ? 0604u : 0640u);
    }
}

TEST(AtomicFileWriter, EitherWayAFailureLeavesTheDestinationAsItWasAndNoOtherName)
{
    // The writer is dropped without a commit, or its commit meets a folder, which no file replaces, or its write goes
    // past the file-size limit: a short write, then EFBIG.
    struct Row {
        const char* name;
        Staging staging;
        bool intoFolder;
        bool pastTheFileSizeLimit = false;
    };
    const Row rows[] = {
        {"unnamed, abandoned", Staging::unnamedWherePossible, false},
        {"named, abandoned", Staging::named, false},
        {"unnamed, refused by the destination", Staging::unnamedWherePossible, true},
        {"named, refused by the destination", Staging::named, true},
        {"unnamed, past the file-size limit", Staging::unnamedWherePossible, false, true},
        {"named, past the file-size limit", Staging::named, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        const auto destination = folder / "out.bin";
        if (row.intoFolder) {
            std::filesystem::create_directory(destination);
            writeBytes(destination / "inside", previousBytes);
        } else {
            writeBytes(destination, previousBytes);
        }
        {
            std::optional<FileSizeLimit> limit;
            if (row.pastTheFileSizeLimit) limit.emplace(64 * 1024);
            AtomicFileWriter file(destination, ".out.tmp", row.staging);
            if (row.pastTheFileSizeLimit) {
                try {
                    file.write(newBytes);
                    ADD_FAILURE() << "the write past the limit did not fail";
                } catch (const std::system_error& error) {
                    EXPECT_EQ(error.code(), std::errc::file_too_large);
                }
            } else {
                file.write(newBytes);
            }
            if (row.intoFolder) {
                EXPECT_THROW(file.commit(), std::filesystem::filesystem_error);
            }
        }
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.bin"});
        EXPECT_EQ(readBytes(row.intoFolder ? destination / "inside" : destination), previousBytes);
    }
}

TEST(AtomicFileWriter, AFolderThatRefusesFilesFailsBothWays)
{
    TemporaryFolder folder;
    EXPECT_THROW(AtomicFileWriter(folder / "missing" / "out.bin", ".out.tmp"), std::system_error);
    EXPECT_THROW(AtomicFileWriter(folder / "missing" / "out.bin", ".out.tmp", Staging::named), std::system_error);
    EXPECT_TRUE(folder.entryNames().empty());
}

// Runs `write` in a child process that reports through a pipe once it is in the middle of writing, kills
// it there with SIGKILL and waits for it.
void killMidWrite(const std::function<void(int readyPipe)>& write)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        write(ready[1]);
        ::_exit(1);  // never reached when all goes to plan: the parent kills the child first
    }
    ::close(ready[1]);
    char signal = 0;
    EXPECT_EQ(::read(ready[0], &signal, 1), 1) << "the child did not reach the middle of its write";
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

// Tells the parent that the write is under way, then waits for the kill.
[[noreturn]] void reportAndHang(int readyPipe)
{
    const char signal = 1;
    (void)::write(readyPipe, &signal, 1);
    for (;;) ::pause();
}

TEST(AtomicFileWriter, AProcessKilledMidWriteLeavesOnlyTheUntouchedDestination)
{
    struct Row {
        const char* name;
        std::function<void(const std::filesystem::path& destination, int readyPipe)> write;
    };
    const Row rows[] = {
        {"bytes written, not yet synced",
         [](const std::filesystem::path& destination, int readyPipe) {
             AtomicFileWriter file(destination, ".out.tmp");
             file.write(newBytes);
             reportAndHang(readyPipe);
         }},
        {"synced, not yet committed",
         [](const std::filesystem::path& destination, int readyPipe) {
             AtomicFileWriter file(destination, ".out.tmp");
             file.write(newBytes);
             file.sync();
             reportAndHang(readyPipe);
         }},
        {"GIF export at its third frame",
         [](const std::filesystem::path& destination, int readyPipe) {
             GIFExporter::write(destination, 10, 0.1, [&](int index) {
                 if (index == 2) reportAndHang(readyPipe);
                 return testing_images::solidImage(64, 64, testing_images::grey(static_cast<std::uint8_t>(index)));
             });
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        const auto destination = folder / "out.bin";
        writeBytes(destination, previousBytes);
        killMidWrite([&](int readyPipe) { row.write(destination, readyPipe); });
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.bin"});
        EXPECT_EQ(readBytes(destination), previousBytes);
    }
}

}  // namespace

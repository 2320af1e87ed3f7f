// Saves of several processes that share one support folder: two instances, or a logout quitting them both.

#include "TilvanePresets/LastSessionStore.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <functional>
#include <system_error>
#include <vector>

namespace tilvane {
namespace {

using namespace testing;

// A line at which forked children wait until the parent lets them all go at once: the read end of a pipe, which
// gives its end of file to every child when the parent closes the write end.
class StartingLine {
public:
    StartingLine()
    {
        if (::pipe(ends_) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    }
    ~StartingLine()
    {
        for (const int end : ends_) {
            if (end >= 0) ::close(end);
        }
    }
    StartingLine(const StartingLine&) = delete;
    StartingLine& operator=(const StartingLine&) = delete;

    // In a child: waits for release().
    void wait()
    {
        ::close(ends_[1]);
        char byte = 0;
        while (::read(ends_[0], &byte, 1) < 0 && errno == EINTR) {
        }
    }

    void release()
    {
        ::close(ends_[1]);
        ends_[1] = -1;
    }

private:
    int ends_[2] = {-1, -1};
};

// Forks a child that waits at `line`, then runs `work` and ends: with status 0 when it returns, 1 when it throws
// (saying why on the standard error).
pid_t forkAtLine(StartingLine& line, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child != 0) return child;
    line.wait();
    try {
        work();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        ::_exit(1);
    }
    ::_exit(0);
}

TEST(LastSessionStoreProcesses, SavesReleasedTogetherOverAnotherVersionsFileAllSucceedAndKeepItWhole)
{
    constexpr int rounds = 60, processes = 3;
    TemporaryFolder folder;
    const LastSessionStore store(folder / "last-session.json");
    std::vector<std::string> otherVersionFiles;
    for (int round = 0; round < rounds; ++round) {
        // Large, so that reading it takes a while.
        const LastSession old{Url::file("/tmp/round-" + std::to_string(round) + ".png"), plainSettings(), std::nullopt,
                              2048, 0.5};
        otherVersionFiles.push_back(paddedTo(nlohmann::json{{"version", 2}, {"session", toJson(old)}}.dump(), 1 << 18));
        writeBytes(store.fileURL(), otherVersionFiles.back());

        StartingLine line;
        std::vector<pid_t> children;
        for (int process = 0; process < processes; ++process) {
            const LastSession session{Url::file("/tmp/process-" + std::to_string(process) + ".png"), fullSettings(),
                                      std::nullopt, 4096, 0.25};
            children.push_back(forkAtLine(line, [&] { store.save(session); }));
            ASSERT_GT(children.back(), 0);
        }
        line.release();
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save of round " << round << " failed";
        }
        ASSERT_TRUE(store.load()) << "round " << round << " left no session";
    }

    std::vector<std::string> kept;
    for (const auto& [name, bytes] : folderContents(folder.path())) {
        if (name != "last-session.json" && name != ".last-session.json.lock") kept.push_back(bytes);
    }
    EXPECT_EQ(kept.size(), otherVersionFiles.size()) << "one copy of each round's file, and nothing else";
    for (int round = 0; round < rounds; ++round) {
        EXPECT_EQ(std::count(kept.begin(), kept.end(), otherVersionFiles[round]), 1) << "round " << round;
    }
}

}  // namespace
}  // namespace tilvane

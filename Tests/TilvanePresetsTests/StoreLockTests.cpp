// The lock that gives each process sharing a store's file its turn.

#include "TilvanePresets/StoreLock.hpp"

#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "TestSupport.hpp"
#include "TestSupport/ForkedProcesses.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace tilvane {
namespace {

using namespace testing;

// Another Tilvane in its turn: the lock file of `file` opened on its own and locked until this goes.
class HeldLock {
public:
    explicit HeldLock(const std::filesystem::path& file)
        : descriptor_(::open(StoreLock::lockFileFor(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (descriptor_ < 0 || ::flock(descriptor_, LOCK_EX) != 0) {
            throw std::system_error(errno, std::generic_category(), "flock");
        }
    }
    ~HeldLock() { ::close(descriptor_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int descriptor_;
};

// Every change of either store, refused after the wait while another Tilvane keeps the lock, says so in words the
// user can act on, keeps the waiting error's code and changes nothing.
TEST(StoreLock, ALockKeptByAnotherTilvaneIsToldInTheUsersWords)
{
    TemporaryFolder folder;
    const PersonalPresetStore presets(folder / "personal-presets.json");
    const LastSessionStore session(folder / "last-session.json");
    const auto stored = makePreset("Retro");
    presets.save({stored});
    session.save(LastSession{Url::file("/tmp/a.png"), plainSettings(), std::nullopt, 2048, 0.5});
    const auto document = PersonalPresetTransfer::encode(makePreset("Importado"));
    const std::tuple<const char*, std::filesystem::path, std::function<void()>> changes[] = {
        {"presets: save", presets.fileURL(), [&] { presets.save({makePreset("Noite")}); }},
        {"presets: remove", presets.fileURL(), [&] { presets.remove(stored.id); }},
        {"presets: import", presets.fileURL(), [&] { presets.importPreset(document); }},
        {"session: clear", session.fileURL(), [&] { session.clear(); }},
    };
    for (const auto& [name, file, change] : changes) {
        SCOPED_TRACE(name);
        const HeldLock other(file);
        const auto before = folderContents(folder.path());
        try {
            change();
            ADD_FAILURE() << "changed while another Tilvane had the lock";
        } catch (const StoreLockBusyError& error) {
            EXPECT_EQ(error.code(), std::errc::operation_would_block);
            EXPECT_STREQ(error.what(),
                         ("Outro Tilvane está usando o arquivo “" + file.string() + "”. Tente novamente.").c_str());
        }
        EXPECT_EQ(folderContents(folder.path()), before);
    }
}

// A lock file removed between two turns must not let two processes into the same one: a process still waiting on
// the removed file, once it has it, takes the file now at the name, which the next turn locks.
TEST(StoreLock, TurnsNeverOverlapWhenTheLockFileIsRemovedBetweenThem)
{
    constexpr int processes = 3, turns = 150;
    TemporaryFolder folder;
    const auto file = folder / "personal-presets.json";
    const auto inTurn = folder / "in-turn";
    const auto takeTurns = [&] {
        for (int turn = 0; turn < turns; ++turn) {
            const StoreLock lock(file);
            // Made only when nothing has the name: another process in its turn at the same moment makes it fail.
            const int marker = ::open(inTurn.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (marker < 0) throw std::runtime_error("two processes in one turn");
            ::close(marker);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            std::filesystem::remove(inTurn);
            std::filesystem::remove(StoreLock::lockFileFor(file));
        }
    };
    const auto returned = runTogether(std::vector<std::function<void()>>(processes, takeTurns));
    for (int index = 0; index < processes; ++index) EXPECT_TRUE(returned[index]) << "process " << index;
}

}  // namespace
}  // namespace tilvane

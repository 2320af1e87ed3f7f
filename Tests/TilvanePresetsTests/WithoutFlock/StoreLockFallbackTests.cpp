// The stores on a file system that does not lock (NFS without its lock service): this program's flock fails as
// such a file system's does, while the tests ask it to.

#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "TilvanePresets/PersonalPresetTransfer.hpp"
#include "TilvanePresets/StoreLock.hpp"

#include "TestSupport/TemporaryFolder.hpp"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <tuple>

namespace {

int refusedLockError = 0;  // what flock fails with; 0: it locks as the system does

}  // namespace

// Stands in for the C library's flock in this program, the stores' included.
extern "C" int flock(int descriptor, int operation) noexcept
{
    if (refusedLockError != 0) {
        errno = refusedLockError;
        return -1;
    }
    using Flock = int (*)(int, int);
    static const auto systemFlock = reinterpret_cast<Flock>(::dlsym(RTLD_NEXT, "flock"));
    return systemFlock(descriptor, operation);
}

namespace tilvane {
namespace {

using testing::TemporaryFolder;

class FlockFailure {
public:
    explicit FlockFailure(int error) { refusedLockError = error; }
    ~FlockFailure() { refusedLockError = 0; }
    FlockFailure(const FlockFailure&) = delete;
    FlockFailure& operator=(const FlockFailure&) = delete;
};

VisualSettings plainLook()
{
    return {"gameboy", 8, DitherMode::none, std::nullopt, {}, std::nullopt, {}};
}

// Where the file system cannot lock at all, every change goes on without the lock (each file is still replaced
// whole); any other failure to lock still refuses it.
TEST(StoreLockFallback, AFileSystemWithoutLocksStillTakesEveryChange)
{
    const std::tuple<const char*, int, bool> rows[] = {
        {"no lock service (ENOLCK)", ENOLCK, true},
        {"locks not supported (EOPNOTSUPP)", EOPNOTSUPP, true},
        {"a failure of the lock itself (EINVAL)", EINVAL, false},
    };
    for (const auto& [name, error, writes] : rows) {
        SCOPED_TRACE(name);
        TemporaryFolder folder;
        const PersonalPresetStore presets(folder / "personal-presets.json");
        const LastSessionStore session(folder / "last-session.json");
        const PersonalPreset first{Uuid::random(), "Retro", plainLook()};
        const LastSession last{Url::file("/tmp/a.png"), plainLook(), std::nullopt, 2048, 0.5};
        const FlockFailure failure(error);
        if (!writes) {
            try {
                presets.save({first});
                ADD_FAILURE() << "written without the lock";
            } catch (const std::system_error& refused) {
                EXPECT_EQ(refused.code().value(), error);
                EXPECT_TRUE(std::string(refused.what()).starts_with("Não foi possível bloquear o arquivo"))
                    << refused.what();
            }
            EXPECT_THROW(session.save(last), std::system_error);
            EXPECT_TRUE(presets.load().empty());
            EXPECT_FALSE(session.load());
            continue;
        }
        presets.save({first});
        const auto imported =
            presets.importPreset(PersonalPresetTransfer::encode({Uuid::random(), "Noite", plainLook()}));
        EXPECT_EQ(presets.remove(first.id), std::vector{imported.front()});
        EXPECT_EQ(presets.load(), std::vector{imported.front()});
        session.save(last);
        EXPECT_EQ(session.load(), last);
        session.clear();
        EXPECT_FALSE(session.load());
    }
}

}  // namespace
}  // namespace tilvane

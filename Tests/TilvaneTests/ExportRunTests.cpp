#include "Tilvane/Editor/ExportRun.hpp"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <latch>
#include <stdexcept>
#include <thread>

namespace tilvane::testing {
namespace {

// However an export ends, it stops counting, and the run says once that none is left.
TEST(ExportRun, AnExportCountsUntilItsWorkEndsHoweverItEnds)
{
    enum class Ending { returns, throws, droppedUnrun, begunAfterTheRunStopped };
    struct Row {
        const char* name;
        Ending ending;
        bool workRuns;
    };
    const Row rows[] = {
        {"work that returns", Ending::returns, true},
        {"work that throws", Ending::throws, true},
        {"a job dropped without running", Ending::droppedUnrun, false},
        {"a job begun after the run stopped", Ending::begunAfterTheRunStopped, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportRun run;
        QSignalSpy idle(&run, &ExportRun::becameIdle);
        bool workRan = false;
        auto job = run.job([&](std::stop_token) {
            workRan = true;
            if (row.ending == Ending::throws) throw std::runtime_error("disco cheio");
        });
        EXPECT_FALSE(run.isIdle()) << "counted from the moment it is handed out";

        switch (row.ending) {
        case Ending::returns:
            job();
            break;
        case Ending::throws:
            EXPECT_THROW(job(), std::runtime_error);
            break;
        case Ending::droppedUnrun:
            job = nullptr;
            break;
        case Ending::begunAfterTheRunStopped:
            run.stopAndWait();
            job();
            break;
        }
        EXPECT_EQ(workRan, row.workRuns);
        EXPECT_TRUE(run.isIdle());
        EXPECT_EQ(idle.count(), 0) << "told on the main thread's next turn, not inside the job";
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(idle.count(), 1);
        job = nullptr;  // a job that ended is not counted twice when it goes
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(idle.count(), 1);
    }
}

TEST(ExportRun, IsIdleOnlyOnceEveryExportHasEnded)
{
    ExportRun run;
    QSignalSpy idle(&run, &ExportRun::becameIdle);
    auto first = run.job([](std::stop_token) {});
    auto second = run.job([](std::stop_token) {});
    first();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(run.isIdle());
    EXPECT_EQ(idle.count(), 0);
    second();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(run.isIdle());
    EXPECT_EQ(idle.count(), 1);
}

// Quitting waits for work on another thread until it has let go, also when that work ends by throwing.
TEST(ExportRun, StopAndWaitReturnsOnceRunningWorkHasLetGo)
{
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "work that throws when stopped" : "work that returns when stopped");
        ExportRun run;
        std::latch begun(1);
        std::atomic<bool> letGo = false;
        auto job = run.job([&](std::stop_token stop) {
            begun.count_down();
            while (!stop.stop_requested()) std::this_thread::yield();
            letGo = true;
            if (throws) throw std::runtime_error("cancelado");
        });
        std::thread worker([&job] {
            try {
                job();
            } catch (const std::runtime_error&) {
            }
        });
        begun.wait();
        run.stopAndWait();
        EXPECT_TRUE(letGo);
        worker.join();
        EXPECT_TRUE(run.isIdle());
    }
}

}  // namespace
}  // namespace tilvane::testing

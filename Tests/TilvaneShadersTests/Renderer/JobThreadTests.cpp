#include "TilvaneShaders/Renderer/JobThread.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <latch>
#include <memory>
#include <thread>

namespace tilvane {
namespace {

TEST(JobThread, runsJobsOneAtATimeOnItsOwnThreadInCallOrder)
{
    JobThread worker;
    const auto workerId = worker.run([] { return std::this_thread::get_id(); });
    std::vector<std::vector<int>> order(4);  // each caller's jobs in the order they ran
    int running = 0;
    int overlaps = 0;
    {
        std::vector<std::jthread> callers;
        for (int caller = 0; caller < 4; ++caller) {
            callers.emplace_back([&, caller] {
                for (int job = 0; job < 50; ++job) {
                    worker.run([&] {
                        overlaps += running++ > 0 ? 1 : 0;
                        order[caller].push_back(job);
                        EXPECT_EQ(std::this_thread::get_id(), workerId);
                        --running;
                    });
                }
            });
        }
    }
    EXPECT_EQ(overlaps, 0);
    for (const auto& jobs : order) EXPECT_TRUE(std::ranges::is_sorted(jobs) && jobs.size() == 50u) << "in call order";
}

// The worker is destroyed as soon as the last queued job has run, while its callers may still be
// on their way out of run(); the thread sanitizer build reports any access they make to it then.
TEST(JobThread, canBeDestroyedWhileCallersWhoseJobsRanAreStillReturning)
{
    constexpr int rounds = 200;
    constexpr int callerCount = 4;
    int finished = 0;
    for (int round = 0; round < rounds; ++round) {
        auto worker = std::make_unique<JobThread>();
        std::latch ran(callerCount);
        std::vector<std::jthread> callers;
        std::vector<int> results(callerCount, -1);
        for (int caller = 0; caller < callerCount; ++caller) {
            callers.emplace_back([&, caller] {
                results[caller] = worker->run([&ran, caller] {
                    ran.count_down();
                    return caller;
                });
            });
        }
        ran.wait();
        worker.reset();
        callers.clear();  // joins
        for (int caller = 0; caller < callerCount; ++caller) finished += results[caller] == caller ? 1 : 0;
    }
    EXPECT_EQ(finished, rounds * callerCount) << "every caller got its own job's result";
}

}  // namespace
}  // namespace tilvane

#include "TilvaneShaders/Renderer/JobThread.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
}  // namespace tilvane

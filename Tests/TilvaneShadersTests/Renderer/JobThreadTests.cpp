#include "TilvaneShaders/Renderer/JobThread.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace tilvane {
namespace {

TEST(JobThread, runsJobsOneAtATimeOnItsOwnThreadInCallOrder)
{
    JobThread worker;
    const auto workerId = worker.run([] { return std::this_thread::get_id(); });
    EXPECT_NE(workerId, std::this_thread::get_id());

    std::vector<int> order;
    int running = 0;
    int overlaps = 0;
    {
        std::vector<std::jthread> callers;
        for (int caller = 0; caller < 4; ++caller) {
            callers.emplace_back([&, caller] {
                for (int job = 0; job < 50; ++job) {
                    worker.run([&] {
                        overlaps += running++ > 0 ? 1 : 0;
                        order.push_back(caller * 100 + job);
                        EXPECT_EQ(std::this_thread::get_id(), workerId);
                        --running;
                    });
                }
            });
        }
    }
    EXPECT_EQ(overlaps, 0);
    ASSERT_EQ(order.size(), 200u);
    for (int caller = 0; caller < 4; ++caller) {
        int last = -1;
        for (int value : order) {
            if (value / 100 == caller) {
                EXPECT_GT(value, last) << "one caller's jobs keep their order";
                last = value;
            }
        }
    }
}

TEST(JobThread, passesResultsAndExceptionsBackToTheCaller)
{
    JobThread worker;
    EXPECT_EQ(worker.run([] { return 42; }), 42);
    EXPECT_THROW(worker.run([]() -> int { throw std::runtime_error("job failed"); }), std::runtime_error);
    EXPECT_EQ(worker.run([] { return 7; }), 7) << "the thread survives a failing job";
}

}  // namespace
}  // namespace tilvane

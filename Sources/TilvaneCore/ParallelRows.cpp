#include "TilvaneCore/ParallelRows.hpp"

#include "TilvaneCore/ProcessResources.hpp"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tilvane {

void forEachRowRange(std::size_t count, std::size_t workPerItem, std::size_t minimumWorkPerThread,
                     const std::function<void(std::size_t begin, std::size_t end)>& body)
{
    if (count == 0) {
        return;
    }
    const std::size_t totalWork = count * std::max<std::size_t>(workPerItem, 1);
    const std::size_t worthThreads = totalWork / std::max<std::size_t>(minimumWorkPerThread, 1);
    // The CPUs are looked up only for work worth more than one thread.
    const std::size_t threadCount =
        worthThreads < 2 ? 1
                         : std::clamp<std::size_t>(worthThreads, 1,
                                                   std::min(static_cast<std::size_t>(usableProcessorCount()), count));
    if (threadCount == 1) {
        body(0, count);
        return;
    }
    std::exception_ptr firstError;
    std::mutex errorLock;
    const auto run = [&](std::size_t begin, std::size_t end) {
        try {
            body(begin, end);
        } catch (...) {
            const std::lock_guard guard(errorLock);
            if (!firstError) firstError = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(threadCount - 1);
        for (std::size_t index = 1; index < threadCount; ++index) {
            helpers.emplace_back(run, count * index / threadCount, count * (index + 1) / threadCount);
        }
        run(0, count / threadCount);
    }
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

}  // namespace tilvane

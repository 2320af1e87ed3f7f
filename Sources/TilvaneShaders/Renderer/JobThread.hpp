#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace tilvane {

// One worker thread that runs jobs one at a time, in the order they were handed in.
// The destructor lets the queued jobs finish, then joins the thread.
class JobThread {
public:
    JobThread();
    ~JobThread();

    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    // Runs job on the worker after the jobs queued before it and waits for its result;
    // an exception thrown by the job is rethrown here.
    template <typename Job>
    std::invoke_result_t<Job> run(Job&& job)
    {
        using Result = std::invoke_result_t<Job>;
        auto task = std::make_shared<std::packaged_task<Result()>>(std::forward<Job>(job));
        std::future<Result> result = task->get_future();
        enqueue([task] { (*task)(); });
        return result.get();
    }


private:
    void enqueue(std::function<void()> job);
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tilvane

#include "TilvaneShaders/Renderer/JobThread.hpp"

namespace tilvane {

JobThread::JobThread() : worker_([this] { work(); }) {}

JobThread::~JobThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wake_.notify_one();
    }
    worker_.join();
}

// Notifies while holding the lock: once the caller's job has run, the thread may be destroyed,
// and the destructor cannot take the lock (and so cannot get past it) before this has returned.
void JobThread::enqueue(std::function<void()> job)
{
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    wake_.notify_one();
}

void JobThread::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace tilvane

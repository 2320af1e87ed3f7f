#include "TilvaneCore/FrameReductionPool.hpp"

#include <algorithm>
#include <utility>

namespace tilvane {

FrameReductionPool::FrameReductionPool(int workerCount, Reduction reduce)
    : reduce_(std::move(reduce)), capacity_(static_cast<std::size_t>(std::max(workerCount, 1)))
{
    if (capacity_ == 1) return;
    workers_.reserve(capacity_);
    for (std::size_t worker = 0; worker < capacity_; ++worker) {
        workers_.emplace_back([this](std::stop_token stop) { work(stop); });
    }
}

FrameReductionPool::~FrameReductionPool()
{
    // All are told first, so that each finishes its frame while the others finish theirs.
    for (std::jthread& worker : workers_) worker.request_stop();
    workers_.clear();
}

bool FrameReductionPool::full() const
{
    const std::lock_guard lock(mutex_);
    return slots_.size() >= capacity_;
}

bool FrameReductionPool::empty() const
{
    const std::lock_guard lock(mutex_);
    return slots_.empty();
}

bool FrameReductionPool::oldestReduced() const
{
    const std::lock_guard lock(mutex_);
    return !slots_.empty() && slots_.front().finished;
}

void FrameReductionPool::add(ImagePointer frame)
{
    if (workers_.empty()) {
        Outcome outcome = reduced(std::move(frame));
        const std::lock_guard lock(mutex_);
        Slot& slot = slots_.emplace_back();
        slot.started = slot.finished = true;
        slot.outcome = std::move(outcome);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        slots_.emplace_back().frame = std::move(frame);
    }
    frameWaiting_.notify_one();
}

IndexedFrame FrameReductionPool::takeOldest()
{
    std::unique_lock lock(mutex_);
    oldestFinished_.wait(lock, [this] { return slots_.front().finished; });
    Slot slot = std::move(slots_.front());
    slots_.pop_front();
    lock.unlock();
    if (slot.outcome.error) std::rethrow_exception(slot.outcome.error);
    return std::move(*slot.outcome.reduced);
}

FrameReductionPool::Outcome FrameReductionPool::reduced(ImagePointer frame) const
{
    Outcome outcome;
    try {
        outcome.reduced = reduce_(*frame);
    } catch (...) {
        outcome.error = std::current_exception();
    }
    frame.reset();
    return outcome;
}

void FrameReductionPool::work(std::stop_token stop)
{
    reduceColoursOnThisThreadAlone();
    std::unique_lock lock(mutex_);
    while (true) {
        const auto waiting = [this] { return std::ranges::find(slots_, false, &Slot::started); };
        if (!frameWaiting_.wait(lock, stop, [&] { return waiting() != slots_.end(); })) return;
        Slot& slot = *waiting();
        slot.started = true;
        ImagePointer frame = std::move(slot.frame);
        lock.unlock();

        Outcome outcome = reduced(std::move(frame));
        lock.lock();
        slot.outcome = std::move(outcome);
        slot.finished = true;
        oldestFinished_.notify_one();
    }
}

}  // namespace tilvane

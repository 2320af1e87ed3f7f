#include "TilvaneCore/FrameReductionPool.hpp"

#include "TilvaneCore/Cancellation.hpp"

#include <algorithm>
#include <utility>

namespace tilvane {

FrameReductionPool::FrameReductionPool(int workerCount, Reduction reduce, Consumer consume)
    : reduce_(std::move(reduce)),
      consume_(std::move(consume)),
      capacity_(static_cast<std::size_t>(std::max(workerCount, 1)))
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

void FrameReductionPool::rethrowFailure() const
{
    const std::lock_guard lock(mutex_);
    if (failure_) std::rethrow_exception(failure_);
}

void FrameReductionPool::add(ImagePointer frame)
{
    if (workers_.empty()) {
        rethrowFailure();
        Slot slot;
        reduceInto(slot, std::move(frame));
        try {
            if (slot.error) std::rethrow_exception(slot.error);
            consume_(std::move(*slot.reduced));
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            throw;
        }
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || slots_.size() + (consuming_ ? 1 : 0) < capacity_; });
    if (failure_) std::rethrow_exception(failure_);
    slots_.emplace_back().frame = std::move(frame);
    changed_.notify_all();
}

void FrameReductionPool::waitUntilConsumed(const std::stop_token& stopToken)
{
    std::unique_lock lock(mutex_);
    const bool consumed =
        changed_.wait(lock, stopToken, [this] { return failure_ || (slots_.empty() && !consuming_); });
    if (failure_) std::rethrow_exception(failure_);
    if (!consumed) throw CancellationError();
}

void FrameReductionPool::reduceInto(Slot& slot, ImagePointer frame) const
{
    try {
        slot.reduced = reduce_(*frame);
    } catch (...) {
        slot.error = std::current_exception();
    }
    frame.reset();
}

void FrameReductionPool::work(std::stop_token stop)
{
    reduceColoursOnThisThreadAlone();
    std::unique_lock lock(mutex_);
    while (true) {
        const auto waiting = [this] { return std::ranges::find(slots_, false, &Slot::started); };
        changed_.wait(lock, stop, [&] { return failure_ || waiting() != slots_.end(); });
        if (stop.stop_requested() || failure_) return;
        Slot& slot = *waiting();
        slot.started = true;
        ImagePointer frame = std::move(slot.frame);
        lock.unlock();

        Slot result;
        reduceInto(result, std::move(frame));
        lock.lock();
        slot.reduced = std::move(result.reduced);
        slot.error = result.error;
        slot.finished = true;
        consumeInOrder(lock, stop);
        changed_.notify_all();
    }
}

void FrameReductionPool::consumeInOrder(std::unique_lock<std::mutex>& lock, const std::stop_token& stop)
{
    while (!stop.stop_requested() && !consuming_ && !failure_ && !slots_.empty() && slots_.front().finished) {
        Slot slot = std::move(slots_.front());
        slots_.pop_front();
        if (slot.error) {
            failure_ = slot.error;
            return;
        }
        consuming_ = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            consume_(std::move(*slot.reduced));
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        consuming_ = false;
        failure_ = error;
        changed_.notify_all();
    }
}

}  // namespace tilvane

#pragma once

#include "TilvaneCore/Image.hpp"
#include "TilvaneCore/IndexedFrame.hpp"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace tilvane {

// Reduces frames to their GIF colours side by side on a fixed set of worker threads and hands them to
// a consumer strictly in the order they were added, one at a time, on whichever worker finished the
// oldest. It holds at most `capacity()` frames at a time (waiting, being reduced, or reduced and not yet
// consumed); a worker lets go of a frame as soon as it is reduced. With one worker there is no thread:
// add() reduces and consumes the frame on the caller's thread.
//
// The first error, of a reduction or of the consumer, in the order of the frames, ends the work: no
// later frame is consumed and the error is rethrown, unchanged, to the caller. Each worker reduces with
// libimagequant on its own thread alone, so that the workers share the cores instead of libimagequant's
// own threads waiting on each other. The destructor stops the workers and waits for them; a frame
// being reduced or consumed is finished first, the others are dropped.
class FrameReductionPool {
public:
    using Reduction = std::function<IndexedFrame(const Image&)>;
    using Consumer = std::function<void(IndexedFrame)>;

    // workerCount below 1 counts as 1. `reduce` is called on the workers, several at a time.
    FrameReductionPool(int workerCount, Reduction reduce, Consumer consume);
    ~FrameReductionPool();

    FrameReductionPool(const FrameReductionPool&) = delete;
    FrameReductionPool& operator=(const FrameReductionPool&) = delete;

    std::size_t capacity() const noexcept { return capacity_; }

    // Hands a frame over for reduction, first waiting while the pool is full. Rethrows the first
    // error, and then takes no frame.
    void add(ImagePointer frame);

    // Rethrows the first error, if there was one by now.
    void rethrowFailure() const;

    // Waits until every frame added has been consumed, then rethrows the first error. Throws
    // CancellationError when the stop token is triggered first.
    void waitUntilConsumed(const std::stop_token& stopToken);

private:
    struct Slot {
        ImagePointer frame;  // until a worker takes it
        bool started = false;
        bool finished = false;
        std::optional<IndexedFrame> reduced;
        std::exception_ptr error;
    };

    void work(std::stop_token stop);
    // Consumes the oldest frames while they are reduced and no other worker is consuming.
    void consumeInOrder(std::unique_lock<std::mutex>& lock, const std::stop_token& stop);
    // The frame's reduction, or its error; the frame is let go of before it returns, unless its
    // caller keeps it.
    void reduceInto(Slot& slot, ImagePointer frame) const;

    const Reduction reduce_;
    const Consumer consume_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Slot> slots_;  // oldest first; a worker keeps a reference to its slot while reducing
    bool consuming_ = false;  // a frame taken off the front is being consumed
    std::exception_ptr failure_;
    std::vector<std::jthread> workers_;  // last, so that they stop before anything they use goes
};

}  // namespace tilvane

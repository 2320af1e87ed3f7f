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

// Reduces frames to their GIF colours side by side on a fixed set of worker threads and hands them
// back in the order they were added. It holds at most `capacity()` frames at a time (waiting, being
// reduced, or reduced and not yet taken); a worker lets go of a frame as soon as it is reduced.
// With one worker there is no thread: add() reduces the frame on the caller's thread.
//
// Each worker reduces with libimagequant on its own thread alone, so that the workers share the
// cores instead of libimagequant's own threads waiting on each other. The destructor stops the
// workers and waits for them; a frame still being reduced is finished first and dropped.
class FrameReductionPool {
public:
    using Reduction = std::function<IndexedFrame(const Image&)>;

    // workerCount below 1 counts as 1. `reduce` is called on the workers, several at a time.
    FrameReductionPool(int workerCount, Reduction reduce);
    ~FrameReductionPool();

    FrameReductionPool(const FrameReductionPool&) = delete;
    FrameReductionPool& operator=(const FrameReductionPool&) = delete;

    std::size_t capacity() const noexcept { return capacity_; }
    bool full() const;
    bool empty() const;
    // Whether the oldest frame held has been reduced (or its reduction failed); false when empty.
    bool oldestReduced() const;

    // Hands a frame over for reduction. The pool must not be full.
    void add(ImagePointer frame);

    // Waits for the oldest frame's reduction and hands it over; rethrows, unchanged, the error
    // its reduction threw. The pool must not be empty.
    IndexedFrame takeOldest();

private:
    struct Outcome {
        std::optional<IndexedFrame> reduced;
        std::exception_ptr error;
    };
    struct Slot {
        ImagePointer frame;  // until a worker takes it
        bool started = false;
        bool finished = false;
        Outcome outcome;
    };

    void work(std::stop_token stop);
    // Lets go of the frame before returning, unless someone else keeps it.
    Outcome reduced(ImagePointer frame) const;

    const Reduction reduce_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable_any frameWaiting_;
    std::condition_variable oldestFinished_;
    std::deque<Slot> slots_;  // oldest first; a worker keeps a reference to its slot while reducing
    std::vector<std::jthread> workers_;  // last, so that they stop before anything they use goes
};

}  // namespace tilvane

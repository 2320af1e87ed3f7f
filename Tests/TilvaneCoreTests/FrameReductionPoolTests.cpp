#include "TestImages.hpp"

#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/FrameReductionPool.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace tilvane;
using namespace tilvane::testing_images;

namespace {

// Frame i is i + 1 pixels wide; its reduction carries that width back.
ImagePointer numberedFrame(int index)
{
    return solidImage(index + 1, 1, grey(0));
}
int numberOf(const IndexedFrame& frame)
{
    return frame.width - 1;
}
IndexedFrame reducedStandIn(const Image& image)
{
    return IndexedFrame{image.width(), image.height(), {}, {}, std::nullopt};
}

// The number of threads libimagequant's OpenMP runtime would use on the calling thread.
int quantizerThreads()
{
    using GetThreadCount = int (*)();
    const auto getThreadCount = reinterpret_cast<GetThreadCount>(::dlsym(RTLD_DEFAULT, "omp_get_max_threads"));
    return getThreadCount != nullptr ? getThreadCount() : -1;
}

// A reduction that records where it ran and waits, for frames from `firstHeld` on, until released.
class HeldReduction {
public:
    explicit HeldReduction(int firstHeld) : firstHeld_(firstHeld) {}

    FrameReductionPool::Reduction function()
    {
        return [this](const Image& image) {
            const int index = image.width() - 1;
            {
                std::unique_lock lock(mutex_);
                threads_.push_back(std::this_thread::get_id());
                quantizerThreads_.push_back(quantizerThreads());
                ++started_;
                changed_.notify_all();
                changed_.wait(lock, [&] { return index < firstHeld_ || released_; });
            }
            return reducedStandIn(image);
        };
    }
    void waitUntilStarted(int count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return started_ >= count; });
    }
    void release()
    {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    std::vector<std::thread::id> threads() const
    {
        const std::lock_guard lock(mutex_);
        return threads_;
    }
    std::vector<int> quantizerThreadCounts() const
    {
        const std::lock_guard lock(mutex_);
        return quantizerThreads_;
    }

private:
    const int firstHeld_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int started_ = 0;
    bool released_ = false;
    std::vector<std::thread::id> threads_;
    std::vector<int> quantizerThreads_;
};

// Records the frames consumed and the threads that consumed them.
struct ConsumedFrames {
    FrameReductionPool::Consumer function()
    {
        return [this](IndexedFrame frame) {
            const std::lock_guard lock(mutex);
            numbers.push_back(numberOf(frame));
            threads.push_back(std::this_thread::get_id());
        };
    }
    std::mutex mutex;
    std::vector<int> numbers;
    std::vector<std::thread::id> threads;
};

TEST(FrameReductionPool, ConsumesFramesInOrderWhileALaterFrameFinishesFirst)
{
    // Frame 0 is reduced only once frame 2 has been: this ends only when they run side by side.
    std::promise<void> frameTwoReduced;
    std::shared_future<void> frameTwoDone = frameTwoReduced.get_future().share();
    std::mutex mutex;
    std::vector<int> finishOrder;
    ConsumedFrames consumed;
    FrameReductionPool pool(
        3,
        [&](const Image& image) {
            const int index = image.width() - 1;
            if (index == 0) {
                EXPECT_EQ(frameTwoDone.wait_for(std::chrono::minutes(1)), std::future_status::ready);
            }
            const std::lock_guard lock(mutex);
            finishOrder.push_back(index);
            if (index == 2) frameTwoReduced.set_value();
            return reducedStandIn(image);
        },
        consumed.function());
    EXPECT_EQ(pool.capacity(), 3u);
    for (int index = 0; index < 6; ++index) pool.add(numberedFrame(index));
    pool.waitUntilConsumed({});

    EXPECT_EQ(consumed.numbers, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_LT(std::ranges::find(finishOrder, 2), std::ranges::find(finishOrder, 0));
    for (const std::thread::id thread : consumed.threads) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(FrameReductionPool, WorkersReduceOnOneQuantizerThreadAndTheCallerKeepsItsOwn)
{
    const int callerQuantizerThreads = quantizerThreads();
    ASSERT_GT(callerQuantizerThreads, 0) << "libimagequant brings an OpenMP runtime";

    HeldReduction pooled(0);
    ConsumedFrames pooledConsumed;
    {
        FrameReductionPool pool(2, pooled.function(), pooledConsumed.function());
        pool.add(numberedFrame(0));
        pool.add(numberedFrame(1));
        pooled.waitUntilStarted(2);
        pooled.release();
        pool.waitUntilConsumed({});
    }
    EXPECT_EQ(pooled.quantizerThreadCounts(), (std::vector<int>{1, 1}));
    EXPECT_NE(pooled.threads()[0], pooled.threads()[1]) << "two workers, side by side";

    HeldReduction onCaller(1);
    ConsumedFrames consumedOnCaller;
    FrameReductionPool single(1, onCaller.function(), consumedOnCaller.function());
    single.add(numberedFrame(0));
    EXPECT_EQ(consumedOnCaller.numbers, std::vector{0}) << "consumed before add returned";
    EXPECT_EQ(consumedOnCaller.threads, std::vector{std::this_thread::get_id()});
    EXPECT_EQ(onCaller.threads(), std::vector{std::this_thread::get_id()});
    EXPECT_EQ(onCaller.quantizerThreadCounts(), std::vector{callerQuantizerThreads});
    EXPECT_EQ(quantizerThreads(), callerQuantizerThreads);
}

TEST(FrameReductionPool, HoldsAtMostItsCapacityAndLetsGoOfEachFrameOnceReduced)
{
    // While frame 0 is being consumed, the caller can hand over only two more frames. The consumer
    // waits a while for a fourth to come, which only a pool without bound lets happen.
    constexpr int capacity = 3;
    std::atomic<int> added = 0;
    std::vector<int> addedWhileConsuming;
    std::vector<std::weak_ptr<const Image>> frames;
    std::mutex mutex;
    std::condition_variable addedChanged;
    FrameReductionPool pool(capacity, reducedStandIn, [&](IndexedFrame frame) {
        std::unique_lock lock(mutex);
        if (numberOf(frame) == 0) {
            addedChanged.wait_for(lock, std::chrono::milliseconds(200), [&] { return added > capacity; });
        }
        addedWhileConsuming.push_back(added);
        for (std::size_t index = 0; index <= static_cast<std::size_t>(numberOf(frame)); ++index) {
            EXPECT_TRUE(frames[index].expired()) << index << " is held after its reduction";
        }
    });
    for (int index = 0; index < 8; ++index) {
        ImagePointer frame = numberedFrame(index);
        {
            const std::lock_guard lock(mutex);
            frames.push_back(frame);
        }
        pool.add(std::move(frame));
        ++added;
        addedChanged.notify_all();
    }
    pool.waitUntilConsumed({});
    EXPECT_LE(addedWhileConsuming.front(), capacity);
    EXPECT_EQ(addedWhileConsuming.size(), 8u);
}

TEST(FrameReductionPool, TheFirstFailureInFrameOrderStopsTheWorkAndIsRethrownUnchanged)
{
    const auto failing = [](int failingFrame) {
        return [failingFrame](const Image& image) {
            if (image.width() == failingFrame + 1) throw GIFExportError(GIFExportErrorCase::cannotFinalize);
            return reducedStandIn(image);
        };
    };
    const std::string cannotFinalize = "Não foi possível concluir o arquivo GIF.";
    for (const int workers : {1, 3}) {
        SCOPED_TRACE(workers);
        ConsumedFrames consumed;
        FrameReductionPool pool(workers, failing(1), consumed.function());
        std::string thrown;
        try {
            for (int index = 0; index < 3; ++index) pool.add(numberedFrame(index));
            pool.waitUntilConsumed({});
        } catch (const GIFExportError& error) {
            thrown = error.what();
        }
        EXPECT_EQ(thrown, cannotFinalize);
        EXPECT_EQ(consumed.numbers, std::vector{0});
        EXPECT_THROW(pool.rethrowFailure(), GIFExportError);
        EXPECT_THROW(pool.add(numberedFrame(3)), GIFExportError) << "takes no frame after a failure";

        FrameReductionPool consumerFails(workers, reducedStandIn, [](IndexedFrame frame) {
            if (numberOf(frame) == 1) throw std::runtime_error("disk full");
        });
        try {
            for (int index = 0; index < 3; ++index) consumerFails.add(numberedFrame(index));
            consumerFails.waitUntilConsumed({});
        } catch (const std::runtime_error& error) {
            thrown = error.what();
        }
        EXPECT_EQ(thrown, "disk full");
    }
}

TEST(FrameReductionPool, WaitingForTheLastFramesEndsWhenCancelledWhileAFrameIsStillBeingReduced)
{
    HeldReduction reduction(0);
    ConsumedFrames consumed;
    std::weak_ptr<const Image> frame;
    {
        FrameReductionPool pool(2, reduction.function(), consumed.function());
        ImagePointer image = numberedFrame(0);
        frame = image;
        pool.add(std::move(image));
        reduction.waitUntilStarted(1);
        std::stop_source stop;
        std::jthread canceller([&] { stop.request_stop(); });
        EXPECT_THROW(pool.waitUntilConsumed(stop.get_token()), CancellationError);
        reduction.release();
    }
    EXPECT_TRUE(frame.expired());
}

}  // namespace

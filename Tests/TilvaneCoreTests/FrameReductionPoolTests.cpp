#include "TestImages.hpp"

#include "TilvaneCore/FrameReductionPool.hpp"
#include "TilvaneCore/GIFExporter.hpp"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <future>
#include <memory>
#include <mutex>
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

TEST(FrameReductionPool, HandsFramesBackInOrderWhileALaterFrameFinishesFirst)
{
    // Frame 0 is reduced only once frame 2 has been: this ends only when they run side by side.
    std::promise<void> frameTwoReduced;
    std::shared_future<void> frameTwoDone = frameTwoReduced.get_future().share();
    std::mutex mutex;
    std::vector<int> finishOrder;
    std::vector<std::thread::id> threads;
    FrameReductionPool pool(3, [&](const Image& image) {
        const int index = image.width() - 1;
        if (index == 0) {
            EXPECT_EQ(frameTwoDone.wait_for(std::chrono::minutes(1)), std::future_status::ready);
        }
        const std::lock_guard lock(mutex);
        finishOrder.push_back(index);
        threads.push_back(std::this_thread::get_id());
        if (index == 2) frameTwoReduced.set_value();
        return reducedStandIn(image);
    });
    EXPECT_EQ(pool.capacity(), 3u);
    for (int index = 0; index < 3; ++index) pool.add(numberedFrame(index));
    EXPECT_TRUE(pool.full());

    std::vector<int> handedBack;
    while (!pool.empty()) handedBack.push_back(numberOf(pool.takeOldest()));
    EXPECT_EQ(handedBack, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(finishOrder.back(), 0);
    for (const std::thread::id thread : threads) EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(FrameReductionPool, WorkersReduceOnOneQuantizerThreadAndTheCallerKeepsItsOwn)
{
    const int callerQuantizerThreads = quantizerThreads();
    ASSERT_GT(callerQuantizerThreads, 0) << "libimagequant brings an OpenMP runtime";

    HeldReduction pooled(0);
    {
        FrameReductionPool pool(2, pooled.function());
        pool.add(numberedFrame(0));
        pool.add(numberedFrame(1));
        pooled.waitUntilStarted(2);
        EXPECT_FALSE(pool.oldestReduced()) << "still held";
        pooled.release();
        EXPECT_EQ(numberOf(pool.takeOldest()), 0);
        EXPECT_EQ(numberOf(pool.takeOldest()), 1);
    }
    EXPECT_EQ(pooled.quantizerThreadCounts(), (std::vector<int>{1, 1}));
    EXPECT_NE(pooled.threads()[0], pooled.threads()[1]) << "two workers, side by side";

    HeldReduction onCaller(1);
    FrameReductionPool single(1, onCaller.function());
    single.add(numberedFrame(0));
    EXPECT_TRUE(single.full());
    EXPECT_TRUE(single.oldestReduced()) << "reduced before add returned";
    EXPECT_EQ(onCaller.threads(), std::vector{std::this_thread::get_id()});
    EXPECT_EQ(onCaller.quantizerThreadCounts(), std::vector{callerQuantizerThreads});
    EXPECT_EQ(quantizerThreads(), callerQuantizerThreads);
}

TEST(FrameReductionPool, HoldsAtMostItsCapacityAndLetsGoOfEachFrameOnceReduced)
{
    HeldReduction reduction(0);
    FrameReductionPool pool(3, reduction.function());
    std::vector<std::weak_ptr<const Image>> frames;
    for (int index = 0; index < 3; ++index) {
        EXPECT_FALSE(pool.full()) << index;
        ImagePointer frame = numberedFrame(index);
        frames.push_back(frame);
        pool.add(std::move(frame));
    }
    EXPECT_TRUE(pool.full());
    reduction.waitUntilStarted(3);
    for (const auto& frame : frames) EXPECT_FALSE(frame.expired()) << "being reduced";
    reduction.release();
    EXPECT_EQ(numberOf(pool.takeOldest()), 0);
    EXPECT_FALSE(pool.full());
    EXPECT_EQ(numberOf(pool.takeOldest()), 1);
    EXPECT_EQ(numberOf(pool.takeOldest()), 2);
    EXPECT_TRUE(pool.empty());
    for (const auto& frame : frames) EXPECT_TRUE(frame.expired());
}

TEST(FrameReductionPool, AFailedReductionIsRethrownUnchangedInItsTurn)
{
    for (const int workers : {1, 3}) {
        SCOPED_TRACE(workers);
        FrameReductionPool pool(workers, [](const Image& image) {
            if (image.width() == 2) throw GIFExportError(GIFExportErrorCase::cannotFinalize);
            return reducedStandIn(image);
        });
        std::vector<std::string> outcomes;
        for (int index = 0; index < 3; ++index) {
            pool.add(numberedFrame(index));
            if (!pool.full()) continue;
            while (!pool.empty()) {
                try {
                    outcomes.push_back(std::to_string(numberOf(pool.takeOldest())));
                } catch (const GIFExportError& error) {
                    outcomes.push_back(error.what());
                }
            }
        }
        EXPECT_EQ(outcomes, (std::vector<std::string>{"0", "Não foi possível concluir o arquivo GIF.", "2"}));
    }
}

TEST(FrameReductionPool, LetsItsWorkersFinishTheirFramesWhenDestroyedBeforeTheyAreTaken)
{
    HeldReduction reduction(0);
    std::weak_ptr<const Image> frame;
    {
        FrameReductionPool pool(2, reduction.function());
        ImagePointer image = numberedFrame(0);
        frame = image;
        pool.add(std::move(image));
        reduction.waitUntilStarted(1);
        reduction.release();
    }
    EXPECT_TRUE(frame.expired());
    EXPECT_EQ(reduction.threads().size(), 1u);
}

}  // namespace

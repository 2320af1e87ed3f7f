#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace tilvane {

// The exports of the process. Each export's work runs with a stop token and finishes even when the window
// that started it goes; when the application quits, stopAndWait() stops the running exports and waits until
// they have let go of their files (temporary ones removed), so nothing half written outlives the process.
// An export that had not begun by then never begins.
class ExportRun {
public:
    ExportRun() = default;
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;
    ~ExportRun() { stopAndWait(); }

    // The work as a job for a runner on another thread.
    std::function<void()> job(std::function<void(std::stop_token)> work) const;

    void stopAndWait();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable idle;
        std::stop_source stop;
        int running = 0;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tilvane

#include "Tilvane/Editor/ExportRun.hpp"

namespace tilvane {

std::function<void()> ExportRun::job(std::function<void(std::stop_token)> work) const
{
    return [state = state_, work = std::move(work)] {
        {
            const std::lock_guard lock(state->mutex);
            if (state->stop.stop_requested()) return;
            ++state->running;
        }
        work(state->stop.get_token());
        const std::lock_guard lock(state->mutex);
        --state->running;
        state->idle.notify_all();
    };
}

void ExportRun::stopAndWait()
{
    std::unique_lock lock(state_->mutex);
    state_->stop.request_stop();
    state_->idle.wait(lock, [this] { return state_->running == 0; });
}

}  // namespace tilvane

#include "Tilvane/Editor/ExportRun.hpp"

#include <QCoreApplication>

#include <atomic>

namespace tilvane {

// One export from the moment it is handed out: ended once, by its work's end or by the job's destruction.
class ExportRun::Ticket {
public:
    explicit Ticket(std::shared_ptr<State> state) : state_(std::move(state))
    {
        const std::lock_guard lock(state_->mutex);
        ++state_->unfinished;
    }
    Ticket(const Ticket&) = delete;
    Ticket& operator=(const Ticket&) = delete;
    ~Ticket() { end(); }

    void end()
    {
        if (ended_.exchange(true)) return;
        const std::lock_guard lock(state_->mutex);
        if (--state_->unfinished > 0) return;
        auto* application = QCoreApplication::instance();
        if (!application) return;
        QMetaObject::invokeMethod(
            application,
            [state = state_] {
                if (ExportRun* owner = state->owner.data(); owner && owner->isIdle()) emit owner->becameIdle();
            },
            Qt::QueuedConnection);
    }

private:
    std::shared_ptr<State> state_;
    std::atomic<bool> ended_ = false;
};

// A running export's work, ended on every way out of it, an exception included.
class ExportRun::Working {
public:
    Working(State& state, Ticket& ticket) : state_(state), ticket_(ticket) {}
    Working(const Working&) = delete;
    Working& operator=(const Working&) = delete;
    ~Working()
    {
        {
            const std::lock_guard lock(state_.mutex);
            --state_.running;
            state_.workEnded.notify_all();
        }
        ticket_.end();
    }

private:
    State& state_;
    Ticket& ticket_;
};

ExportRun::ExportRun()
{
    state_->owner = this;
}

ExportRun::~ExportRun()
{
    stopAndWait();
}

// Counts the work as running unless the run has been stopped.
bool ExportRun::begin(State& state)
{
    const std::lock_guard lock(state.mutex);
    if (state.stop.stop_requested()) return false;
    ++state.running;
    return true;
}

std::function<void()> ExportRun::job(std::function<void(std::stop_token)> work)
{
    return [state = state_, ticket = std::make_shared<Ticket>(state_), work = std::move(work)] {
        if (!begin(*state)) {
            ticket->end();
            return;
        }
        const Working working(*state, *ticket);
        work(state->stop.get_token());
    };
}

bool ExportRun::isIdle() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->unfinished == 0;
}

void ExportRun::stopAndWait()
{
    std::unique_lock lock(state_->mutex);
    state_->stop.request_stop();
    state_->workEnded.wait(lock, [this] { return state_->running == 0; });
}

}  // namespace tilvane

#pragma once

#include <cstdint>
#include <stop_token>

namespace tilvane {

// What a started job carries: its stop token and the generation that identifies it in its slot.
struct JobTicket {
    std::stop_token stopToken;
    std::uint64_t generation = 0;
};

// The one place of one kind of job: starting a job stops its predecessor, and only the latest
// job's result is still wanted. Main thread only; the stop token may be read anywhere.
class JobSlot {
public:
    JobSlot() = default;
    JobSlot(const JobSlot&) = delete;
    JobSlot& operator=(const JobSlot&) = delete;
    ~JobSlot() { stop(); }

    // Stops the current job and opens a new one.
    JobTicket start()
    {
        stop();
        stopSource_ = std::stop_source();
        holdsJob_ = true;
        return {stopSource_.get_token(), ++generation_};
    }

    // Asks the current job to stop; its result will be dropped.
    void stop()
    {
        stopSource_.request_stop();
        holdsJob_ = false;
    }

    // Forgets the finished current job without stopping anything.
    void finish(const JobTicket& ticket)
    {
        if (ticket.generation == generation_) holdsJob_ = false;
    }

    // Whether the job of this ticket is still the slot's job and has not been stopped.
    bool isCurrent(const JobTicket& ticket) const
    {
        return ticket.generation == generation_ && !ticket.stopToken.stop_requested();
    }

    // Whether a started job has neither finished nor been stopped.
    bool holdsJob() const { return holdsJob_; }

private:
    std::stop_source stopSource_{std::nostopstate};
    std::uint64_t generation_ = 0;
    bool holdsJob_ = false;
};

}  // namespace tilvane

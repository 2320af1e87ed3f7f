#pragma once

#include <QObject>
#include <QPointer>

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
//
// An export counts from the moment it is handed out as a job until its work has ended, however it ended (or until
// the job is dropped without running), so the application can stay until the files the user waits for are written.
// Lives on the main thread; its jobs run on any thread.
class ExportRun : public QObject {
    Q_OBJECT

public:
    ExportRun();
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;
    ~ExportRun() override;

    // The work as a job for a runner on another thread.
    std::function<void()> job(std::function<void(std::stop_token)> work);

    // No export waiting to begin or running.
    bool isIdle() const;

    void stopAndWait();

signals:
    // The last export has ended; delivered on the main thread.
    void becameIdle();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable workEnded;
        std::stop_source stop;
        int running = 0;            // work begun and not yet ended
        int unfinished = 0;         // jobs handed out and not yet ended
        QPointer<ExportRun> owner;  // read on the main thread only
    };
    class Ticket;
    class Working;

    static bool begin(State& state);

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace tilvane

#pragma once

#include "TestSupport/TemporaryFolder.hpp"
#include "Tilvane/Editor/EditorServices.hpp"
#include "Tilvane/Editor/ExportRun.hpp"
#include "Tilvane/Services/TilvaneEvent.hpp"
#include "Tilvane/Services/TilvaneIncomingImage.hpp"
#include "TilvaneCore/Image.hpp"

#include <QCoreApplication>
#include <QPointer>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tilvane {
class ContentView;
// How a failed expectation shows a save panel.
void PrintTo(const SavePanel& panel, std::ostream* out);
}  // namespace tilvane

namespace tilvane::testing {

// Holds jobs until the test runs them on the calling thread, then delivers their results.
class ManualJobRunner : public JobRunner {
public:
    void run(JobPriority priority, std::function<void()> work) override
    {
        priorities.push_back(priority);
        pending.push_back(std::move(work));
    }

    // Runs every held job (and those they start), delivering each result before the next job.
    void runAll()
    {
        while (!pending.empty()) {
            auto work = std::move(pending.front());
            pending.pop_front();
            work();
            QCoreApplication::sendPostedEvents();
        }
    }

    std::deque<std::function<void()>> pending;
    std::vector<JobPriority> priorities;
};

// A clock that moves only when the test advances it.
class ManualClock : public EditorClock {
public:
    double uptime() const override { return std::chrono::duration<double>(now).count(); }

    void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> action) override
    {
        timers.push_back({now + delay, QPointer<QObject>(context), std::move(action)});
    }

    // Moves time forward, firing the timers that fall due on the way, in the order of their times.
    void advance(std::chrono::milliseconds step)
    {
        const auto end = now + step;
        for (;;) {
            auto next = timers.end();
            for (auto timer = timers.begin(); timer != timers.end(); ++timer) {
                if (timer->due <= end && (next == timers.end() || timer->due < next->due)) next = timer;
            }
            if (next == timers.end()) break;
            now = next->due;
            auto timer = std::move(*next);
            timers.erase(next);
            if (timer.context) timer.action();
        }
        now = end;
    }

    struct Timer {
        std::chrono::milliseconds due;
        QPointer<QObject> context;
        std::function<void()> action;
    };
    std::chrono::milliseconds now{0};
    std::vector<Timer> timers;
};

struct RecordedEvent {
    TilvaneEvent event;
    bool failure = false;
    std::optional<TilvaneExportFormat> format{};
    friend bool operator==(const RecordedEvent&, const RecordedEvent&) = default;
};

class RecordingTelemetry : public TelemetrySink {
public:
    void record(TilvaneEvent event, std::optional<TilvaneExportFormat> format) override
    {
        events.push_back({event, false, format});
    }
    void recordFailure(TilvaneEvent event, std::optional<TilvaneExportFormat> format) override
    {
        events.push_back({event, true, format});
    }
    std::vector<RecordedEvent> events;
};

// Answers the panels with what the test put in, and records every save panel as the user would see it. While a panel
// waits, `meanwhile` runs: what arrives before the user answers.
class ScriptedDialogs : public EditorDialogs {
public:
    std::optional<std::filesystem::path> chooseImageToOpen() override
    {
        wait();
        return imageToOpen;
    }
    std::optional<std::filesystem::path> choosePresetToImport() override
    {
        wait();
        return presetToImport;
    }
    std::optional<std::filesystem::path> choosePresetDestination(const SavePanel& panel) override
    {
        savePanels.push_back(panel);
        wait();
        return presetDestination;
    }
    std::optional<std::filesystem::path> choosePNGDestination(const SavePanel& panel) override
    {
        savePanels.push_back(panel);
        wait();
        return pngDestination;
    }
    // Without a scripted answer the user leaves the options as shown and cancels.
    GIFDestination chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                        const GIFDialogContext& context) override
    {
        savePanels.push_back(panel);
        gifDialogs.push_back({maxDimension, duration, context});
        wait();
        return gifDestination.value_or(GIFDestination{std::nullopt, maxDimension, duration});
    }

    std::function<void()> meanwhile;

    std::optional<std::filesystem::path> imageToOpen;
    std::optional<std::filesystem::path> presetToImport;
    std::optional<std::filesystem::path> presetDestination;
    std::optional<std::filesystem::path> pngDestination;
    std::optional<GIFDestination> gifDestination;

    // What the GIF dialog's options were shown with.
    struct GIFDialogShown {
        int maxDimension;
        int duration;
        GIFDialogContext context;
    };
    std::vector<SavePanel> savePanels;
    std::vector<GIFDialogShown> gifDialogs;

private:
    void wait() const
    {
        if (meanwhile) meanwhile();
    }
};

// A solid picture of the given size.
ImagePointer solidImage(int width, int height, std::uint8_t red = 200, std::uint8_t green = 80, std::uint8_t blue = 40);
// Writes a picture file (format from the extension) and returns its path.
std::filesystem::path writeImageFile(const std::filesystem::path& file, int width, int height);
// Writes `bytes` to `file` as they are.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
// Writes the first third of a photograph's JPEG file: a file the loader cannot read.
void writeTruncatedJPEG(const std::filesystem::path& file);

// Files a load cannot read: a truncated JPEG, text named ".png", an empty file, a folder and a file that is not there.
inline const std::vector<std::string> unreadableFileNames = {"truncated.jpg", "text.png", "empty.png", "folder.png",
                                                             "missing.png"};

// Everything an editor window needs, in a temporary folder, with manual jobs and time.
struct EditorTestServices {
    EditorServices services();
    // A window on these services, shown, with its start done.
    std::unique_ptr<ContentView> shownWindow();
    // The application quits with `window` open: the terminating flag, the will-terminate moment, then the window goes.
    void quit(ContentView& window);
    // Makes the files of unreadableFileNames in the folder.
    void writeUnreadableFiles() const;

    std::filesystem::path file(const std::string& name) const;
    std::filesystem::path sessionFile() const { return file("last-session.json"); }
    std::filesystem::path presetsFile() const { return file("personal-presets.json"); }

    testing::TemporaryFolder folder;
    std::shared_ptr<ManualJobRunner> jobs = std::make_shared<ManualJobRunner>();
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<RecordingTelemetry> telemetry = std::make_shared<RecordingTelemetry>();
    std::shared_ptr<ExportRun> exports = std::make_shared<ExportRun>();
    std::vector<std::string> closedWindowExportFailures;  // what the services were told, in order
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    ImagePointer sample = solidImage(64, 48, 30, 160, 90);
    std::vector<ShaderPreset> shaderPresets;  // the built-in presets the services give: none unless a test sets them
    ShaderRenderer* renderer = nullptr;       // what previews render with: nothing unless a test sets one
    TilvaneIncomingImage incoming;
    TilvaneLifecycle lifecycle;
    ReduceMotionSetting reduceMotion;
};

}  // namespace tilvane::testing

#pragma once

#include "Tilvane/Editor/SavePanels.hpp"
#include "Tilvane/Services/TilvaneEvent.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvanePresets/LastSessionStore.hpp"
#include "TilvanePresets/PersonalPresetStore.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"
#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QObject>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tilvane {

class ExportRun;
class ShaderRenderer;
class TilvaneIncomingImage;
class TilvaneLifecycle;

// Background work of the editor. Interactive work runs before utility work.
enum class JobPriority { userInitiated, utility };

class JobRunner {
public:
    virtual ~JobRunner() = default;
    // Runs the work on another thread.
    virtual void run(JobPriority priority, std::function<void()> work) = 0;
};

// The process's thread pool.
class ThreadPoolJobRunner : public JobRunner {
public:
    void run(JobPriority priority, std::function<void()> work) override;
};

// Time as the editor sees it: a monotonic uptime for animations and one-shot timers on the main thread.
class EditorClock {
public:
    virtual ~EditorClock() = default;
    virtual double uptime() const = 0;  // seconds
    // Calls the action on the main thread after the delay, unless the context object is gone by then.
    virtual void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> action) = 0;
};

class SystemEditorClock : public EditorClock {
public:
    double uptime() const override;
    void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> action) override;
};

// What the GIF panel answers: the longest side and length as the user left them, kept even when the panel
// is cancelled, and the destination, none when it is.
struct GIFDestination {
    std::optional<std::filesystem::path> file;
    int maxDimension = 1024;
    int duration = 2;
};

// What the GIF dialog's options describe: the source's size, whether the GIF moves, the window's theme.
struct GIFDialogContext {
    int sourceWidth = 0;
    int sourceHeight = 0;
    bool animated = false;
    VTAppearance appearance = VTAppearance::noite;
};

// The file panels the editor shows. Each gives no file when the user cancels.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;
    virtual std::optional<std::filesystem::path> chooseImageToOpen() = 0;
    virtual std::optional<std::filesystem::path> choosePresetToImport() = 0;
    virtual std::optional<std::filesystem::path> choosePresetDestination(const SavePanel& panel) = 0;
    virtual std::optional<std::filesystem::path> choosePNGDestination(const SavePanel& panel) = 0;
    // The panel opens with the GIF options at `maxDimension` and `duration`.
    virtual GIFDestination chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                                const GIFDialogContext& context) = 0;
};

// Where the editor's analytics events go. The application forwards them to its telemetry object.
class TelemetrySink {
public:
    virtual ~TelemetrySink() = default;
    virtual void record(TilvaneEvent event, std::optional<TilvaneExportFormat> format = std::nullopt) = 0;
    virtual void recordFailure(TilvaneEvent event, std::optional<TilvaneExportFormat> format = std::nullopt) = 0;
};

// The desktop's reduce-motion setting.
class ReduceMotionSetting : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // The desktop's own setting, followed live from when it is first used.
    static ReduceMotionSetting& shared();

    bool value() const { return value_; }
    void setValue(bool reduceMotion);

signals:
    void valueChanged(bool reduceMotion);

private:
    bool value_ = false;
};

// Everything an editor window uses that blocks, leaves the process or is shared by the process.
// standardEditorServices() gives the real ones; tests replace what they need.
struct EditorServices {
    std::shared_ptr<EditorDialogs> dialogs;
    PersonalPresetStore presetStore;
    LastSessionStore sessionStore;
    std::function<ShaderRenderer*()> renderer;  // may give null: no GPU renderer this run
    // A renderer of its own for one GIF export; throws ShaderRendererError when none can be made.
    std::function<std::unique_ptr<ShaderRenderer>()> exportRenderer;
    std::function<std::vector<ShaderPreset>()> shaderPresets;  // the built-in presets, in display order
    std::shared_ptr<EditorClock> clock;
    std::shared_ptr<JobRunner> jobs;
    std::shared_ptr<TelemetrySink> telemetry;
    std::shared_ptr<ExportRun> exports;  // every window's: an export outlives its window
    // Tells the failure of an export whose window has closed (its message, as the window would have shown it).
    // Empty: nobody is told.
    std::function<void(const std::string& message)> closedWindowExportFailed;
    std::function<ImagePointer()> sampleImage;
    TilvaneIncomingImage* incoming = nullptr;
    TilvaneLifecycle* lifecycle = nullptr;
    ReduceMotionSetting* reduceMotion = nullptr;
};

// A run of exports that the application's quitting stops, waiting until they have let go of their files.
std::shared_ptr<ExportRun> makeExportsStoppedOnQuit();

}  // namespace tilvane

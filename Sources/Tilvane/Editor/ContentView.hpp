#pragma once

#include "Tilvane/Editor/ContentViewState.hpp"
#include "Tilvane/Editor/EditorServices.hpp"
#include "Tilvane/Editor/JobSlot.hpp"
#include "Tilvane/Editor/PictureJobs.hpp"
#include "Tilvane/Editor/ShaderPreviewRequest.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace tilvane {

// Where a picture to load comes from: the user's choice (an open panel, a drop, an incoming file), or the last
// session, restored when the window starts.
enum class ImageOrigin { chosen, lastSession };

// Whether a dialog's answer may be nothing already (a cancelled panel).
template <class Answer>
inline constexpr bool isOptionalAnswer = false;
template <class Answer>
inline constexpr bool isOptionalAnswer<std::optional<Answer>> = true;

// One editor window without its widgets: all of its state, every operation, and its background
// jobs. Widgets draw state() whenever changed() is emitted and forward the user's actions to the
// operations below. Setters whose field has an observer compare old and new with == and react only
// to a real change; construction assigns fields directly, so nothing reacts to the initial values.
//
// Public are the inputs the window and the application call; the steps they take are private. Both are
// grouped by concern, each group implemented in its own source file.
class ContentView : public QObject {
    Q_OBJECT

public:
    explicit ContentView(EditorServices services, QObject* parent = nullptr);
    ~ContentView() override;

    const ContentViewState& state() const { return state_; }

    // ---- Observed fields: the user's writes and the environment's changes (ContentView.cpp) -----

    void setVisual(VisualSettings visual);
    void setShaderID(PresetSelection shaderID);
    void setMaxDimension(int maxDimension);
    void setScenePhase(ScenePhase phase);
    void setReduceMotion(bool reduceMotion);
    void setAppearance(VTAppearance appearance);  // the application's theme, applied to this window
    // The theme button: asks the application for the other appearance.
    void toggleAppearance();

    // ---- Life cycle (ContentView.cpp) -----------------------------------------------------------

    // The window's appearance (each time: it takes a waiting incoming file; the first also starts the window), its
    // disappearance, and the application's will-terminate moment.
    void windowDidAppear();
    void windowDidDisappear();
    void applicationWillTerminate();
    // A file delivered to this window: it goes through the incoming-file slot like every other.
    void openURL(const QUrl& url);

    // ---- Loading (ContentViewLoading.cpp) -------------------------------------------------------

    void loadImage(const std::filesystem::path& url, ImageOrigin origin);
    // The open panel, then loadImage with the chosen file.
    void openImage();
    // A drop on the stage: only the first item counts; true when it was a local file, now loading.
    bool dropURLs(const QList<QUrl>& urls);
    void setIsDropTargeted(bool targeted);

    // ---- Comparison (ContentView.cpp) -----------------------------------------------------------

    void setCompareFraction(double fraction);
    // The end of a drag on the comparison: the divider's position is saved with the session.
    void compareEnded();
    // Command+Shift+B in this window.
    void toggleCompareHandle();

    // ---- Alerts (ContentView.cpp) ---------------------------------------------------------------

    // The error alert "Não foi possível concluir" was put away: its message goes, and the next one waiting shows.
    void dismissError();
    // The unsaved-changes alert "Alterações não salvas": its three buttons.
    void unsavedAlertSave();
    void unsavedAlertDiscard();
    void unsavedAlertCancel();

    // ---- Personal presets (ContentViewPresets.cpp) ----------------------------------------------

    std::optional<PersonalPreset> selectedPersonalPreset() const;
    bool hasUnsavedChanges() const;
    // The gallery's choice, through the unsaved-changes rule.
    void selectFromGallery(PresetSelection id);
    // The shader inspector's remove button, through the unsaved-changes rule.
    void removeShader();
    // The preset panel's buttons, the name sheet and the delete confirmation.
    bool saveSelectedPreset();
    void beginCreatePreset();
    void beginRenamePreset();
    void setPresetName(std::string name);
    void cancelNameDialog();
    bool commitNameDialog();
    void restoreSavedPreset();
    void requestDeletePreset();
    void confirmDeletePreset();
    void cancelDeletePreset();
    void exportSelectedPreset();
    void importPersonalPreset();
    // The built-in screen presets that selections are looked up in, read once from the services.
    const std::vector<ShaderPreset>& builtInPresets() const { return builtInPresets_; }

    // ---- Export (ContentViewExport.cpp) ---------------------------------------------------------

    void exportPNG();
    void exportGIF();

    // ---- Rules ----------------------------------------------------------------------------------

    static VisualChange classifyVisualChange(const VisualSettings& old, const VisualSettings& visual);
    // The size of the preview base for a source of this size: at most 960 on the longer side.
    static std::pair<int, int> previewSize(int sourceWidth, int sourceHeight);
    // The alert's text for what stopped a conversion: the converter's own sentence or, when the system stopped it
    // (no memory or thread left), what failed in the window's words before the system's.
    static std::string conversionFailureMessage(const std::exception_ptr& error);
    static constexpr int previewMaxDimension = 960;
    static constexpr std::chrono::milliseconds screenThumbnailRefreshDelay{180};

signals:
    // Some field of state() changed; widgets redraw from it.
    void changed();
    // The theme button asks the application for another appearance.
    void appearanceRequested(VTAppearance appearance);

private:
    // Assigns one field and announces the change; no observer runs.
    template <auto Field, class Value>
    bool assign(Value&& value)
    {
        auto& field = state_.*Field;
        if (field == value) return false;
        field = std::forward<Value>(value);
        emit changed();
        return true;
    }

    // Runs `work` off the main thread for a job of `slot`, then `deliver` with its result on the
    // main thread, unless the job was stopped or replaced, or this window is gone by then.
    template <class Work, class Deliver>
    void runJob(JobSlot& slot, JobPriority priority, Work work, Deliver deliver)
    {
        const JobTicket ticket = slot.start();
        JobSlot* const slotOfJob = &slot;
        QPointer<ContentView> window(this);
        services_.jobs->run(
            priority, [window, slotOfJob, ticket, work = std::move(work), deliver = std::move(deliver)]() mutable {
                auto result = work(ticket.stopToken);
                if (ticket.stopToken.stop_requested()) return;
                // The window is looked at on the main thread only; it may be gone by then.
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [window, slotOfJob, ticket, result = std::move(result), deliver = std::move(deliver)]() mutable {
                        if (!window || !slotOfJob->isCurrent(ticket)) return;
                        slotOfJob->finish(ticket);
                        deliver(std::move(result));
                    },
                    Qt::QueuedConnection);
            });
    }

    // ---- Waiting for the user (ContentView.cpp) -------------------------------------------------

    // Runs `ask`, a dialog that waits for the user in an event loop of its own while pictures, failures and quits
    // arrive, and gives its answer; nothing when by then this window is gone or going away (closed, or the
    // application quitting). A caller given nothing returns at once: the window may no longer exist. What the
    // answer is applied to is taken before the wait.
    template <class Ask>
    auto waitForUser(Ask ask)
    {
        using Answer = std::invoke_result_t<Ask>;
        using Result = std::conditional_t<isOptionalAnswer<Answer>, Answer, std::optional<Answer>>;
        const QPointer<ContentView> window(this);
        Answer answer = ask();
        if (!window || window->isGoingAway()) return Result();
        return Result(std::move(answer));
    }
    bool isGoingAway() const;

    // ---- Life cycle and the last session (ContentView.cpp) --------------------------------------

    void restoreLastSession();
    void visualDidChange(const VisualSettings& old, const VisualSettings& visual);
    // The slot announced a file: the first window on screen to take it opens it.
    void incomingImageDidReceive();
    void startIfNeeded(std::optional<std::filesystem::path> url);
    // A failure's text, told after those not yet dismissed.
    void queueErrorMessage(std::string message);
    // The last session: what would be written now, a save 0.3 s after the last trigger, a save now.
    std::optional<LastSession> currentSession() const;
    // The file the session names and the working size it was read at: the picture on screen; while a load is under
    // way, the one that stays should the load fail; nothing for the sample.
    struct SessionPicture {
        std::filesystem::path url;
        int maxDimension;
    };
    std::optional<SessionPicture> sessionPicture() const;
    void scheduleSessionSave();
    void sessionSaveFired(JobTicket ticket);
    void saveSession();
    void finishWindowSession();

    static constexpr std::chrono::milliseconds sessionSaveDelay{300};

    // ---- Loading and conversion (ContentViewLoading.cpp) ----------------------------------------

    // What a load whose file cannot be read goes back to: the picture on screen when it began, with the jobs that
    // were under way for it; the last session's picture, still being read then; or the sample, when the window
    // had shown nothing yet.
    struct ShownPicture {
        ContentViewState state;
        PictureJobs running;
        std::optional<int> readAt;  // the working size its file was read at; nothing for the sample
    };
    struct LastSessionPicture {
        std::filesystem::path url;
    };
    struct SamplePicture {};
    using LoadFallback = std::variant<ShownPicture, LastSessionPicture, SamplePicture>;

    void showSample();
    void convert();
    void resetShaders();
    ShownPicture shownPicture() const;
    void goBack(LoadFallback fallback);
    void showAgain(const ShownPicture& shown);
    template <auto... Fields>
    void restoreFields(const ContentViewState& from)
    {
        (assign<Fields>(from.*Fields), ...);
    }

    // ---- Shader preview and thumbnails (ContentViewPreview.cpp) ---------------------------------

    struct PreviewFrame;
    void applyShader();
    void renderPreviewFrame(ShaderPreviewRequest request, std::optional<double> start);
    void previewFrameArrived(ShaderPreviewRequest request, PreviewFrame frame);
    // A preview is due but none is shown (its render was cut off before the first frame).
    bool previewIsMissing() const;
    void generateShaderThumbnails(ImagePointer pixelGrid, int width, int height);
    void refreshScreenThumbnails(ImagePointer pixelGrid, ImagePointer source);
    void generatePersonalThumbnails();

    // ---- Personal presets (ContentViewPresets.cpp) ----------------------------------------------

    std::optional<Uuid> personalID() const;
    void applySelection(PresetSelection id);
    void askAboutUnsavedChanges(PresetSelection pending);
    void loadPersonalPresets();
    void adoptPersonalPresets(std::vector<PersonalPreset> presets);
    // Adopts a list just written to (or read anew from) the presets file and shows it in every other window too.
    void announceWrittenList(std::vector<PersonalPreset> presets);
    // After a change the store refused: the list as it is on disk now, when the file can be read.
    void showStoredPresets();
    // Reads the presets file anew, applies `change` and saves the result, in one turn of the store; a change that
    // finds its preset gone (nothing) writes nothing and reports it.
    bool persistChange(
        const std::function<std::optional<std::vector<PersonalPreset>>(std::vector<PersonalPreset>)>& change);
    void deletePreset(const Uuid& id);

    // ---- Export (ContentViewExport.cpp) ---------------------------------------------------------

    std::string suggestedExportName() const;
    // Runs an export's work (which answers its failure text, or nothing) off the main thread, among the
    // process's exports: it finishes, and its outcome is recorded, even when this window goes meanwhile.
    void startExport(TilvaneExportFormat format, std::function<std::optional<std::string>(std::stop_token)> work);
    void exportFinished(const std::optional<std::string>& failure);

    EditorServices services_;
    ContentViewState state_;
    // The last-session file is kept as it is until this window writes a session of its own: it could
    // not be read at construction, or the system failed to read its picture, which may read next time.
    bool keepsStoredSession_ = false;
    // The text of the last session save's failure, told already; nothing after a save that succeeded.
    std::optional<std::string> toldSessionSaveFailure_;
    bool reportedRendererUnavailable_ = false;
    bool disappeared_ = false;  // the window has gone (closed, or the application quitting)
    // Set while a load is under way.
    std::optional<LoadFallback> loadFallback_;
    // The working size the picture on screen was read at; nothing for the sample.
    std::optional<int> sourceReadAt_;
    std::vector<ShaderPreset> builtInPresets_;

    JobSlot work_;                    // loading and conversion
    JobSlot shaderWork_;              // the shader preview
    JobSlot thumbnailWork_;           // built-in preset thumbnails
    JobSlot screenThumbnailRefresh_;  // the delayed refresh after a screen-settings change
    JobSlot personalThumbnailWork_;   // personal preset thumbnails
    JobSlot sessionSaveWork_;         // the pending debounced session save
};

}  // namespace tilvane

#include "Tilvane/Editor/ContentView.hpp"

#include "Tilvane/Editor/EditorPresentation.hpp"
#include "Tilvane/Services/TilvaneIncomingImage.hpp"
#include "TilvanePresets/Url.hpp"

#include <exception>

namespace tilvane {

ContentView::ContentView(EditorServices services, QObject* parent) : QObject(parent), services_(std::move(services))
{
    builtInPresets_ = services_.shaderPresets();
    if (services_.reduceMotion) {
        state_.reduceMotion = services_.reduceMotion->value();
        connect(services_.reduceMotion, &ReduceMotionSetting::valueChanged, this, &ContentView::setReduceMotion);
    }
    if (services_.incoming) {
        connect(services_.incoming, &TilvaneIncomingImage::didReceive, this, &ContentView::incomingImageDidReceive);
    }
    restoreLastSession();
}

ContentView::~ContentView() = default;

// The last session's settings take effect before the window is first drawn; its picture is opened
// by the start logic.
void ContentView::restoreLastSession()
{
    try {
        const auto session = services_.sessionStore.load();
        if (!session) return;
        state_.restoredSession = session;
        state_.visual = session->visual;
        state_.shaderID = session->selectedPresetID;
        state_.maxDimension = static_cast<int>(session->maxDimension);
        state_.compareFraction = session->compareFraction;
        state_.sourceName = session->imageURL.path().filename().string();
        state_.isProcessing = true;
    } catch (const std::exception& error) {
        state_.errorMessages.emplace_back(error.what());
        keepsStoredSession_ = true;
    }
}

// ---- Observed fields ----------------------------------------------------------------------------

void ContentView::setVisual(VisualSettings visual)
{
    if (state_.visual == visual) return;
    VisualSettings old = std::exchange(state_.visual, std::move(visual));
    emit changed();
    visualDidChange(old, state_.visual);
}

VisualChange ContentView::classifyVisualChange(const VisualSettings& old, const VisualSettings& visual)
{
    if (old.paletteID != visual.paletteID || old.customColors != visual.customColors
        || old.pixelSize != visual.pixelSize || old.dither != visual.dither || old.adjustments != visual.adjustments) {
        return VisualChange::convert;
    }
    if (old.screen != visual.screen) return VisualChange::applyShaderAndRefreshThumbnails;
    if (old.shader != visual.shader) return VisualChange::applyShader;
    return VisualChange::none;
}

void ContentView::visualDidChange(const VisualSettings& old, const VisualSettings& visual)
{
    scheduleSessionSave();
    switch (classifyVisualChange(old, visual)) {
    case VisualChange::none:
        return;
    case VisualChange::convert:
        convert();
        return;
    case VisualChange::applyShader:
        applyShader();
        return;
    case VisualChange::applyShaderAndRefreshThumbnails:
        applyShader();
        if (state_.pixelGrid && state_.source) {
            thumbnailWork_.stop();
            refreshScreenThumbnails(state_.pixelGrid, state_.source);
        }
        return;
    }
}

void ContentView::setShaderID(PresetSelection shaderID)
{
    if (!assign<&ContentViewState::shaderID>(std::move(shaderID))) return;
    scheduleSessionSave();
}

void ContentView::setMaxDimension(int maxDimension)
{
    if (!assign<&ContentViewState::maxDimension>(maxDimension)) return;
    if (state_.sourceURL) loadImage(*state_.sourceURL, ImageOrigin::chosen);
}

void ContentView::setScenePhase(ScenePhase phase)
{
    if (!assign<&ContentViewState::scenePhase>(phase)) return;
    if (phase == ScenePhase::active) {
        if ((state_.visual.shader && state_.visual.shader->motion) || previewIsMissing()) applyShader();
        return;
    }
    sessionSaveWork_.stop();
    saveSession();
    shaderWork_.stop();
    assign<&ContentViewState::isShaderProcessing>(false);
}

void ContentView::setReduceMotion(bool reduceMotion)
{
    if (!assign<&ContentViewState::reduceMotion>(reduceMotion)) return;
    applyShader();
}

void ContentView::setAppearance(VTAppearance appearance)
{
    assign<&ContentViewState::appearance>(appearance);
}

void ContentView::toggleAppearance()
{
    emit appearanceRequested(editor_presentation::toggledAppearance(state_.appearance));
}

// ---- Appearance, disappearance, incoming files --------------------------------------------------

void ContentView::windowDidAppear()
{
    startIfNeeded(services_.incoming ? services_.incoming->take() : std::nullopt);
}

void ContentView::windowDidDisappear()
{
    disappeared_ = true;
    finishWindowSession();
}

void ContentView::applicationWillTerminate()
{
    sessionSaveWork_.stop();
    saveSession();
}

bool ContentView::isGoingAway() const
{
    return disappeared_ || (services_.lifecycle && services_.lifecycle->isTerminating());
}

void ContentView::openURL(const QUrl& url)
{
    if (services_.incoming) services_.incoming->receive(url);
}

void ContentView::incomingImageDidReceive()
{
    // A window that is not on screen leaves the file to one the user can see (a new one if need be).
    if (!services_.incoming || state_.scenePhase == ScenePhase::background) return;
    if (auto url = services_.incoming->take()) startIfNeeded(std::move(url));
}

void ContentView::startIfNeeded(std::optional<std::filesystem::path> url)
{
    if (state_.didStart) {
        if (url) loadImage(*url, ImageOrigin::chosen);
        return;
    }
    assign<&ContentViewState::didStart>(true);
    loadPersonalPresets();
    if (url) {
        // Should the file not be read, the window shows what a start without it would have.
        const auto session = state_.restoredSession;
        assign<&ContentViewState::restoredSession>(std::nullopt);
        loadFallback_ = session ? LoadFallback(LastSessionPicture{session->imageURL.path()}) : SamplePicture{};
        loadImage(*url, ImageOrigin::chosen);
    } else if (auto session = state_.restoredSession) {
        assign<&ContentViewState::restoredSession>(std::nullopt);
        loadImage(session->imageURL.path(), ImageOrigin::lastSession);
    } else {
        showSample();
    }
}

// ---- Alerts -------------------------------------------------------------------------------------

void ContentView::queueErrorMessage(std::string message)
{
    // A failure that repeats before its alert is put away is told once.
    if (!state_.errorMessages.empty() && state_.errorMessages.back() == message) return;
    state_.errorMessages.push_back(std::move(message));
    emit changed();
}

void ContentView::dismissError()
{
    if (state_.errorMessages.empty()) return;
    state_.errorMessages.pop_front();
    emit changed();
}

void ContentView::unsavedAlertSave()
{
    assign<&ContentViewState::showingUnsavedAlert>(false);
    if (!saveSelectedPreset()) return;
    auto selection = std::exchange(state_.pendingSelection, std::nullopt);
    emit changed();
    applySelection(std::move(selection));
}

void ContentView::unsavedAlertDiscard()
{
    assign<&ContentViewState::showingUnsavedAlert>(false);
    auto selection = std::exchange(state_.pendingSelection, std::nullopt);
    emit changed();
    applySelection(std::move(selection));
}

void ContentView::unsavedAlertCancel()
{
    assign<&ContentViewState::showingUnsavedAlert>(false);
    assign<&ContentViewState::pendingSelection>(std::nullopt);
}

// ---- The last session ---------------------------------------------------------------------------

std::optional<LastSession> ContentView::currentSession() const
{
    const auto picture = sessionPicture();
    if (!picture) return std::nullopt;
    return LastSession{
        .imageURL = Url::file(picture->url),
        .visual = state_.visual,
        .selectedPresetID = state_.shaderID,
        .maxDimension = picture->maxDimension,
        .compareFraction = state_.compareFraction,
    };
}

void ContentView::scheduleSessionSave()
{
    const JobTicket ticket = sessionSaveWork_.start();
    services_.clock->schedule(sessionSaveDelay, this, [this, ticket] { sessionSaveFired(ticket); });
}

void ContentView::sessionSaveFired(JobTicket ticket)
{
    if (!sessionSaveWork_.isCurrent(ticket)) return;
    sessionSaveWork_.finish(ticket);
    saveSession();
}

void ContentView::saveSession()
{
    const auto session = currentSession();
    if (!session) return;
    try {
        services_.sessionStore.save(*session);
        keepsStoredSession_ = false;
        toldSessionSaveFailure_.reset();
    } catch (const std::exception& error) {
        // A save fails again and again for one cause (a folder where the file should be, a read-only support
        // folder): the failure is told once, until a save succeeds or fails for another cause.
        std::string message = std::string("Não foi possível salvar a última sessão: ") + error.what();
        if (message == toldSessionSaveFailure_) return;
        toldSessionSaveFailure_ = message;
        queueErrorMessage(std::move(message));
    }
}

void ContentView::finishWindowSession()
{
    sessionSaveWork_.stop();
    if (keepsStoredSession_) return;
    try {
        services_.sessionStore.finishWindow(services_.lifecycle && services_.lifecycle->isTerminating(),
                                            currentSession());
    } catch (const std::exception& error) {
        queueErrorMessage(std::string("Não foi possível atualizar a última sessão: ") + error.what());
    }
}

// ---- Comparison ---------------------------------------------------------------------------------

void ContentView::setCompareFraction(double fraction)
{
    assign<&ContentViewState::compareFraction>(fraction);
}

void ContentView::compareEnded()
{
    scheduleSessionSave();
}

void ContentView::toggleCompareHandle()
{
    assign<&ContentViewState::showsCompareHandle>(!state_.showsCompareHandle);
}

}  // namespace tilvane

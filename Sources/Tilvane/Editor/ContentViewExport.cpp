#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/ExportJobs.hpp"
#include "Tilvane/Editor/ExportRun.hpp"

namespace tilvane {

namespace {

constexpr const char* pngFailure = "Não foi possível salvar o PNG.";
constexpr const char* gifFailurePrefix = "Não foi possível salvar o GIF: ";

}  // namespace

// The dialog proposes "<name>-tilvane" beside the source (the sample has no folder of its own).
std::string ContentView::suggestedExportName() const
{
    const std::string stem = exportFileStem(QString::fromStdString(state_.sourceName)).toStdString();
    if (!state_.sourceURL) return stem;
    return (state_.sourceURL->parent_path() / stem).string();
}

void ContentView::exportPNG()
{
    if (!state_.source || !state_.pixelGrid || state_.isExporting) return;
    PNGExportSnapshot snapshot = makePNGSnapshot(state_.source, state_.pixelGrid, state_.visual.shader,
                                                 state_.visual.screen, state_.shaderFrameTime, state_.reduceMotion, {});
    const auto destination =
        waitForUser([&] { return services_.dialogs->choosePNGDestination(pngSavePanel(suggestedExportName())); });
    if (!destination) return;
    snapshot.destination = *destination;
    startExport(TilvaneExportFormat::png,
                [snapshot = std::move(snapshot),
                 renderer = services_.renderer](std::stop_token stop) -> std::optional<std::string> {
                    if (runPNGExport(snapshot, renderer(), stop)) return std::nullopt;
                    return pngFailure;
                });
}

// The GIF is made of what the dialog was opened over: the picture, its grid and its look are taken before it, and only
// the dialog's own choices (size, length, file) after it.
void ContentView::exportGIF()
{
    if (!state_.source || !state_.pixelGrid || state_.isExporting) return;
    const ImagePointer pixelGrid = state_.pixelGrid;
    const std::optional<ShaderConfiguration> configuration = state_.visual.shader;
    const ScreenSettings screen = state_.visual.screen;
    const GIFDialogContext context{state_.source->width(), state_.source->height(), configuration.has_value(),
                                   state_.appearance};
    const auto destination = waitForUser([&] {
        return services_.dialogs->chooseGIFDestination(gifSavePanel(suggestedExportName()), state_.gifMaxDimension,
                                                       state_.gifDuration, context);
    });
    if (!destination) return;
    assign<&ContentViewState::gifMaxDimension>(destination->maxDimension);
    assign<&ContentViewState::gifDuration>(destination->duration);
    if (!destination->file) return;
    GIFExportSnapshot snapshot =
        makeGIFSnapshot(pixelGrid, context.sourceWidth, context.sourceHeight, destination->maxDimension, configuration,
                        screen, destination->duration, *destination->file);
    startExport(TilvaneExportFormat::gif,
                [snapshot = std::move(snapshot),
                 makeRenderer = services_.exportRenderer](std::stop_token stop) -> std::optional<std::string> {
                    try {
                        runGIFExport(snapshot, makeRenderer, stop);
                        return std::nullopt;
                    } catch (...) {
                        return gifFailurePrefix + gifExportErrorDescription(std::current_exception()).toStdString();
                    }
                });
}

void ContentView::startExport(TilvaneExportFormat format,
                              std::function<std::optional<std::string>(std::stop_token)> work)
{
    assign<&ContentViewState::isExporting>(true);
    services_.telemetry->record(TilvaneEvent::exportStarted, format);
    QPointer<ContentView> window(this);
    services_.jobs->run(JobPriority::userInitiated,
                        services_.exports->job([window, format, telemetry = services_.telemetry,
                                                closedWindowExportFailed = services_.closedWindowExportFailed,
                                                work = std::move(work)](std::stop_token stop) {
                            std::optional<std::string> failure = work(stop);
                            QMetaObject::invokeMethod(
                                QCoreApplication::instance(),
                                [window, format, telemetry, closedWindowExportFailed, failure = std::move(failure)] {
                                    if (failure) {
                                        telemetry->recordFailure(TilvaneEvent::exportFailed, format);
                                    } else {
                                        telemetry->record(TilvaneEvent::exportCompleted, format);
                                    }
                                    if (window) {
                                        window->exportFinished(failure);
                                    } else if (failure && closedWindowExportFailed) {
                                        // The user closed the window expecting the file: a failure is told all
                                        // the same.
                                        closedWindowExportFailed(*failure);
                                    }
                                },
                                Qt::QueuedConnection);
                        }));
}

void ContentView::exportFinished(const std::optional<std::string>& failure)
{
    if (failure) queueErrorMessage(*failure);
    assign<&ContentViewState::isExporting>(false);
}

}  // namespace tilvane

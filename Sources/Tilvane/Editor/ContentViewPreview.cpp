#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Editor/ThumbnailRendering.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <exception>

namespace tilvane {

// One rendered preview frame, or why there is none.
struct ContentView::PreviewFrame {
    ImagePointer image;
    float time = 0;
    double start = 0;  // when the animation began, on the editor's clock
    std::exception_ptr error;
};

namespace {

bool isRendererUnavailable(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ShaderRendererError& rendererError) {
        return rendererError.errorCase() == ShaderRendererErrorCase::unavailable;
    } catch (...) {
        return false;
    }
}

std::string describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& known) {
        return known.what();
    } catch (...) {
        return ShaderRendererError(ShaderRendererErrorCase::renderFailed).what();
    }
}

}  // namespace

bool ContentView::previewIsMissing() const
{
    return !state_.shaderImage
           && previewRequest(state_.shaderPreviewBase, state_.visual.shader, state_.visual.screen, state_.reduceMotion,
                             state_.scenePhase == ScenePhase::active);
}

void ContentView::applyShader()
{
    shaderWork_.stop();
    assign<&ContentViewState::shaderImage>(nullptr);
    auto request = previewRequest(state_.shaderPreviewBase, state_.visual.shader, state_.visual.screen,
                                  state_.reduceMotion, state_.scenePhase == ScenePhase::active);
    if (!request) {
        assign<&ContentViewState::isShaderProcessing>(false);
        return;
    }
    assign<&ContentViewState::isShaderProcessing>(true);
    renderPreviewFrame(std::move(*request), std::nullopt);
}

// One link of the animation chain: render off the main thread, publish, then wait 75 ms on a single-shot
// timer before the next link. An animation resets the renderer's history once, before its first frame,
// and feeds the shader the seconds elapsed since then.
void ContentView::renderPreviewFrame(ShaderPreviewRequest request, std::optional<double> start)
{
    runJob(
        shaderWork_, JobPriority::userInitiated,
        [request, start, renderer = services_.renderer, clock = services_.clock](std::stop_token stop) {
            PreviewFrame frame;
            try {
                ShaderRenderer* const shared = renderer();
                if (shared == nullptr) throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
                if (!start && request.animates()) shared->resetTemporalHistory();
                frame.start = start.value_or(clock->uptime());
                frame.time = request.animates() ? static_cast<float>(clock->uptime() - frame.start) : 0.0f;
                frame.image = shared->render(request.base, request.configuration, request.screen, frame.time,
                                             {.temporalHistory = true}, stop);
            } catch (const CancellationError&) {
                // Only a stopped job is cancelled, and its result is never delivered.
            } catch (...) {
                frame.error = std::current_exception();
            }
            return frame;
        },
        [this, request](PreviewFrame frame) mutable { previewFrameArrived(std::move(request), std::move(frame)); });
}

void ContentView::previewFrameArrived(ShaderPreviewRequest request, PreviewFrame frame)
{
    assign<&ContentViewState::isShaderProcessing>(false);
    if (frame.error) {
        // Without a renderer for the whole run, the window says so once, not on every edit.
        if (isRendererUnavailable(frame.error)) {
            if (reportedRendererUnavailable_) return;
            reportedRendererUnavailable_ = true;
        }
        queueErrorMessage(describe(frame.error));
        return;
    }
    assign<&ContentViewState::shaderImage>(std::move(frame.image));
    assign<&ContentViewState::shaderFrameTime>(frame.time);
    // A receiver of the frame may have started or stopped a preview meanwhile; then that one rules.
    if (!request.animates() || shaderWork_.holdsJob()) return;
    const JobTicket pause = shaderWork_.start();
    services_.clock->schedule(previewFrameInterval, this,
                              [this, pause, request = std::move(request), start = frame.start]() mutable {
                                  if (!shaderWork_.isCurrent(pause)) return;
                                  renderPreviewFrame(std::move(request), start);
                              });
}

void ContentView::generateShaderThumbnails(ImagePointer pixelGrid, int width, int height)
{
    thumbnailWork_.stop();
    assign<&ContentViewState::screenThumbnail>(nullptr);
    if (!pixelGrid) return;
    runJob(
        thumbnailWork_, JobPriority::utility,
        [pixelGrid, width, height, screen = state_.visual.screen, renderer = services_.renderer,
         presets = builtInPresets_](std::stop_token stop) -> std::optional<BuiltInThumbnails> {
            try {
                return renderBuiltInThumbnails(*pixelGrid, width, height, screen, renderer(), presets, stop);
            } catch (const std::exception&) {
                return std::nullopt;  // all or nothing: the previous set stays
            }
        },
        [this](std::optional<BuiltInThumbnails> thumbnails) {
            if (!thumbnails) return;
            assign<&ContentViewState::screenThumbnail>(std::move(thumbnails->screen));
            std::map<std::string, ImagePointer> byID;
            for (auto& [id, image] : thumbnails->presets) byID.emplace(std::move(id), std::move(image));
            assign<&ContentViewState::shaderThumbnails>(std::move(byID));
        });
}

void ContentView::refreshScreenThumbnails(ImagePointer pixelGrid, ImagePointer source)
{
    const JobTicket ticket = screenThumbnailRefresh_.start();
    services_.clock->schedule(screenThumbnailRefreshDelay, this, [this, ticket, pixelGrid, source] {
        if (!screenThumbnailRefresh_.isCurrent(ticket)) return;
        screenThumbnailRefresh_.finish(ticket);
        generateShaderThumbnails(pixelGrid, source->width(), source->height());
    });
}

void ContentView::generatePersonalThumbnails()
{
    personalThumbnailWork_.stop();
    assign<&ContentViewState::personalThumbnails>(std::unordered_map<Uuid, ImagePointer>());
    if (!state_.source || state_.personalPresets.empty()) return;
    runJob(
        personalThumbnailWork_, JobPriority::utility,
        [source = state_.source, presets = state_.personalPresets, renderer = services_.renderer](
            std::stop_token stop) { return renderPersonalThumbnails(*source, presets, renderer(), stop); },
        [this](std::unordered_map<Uuid, ImagePointer> thumbnails) {
            assign<&ContentViewState::personalThumbnails>(std::move(thumbnails));
        });
}

}  // namespace tilvane

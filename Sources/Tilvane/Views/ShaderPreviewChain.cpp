#include "Tilvane/Views/ShaderPreviewChain.hpp"

#include "Tilvane/Views/ThumbnailRendering.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

namespace tilvane {

std::optional<ShaderPreviewRequest> previewRequest(ImagePointer base, std::optional<ShaderConfiguration> configuration,
                                                   const ScreenSettings& screen, bool reduceMotion, bool isActive)
{
    if (!base) return std::nullopt;
    if (!configuration && !screenEffectsOn(screen)) return std::nullopt;
    if (configuration && (reduceMotion || !isActive)) configuration->motion = false;
    return ShaderPreviewRequest{std::move(base), std::move(configuration), screen};
}

BackgroundRunner threadPoolRunner()
{
    return [](std::function<void()> work) { QThreadPool::globalInstance()->start(std::move(work)); };
}

RendererProvider sharedRendererProvider()
{
    return [] { return ShaderRenderer::shared(); };
}

SecondsClock steadySeconds()
{
    return [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
}

struct ShaderPreviewChain::Job {
    ShaderPreviewRequest request;
    std::stop_source stop;
    // Written by the first render, read by later ones; the chain never runs two renders of a job at once.
    double start = 0;
    bool started = false;
};

ShaderPreviewChain::ShaderPreviewChain(Callbacks callbacks, RendererProvider renderer, BackgroundRunner runner,
                                       SecondsClock clock, QObject* parent)
    : QObject(parent),
      callbacks_(std::move(callbacks)),
      renderer_(std::move(renderer)),
      runner_(std::move(runner)),
      clock_(std::move(clock))
{}

ShaderPreviewChain::~ShaderPreviewChain()
{
    stop();
}

void ShaderPreviewChain::start(ShaderPreviewRequest request)
{
    stop();
    job_ = std::make_shared<Job>();
    job_->request = std::move(request);
    renderNext(job_);
}

void ShaderPreviewChain::stop()
{
    if (job_) job_->stop.request_stop();
    job_.reset();
}

bool ShaderPreviewChain::isCurrent(const std::shared_ptr<Job>& job) const
{
    return job == job_ && !job->stop.stop_requested();
}

void ShaderPreviewChain::renderNext(const std::shared_ptr<Job>& job)
{
    QPointer<ShaderPreviewChain> self(this);
    runner_([self, job, provider = renderer_, clock = clock_] {
        const std::stop_token stop = job->stop.get_token();
        if (stop.stop_requested()) return;
        const auto deliver = [&](auto call) {
            // The chain may be gone by the time this runs; QPointer turns the call into nothing then.
            if (self) QMetaObject::invokeMethod(self.data(), std::move(call), Qt::QueuedConnection);
        };
        try {
            ShaderRenderer* renderer = provider();
            if (renderer == nullptr) throw ShaderRendererError(ShaderRendererErrorCase::unavailable);
            const ShaderPreviewRequest& request = job->request;
            if (!job->started) {
                if (request.animates()) renderer->resetTemporalHistory();
                job->start = clock();
                job->started = true;
            }
            const float time = request.animates() ? static_cast<float>(clock() - job->start) : 0.0f;
            ImagePointer frame =
                renderer->render(request.base, request.configuration, request.screen, time, true, stop);
            deliver([self, job, frame = std::move(frame), time]() mutable {
                if (self) self->receive(job, std::move(frame), time);
            });
        } catch (const CancellationError&) {
        } catch (const std::exception& error) {
            deliver([self, job, message = QString::fromUtf8(error.what())]() mutable {
                if (self) self->fail(job, std::move(message));
            });
        }
    });
}

void ShaderPreviewChain::receive(const std::shared_ptr<Job>& job, ImagePointer frame, float time)
{
    if (!isCurrent(job)) return;
    if (!job->request.animates()) job_.reset();
    if (callbacks_.frame) callbacks_.frame(std::move(frame), time);
    if (!isCurrent(job)) return;  // still animating, unless the frame's receiver started or stopped a job
    QTimer::singleShot(frameInterval, Qt::PreciseTimer, this, [this, job] {
        if (isCurrent(job)) renderNext(job);
    });
}

void ShaderPreviewChain::fail(const std::shared_ptr<Job>& job, QString message)
{
    if (!isCurrent(job)) return;
    job_.reset();
    if (callbacks_.failure) callbacks_.failure(std::move(message));
}

}  // namespace tilvane

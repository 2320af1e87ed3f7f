#pragma once

#include "TilvaneCore/Image.hpp"
#include "TilvaneShaders/Model/ScreenSettings.hpp"
#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace tilvane {

class ShaderRenderer;

// One preview to render: the preview base with the look as it should run now (motion already switched
// off when the window is inactive or the desktop reduces motion).
struct ShaderPreviewRequest {
    ImagePointer base;
    std::optional<ShaderConfiguration> configuration;
    ScreenSettings screen;

    bool animates() const { return configuration.has_value() && configuration->motion; }
};

// What the preview renders for a look, or nothing when there is nothing to draw (no preview base, or
// no configuration and no screen-wide effects). The look animates only when it has motion, the window
// is active and the desktop does not reduce motion.
std::optional<ShaderPreviewRequest> previewRequest(ImagePointer base, std::optional<ShaderConfiguration> configuration,
                                                   const ScreenSettings& screen, bool reduceMotion, bool isActive);

// Where the window's off-main-thread work runs (a thread pool by default; tests may run it inline).
using BackgroundRunner = std::function<void(std::function<void()>)>;
BackgroundRunner threadPoolRunner();

// The renderer a job uses; null when the shared renderer is unavailable for the run. Asked for off the
// main thread, since making the shared renderer compiles every shader.
using RendererProvider = std::function<ShaderRenderer*()>;
RendererProvider sharedRendererProvider();

// Seconds on a steady clock; the animation feeds the shader the real elapsed time.
using SecondsClock = std::function<double()>;
SecondsClock steadySeconds();

// The preview job of one window. A still look renders once at time 0. An animated look resets the
// renderer's history once and then runs a chain: render, publish if the job is still current, wait 75 ms
// on a single-shot timer, render the next frame at the elapsed time. Renders run off the main thread;
// results come back through queued calls that drop anything from a stopped or replaced job.
class ShaderPreviewChain : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds frameInterval{75};

    struct Callbacks {
        std::function<void(ImagePointer frame, float time)> frame;
        std::function<void(QString message)> failure;
    };

    ShaderPreviewChain(Callbacks callbacks, RendererProvider renderer = sharedRendererProvider(),
                       BackgroundRunner runner = threadPoolRunner(), SecondsClock clock = steadySeconds(),
                       QObject* parent = nullptr);
    ~ShaderPreviewChain() override;

    // Stops the running job and starts this one.
    void start(ShaderPreviewRequest request);
    // Stops the running job; a frame already on its way is dropped.
    void stop();
    bool isRunning() const { return job_ != nullptr; }

private:
    struct Job;
    void renderNext(const std::shared_ptr<Job>& job);
    void receive(const std::shared_ptr<Job>& job, ImagePointer frame, float time);
    void fail(const std::shared_ptr<Job>& job, QString message);
    bool isCurrent(const std::shared_ptr<Job>& job) const;

    Callbacks callbacks_;
    RendererProvider renderer_;
    BackgroundRunner runner_;
    SecondsClock clock_;
    std::shared_ptr<Job> job_;
};

}  // namespace tilvane

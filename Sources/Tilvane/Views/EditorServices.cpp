#include "Tilvane/Views/EditorServices.hpp"

#include "Tilvane/Services/DesktopReduceMotion.hpp"
#include "Tilvane/Services/SampleImage.hpp"
#include "Tilvane/Services/TilvaneIncomingImage.hpp"
#include "Tilvane/Views/ExportRun.hpp"
#include "Tilvane/Views/GIFExportOptions.hpp"
#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QRunnable>
#include <QThreadPool>
#include <QTimer>

namespace tilvane {

namespace {

class NoTelemetry : public TelemetrySink {
public:
    void record(TilvaneEvent, std::optional<TilvaneExportFormat>) override {}
    void recordFailure(TilvaneEvent, std::optional<TilvaneExportFormat>) override {}
};

std::optional<std::filesystem::path> chosenPath(const QString& file)
{
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

std::optional<std::filesystem::path> chooseSaveDestination(const SavePanel& panel)
{
    const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(QApplication::activeWindow(), panel));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return chosenPath(dialog->selectedFiles().value(0));
}

std::shared_ptr<ExportRun> processExports()
{
    static const std::shared_ptr<ExportRun> exports = makeExportsStoppedOnQuit();
    return exports;
}

}  // namespace

std::shared_ptr<ExportRun> makeExportsStoppedOnQuit()
{
    auto exports = std::make_shared<ExportRun>();
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [exports] { exports->stopAndWait(); });
    return exports;
}

void ThreadPoolJobRunner::run(JobPriority priority, std::function<void()> work)
{
    // Utility work yields to interactive work waiting in the same pool.
    QThreadPool::globalInstance()->start(std::move(work), priority == JobPriority::userInitiated ? 1 : 0);
}

double SystemEditorClock::uptime() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void SystemEditorClock::schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> action)
{
    QTimer::singleShot(delay, Qt::PreciseTimer, context, std::move(action));
}

std::optional<std::filesystem::path> FileDialogs::chooseImageToOpen()
{
    return chosenPath(QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(), QString(),
        QStringLiteral("Imagens (*.png *.jpg *.jpeg *.gif *.webp *.tif *.tiff *.heic *.heif *.avif)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetToImport()
{
    return chosenPath(QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                   QStringLiteral("JSON (*.json)")));
}

std::optional<std::filesystem::path> FileDialogs::choosePresetDestination(const SavePanel& panel)
{
    return chooseSaveDestination(panel);
}

std::optional<std::filesystem::path> FileDialogs::choosePNGDestination(const SavePanel& panel)
{
    return chooseSaveDestination(panel);
}

GIFDestination FileDialogs::chooseGIFDestination(const SavePanel& panel, int maxDimension, int duration,
                                                 const GIFDialogContext& context)
{
    const std::unique_ptr<QFileDialog> dialog(makeSaveDialog(QApplication::activeWindow(), panel));
    const GIFExportOptions* options =
        addGIFExportOptions(dialog.get(), context.sourceWidth, context.sourceHeight, context.animated,
                            {maxDimension, duration}, context.appearance);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    const GIFExportChoice choice = options->choice();
    return {accepted ? chosenPath(dialog->selectedFiles().value(0)) : std::nullopt, choice.maxDimension,
            choice.duration};
}

ReduceMotionSetting& ReduceMotionSetting::shared()
{
    static ReduceMotionSetting* const setting = [] {
        auto* desktopSetting = new ReduceMotionSetting(QCoreApplication::instance());
        auto* desktop = new DesktopReduceMotion(desktopSetting);
        desktopSetting->setValue(desktop->reduceMotion());
        QObject::connect(desktop, &DesktopReduceMotion::changed, desktopSetting, &ReduceMotionSetting::setValue);
        return desktopSetting;
    }();
    return *setting;
}

void ReduceMotionSetting::setValue(bool reduceMotion)
{
    if (value_ == reduceMotion) return;
    value_ = reduceMotion;
    emit valueChanged(reduceMotion);
}

EditorServices EditorServices::standard()
{
    return EditorServices{
        .dialogs = std::make_shared<FileDialogs>(),
        .presetStore = PersonalPresetStore(),
        .sessionStore = LastSessionStore(),
        .renderer = [] { return ShaderRenderer::shared(); },
        .exportRenderer = [] { return std::make_unique<ShaderRenderer>(); },
        .shaderPresets = [] { return ShaderPreset::builtIn(); },
        .clock = std::make_shared<SystemEditorClock>(),
        .jobs = std::make_shared<ThreadPoolJobRunner>(),
        .telemetry = std::make_shared<NoTelemetry>(),
        .exports = processExports(),
        .sampleImage = [] { return SampleImage::make(); },
        .incoming = &TilvaneIncomingImage::shared(),
        .lifecycle = &TilvaneLifecycle::shared(),
        .reduceMotion = &ReduceMotionSetting::shared(),
    };
}

}  // namespace tilvane

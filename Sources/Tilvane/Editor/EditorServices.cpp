#include "Tilvane/Editor/EditorServices.hpp"

#include "Tilvane/Editor/ExportRun.hpp"
#include "Tilvane/Services/DesktopReduceMotion.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>

namespace tilvane {

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

}  // namespace tilvane

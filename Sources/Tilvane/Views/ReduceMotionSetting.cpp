#include "Tilvane/Services/DesktopReduceMotion.hpp"
#include "Tilvane/Views/EditorServices.hpp"

#include <QCoreApplication>

namespace tilvane {

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

void ReduceMotionSetting::refreshFromDesktop()
{
    if (const auto* desktop = findChild<DesktopReduceMotion*>()) setValue(desktop->reduceMotion());
}

}  // namespace tilvane

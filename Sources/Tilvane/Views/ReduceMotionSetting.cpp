#include "Tilvane/Views/EditorServices.hpp"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace tilvane {

ReduceMotionSetting& ReduceMotionSetting::shared()
{
    static ReduceMotionSetting* const setting = [] {
        auto* desktopSetting = new ReduceMotionSetting(QCoreApplication::instance());
        desktopSetting->refreshFromDesktop();
        if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QObject::connect(application, &QGuiApplication::applicationStateChanged, desktopSetting,
                             [desktopSetting](Qt::ApplicationState state) {
                                 if (state == Qt::ApplicationActive) desktopSetting->refreshFromDesktop();
                             });
        }
        return desktopSetting;
    }();
    return *setting;
}

void ReduceMotionSetting::refreshFromDesktop()
{
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty()) return;
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process](int exitCode, QProcess::ExitStatus status) {
        const QByteArray answer = process->readAllStandardOutput().left(64).trimmed();
        if (status == QProcess::NormalExit && exitCode == 0) setValue(answer == "false");
        process->deleteLater();
    });
    connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    process->start(gsettings, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                               QStringLiteral("enable-animations")});
}

}  // namespace tilvane

#include "Tilvane/App/FileSizeLimitSignal.hpp"
#include "Tilvane/App/InstanceHandOver.hpp"
#include "Tilvane/App/QtTranslations.hpp"
#include "Tilvane/App/QuitSignals.hpp"
#include "Tilvane/App/TilvaneApp.hpp"

#include <QApplication>
#include <QIcon>

#include <string>
#include <vector>

namespace {

// The bundle's icons, for the window list and docks while the desktop file is not installed.
QIcon bundleIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QApplication::applicationDirPath()
                     + QStringLiteral("/../Resources/icons/hicolor/%1x%1/apps/tilvane.png").arg(size));
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv)
{
    tilvane::letWritesPastTheFileSizeLimitFail();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tilvane"));
    QApplication::setApplicationName(QStringLiteral("Tilvane"));
    QApplication::setApplicationVersion(QStringLiteral(TILVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tilvane"));
    const tilvane::QtTranslations qtTranslations;
    QApplication::setWindowIcon(bundleIcon());
    // Closing the last window quits through the application's own route, which keeps the sessions.
    QApplication::setQuitOnLastWindowClosed(false);

    // The command line's own bytes (the ones Qt has not taken), so that any file name reaches the file system as it is.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto file = tilvane::TilvaneApp::fileArgument(arguments);

    tilvane::InstanceHandOver handOver;
    if (handOver.start(file) == tilvane::InstanceHandOver::Launch::handedOver) return 0;

    tilvane::TilvaneApp app;
    tilvane::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &tilvane::QuitSignals::quitRequested, &app, &tilvane::TilvaneApp::quit);
    QObject::connect(&handOver, &tilvane::InstanceHandOver::fileReceived, &app, &tilvane::TilvaneApp::receiveFile);
    QObject::connect(&handOver, &tilvane::InstanceHandOver::activationRequested, &app,
                     &tilvane::TilvaneApp::bringForward);
    // A launch during the quit opens its file itself rather than handing it to a window about to close.
    QObject::connect(&app, &tilvane::TilvaneApp::quitStarted, &handOver, &tilvane::InstanceHandOver::stopListening);
    app.launch(file);
    return QApplication::exec();
}

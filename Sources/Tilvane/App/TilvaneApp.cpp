#include "Tilvane/App/TilvaneApp.hpp"

#include "Tilvane/App/AppMenus.hpp"
#include "Tilvane/App/AppTelemetry.hpp"
#include "Tilvane/App/CommandLineFile.hpp"
#include "Tilvane/Editor/ExportRun.hpp"
#include "Tilvane/Services/TilvaneIncomingImage.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/ErrorAlert.hpp"
#include "Tilvane/Views/StandardEditorServices.hpp"
#include "VeldranTelemetry/Telemetry.hpp"
#include "VeldranTelemetry/TelemetrySettingsView.hpp"
#include "VeldranUpdater/AppUpdater.hpp"
#include "VeldranUpdater/CheckForUpdatesButton.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace tilvane {

namespace {

QWidget* standardSettingsContent()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* updates = new veldran::UpdateSettingsSection(AppUpdates::shared());
    auto* padded = new QWidget;
    auto* paddedLayout = new QVBoxLayout(padded);
    paddedLayout->setContentsMargins(26, 26, 26, 0);
    paddedLayout->addWidget(updates);
    layout->addWidget(padded);  // as wide as the privacy settings below, so that its note wraps at that width
    layout->addWidget(
        new veldran::TelemetrySettingsView(AppTelemetry::shared(), QStringLiteral("Tilvane"),
                                           QStringLiteral("suas imagens, nomes de arquivos ou gravações da tela")),
        0, Qt::AlignLeft);
    return content;
}

VTAppearance storedAppearance(QSettings& defaults)
{
    const auto stored = vtAppearance(defaults.value(TilvaneApp::appearanceKey).toString());
    return stored.value_or(VTAppearance::noite);
}

void bringToFront(QWidget* window)
{
    window->raise();
    window->activateWindow();
}

}  // namespace

AppEnvironment AppEnvironment::standard()
{
    static QSettings defaults;
    return AppEnvironment{
        .editorServices =
            [] {
                auto services = standardEditorServices();
                services.telemetry = std::make_shared<AppTelemetrySink>();
                return services;
            },
        .launchFinished =
            [] {
                AppTelemetry::shared().start();
                AppUpdates::shared().start();
            },
        .settingsContent = standardSettingsContent,
        .checkForUpdates = [](QObject* parent) -> QAction* {
            return new veldran::CheckForUpdatesButton(AppUpdates::shared(), parent);
        },
        .defaults = &defaults,
        .exports = processExports(),
        .incoming = &TilvaneIncomingImage::shared(),
        .lifecycle = &TilvaneLifecycle::shared(),
    };
}

TilvaneApp::TilvaneApp(AppEnvironment environment, QObject* parent)
    : QObject(parent), environment_(std::move(environment)), appearance_(storedAppearance(*environment_.defaults))
{
    stockDialogs_.apply(appearance_);
    connect(environment_.exports.get(), &ExportRun::becameIdle, this, &TilvaneApp::quitOnceNothingIsPending);
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The desktop session is ending: keep the sessions as for any other quit.
        connect(application, &QGuiApplication::commitDataRequest, this, &TilvaneApp::quit);
    }
}

TilvaneApp::~TilvaneApp()
{
    for (const auto& window : windows_) delete window.data();
    delete settingsDialog_.data();
}

std::optional<std::filesystem::path> TilvaneApp::fileArgument(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) return std::nullopt;
    std::error_code noWorkingFolder;
    return commandLineFile(arguments.front(), std::filesystem::current_path(noWorkingFolder));
}

void TilvaneApp::launch(const std::optional<std::filesystem::path>& file)
{
    if (file) receiveFile(*file);
    newWindow();
    QTimer::singleShot(0, this, &TilvaneApp::finishLaunching);
}

void TilvaneApp::finishLaunching()
{
    if (didFinishLaunching_) return;
    didFinishLaunching_ = true;
    if (environment_.launchFinished) environment_.launchFinished();
}

void TilvaneApp::receiveFile(const std::filesystem::path& file)
{
    environment_.incoming->receive(file);
    if (!didFinishLaunching_) return;  // the first window takes the file when it starts
    if (EditorWindow* window = firstVisibleEditor()) {
        bringToFront(window);
        return;
    }
    bringToFront(newWindow());
}

void TilvaneApp::bringForward()
{
    if (EditorWindow* window = firstVisibleEditor()) {
        bringToFront(window);
        return;
    }
    bringToFront(newWindow());
}

EditorWindow* TilvaneApp::firstVisibleEditor() const
{
    for (const auto& window : windows_) {
        if (window && window->isVisible() && !window->isMinimized()) return window;
    }
    return nullptr;
}

QList<EditorWindow*> TilvaneApp::editorWindows() const
{
    QList<EditorWindow*> open;
    for (const auto& window : windows_) {
        if (window) open.append(window);
    }
    return open;
}

EditorWindow* TilvaneApp::newWindow()
{
    if (lastWindowClosed_) {
        // A file handed over after the last window closed: the application goes on.
        lastWindowClosed_ = false;
        environment_.lifecycle->resume();
    }
    EditorServices services = environment_.editorServices();
    services.closedWindowExportFailed = [app = QPointer<TilvaneApp>(this)](const std::string& message) {
        if (app) app->showClosedWindowExportFailure(message);
    };
    auto* window = new EditorWindow(std::move(services));
    windows_.removeAll(nullptr);
    windows_.append(window);
    installMenus(*window, *this);
    applyAppearance(window);
    window->view().setAppearance(appearance_);
    connect(&window->view(), &ContentView::appearanceRequested, this, &TilvaneApp::setAppearance);
    connect(window, &EditorWindow::aboutToClose, this, [this, window] { windowClosing(window); });
    window->show();
    return window;
}

void TilvaneApp::windowClosing(EditorWindow* window)
{
    if (quitting_) return;
    for (const auto& other : windows_) {
        if (other && other != window && other->isVisible()) return;
    }
    // Closing the last editor window ends the application, and so keeps its session.
    environment_.lifecycle->setTerminating();
    lastWindowClosed_ = true;
    QTimer::singleShot(0, this, &TilvaneApp::quitOnceNothingIsPending);
}

void TilvaneApp::quitOnceNothingIsPending()
{
    if (!lastWindowClosed_ || !environment_.exports->isIdle() || openExportFailureAlerts_ > 0) return;
    quit();
}

// Over a remaining editor window, or on its own when none is visible; nothing once quitting has begun (it stops the
// exports).
void TilvaneApp::showClosedWindowExportFailure(const std::string& message)
{
    if (quitting_) return;
    QMessageBox* alert = makeErrorAlert(QString::fromStdString(message), firstVisibleEditor());
    ++openExportFailureAlerts_;
    connect(alert, &QObject::destroyed, this, [this] {
        --openExportFailureAlerts_;
        quitOnceNothingIsPending();
    });
    alert->open();
}

void TilvaneApp::quit()
{
    if (quitting_) return;
    quitting_ = true;
    emit quitStarted();
    environment_.lifecycle->setTerminating();
    const auto open = editorWindows();
    for (EditorWindow* window : open) window->view().applicationWillTerminate();
    for (EditorWindow* window : open) window->close();
    if (settingsDialog_) settingsDialog_->close();
    QCoreApplication::exit(0);
}

void TilvaneApp::showSettings()
{
    if (!settingsDialog_) {
        settingsDialog_ = new QDialog;
        settingsDialog_->setObjectName(QStringLiteral("settingsDialog"));
        settingsDialog_->setWindowTitle(QStringLiteral("Ajustes"));
        auto* layout = new QVBoxLayout(settingsDialog_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(environment_.settingsContent());
        applyAppearance(settingsDialog_);
    }
    settingsDialog_->show();
    bringToFront(settingsDialog_);
}

// Shown without waiting for it: nothing follows its OK, and the window it stands over may close or the application quit
// while it is up.
void TilvaneApp::showAbout()
{
    auto* about = new QMessageBox(QMessageBox::Information, QStringLiteral("Sobre o Tilvane"),
                                  QStringLiteral("Tilvane %1").arg(QCoreApplication::applicationVersion()),
                                  QMessageBox::Ok, QApplication::activeWindow());
    about->setObjectName(QStringLiteral("aboutBox"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setIconPixmap(about->windowIcon().pixmap(about->windowIcon().actualSize(QSize(64, 64))));
    about->open();
}

void TilvaneApp::setAppearance(VTAppearance appearance)
{
    environment_.defaults->setValue(appearanceKey, vtRawValue(appearance));
    if (appearance_ == appearance) return;
    appearance_ = appearance;
    stockDialogs_.apply(appearance);  // first: the windows' own palettes start from the application's
    for (EditorWindow* window : editorWindows()) {
        applyAppearance(window);
        window->view().setAppearance(appearance);
    }
    if (settingsDialog_) applyAppearance(settingsDialog_);
    emit appearanceChanged(appearance);
}

void TilvaneApp::applyAppearance(QWidget* root) const
{
    vemiTerminal(root, appearance_);
}

}  // namespace tilvane

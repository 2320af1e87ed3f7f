#pragma once

#include "Tilvane/App/StockDialogLook.hpp"
#include "Tilvane/Editor/EditorServices.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;

class QSettings;
class QWidget;

namespace tilvane {

class ExportRun;
class TilvaneIncomingImage;
class TilvaneLifecycle;

// What the application uses of the process and the outside world; tests replace it.
struct AppEnvironment {
    std::function<EditorServices()> editorServices{};
    std::function<void()> launchFinished{};               // starts telemetry, then the updater
    std::function<QWidget*()> settingsContent{};          // the update section above the privacy settings
    std::function<QAction*(QObject*)> checkForUpdates{};  // the menu command "Buscar atualizações…"
    QSettings* defaults = nullptr;                        // where "tilvane.appearance" is kept
    std::shared_ptr<ExportRun> exports;                   // the process's, which every window's services hold
    TilvaneIncomingImage* incoming = nullptr;
    TilvaneLifecycle* lifecycle = nullptr;

    static AppEnvironment standard();
};

// The application: its editor windows with their menus, the settings dialog, the theme (of its own windows and of
// the stock ones Qt draws), the route of a received file to a window, the failure of an export whose window has
// closed, the end of launching and quitting. Closing the last editor window ends the application once the exports
// the user waits for have written their files (and a failure among them has been read); an explicit quit stops
// them. Main thread only.
class TilvaneApp : public QObject {
    Q_OBJECT

public:
    static constexpr const char* appearanceKey = "tilvane.appearance";

    explicit TilvaneApp(AppEnvironment environment = AppEnvironment::standard(), QObject* parent = nullptr);
    ~TilvaneApp() override;

    // Opens the first window (with the file of the command line, when there is one), and finishes launching
    // on the next turn of the event loop.
    void launch(const std::optional<std::filesystem::path>& file);
    // The file named by the first argument (the bytes of the command line), as `commandLineFile` reads it against
    // the working folder. Nothing for no argument, or for an address of something other than a file.
    static std::optional<std::filesystem::path> fileArgument(const std::vector<std::string>& arguments);

    // A file received from outside: into the incoming slot, then to a window.
    void receiveFile(const std::filesystem::path& file);
    // A launch without a file asks to be seen.
    void bringForward();
    void finishLaunching();
    bool didFinishLaunching() const { return didFinishLaunching_; }

    EditorWindow* newWindow();
    QList<EditorWindow*> editorWindows() const;
    void showSettings();
    QDialog* settingsDialog() const { return settingsDialog_; }
    void showAbout();
    QAction* makeCheckForUpdatesAction(QObject* parent) const { return environment_.checkForUpdates(parent); }

    VTAppearance appearance() const { return appearance_; }
    void setAppearance(VTAppearance appearance);

    // Keeps every window's session and closes everything.
    void quit();

signals:
    void appearanceChanged(VTAppearance appearance);
    // Quitting has begun: from here on the application takes no more files from other launches.
    void quitStarted();

private:
    EditorWindow* firstVisibleEditor() const;
    void windowClosing(EditorWindow* window);
    void quitOnceNothingIsPending();
    void showClosedWindowExportFailure(const std::string& message);
    void applyAppearance(QWidget* root) const;

    AppEnvironment environment_;
    StockDialogLook stockDialogs_;
    VTAppearance appearance_;
    bool didFinishLaunching_ = false;
    bool quitting_ = false;
    bool lastWindowClosed_ = false;  // and no window opened since
    int openExportFailureAlerts_ = 0;
    QList<QPointer<EditorWindow>> windows_;
    QPointer<QDialog> settingsDialog_;
};

}  // namespace tilvane

#pragma once

#include "Tilvane/Editor/ContentView.hpp"
#include "Tilvane/Views/StandardEditorServices.hpp"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMessageBox;

namespace tilvane {

class EditorStage;
class InspectorColumn;
class NavigationBar;
class PresetSheets;

// One editor window: draws its ContentView (bar, stage, inspector) and forwards the user's actions. It presents
// every dialog the state asks for: the error and unsaved-changes alerts, the preset-name sheet and the delete
// confirmation.
// It tells the model when it appears and goes away and whether its scene is active. Tab and Backtab go through the
// controls in the order the screen shows them (the bar, the gallery's cards, the column top to bottom), kept so as
// controls come and go; the control they reach is scrolled into view, in the gallery strip or the inspector column,
// wherever the focus came from.
class EditorWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize minimumWindowSize{900, 620};

    explicit EditorWindow(EditorServices services = standardEditorServices(), QWidget* parent = nullptr);
    ~EditorWindow() override;

    ContentView& view() { return *view_; }
    InspectorColumn* inspector() const { return inspector_; }

    // The commands of this window that export, shared by the menu, the bar's buttons and the shortcuts.
    QAction* exportPNGAction() const { return exportPNGAction_; }
    QAction* exportGIFAction() const { return exportGIFAction_; }

    // Redraws everything from the model now (normally once per event-loop turn after a change).
    void refresh();

signals:
    // The window is closing, before its session is finished.
    void aboutToClose();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void scheduleRefresh();
    void arrangeFocusChain();
    void updateScenePhase();
    void presentAlerts();
    void presentErrorAlert();
    void presentUnsavedAlert();

    ContentView* view_;
    NavigationBar* navigationBar_;
    EditorStage* stage_;
    InspectorColumn* inspector_;
    PresetSheets* presetSheets_;
    QAction* exportPNGAction_;
    QAction* exportGIFAction_;
    QPointer<QMessageBox> errorAlert_;
    QPointer<QMessageBox> unsavedAlert_;
    bool refreshScheduled_ = false;
    bool finished_ = false;
};

}  // namespace tilvane

#include "Tilvane/Views/EditorWindow.hpp"

#include "Tilvane/Views/ComparisonShortcutMonitor.hpp"
#include "Tilvane/Views/EditorStage.hpp"
#include "Tilvane/Views/ErrorAlert.hpp"
#include "Tilvane/Views/ExportActions.hpp"
#include "Tilvane/Views/FocusChain.hpp"
#include "Tilvane/Views/InspectorColumn.hpp"
#include "Tilvane/Views/NavigationBar.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetSheets.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace tilvane {

namespace {

// Scrolls every scroll area that holds `widget` until it shows it.
void scrollIntoView(QWidget& widget)
{
    for (QWidget* ancestor = widget.parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(ancestor)) area->ensureWidgetVisible(&widget);
    }
}

}  // namespace

EditorWindow::EditorWindow(EditorServices services, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("editorWindow"));
    setWindowTitle(QStringLiteral("Tilvane"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(minimumWindowSize);
    resize(1280, 800);
    view_ = new ContentView(std::move(services), this);

    auto* content = new QWidget;
    vtPage(content);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    navigationBar_ = new NavigationBar;
    column->addWidget(navigationBar_);
    column->addWidget(new VTHairline(Qt::Horizontal));
    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    stage_ =
        new EditorStage(view_->builtInPresets(), [this](const QList<QUrl>& urls) { return view_->dropURLs(urls); });
    inspector_ = new InspectorColumn(*view_);
    body->addWidget(stage_, 1);
    body->addWidget(new VTHairline(Qt::Vertical));
    body->addWidget(inspector_);
    column->addLayout(body, 1);
    setCentralWidget(content);
    presetSheets_ = new PresetSheets(*view_, this);
    new ComparisonShortcutMonitor(content, [this] { view_->toggleCompareHandle(); });

    exportPNGAction_ = new QAction(QStringLiteral("Exportar PNG"), this);
    exportPNGAction_->setObjectName(QStringLiteral("exportPNGAction"));
    exportPNGAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportGIFAction_ = new QAction(QStringLiteral("Exportar GIF"), this);
    exportGIFAction_->setObjectName(QStringLiteral("exportGIFAction"));
    exportGIFAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    bindExportActions(*view_, exportPNGAction_, exportGIFAction_);
    addActions({exportPNGAction_, exportGIFAction_});  // the shortcuts work with or without the menu bar

    connect(navigationBar_, &NavigationBar::openClicked, view_, &ContentView::openImage);
    connect(navigationBar_, &NavigationBar::themeClicked, view_, &ContentView::toggleAppearance);
    connect(navigationBar_, &NavigationBar::exportPNGClicked, exportPNGAction_, &QAction::trigger);
    connect(navigationBar_, &NavigationBar::exportGIFClicked, exportGIFAction_, &QAction::trigger);
    connect(stage_, &EditorStage::fractionEdited, view_, &ContentView::setCompareFraction);
    connect(stage_, &EditorStage::compareEnded, view_, &ContentView::compareEnded);
    connect(stage_, &EditorStage::openRequested, view_, &ContentView::openImage);
    connect(stage_, &EditorStage::dropTargeted, view_, &ContentView::setIsDropTargeted);
    connect(stage_, &EditorStage::shaderSelected, view_, &ContentView::selectFromGallery);
    connect(inspector_, &InspectorColumn::controlsRebuilt, this, &EditorWindow::arrangeFocusChain);
    connect(view_, &ContentView::changed, this, &EditorWindow::scheduleRefresh);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &EditorWindow::updateScenePhase);
    refresh();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::scheduleRefresh()
{
    if (refreshScheduled_) return;
    refreshScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshScheduled_ = false;
        refresh();
    });
}

void EditorWindow::refresh()
{
    const auto& state = view_->state();
    navigationBar_->setState(state);
    stage_->setState(state);
    inspector_->refresh();
    drawExportActions(state, exportPNGAction_, exportGIFAction_);
    arrangeFocusChain();
    presentAlerts();
}

void EditorWindow::arrangeFocusChain()
{
    // Cards, panels and rows come and go with the state; Tab follows where they stand, not when they were made.
    focus_chain::arrange(*centralWidget());
}

void EditorWindow::presentAlerts()
{
    presetSheets_->present();
    presentErrorAlert();
    presentUnsavedAlert();
}

// One alert per message: the first of those waiting, and once it is put away, a new alert for the next.
void EditorWindow::presentErrorAlert()
{
    const auto message = view_->state().errorMessage();
    if (!message) {
        if (errorAlert_) errorAlert_->close();
        return;
    }
    if (!errorAlert_) {
        errorAlert_ = makeErrorAlert(QString::fromStdString(*message), this);
        connect(errorAlert_, &QMessageBox::finished, this, [this] {
            // The closed alert deletes itself; the next message gets an alert of its own.
            errorAlert_ = nullptr;
            view_->dismissError();
        });
    }
    errorAlert_->setInformativeText(QString::fromStdString(*message));
    if (isVisible() && !errorAlert_->isVisible()) errorAlert_->open();
}

void EditorWindow::presentUnsavedAlert()
{
    if (!view_->state().showingUnsavedAlert) {
        if (unsavedAlert_) unsavedAlert_->close();
        return;
    }
    if (unsavedAlert_ || !isVisible()) return;
    unsavedAlert_ = new QMessageBox(QMessageBox::Question, QStringLiteral("Alterações não salvas"),
                                    QStringLiteral("Alterações não salvas"), QMessageBox::NoButton, this);
    unsavedAlert_->setObjectName(QStringLiteral("unsavedAlert"));
    unsavedAlert_->setAttribute(Qt::WA_DeleteOnClose);
    unsavedAlert_->setInformativeText(
        QStringLiteral("Salve ou descarte os ajustes deste preset antes de trocar de visual."));
    auto* save = unsavedAlert_->addButton(QStringLiteral("Salvar"), QMessageBox::AcceptRole);
    auto* discard = unsavedAlert_->addButton(QStringLiteral("Descartar"), QMessageBox::DestructiveRole);
    auto* cancel = unsavedAlert_->addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    connect(save, &QPushButton::clicked, view_, &ContentView::unsavedAlertSave);
    connect(discard, &QPushButton::clicked, view_, &ContentView::unsavedAlertDiscard);
    connect(cancel, &QPushButton::clicked, view_, &ContentView::unsavedAlertCancel);
    connect(unsavedAlert_, &QMessageBox::rejected, view_, [this] {
        if (view_->state().showingUnsavedAlert) view_->unsavedAlertCancel();
    });
    unsavedAlert_->open();
}

void EditorWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    updateScenePhase();
    // Each appearance takes a file waiting in the incoming slot; the first one also starts the window. It runs
    // once the window is on screen, as the first thing of the next event-loop turn.
    QTimer::singleShot(0, view_, [this] {
        view_->windowDidAppear();
        presentAlerts();
    });
}

void EditorWindow::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    updateScenePhase();
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || finished_) return;
    finished_ = true;
    emit aboutToClose();
    view_->windowDidDisappear();
}

void EditorWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::ActivationChange) updateScenePhase();
}

bool EditorWindow::focusNextPrevChild(bool next)
{
    if (!QMainWindow::focusNextPrevChild(next)) return false;
    // A scroll area shows the control Tab moves to only when Tab moves within it: the gallery strip or the inspector
    // column, scrolled away by the wheel or entered by Backtab at its far end, would hide the control and its ring.
    if (QWidget* focus = focusWidget()) scrollIntoView(*focus);
    return true;
}

void EditorWindow::updateScenePhase()
{
    if (finished_) return;  // a closed window's session is finished; it saves nothing more
    if (!isVisible() || isMinimized()) {
        view_->setScenePhase(ScenePhase::background);
    } else {
        const bool active = QGuiApplication::applicationState() == Qt::ApplicationActive;
        view_->setScenePhase(active ? ScenePhase::active : ScenePhase::inactive);
    }
}

}  // namespace tilvane

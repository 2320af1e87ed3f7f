#include "Tilvane/App/AppMenus.hpp"

#include "Tilvane/App/MenuBarKeyboard.hpp"
#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Views/EditorWindow.hpp"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace tilvane {

namespace {

QAction* command(QMenu* menu, const QString& title, const QKeySequence& shortcut, const char* objectName)
{
    QAction* action = menu->addAction(title);
    action->setShortcut(shortcut);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

void installFileMenu(EditorWindow& window, TilvaneApp& app, QMenuBar* bar)
{
    QMenu* menu = bar->addMenu(QStringLiteral("&Arquivo"));
    QObject::connect(
        command(menu, QStringLiteral("Nova janela"), QKeySequence(Qt::CTRL | Qt::Key_N), "newWindowAction"),
        &QAction::triggered, &app, [&app] { app.newWindow(); });
    QObject::connect(command(menu, QStringLiteral("Abrir…"), QKeySequence(Qt::CTRL | Qt::Key_O), "openAction"),
                     &QAction::triggered, &window.view(), &ContentView::openImage);
    menu->addSeparator();
    menu->addAction(window.exportPNGAction());
    menu->addAction(window.exportGIFAction());
    menu->addSeparator();
    QObject::connect(command(menu, QStringLiteral("Fechar janela"), QKeySequence(Qt::CTRL | Qt::Key_W), "closeAction"),
                     &QAction::triggered, &window, &QWidget::close);
    QObject::connect(command(menu, QStringLiteral("Sair"), QKeySequence(Qt::CTRL | Qt::Key_Q), "quitAction"),
                     &QAction::triggered, &app, &TilvaneApp::quit);
}

void installEditMenu(TilvaneApp& app, QMenuBar* bar)
{
    QMenu* menu = bar->addMenu(QStringLiteral("&Editar"));
    QObject::connect(
        command(menu, QStringLiteral("Ajustes…"), QKeySequence(Qt::CTRL | Qt::Key_Comma), "settingsAction"),
        &QAction::triggered, &app, &TilvaneApp::showSettings);
}

void installViewMenu(TilvaneApp& app, QMenuBar* bar)
{
    QMenu* theme = bar->addMenu(QStringLiteral("E&xibir"))->addMenu(QStringLiteral("Tema"));
    theme->setObjectName(QStringLiteral("themeMenu"));
    auto* group = new QActionGroup(theme);
    group->setExclusive(true);
    const std::pair<QString, VTAppearance> choices[] = {{QStringLiteral("Noite"), VTAppearance::noite},
                                                        {QStringLiteral("Vemi"), VTAppearance::vemi}};
    for (const auto& [title, appearance] : choices) {
        QAction* choice = theme->addAction(title);
        choice->setObjectName(QStringLiteral("theme") + title);
        choice->setCheckable(true);
        choice->setChecked(app.appearance() == appearance);
        group->addAction(choice);
        QObject::connect(choice, &QAction::triggered, &app, [&app, appearance] { app.setAppearance(appearance); });
        QObject::connect(&app, &TilvaneApp::appearanceChanged, choice,
                         [choice, appearance](VTAppearance now) { choice->setChecked(now == appearance); });
    }
}

void installHelpMenu(TilvaneApp& app, QMenuBar* bar)
{
    QMenu* menu = bar->addMenu(QStringLiteral("Aj&uda"));
    QAction* about = menu->addAction(QStringLiteral("Sobre o Tilvane"));
    about->setObjectName(QStringLiteral("aboutAction"));
    QObject::connect(about, &QAction::triggered, &app, &TilvaneApp::showAbout);
    menu->addAction(app.makeCheckForUpdatesAction(menu));
}

}  // namespace

void installMenus(EditorWindow& window, TilvaneApp& app)
{
    QMenuBar* bar = window.menuBar();
    installFileMenu(window, app, bar);
    installEditMenu(app, bar);
    installViewMenu(app, bar);
    installHelpMenu(app, bar);
    new MenuBarKeyboard(*bar);
}

}  // namespace tilvane
